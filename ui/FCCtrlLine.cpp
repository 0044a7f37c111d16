// FCCtrlLine: a dialog item that differs from FCControl only in its class name.
#include "ui/FCCtrlLine.h"

const char* FCCtrlLine::ClassName() const {
    return "FCCtrlLine";
}
