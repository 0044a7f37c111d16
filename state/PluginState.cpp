// PluginState: defaults and the module's one instance.
#include "state/PluginState.h"

void PluginState::SetDefaults() {
    fromText.SetCString("A#");
    toText.SetCString("Bb");
    direction = FCPitchChangeNode::kClosest;
    soundingPitch = true;
    respace = true;
    workingList.ClearAll();
    pitchSets.ClearAll();
    pitchSetsUnreadable = false;
}

PluginState& PluginState::Instance() {
    static PluginState state;
    return state;
}
