// FCCtrlCheckbox on Windows: the check state through the host's value functions (kind 1).
#include "ui/FCCtrlCheckbox.h"

#include "hostapi/HostFunctions.h"

void FCCtrlCheckbox::SetCheck(int16_t value) {
    fx::SetDlgItemVal(GetDialogHandle(), GetItemNumber(), 1, value);
}

int16_t FCCtrlCheckbox::GetCheck() {
    return static_cast<int16_t>(fx::GetDlgItemVal(GetDialogHandle(), GetItemNumber(), 1));
}
