// FCPartScopePrefs: the concert-pitch flag.
#include "framework/FCPartScopePrefs.h"

#include "hostapi/HostFunctions.h"
#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"

namespace {
constexpr uint16_t kDocumentScope = 0xFFFE;
}  // namespace

FCPartScopePrefs::FCPartScopePrefs() = default;

const char* FCPartScopePrefs::ClassName() const {
    return "FCPartScopePrefs";
}

__FCBaseData* FCPartScopePrefs::CreateObject() const {
    return new FCPartScopePrefs();
}

uint32_t FCPartScopePrefs::GetVersion() const {
    return HostVersion::kBuild;
}

void FCPartScopePrefs::CopyFrom(__FCBaseData* other) {
    if (other != nullptr && other->IsSameClass(this)) {
        concertPitch_ = static_cast<FCPartScopePrefs*>(other)->concertPitch_;
    }
}

bool FCPartScopePrefs::Load(uint16_t /*itemNo*/) {
    SetKey(kDocumentScope, 0);
    uint8_t scratch[kRecordSize] = {};
    uint32_t size = kRecordSize;
    if (fx::LoadEData(kTag, GetKeyAddress(), scratch, &size, GetVersion()) == 0) {
        return false;
    }
    concertPitch_ = le::I16(scratch, 0) == 0;
    return true;
}

bool FCPartScopePrefs::Save() {
    SetKey(kDocumentScope, 0);
    uint8_t scratch[kRecordSize] = {};
    uint32_t size = kRecordSize;
    if (fx::LoadEData(kTag, GetKeyAddress(), scratch, &size, GetVersion()) == 0) {
        return false;
    }
    le::SetI16(scratch, 0, concertPitch_ ? 0 : 1);
    return fx::SaveEData(kTag, GetKeyAddress(), scratch, kRecordSize, GetVersion()) != 0;
}
