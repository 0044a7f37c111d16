// The dialog FX_ functions on Windows: the plug-in's modeless dialog made from its template, and
// its items read and written with real controls.
#include <windows.h>

#include <string>

#include "host/HostCall.h"
#include "host/HostCalls.h"
#include "host/HostExports.h"
#include "host/HostSession.h"
#include "host/HostWindows.h"

using host::HostCalls;
using host::HostSession;
using host::HostWindows;

namespace {

std::string Ptr(const void* p) {
    return HostCalls::Pointer(p);
}
std::string V(uint32_t version) {
    return HostCalls::Hex(version);
}

// The item of a dialog the host made, or null after reporting a dialog handle it never made.
HWND Item(const char* name, void* dialog, int32_t item) {
    auto* window = static_cast<HWND>(dialog);
    if (window == nullptr || !IsWindow(window)) {
        HostSession::Instance().ReportProtocolError(std::string(name) +
                                                    " on a dialog that does not exist");
        return nullptr;
    }
    HWND control = GetDlgItem(window, item);
    if (control == nullptr) {
        HostSession::Instance().ReportProtocolError(
            std::string(name) + ": the dialog has no item " + std::to_string(item));
    }
    return control;
}

bool IsComboBox(HWND control) {
    wchar_t cls[32] = {};
    GetClassNameW(control, cls, 32);
    return lstrcmpiW(cls, L"ComboBox") == 0;
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
    if (callback == nullptr) {
        HostSession::Instance().ReportProtocolError("FX_Dialog without a callback");
        return trace.Answer(0);
    }
    HWND dialog = HostWindows::Instance().CreatePluginDialog(
        static_cast<uint16_t>(templateNumber), callback, static_cast<HWND>(owner), userData);
    return trace.Answer(dialog != nullptr ? 1 : 0);
}

HOST_EXPORT int32_t HOST_CALL FX_EndDialog(void* dialog, uint32_t version) {
    HostCalls::Trace trace("FX_EndDialog", Ptr(dialog) + ", " + V(version));
    HostCalls::CheckVersion("FX_EndDialog", version);
    auto* window = static_cast<HWND>(dialog);
    if (window == nullptr || !HostWindows::Instance().IsPluginDialog(window)) {
        HostSession::Instance().ReportProtocolError("FX_EndDialog on a dialog that is not open");
        return trace.Answer(0);
    }
    DestroyWindow(window);
    return trace.Answer(1);
}

HOST_EXPORT int32_t HOST_CALL FX_EnableDlgItem(void* dialog, int32_t item, int32_t flag,
                                               uint32_t version) {
    HostCalls::Trace trace("FX_EnableDlgItem", Ptr(dialog) + ", " + std::to_string(item) + ", " +
                                                   std::to_string(flag) + ", " + V(version));
    HostCalls::CheckVersion("FX_EnableDlgItem", version);
    HWND control = Item("FX_EnableDlgItem", dialog, item);
    if (control == nullptr) {
        return trace.Answer(0);
    }
    EnableWindow(control, flag != 0 ? TRUE : FALSE);
    return trace.Answer(1);
}

HOST_EXPORT int32_t HOST_CALL FX_SetDlgFocus(void* dialog, int32_t item, uint32_t version) {
    HostCalls::Trace trace("FX_SetDlgFocus",
                           Ptr(dialog) + ", " + std::to_string(item) + ", " + V(version));
    HostCalls::CheckVersion("FX_SetDlgFocus", version);
    HWND control = Item("FX_SetDlgFocus", dialog, item);
    if (control == nullptr) {
        return trace.Answer(0);
    }
    // Focus goes to the item of an active dialog: bring the dialog forward first.
    SetActiveWindow(static_cast<HWND>(dialog));
    SendMessageW(static_cast<HWND>(dialog), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    SetFocus(control);
    return trace.Answer(1);
}

HOST_EXPORT int32_t HOST_CALL FX_GetDlgItemVal(void* dialog, int32_t item, int32_t kind,
                                               uint32_t version) {
    HostCalls::Trace trace("FX_GetDlgItemVal", Ptr(dialog) + ", " + std::to_string(item) + ", " +
                                                   std::to_string(kind) + ", " + V(version));
    HostCalls::CheckVersion("FX_GetDlgItemVal", version);
    HWND control = Item("FX_GetDlgItemVal", dialog, item);
    if (control == nullptr) {
        return trace.Answer(0);
    }
    if (kind == 0) {
        const LRESULT choice = SendMessageW(control, CB_GETCURSEL, 0, 0);
        return trace.Answer(choice == CB_ERR ? 0 : static_cast<int32_t>(choice) + 1);
    }
    if (kind == 1) {
        return trace.Answer(
            static_cast<int32_t>(SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED));
    }
    HostSession::Instance().ReportProtocolError("FX_GetDlgItemVal with kind " +
                                                std::to_string(kind));
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_SetDlgItemVal(void* dialog, int32_t item, int32_t kind,
                                               int32_t value, uint32_t version) {
    HostCalls::Trace trace("FX_SetDlgItemVal", Ptr(dialog) + ", " + std::to_string(item) + ", " +
                                                   std::to_string(kind) + ", " +
                                                   std::to_string(value) + ", " + V(version));
    HostCalls::CheckVersion("FX_SetDlgItemVal", version);
    HWND control = Item("FX_SetDlgItemVal", dialog, item);
    if (control == nullptr) {
        return trace.Answer(0);
    }
    if (kind == 0 && IsComboBox(control)) {
        // Setting a popup from code sends no selection-change notification.
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(value - 1), 0);
        return trace.Answer(1);
    }
    if (kind == 1) {
        SendMessageW(control, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
        return trace.Answer(1);
    }
    HostSession::Instance().ReportProtocolError(
        "FX_SetDlgItemVal with kind " + std::to_string(kind) + " on item " + std::to_string(item));
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_GetDlgString(void* dialog, int32_t item, char* buffer,
                                              int32_t size, uint32_t version) {
    HostCalls::Trace trace("FX_GetDlgString", Ptr(dialog) + ", " + std::to_string(item) + ", " +
                                                  Ptr(buffer) + ", " + std::to_string(size) + ", " +
                                                  V(version));
    HostCalls::CheckVersion("FX_GetDlgString", version);
    HostCalls::CheckWidth("FX_GetDlgString", false);
    HWND control = Item("FX_GetDlgString", dialog, item);
    if (control == nullptr || buffer == nullptr || size <= 0) {
        return trace.Answer(0);
    }
    GetWindowTextA(control, buffer, size);
    return trace.Answer(1);
}

HOST_EXPORT int32_t HOST_CALL FX_GetDlgString_UTF16(void* dialog, int32_t item, char16_t* buffer,
                                                    int32_t size, uint32_t version) {
    HostCalls::Trace trace("FX_GetDlgString_UTF16", Ptr(dialog) + ", " + std::to_string(item) +
                                                        ", " + Ptr(buffer) + ", " +
                                                        std::to_string(size) + ", " + V(version));
    HostCalls::CheckVersion("FX_GetDlgString_UTF16", version);
    HostCalls::CheckWidth("FX_GetDlgString_UTF16", true);
    HWND control = Item("FX_GetDlgString_UTF16", dialog, item);
    if (control == nullptr || buffer == nullptr || size <= 0) {
        return trace.Answer(0);
    }
    GetWindowTextW(control, reinterpret_cast<wchar_t*>(buffer), size);
    return trace.Answer(1);
}

HOST_EXPORT int32_t HOST_CALL FX_SetDlgString(void* dialog, int32_t item, const char* text,
                                              uint32_t version) {
    HostCalls::Trace trace("FX_SetDlgString", Ptr(dialog) + ", " + std::to_string(item) + ", " +
                                                  HostCalls::Quote(text != nullptr ? text : "") +
                                                  ", " + V(version));
    HostCalls::CheckVersion("FX_SetDlgString", version);
    HostCalls::CheckWidth("FX_SetDlgString", false);
    HWND control = Item("FX_SetDlgString", dialog, item);
    if (control == nullptr) {
        return trace.Answer(0);
    }
    SetWindowTextA(control, text != nullptr ? text : "");
    return trace.Answer(1);
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
    HWND control = Item("FX_SetDlgString_UTF16", dialog, item);
    if (control == nullptr) {
        return trace.Answer(0);
    }
    SetWindowTextW(control, reinterpret_cast<const wchar_t*>(units.c_str()));
    return trace.Answer(1);
}

HOST_EXPORT void* HOST_CALL FX_GetCurrentWindow(uint32_t version) {
    HostCalls::Trace trace("FX_GetCurrentWindow", V(version));
    HostCalls::CheckVersion("FX_GetCurrentWindow", version);
    return trace.Answer(static_cast<void*>(HostWindows::Instance().CurrentWindow()));
}
