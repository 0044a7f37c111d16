// PluginState: what outlives one opening of the dialog: the field texts, direction, the two
// options, the working list and the stored pitch sets. One per loaded module.
#pragma once

#include <cstdint>

#include "framework/FCString.h"
#include "pitch/FCPitchChangeLists.h"
#include "pitch/FCPitchChangeNodes.h"

struct PluginState {
    FCString fromText;
    FCString toText;
    int32_t direction = 0;
    bool soundingPitch = false;
    bool respace = false;
    FCPitchChangeNodes workingList;
    FCPitchChangeLists pitchSets;
    // pitchSetsUnreadable: the pitch-list file exists but could not be read when the sets were
    // loaded, so pitchSets lacks what it holds and the file must not be written from them.
    bool pitchSetsUnreadable = false;

    // SetDefaults: "A#" to "Bb", Closest, both options on, both lists emptied.
    void SetDefaults();

    // Instance answers the module's one state, made empty when the module loads.
    static PluginState& Instance();
};
