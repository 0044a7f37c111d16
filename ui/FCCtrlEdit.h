// FCCtrlEdit: an edit field of a dialog.
#pragma once

#include "ui/FCControl.h"

class FCCtrlEdit : public FCControl {
  public:
    using FCControl::FCControl;
    const char* ClassName() const override;
    // GetText reads the field's text as every control does; fields have their own entry.
    void GetText(FCString* text) override;
};
