// FCBrowserNoteEntries: processing one cell of the region walk.
#include "framework/FCBrowserNoteEntries.h"

#include <optional>

#include "framework/FCCell.h"
#include "framework/FCIteratorHandler.h"
#include "framework/FCMusicRegion.h"
#include "framework/FCNoteEntryCell.h"

__FCBase* FCBrowserNoteEntries::FindFirst(FCIteratorHandler* /*handler*/) {
    return nullptr;
}

bool FCBrowserNoteEntries::ProcessCell(FCCell* cell, FCIteratorHandler* handler,
                                       const FCMusicRegion* region) {
    if (cell == nullptr || handler == nullptr) {
        return false;
    }
    if (!handler->BeforeCell()) {
        return false;
    }
    // The entry cell lives in this optional so that its frames are released before the
    // handler's after-cell hooks run.
    std::optional<FCNoteEntryCell> entries(std::in_place, cell->GetMeasure(), cell->GetStaff());
    entries->SetLayerMode(layerMode_);
    entries->Load();  // a cell that fails to load is simply empty

    if (entries->GetCount() > 0 && !handler->AfterCellLoad()) {
        return false;
    }

    bool result = true;
    for (int32_t i = 0; i < entries->GetCount(); ++i) {
        if (FCNoteEntry* entry = entries->GetEntryInRegion(i, region)) {
            result = handler->Iterate(entry);
            if (!result) {
                break;
            }
        }
    }
    for (int32_t i = 0; i < entries->GetCount(); ++i) {
        if (FCNoteEntry* entry = entries->GetEntryInRegion(i, region)) {
            if (!handler->IterateSecondPass(entry)) {
                break;
            }
        }
    }
    if (handler->GetSaveFlag()) {
        entries->Save();
    }
    const bool filled = entries->GetCount() > 0;
    entries.reset();
    if (filled) {
        handler->AfterFilledCell();
    }
    handler->AfterCell();
    return result;
}
