// FCCtrlStatic: a dialog item that differs from FCControl only in its class name.
#include "ui/FCCtrlStatic.h"

const char* FCCtrlStatic::ClassName() const {
    return "FCCtrlStatic";
}
