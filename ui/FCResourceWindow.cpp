// FCResourceWindow: the template number every platform shares; the dialog callback is the
// Windows build's (FCResourceWindowWin32.cpp).
#include "ui/FCResourceWindow.h"

FCResourceWindow::FCResourceWindow(int32_t resourceNumber) : resourceNumber_(resourceNumber) {}
