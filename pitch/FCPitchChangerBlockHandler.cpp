// FCPitchChangerBlockHandler: selection, region walk and respace of one pitch change run.
#include "pitch/FCPitchChangerBlockHandler.h"

#include "framework/FCBrowserNoteEntries.h"
#include "framework/FCMusicRegion.h"
#include "hostapi/HostFunctions.h"
#include "pitch/FCPitchChanger.h"

namespace {

constexpr int32_t kRespaceCommand = 12106;

// CurrentRegion fills region from the host's selection; false when nothing is selected.
bool CurrentRegion(FCMusicRegion& region) {
    int32_t out = 0;
    uint8_t second[FCMusicRegion::kRecordSize] = {};
    const bool selected = fx::GetCurERegions(&out, region.GetRecord(), second) != 0;
    region.SetDocument(static_cast<int16_t>(fx::GetCurrentEnigmaDocument()));
    return selected;
}

}  // namespace

FCPitchChangerBlockHandler::FCPitchChangerBlockHandler(const FCPitchChangeNodes* nodes,
                                                       bool respace, bool soundingPitch,
                                                       NoSelectionAlert* alert)
    : nodes_(nodes), respace_(respace), soundingPitch_(soundingPitch), alert_(alert) {}

bool FCPitchChangerBlockHandler::Run() {
    FCMusicRegion region;
    if (!CurrentRegion(region)) {
        if (alert_ != nullptr) {
            alert_->AlertNoSelection();
        }
        return false;
    }
    FCBrowserNoteEntries browser;
    browser.SetLayerMode(0);  // shown layers only
    FCPitchChanger changer(nodes_, soundingPitch_);
    browser.ForEachCellInRegion(&changer, &region);
    if (respace_ && changer.HasChanged()) {
        Respace(region);
    }
    return true;
}

void FCPitchChangerBlockHandler::Respace(FCMusicRegion& userRegion) {
    FCMusicRegion all;
    CurrentRegion(all);
    all.SetFullStaffRange();
    if (fx::GetCurrentEnigmaDocument() == all.GetDocument()) {
        fx::SetCurERegion(all.GetRecord());
    }
    fx::ExecuteMenuItem(kRespaceCommand);
    if (fx::GetCurrentEnigmaDocument() == userRegion.GetDocument()) {
        fx::SetCurERegion(userRegion.GetRecord());
    }
}
