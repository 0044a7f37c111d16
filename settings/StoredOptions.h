// StoredOptions: the dialog's options, window geometry and working list in the shared settings
// file. The file belongs to a family of plug-ins: saving keeps every pair it holds and changes
// only this plug-in's keys.
#pragma once

#include "settings/WindowGeometry.h"
#include "state/PluginState.h"

class StoredOptions {
  public:
    static constexpr const char* kWindowX = "VESKSORVEL_WINDOWX2";
    static constexpr const char* kWindowY = "VESKSORVEL_WINDOWY2";
    static constexpr const char* kWindowWidth = "VESKSORVEL_WINDOWWIDTH2";
    static constexpr const char* kWindowHeight = "VESKSORVEL_WINDOWHEIGHT2";
    static constexpr const char* kFrom = "VESKSORVEL_FROM";
    static constexpr const char* kTo = "VESKSORVEL_TO";
    static constexpr const char* kDirection = "VESKSORVEL_UPDIRECTION";
    static constexpr const char* kSoundingPitch = "VESKSORVEL_SOUNDINGPITCH";
    static constexpr const char* kRespace = "VESKSORVEL_RESPACE";

    // LoadOptions reads the shared settings file into geometry and state. Without a file
    // nothing changes; a missing key leaves its value as it is. The working list is replaced
    // by the file's rows.
    static void LoadOptions(WindowGeometry& geometry, PluginState& state = PluginState::Instance());
    // SaveOptions rewrites the shared settings file with geometry, the options and the working
    // list; false when the file could not be written (it is then left as it was). A file that
    // exists but could not be read is never written: it holds other plug-ins' settings.
    static bool SaveOptions(const WindowGeometry& geometry,
                            PluginState& state = PluginState::Instance());
};
