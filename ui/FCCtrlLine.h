// FCCtrlLine: a separator line of a dialog.
#pragma once

#include "ui/FCControl.h"

class FCCtrlLine : public FCControl {
  public:
    using FCControl::FCControl;
    const char* ClassName() const override;
};
