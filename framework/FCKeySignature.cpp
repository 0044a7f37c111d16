// FCKeySignature: key word decoding.
#include "framework/FCKeySignature.h"

#include "hostapi/HostVersion.h"

FCKeySignature::FCKeySignature() {
    SetRecordPointer(record_);
}

const char* FCKeySignature::ClassName() const {
    return "FCKeySignature";
}

__FCBaseData* FCKeySignature::CreateObject() const {
    return new FCKeySignature();
}

uint32_t FCKeySignature::GetVersion() const {
    return HostVersion::kBuild;
}

void FCKeySignature::CopyFrom(__FCBaseData* other) {
    __FCBaseData::CopyFrom(other);
    if (other != nullptr && other->IsSameClass(this)) {
        offset_ = static_cast<FCKeySignature*>(other)->offset_;
    }
}

bool FCKeySignature::IsLetterSharpened(int letter) const {
    const int sharps = GetSharpCount();
    if (sharps <= 0 || letter < 0 || letter > 6) {
        return false;
    }
    // F C G D A E B take the first to the seventh sharp.
    int place = (2 * letter + 5) % 7;
    if (place == 0) {
        place = 7;
    }
    return sharps >= place;
}

bool FCKeySignature::IsLetterFlattened(int letter) const {
    const int flats = GetFlatCount();
    if (flats <= 0 || letter < 0 || letter > 6) {
        return false;
    }
    // B E A D G C F take the first to the seventh flat.
    int place = (17 - 2 * letter) % 7;
    if (place == 0) {
        place = 7;
    }
    return flats >= place;
}
