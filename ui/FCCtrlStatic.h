// FCCtrlStatic: a label of a dialog.
#pragma once

#include "ui/FCControl.h"

class FCCtrlStatic : public FCControl {
  public:
    using FCControl::FCControl;
    const char* ClassName() const override;
};
