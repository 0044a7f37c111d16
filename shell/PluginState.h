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

    // SetDefaults: "A#" to "Bb", Closest, both options on, both lists emptied.
    void SetDefaults();

    // Instance answers the module's one state, made empty when the module loads.
    static PluginState& Instance();
};
