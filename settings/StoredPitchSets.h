// StoredPitchSets: the named pitch sets in the pitch-list file, set after set in stored order,
// each as its name followed by its rows. Set numbers are positions, so deleting a set
// renumbers the ones after it at the next write.
#pragma once

#include "state/PluginState.h"

class StoredPitchSets {
  public:
    static constexpr const char* kNameKey = "VESKSORVEL_LIST_NAME_";

    // LoadPitchSets replaces the stored pitch sets by those of the file: sets 1, 2, 3 ... up to
    // the first missing number or the first set without a complete first row. False when the
    // file exists but could not be read: the state then remembers that it must not be written.
    static bool LoadPitchSets(PluginState& state = PluginState::Instance());
    // SavePitchSets rewrites the file with every stored set; false when it could not be written
    // (it is then left as it was), and without trying when the file could not be read.
    static bool SavePitchSets(PluginState& state = PluginState::Instance());
};
