// The host's side of the calling convention: every FX_ function is extern "C", __cdecl on
// Windows, exported by name from the host program (natively: default visibility, so that a
// program linked with -rdynamic exports it).
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define HOST_CALL __cdecl
#define HOST_EXPORT extern "C" __declspec(dllexport)
#else
#define HOST_CALL
#define HOST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The dialog callback a plug-in hands to FX_Dialog.
using HostDialogProc = intptr_t(HOST_CALL*)(void* dialog, uint32_t message, uintptr_t wParam,
                                            intptr_t lParam, void* userData);
