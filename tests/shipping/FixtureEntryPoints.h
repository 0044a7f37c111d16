// Entry points for the broken fixture modules: each fixture defines VS_FIXTURE_CALL and may drop
// or add one export, so that exactly one rule of the shipping check slips.
#pragma once

#include <cstdint>

#ifndef VS_FIXTURE_CALL
#define VS_FIXTURE_CALL __cdecl
#endif
#define VS_FIXTURE_EXPORT extern "C" __declspec(dllexport)

VS_FIXTURE_EXPORT uint32_t VS_FIXTURE_CALL FinaleExtensionVersion(uint32_t) {
    return 0x0F000000;
}
VS_FIXTURE_EXPORT uint32_t VS_FIXTURE_CALL FinaleExtensionInit(uint32_t, uint32_t*) {
    return 1;
}
VS_FIXTURE_EXPORT uint32_t VS_FIXTURE_CALL FinaleExtensionEnumerate_UTF16(uint32_t, uint32_t,
                                                                          void*) {
    return 0;
}
VS_FIXTURE_EXPORT uint32_t VS_FIXTURE_CALL FinaleExtensionGetMenuStatus(uint32_t) {
    return 1;
}
VS_FIXTURE_EXPORT uint32_t VS_FIXTURE_CALL FinaleExtensionInvoke(void*, uint32_t, uint32_t,
                                                                 uint32_t) {
    return 0;
}
#ifndef VS_FIXTURE_NO_TERMINATE
VS_FIXTURE_EXPORT uint32_t VS_FIXTURE_CALL FinaleExtensionTerminate(uint32_t) {
    return 0;
}
#endif
