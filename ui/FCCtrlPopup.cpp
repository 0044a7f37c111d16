// FCCtrlPopup: the class name every platform shares; the entries and the choice are the
// platform's (FCCtrlPopupWin32.cpp, FCControlsNative.cpp).
#include "ui/FCCtrlPopup.h"

const char* FCCtrlPopup::ClassName() const {
    return "FCCtrlPopup";
}
