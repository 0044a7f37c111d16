// FCControl: what every platform shares: the item number, the class name and the way to the
// owner's dialog. Reading and writing the item is the platform's (FCControlWin32.cpp through the
// host and the window system, FCControlsNative.cpp in memory).
#include "ui/FCControl.h"

#include "ui/FCUserWindow.h"

FCControl::FCControl(int16_t itemNumber) : itemNumber_(itemNumber) {}

const char* FCControl::ClassName() const {
    return "FCControl";
}

int FCControl::GetControlType() const {
    return kTypeOther;
}

void* FCControl::GetDialogHandle() const {
    return owner_ != nullptr ? owner_->GetDialogHandle() : nullptr;
}
