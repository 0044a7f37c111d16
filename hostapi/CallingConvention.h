// The one calling convention of everything that crosses the host boundary: the six entry
// points, the host's FX_ functions and the dialog callback. Changing it is a one-line change.
// VS_CALL marks what the host calls (entry points, dialog callback), VS_HOST_CALL what the
// plug-in calls (FX_ functions); both are __cdecl. Only a test build sets VS_CALL_OVERRIDE or
// VS_HOST_CALL_OVERRIDE, to make a 32-bit module whose one side disagrees with the host, which
// the hosted tests must notice. VS_HOST_CALL is written in hostapi/HostFunctions.cpp alone (the
// FX_ function table): that test module compiles only that file again with the override.
#pragma once

#if defined(_WIN32)
#define VS_CALL_DEFAULT __cdecl
#define VS_EXPORT extern "C" __declspec(dllexport)
#else
#define VS_CALL_DEFAULT
#define VS_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if defined(VS_CALL_OVERRIDE)
#define VS_CALL VS_CALL_OVERRIDE
#else
#define VS_CALL VS_CALL_DEFAULT
#endif

#if defined(VS_HOST_CALL_OVERRIDE)
#define VS_HOST_CALL VS_HOST_CALL_OVERRIDE
#else
#define VS_HOST_CALL VS_CALL_DEFAULT
#endif
