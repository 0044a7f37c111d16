// HostDialogs on Windows: the plug-in's modeless dialog made from its template, and its items
// read and written with real controls.
#include <windows.h>

#include <string>

#include "host/HostDialogs.h"
#include "host/HostSession.h"
#include "host/HostWindows.h"

namespace host {
namespace {

// What FX_GetDlgItemVal and FX_SetDlgItemVal read or write.
constexpr int32_t kPopupChoice = 0;
constexpr int32_t kCheckState = 1;

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

constexpr int kClassNameSize = 32;

// Work on the item of a dialog the host made; 0 after reporting a dialog or item that is not
// there.
template <typename Work>
int32_t OnItem(const char* name, void* dialog, int32_t item, Work work) {
    HWND control = Item(name, dialog, item);
    return control != nullptr ? work(control) : 0;
}

// An item's text into a buffer of 8-bit or UTF-16 units.
template <typename Unit>
int32_t ReadText(const char* name, void* dialog, int32_t item, Unit* buffer, int32_t size) {
    HWND control = Item(name, dialog, item);
    if (control == nullptr || buffer == nullptr || size <= 0) {
        return 0;
    }
    if constexpr (sizeof(Unit) == 1) {
        GetWindowTextA(control, buffer, size);
    } else {
        GetWindowTextW(control, reinterpret_cast<wchar_t*>(buffer), size);
    }
    return 1;
}

bool IsComboBox(HWND control) {
    wchar_t cls[kClassNameSize] = {};
    GetClassNameW(control, cls, kClassNameSize);
    return lstrcmpiW(cls, L"ComboBox") == 0;
}

}  // namespace

int32_t HostDialogs::Open(int32_t templateNumber, HostDialogProc callback, void* owner,
                          void* userData) {
    HWND dialog = HostWindows::Instance().CreatePluginDialog(
        static_cast<uint16_t>(templateNumber), callback, static_cast<HWND>(owner), userData);
    return dialog != nullptr ? 1 : 0;
}

int32_t HostDialogs::End(void* dialog) {
    auto* window = static_cast<HWND>(dialog);
    if (window == nullptr || !HostWindows::Instance().IsPluginDialog(window)) {
        HostSession::Instance().ReportProtocolError("FX_EndDialog on a dialog that is not open");
        return 0;
    }
    DestroyWindow(window);
    return 1;
}

int32_t HostDialogs::EnableItem(const char* name, void* dialog, int32_t item, bool enable) {
    return OnItem(name, dialog, item, [&](HWND control) {
        EnableWindow(control, enable ? TRUE : FALSE);
        return 1;
    });
}

int32_t HostDialogs::Focus(const char* name, void* dialog, int32_t item) {
    return OnItem(name, dialog, item, [&](HWND control) {
        // Focus goes to the item of an active dialog: bring the dialog forward first.
        SetActiveWindow(static_cast<HWND>(dialog));
        SendMessageW(static_cast<HWND>(dialog), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control),
                     TRUE);
        SetFocus(control);
        return 1;
    });
}

int32_t HostDialogs::GetValue(const char* name, void* dialog, int32_t item, int32_t kind) {
    HWND control = Item(name, dialog, item);
    if (control == nullptr) {
        return 0;
    }
    if (kind == kPopupChoice) {
        const LRESULT choice = SendMessageW(control, CB_GETCURSEL, 0, 0);
        return choice == CB_ERR ? 0 : static_cast<int32_t>(choice) + 1;
    }
    if (kind == kCheckState) {
        return static_cast<int32_t>(SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
    HostSession::Instance().ReportProtocolError(std::string(name) + " with kind " +
                                                std::to_string(kind));
    return 0;
}

int32_t HostDialogs::SetValue(const char* name, void* dialog, int32_t item, int32_t kind,
                              int32_t value) {
    HWND control = Item(name, dialog, item);
    if (control == nullptr) {
        return 0;
    }
    if (kind == kPopupChoice && IsComboBox(control)) {
        // Setting a popup from code sends no selection-change notification.
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(value - 1), 0);
        return 1;
    }
    if (kind == kCheckState) {
        SendMessageW(control, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
        return 1;
    }
    HostSession::Instance().ReportProtocolError(std::string(name) + " with kind " +
                                                std::to_string(kind) + " on item " +
                                                std::to_string(item));
    return 0;
}

int32_t HostDialogs::GetText(const char* name, void* dialog, int32_t item, char* buffer,
                             int32_t size) {
    return ReadText(name, dialog, item, buffer, size);
}

int32_t HostDialogs::GetText(const char* name, void* dialog, int32_t item, char16_t* buffer,
                             int32_t size) {
    return ReadText(name, dialog, item, buffer, size);
}

int32_t HostDialogs::SetText(const char* name, void* dialog, int32_t item, const char* text) {
    return OnItem(name, dialog, item, [&](HWND control) {
        SetWindowTextA(control, text);
        return 1;
    });
}

int32_t HostDialogs::SetText(const char* name, void* dialog, int32_t item,
                             const std::u16string& text) {
    return OnItem(name, dialog, item, [&](HWND control) {
        SetWindowTextW(control, reinterpret_cast<const wchar_t*>(text.c_str()));
        return 1;
    });
}

void* HostDialogs::CurrentWindow() {
    return HostWindows::Instance().CurrentWindow();
}

}  // namespace host
