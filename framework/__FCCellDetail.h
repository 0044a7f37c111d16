// __FCCellDetail: records that belong to one cell (a measure of one staff).
#pragma once

#include "framework/__FCBaseData.h"

class __FCCellDetail : public __FCBaseData {
  public:
    // Clear forgets cell-specific state; nothing to forget at this level.
    virtual void Clear();
    // SaveNew would create a new record for the cell; cell details are only read here.
    virtual bool SaveNew();
};
