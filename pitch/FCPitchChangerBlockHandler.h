// FCPitchChangerBlockHandler: the pitch change run inside the undo block: walk the selected
// region with an FCPitchChanger, then have the host respace what changed.
#pragma once

#include "pitch/FCPitchChangeNodes.h"
#include "pitch/NoSelectionAlert.h"
#include "pitch/__FCUndoBlockHandler.h"

class FCPitchChangerBlockHandler : public __FCUndoBlockHandler {
  public:
    // Nothing is owned: the nodes and the alert outlive the run (a null alert tells nobody).
    FCPitchChangerBlockHandler(const FCPitchChangeNodes* nodes, bool respace, bool soundingPitch,
                               NoSelectionAlert* alert);

    // Run answers false (after telling the alert) when nothing is selected.
    bool Run() override;

  private:
    // Respace widens the selected measures to all staves, has the host respace them and puts
    // the user's selection back.
    static void Respace(class FCMusicRegion& userRegion);

    const FCPitchChangeNodes* nodes_;
    bool respace_;
    bool soundingPitch_;
    NoSelectionAlert* alert_;
};
