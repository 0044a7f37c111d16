// FinaleExtensionInvoke and FinaleExtensionTerminate: opening and closing the dialog. Until the
// dialog exists they do nothing.
#include "shell/EntryPoints.h"

VS_EXPORT uint32_t VS_CALL FinaleExtensionInvoke(void* /*hostWindow*/, uint32_t /*a*/,
                                                 uint32_t /*b*/, uint32_t /*c*/) {
    return 0;
}

VS_EXPORT uint32_t VS_CALL FinaleExtensionTerminate(uint32_t /*ignored*/) { return 0; }
