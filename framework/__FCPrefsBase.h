// __FCPrefsBase: document preference records, addressed by a preference number.
#pragma once

#include "framework/__FCBaseData.h"

class __FCPrefsBase : public __FCBaseData {
  public:
    // Load sets the key's first item to the preference number and loads.
    virtual bool Load(uint16_t itemNo);

    // LoadFirst loads preference number 1.
    bool LoadFirst() override;
    bool Reload() override;
};
