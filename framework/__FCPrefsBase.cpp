// __FCPrefsBase: numbered preference loads.
#include "framework/__FCPrefsBase.h"

bool __FCPrefsBase::Load(uint16_t itemNo) {
    SetKey(itemNo, 0);
    return LoadUnderKey();
}

bool __FCPrefsBase::LoadFirst() {
    return Load(1);
}

bool __FCPrefsBase::Reload() {
    if (!IsLoaded()) {
        return false;
    }
    return Load(GetKeyItem1());
}
