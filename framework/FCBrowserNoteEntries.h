// FCBrowserNoteEntries: the region walk over note entries. Each cell of the region is loaded
// with the browser's layer mode, its entries inside the region are handed to the handler, and
// the cell is written back when the handler asks for it.
#pragma once

#include <cstdint>

#include "framework/__FCBrowserRegionBase.h"

class FCBrowserNoteEntries : public __FCBrowserRegionBase {
  public:
    FCBrowserNoteEntries() = default;

    // FindFirst has nothing to search: entries live only while their cell is processed.
    __FCBase* FindFirst(FCIteratorHandler* handler) override;
    // ProcessCell: BeforeCell, load, AfterCellLoad (cells with entries), the first pass
    // (Iterate), the second pass (IterateSecondPass), the save when the handler's save flag is
    // set, the release of the frames, AfterFilledCell (cells with entries) and AfterCell. The
    // answer is the first pass's last answer.
    bool ProcessCell(FCCell* cell, FCIteratorHandler* handler,
                     const FCMusicRegion* region) override;

    // The layer mode is copied into every cell the browser loads (see FCNoteEntryCell).
    int32_t GetLayerMode() const { return layerMode_; }
    void SetLayerMode(int32_t mode) { layerMode_ = mode; }

  private:
    int32_t layerMode_ = 0;
};
