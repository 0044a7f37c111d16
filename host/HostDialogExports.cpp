// The dialog FX_ functions, written once for every platform: each traces its call, checks its
// trailing version, its text width and its callback, and leaves the work to HostDialogs, which
// the platform provides.
#include <string>

#include "host/HostCall.h"
#include "host/HostCalls.h"
#include "host/HostDialogs.h"
#include "host/HostExports.h"
#include "host/HostSession.h"

using host::CallArgs;
using host::HexWord;
using host::HostCalls;
using host::HostDialogs;

namespace {

HexWord V(uint32_t version) {
    return HexWord{version};
}

// The most UTF-16 units of a text the host reads from a plug-in's pointer.
constexpr size_t kMostTextUnits = 5000;

}  // namespace

HOST_EXPORT int32_t HOST_CALL FX_Dialog(int32_t templateNumber, HostDialogProc callback,
                                        void* owner, int32_t zero, void* userData,
                                        uint32_t version) {
    HostCalls::Trace trace("FX_Dialog", CallArgs(templateNumber, reinterpret_cast<void*>(callback),
                                                 owner, zero, userData, V(version)));
    HostCalls::CheckVersion("FX_Dialog", version);
    if (callback == nullptr) {
        host::HostSession::Instance().ReportProtocolError("FX_Dialog without a callback");
        return trace.Answer(0);
    }
    return trace.Answer(HostDialogs::Open(templateNumber, callback, owner, userData));
}

HOST_EXPORT int32_t HOST_CALL FX_EndDialog(void* dialog, uint32_t version) {
    HostCalls::Trace trace("FX_EndDialog", CallArgs(dialog, V(version)));
    HostCalls::CheckVersion("FX_EndDialog", version);
    return trace.Answer(HostDialogs::End(dialog));
}

HOST_EXPORT int32_t HOST_CALL FX_EnableDlgItem(void* dialog, int32_t item, int32_t flag,
                                               uint32_t version) {
    HostCalls::Trace trace("FX_EnableDlgItem", CallArgs(dialog, item, flag, V(version)));
    HostCalls::CheckVersion("FX_EnableDlgItem", version);
    return trace.Answer(HostDialogs::EnableItem("FX_EnableDlgItem", dialog, item, flag != 0));
}

HOST_EXPORT int32_t HOST_CALL FX_SetDlgFocus(void* dialog, int32_t item, uint32_t version) {
    HostCalls::Trace trace("FX_SetDlgFocus", CallArgs(dialog, item, V(version)));
    HostCalls::CheckVersion("FX_SetDlgFocus", version);
    return trace.Answer(HostDialogs::Focus("FX_SetDlgFocus", dialog, item));
}

HOST_EXPORT int32_t HOST_CALL FX_GetDlgItemVal(void* dialog, int32_t item, int32_t kind,
                                               uint32_t version) {
    HostCalls::Trace trace("FX_GetDlgItemVal", CallArgs(dialog, item, kind, V(version)));
    HostCalls::CheckVersion("FX_GetDlgItemVal", version);
    return trace.Answer(HostDialogs::GetValue("FX_GetDlgItemVal", dialog, item, kind));
}

HOST_EXPORT int32_t HOST_CALL FX_SetDlgItemVal(void* dialog, int32_t item, int32_t kind,
                                               int32_t value, uint32_t version) {
    HostCalls::Trace trace("FX_SetDlgItemVal", CallArgs(dialog, item, kind, value, V(version)));
    HostCalls::CheckVersion("FX_SetDlgItemVal", version);
    return trace.Answer(HostDialogs::SetValue("FX_SetDlgItemVal", dialog, item, kind, value));
}

HOST_EXPORT int32_t HOST_CALL FX_GetDlgString(void* dialog, int32_t item, char* buffer,
                                              int32_t size, uint32_t version) {
    HostCalls::Trace trace("FX_GetDlgString", CallArgs(dialog, item, buffer, size, V(version)));
    HostCalls::CheckVersion("FX_GetDlgString", version);
    HostCalls::CheckWidth("FX_GetDlgString", false);
    return trace.Answer(HostDialogs::GetText("FX_GetDlgString", dialog, item, buffer, size));
}

HOST_EXPORT int32_t HOST_CALL FX_GetDlgString_UTF16(void* dialog, int32_t item, char16_t* buffer,
                                                    int32_t size, uint32_t version) {
    HostCalls::Trace trace("FX_GetDlgString_UTF16",
                           CallArgs(dialog, item, buffer, size, V(version)));
    HostCalls::CheckVersion("FX_GetDlgString_UTF16", version);
    HostCalls::CheckWidth("FX_GetDlgString_UTF16", true);
    return trace.Answer(HostDialogs::GetText("FX_GetDlgString_UTF16", dialog, item, buffer, size));
}

HOST_EXPORT int32_t HOST_CALL FX_SetDlgString(void* dialog, int32_t item, const char* text,
                                              uint32_t version) {
    HostCalls::Trace trace(
        "FX_SetDlgString",
        CallArgs(dialog, item, HostCalls::Quote(text != nullptr ? text : ""), V(version)));
    HostCalls::CheckVersion("FX_SetDlgString", version);
    HostCalls::CheckWidth("FX_SetDlgString", false);
    return trace.Answer(
        HostDialogs::SetText("FX_SetDlgString", dialog, item, text != nullptr ? text : ""));
}

HOST_EXPORT int32_t HOST_CALL FX_SetDlgString_UTF16(void* dialog, int32_t item,
                                                    const char16_t* text, uint32_t version) {
    std::u16string units;
    for (size_t i = 0; text != nullptr && text[i] != 0 && i < kMostTextUnits; ++i) {
        units += text[i];
    }
    HostCalls::Trace trace(
        "FX_SetDlgString_UTF16",
        CallArgs(dialog, item, HostCalls::Quote(HostCalls::Utf8(units)), V(version)));
    HostCalls::CheckVersion("FX_SetDlgString_UTF16", version);
    HostCalls::CheckWidth("FX_SetDlgString_UTF16", true);
    return trace.Answer(HostDialogs::SetText("FX_SetDlgString_UTF16", dialog, item, units));
}

HOST_EXPORT void* HOST_CALL FX_GetCurrentWindow(uint32_t version) {
    HostCalls::Trace trace("FX_GetCurrentWindow", CallArgs(V(version)));
    HostCalls::CheckVersion("FX_GetCurrentWindow", version);
    return trace.Answer(HostDialogs::CurrentWindow());
}
