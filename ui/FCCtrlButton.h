// FCCtrlButton: a push button of a dialog. It shares the check box's operations (a button
// answers its own state) and its class name.
#pragma once

#include "ui/FCCtrlCheckbox.h"

class FCCtrlButton : public FCCtrlCheckbox {
  public:
    using FCCtrlCheckbox::FCCtrlCheckbox;
};
