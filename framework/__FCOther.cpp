// __FCOther: item-numbered loads and saves.
#include "framework/__FCOther.h"

#include "hostapi/HostFunctions.h"

bool __FCOther::Load(uint16_t itemNo) {
    SetKey(itemNo, 0);
    return LoadUnderKey();
}

bool __FCOther::SaveAs(uint16_t itemNo) {
    SetKey(itemNo, 0);
    return Save();
}

bool __FCOther::SaveNew() {
    if (!IsLoaded() || GetRecordPointer() == nullptr) {
        return false;
    }
    // The host picks the new record's number from this placeholder key.
    SetKey(0xFFFF, 0xFFFF);
    return fx::CreateEData(GetTag(), GetKeyAddress(), GetRecordPointer(), GetLoadedSize(),
                           GetVersion()) != 0;
}

bool __FCOther::Reload() {
    if (!IsLoaded()) {
        return false;
    }
    return Load(GetKeyItem1());
}
