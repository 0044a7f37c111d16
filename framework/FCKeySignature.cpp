// FCKeySignature: key word decoding.
#include "framework/FCKeySignature.h"

#include "framework/LittleEndian.h"
#include "shell/HostVersion.h"

namespace {

constexpr uint16_t kNonLinearBits = 0xC000;

bool IsLinearWord(uint16_t word) {
    const int mode = word >> 8;
    return (word & kNonLinearBits) == 0 && (mode == 0 || mode == 1);
}

int SignedCount(uint16_t word) {
    return static_cast<int8_t>(word & 0xFF);
}

}  // namespace

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

uint16_t FCKeySignature::GetKeyWord() const {
    return le::U16(record_, 0);
}

void FCKeySignature::SetKeyWord(uint16_t keyWord) {
    le::SetU16(record_, 0, keyWord);
}

uint16_t FCKeySignature::GetEffectiveKey() const {
    const uint16_t word = GetKeyWord();
    if (!IsLinearWord(word)) {
        return word;
    }
    const unsigned low = (word + static_cast<uint16_t>(offset_)) & 0xFFU;
    return static_cast<uint16_t>((word & 0xFF00U) | low);
}

bool FCKeySignature::IsLinear() const {
    return IsLinearWord(GetEffectiveKey());
}

bool FCKeySignature::IsMinor() const {
    const uint16_t key = GetEffectiveKey();
    return IsLinearWord(key) && (key >> 8) == 1;
}

int FCKeySignature::GetSharpCount() const {
    if (!IsLinear()) {
        return -1;
    }
    const int count = SignedCount(GetEffectiveKey());
    return count > 0 ? count : 0;
}

int FCKeySignature::GetFlatCount() const {
    if (!IsLinear()) {
        return -1;
    }
    const int count = SignedCount(GetEffectiveKey());
    return count < 0 ? -count : 0;
}

int FCKeySignature::GetTonicLetter() const {
    if (!IsLinear()) {
        return -1;
    }
    // Tonics along the circle of fifths, from no accidentals up to seven: C G D A E B F# C#
    // for major keys, A E B F# C# G# D# A# for minor ones; flat keys read the same tables
    // backwards from the end.
    static constexpr int kMajor[8] = {2, 6, 3, 0, 4, 1, 5, 2};
    static constexpr int kMinor[8] = {0, 4, 1, 5, 2, 6, 3, 0};
    const int* table = IsMinor() ? kMinor : kMajor;
    const int flats = GetFlatCount();
    if (flats != 0) {
        return table[7 - (flats % 7)];
    }
    return table[GetSharpCount() % 7];
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
