// The dialog FX_ functions in the native build, where there are no windows: they check their
// arguments like the Windows ones, show up in the trace and answer 0.
#include <string>

#include "host/HostCall.h"
#include "host/HostCalls.h"
#include "host/HostExports.h"

using host::HostCalls;

namespace {

std::string Ptr(const void* p) {
    return HostCalls::Pointer(p);
}
std::string V(uint32_t version) {
    return HostCalls::Hex(version);
}

}  // namespace

HOST_EXPORT int32_t HOST_CALL FX_Dialog(int32_t templateNumber, HostDialogProc callback,
                                        void* owner, int32_t zero, void* userData,
                                        uint32_t version) {
    HostCalls::Trace trace("FX_Dialog", std::to_string(templateNumber) + ", " +
                                            Ptr(reinterpret_cast<void*>(callback)) + ", " +
                                            Ptr(owner) + ", " + std::to_string(zero) + ", " +
                                            Ptr(userData) + ", " + V(version));
    HostCalls::CheckVersion("FX_Dialog", version);
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_EndDialog(void* dialog, uint32_t version) {
    HostCalls::Trace trace("FX_EndDialog", Ptr(dialog) + ", " + V(version));
    HostCalls::CheckVersion("FX_EndDialog", version);
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_EnableDlgItem(void* dialog, int32_t item, int32_t flag,
                                               uint32_t version) {
    HostCalls::Trace trace("FX_EnableDlgItem", Ptr(dialog) + ", " + std::to_string(item) + ", " +
                                                   std::to_string(flag) + ", " + V(version));
    HostCalls::CheckVersion("FX_EnableDlgItem", version);
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_SetDlgFocus(void* dialog, int32_t item, uint32_t version) {
    HostCalls::Trace trace("FX_SetDlgFocus",
                           Ptr(dialog) + ", " + std::to_string(item) + ", " + V(version));
    HostCalls::CheckVersion("FX_SetDlgFocus", version);
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_GetDlgItemVal(void* dialog, int32_t item, int32_t kind,
                                               uint32_t version) {
    HostCalls::Trace trace("FX_GetDlgItemVal", Ptr(dialog) + ", " + std::to_string(item) + ", " +
                                                   std::to_string(kind) + ", " + V(version));
    HostCalls::CheckVersion("FX_GetDlgItemVal", version);
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_SetDlgItemVal(void* dialog, int32_t item, int32_t kind,
                                               int32_t value, uint32_t version) {
    HostCalls::Trace trace("FX_SetDlgItemVal", Ptr(dialog) + ", " + std::to_string(item) + ", " +
                                                   std::to_string(kind) + ", " +
                                                   std::to_string(value) + ", " + V(version));
    HostCalls::CheckVersion("FX_SetDlgItemVal", version);
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_GetDlgString(void* dialog, int32_t item, char* buffer,
                                              int32_t size, uint32_t version) {
    HostCalls::Trace trace("FX_GetDlgString", Ptr(dialog) + ", " + std::to_string(item) + ", " +
                                                  Ptr(buffer) + ", " + std::to_string(size) + ", " +
                                                  V(version));
    HostCalls::CheckVersion("FX_GetDlgString", version);
    HostCalls::CheckWidth("FX_GetDlgString", false);
    if (buffer != nullptr && size > 0) {
        buffer[0] = 0;
    }
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_GetDlgString_UTF16(void* dialog, int32_t item, char16_t* buffer,
                                                    int32_t size, uint32_t version) {
    HostCalls::Trace trace("FX_GetDlgString_UTF16", Ptr(dialog) + ", " + std::to_string(item) +
                                                        ", " + Ptr(buffer) + ", " +
                                                        std::to_string(size) + ", " + V(version));
    HostCalls::CheckVersion("FX_GetDlgString_UTF16", version);
    HostCalls::CheckWidth("FX_GetDlgString_UTF16", true);
    if (buffer != nullptr && size > 0) {
        buffer[0] = 0;
    }
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_SetDlgString(void* dialog, int32_t item, const char* text,
                                              uint32_t version) {
    HostCalls::Trace trace("FX_SetDlgString", Ptr(dialog) + ", " + std::to_string(item) + ", " +
                                                  HostCalls::Quote(text != nullptr ? text : "") +
                                                  ", " + V(version));
    HostCalls::CheckVersion("FX_SetDlgString", version);
    HostCalls::CheckWidth("FX_SetDlgString", false);
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_SetDlgString_UTF16(void* dialog, int32_t item,
                                                    const char16_t* text, uint32_t version) {
    std::u16string units;
    for (size_t i = 0; text != nullptr && text[i] != 0 && i < 5000; ++i) {
        units += text[i];
    }
    HostCalls::Trace trace("FX_SetDlgString_UTF16",
                           Ptr(dialog) + ", " + std::to_string(item) + ", " +
                               HostCalls::Quote(HostCalls::Utf8(units)) + ", " + V(version));
    HostCalls::CheckVersion("FX_SetDlgString_UTF16", version);
    HostCalls::CheckWidth("FX_SetDlgString_UTF16", true);
    return trace.Answer(0);
}

HOST_EXPORT void* HOST_CALL FX_GetCurrentWindow(uint32_t version) {
    HostCalls::Trace trace("FX_GetCurrentWindow", V(version));
    HostCalls::CheckVersion("FX_GetCurrentWindow", version);
    return trace.Answer(static_cast<void*>(nullptr));
}
