// FCCtrlPopup on Windows: entries through combo box messages, the choice through the host.
#include "ui/FCCtrlPopup.h"

#include <windows.h>

#include "hostapi/HostFunctions.h"

void FCCtrlPopup::AddString(FCString* text) {
    if (text == nullptr) {
        return;
    }
    SendDlgItemMessageA(static_cast<HWND>(GetDialogHandle()), GetItemNumber(), CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(text->GetCString()));
}

void FCCtrlPopup::ResetContent() {
    SendDlgItemMessageW(static_cast<HWND>(GetDialogHandle()), GetItemNumber(), CB_RESETCONTENT, 0,
                        0);
}

void FCCtrlPopup::DeleteString(int32_t index) {
    SendDlgItemMessageW(static_cast<HWND>(GetDialogHandle()), GetItemNumber(), CB_DELETESTRING,
                        static_cast<WPARAM>(index), 0);
}

int32_t FCCtrlPopup::GetCount() {
    if (GetItemHandle() == nullptr) {
        return 0;
    }
    const LRESULT count = SendDlgItemMessageW(static_cast<HWND>(GetDialogHandle()), GetItemNumber(),
                                              CB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int32_t>(count) : 0;
}

int32_t FCCtrlPopup::GetValue() {
    return fx::GetDlgItemVal(GetDialogHandle(), GetItemNumber(), 0);
}

void FCCtrlPopup::SetValue(int32_t value) {
    fx::SetDlgItemVal(GetDialogHandle(), GetItemNumber(), 0, value);
}
