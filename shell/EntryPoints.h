// The plug-in's exported entry points, as the host calls them.
#pragma once

#include <cstdint>

#include "hostapi/CallingConvention.h"

VS_EXPORT uint32_t VS_CALL FinaleExtensionVersion(uint32_t hostVersion);
VS_EXPORT uint32_t VS_CALL FinaleExtensionInit(uint32_t ignored, uint32_t* flags);
VS_EXPORT uint32_t VS_CALL FinaleExtensionEnumerate_UTF16(uint32_t ignored, uint32_t index,
                                                          void* record);
VS_EXPORT uint32_t VS_CALL FinaleExtensionGetMenuStatus(uint32_t ignored);
VS_EXPORT uint32_t VS_CALL FinaleExtensionInvoke(void* hostWindow, uint32_t a, uint32_t b,
                                                 uint32_t c);
VS_EXPORT uint32_t VS_CALL FinaleExtensionTerminate(uint32_t ignored);
