// __FCBrowserRegionBase: walks the cells of a region, measure by measure and, inside a
// measure, from the region's top slot to its bottom one.
#pragma once

#include <cstdint>

#include "framework/__FCBrowserBase.h"

class __FCBrowserRegionBase : public __FCBrowserBase {
  public:
    // ForEachCellInRegion processes every cell of the region until one answers false, and
    // answers how many cells were completed.
    int32_t ForEachCellInRegion(FCIteratorHandler* handler, const FCMusicRegion* region);

    // ForEach walks the document's current selection the same way; 0 without one.
    int ForEach(FCIteratorHandler* handler) override;
};
