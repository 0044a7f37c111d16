// FCUserWindow: what every platform shares: the default reactions to the dialog's buttons and
// commands, and the controls it owns. The window itself is the platform's
// (FCUserWindowWin32.cpp, FCControlsNative.cpp).
#include "ui/FCUserWindow.h"

void FCUserWindow::ForgetDialog() {
    callback_ = nullptr;
    dialog_ = nullptr;
}

void FCUserWindow::CancelButtonPressed() {
    resultCode_ = 2;
    if (!closed_) {
        CloseWindow();
    }
}

void FCUserWindow::OkButtonPressed() {
    resultCode_ = 1;
    if (!closed_) {
        CloseWindow();
    }
}

void FCUserWindow::AuxButtonPressed() {
    CancelButtonPressed();
}

bool FCUserWindow::HandleCommand(FCControl* /*control*/) {
    return false;
}

void FCUserWindow::HandleUpDown(FCControl* /*control*/, int32_t /*delta*/) {}

void FCUserWindow::HandleTimer(uintptr_t /*timer*/) {}

void FCUserWindow::HandleActivate(bool /*active*/) {}

void FCUserWindow::HandleResize(int32_t /*newWidth*/, int32_t /*newHeight*/, int32_t /*oldWidth*/,
                                int32_t /*oldHeight*/) {}

void FCUserWindow::MessageFailed(uint32_t /*message*/) {}

FCControl* FCUserWindow::AddControl(FCControl* control) {
    if (control != nullptr) {
        AddItem(control);
        control->SetOwner(this);
    }
    return control;
}

FCControl* FCUserWindow::FindControl(int32_t item) const {
    for (int32_t i = 0; i < GetCount(); ++i) {
        FCControl* control = GetControlAt(i);
        if (control != nullptr && control->GetItemNumber() == item) {
            return control;
        }
    }
    return nullptr;
}

bool FCUserWindow::ItemCommand(int32_t item) {
    FCControl* control = FindControl(item);
    switch (control != nullptr ? control->GetRole() : FCControl::kRoleNone) {
        case FCControl::kRoleOk:
            OkButtonPressed();
            return true;
        case FCControl::kRoleCancel:
            CancelButtonPressed();
            return true;
        case FCControl::kRoleAux:
            AuxButtonPressed();
            return true;
        default:
            return HandleCommand(control);
    }
}

// Placement is held back (the platform's EndDeferredPlacement makes the moves) from a clean start.
void FCUserWindow::BeginDeferredPlacement() {
    if (dialog_ == nullptr) {
        return;
    }
    for (int32_t i = 0; i < GetCount(); ++i) {
        GetControlAt(i)->ClearPending();
    }
    deferring_ = true;
}
