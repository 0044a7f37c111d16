// WindowGeometry: where the dialog window was and how large, as remembered between runs of the
// host. It holds plain values only, so the settings code reads and writes it in every build;
// the dialog window keeps one and applies it to the real window.
#pragma once

#include <cstdint>

struct WindowGeometry {
    // hasSavedPosition says savedX and savedY (the window's top-left corner, screen pixels)
    // are valid.
    bool hasSavedPosition = false;
    int32_t savedX = 0;
    int32_t savedY = 0;
    // hasSavedSize says savedWidth and savedHeight are valid.
    bool hasSavedSize = false;
    int32_t savedWidth = 0;
    int32_t savedHeight = 0;
};
