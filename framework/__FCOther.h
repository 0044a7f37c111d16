// __FCOther: records addressed by one item number (measures, staves): load, save under another
// number and create new ones.
#pragma once

#include "framework/__FCBaseData.h"

class __FCOther : public __FCBaseData {
  public:
    // Load sets the key to (item number, 0) and loads.
    virtual bool Load(uint16_t itemNo);
    virtual bool SaveAs(uint16_t itemNo);
    // SaveNew asks the host to create a new record from this loaded one.
    virtual bool SaveNew();

    // Reload goes through Load, so that classes which keep caches drop them.
    bool Reload() override;
};
