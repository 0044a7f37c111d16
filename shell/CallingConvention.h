// The one calling convention of everything that crosses the host boundary: the six entry
// points, the host's FX_ functions and the dialog callback. Changing it is a one-line change.
#pragma once

#if defined(_WIN32)
#define VS_CALL __cdecl
#define VS_EXPORT extern "C" __declspec(dllexport)
#else
#define VS_CALL
#define VS_EXPORT extern "C" __attribute__((visibility("default")))
#endif
