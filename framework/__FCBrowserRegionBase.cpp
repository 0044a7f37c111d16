// __FCBrowserRegionBase: the order of the region walk.
#include "framework/__FCBrowserRegionBase.h"

#include "framework/FCCell.h"
#include "framework/FCMusicRegion.h"
#include "hostapi/HostFunctions.h"

int32_t __FCBrowserRegionBase::ForEachCellInRegion(FCIteratorHandler* handler,
                                                   const FCMusicRegion* region) {
    if (handler == nullptr || region == nullptr) {
        return 0;
    }
    int32_t count = 0;
    const uint16_t qualifier = region->GetStartSlotQualifier();
    for (int32_t measure = region->GetStartMeasure(); measure <= region->GetEndMeasure();
         ++measure) {
        for (int32_t slot = region->GetStartSlot(); slot <= region->GetEndSlot(); ++slot) {
            FCCell cell(measure, fx::SlotToInst(slot, qualifier));
            if (!ProcessCell(&cell, handler, region)) {
                return count;
            }
            ++count;
        }
    }
    return count;
}

int __FCBrowserRegionBase::ForEach(FCIteratorHandler* handler) {
    FCMusicRegion region;
    FCMusicRegion second;
    int32_t out = 0;
    if (fx::GetCurERegions(&out, region.GetRecord(), second.GetRecord()) == 0) {
        return 0;
    }
    region.SetDocument(static_cast<int16_t>(fx::GetCurrentEnigmaDocument()));
    return ForEachCellInRegion(handler, &region);
}
