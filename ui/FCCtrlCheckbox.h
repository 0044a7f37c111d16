// FCCtrlCheckbox: a check box of a dialog; its state goes through the host. Its class name is
// the base's.
#pragma once

#include "ui/FCControl.h"

class FCCtrlCheckbox : public FCControl {
  public:
    using FCControl::FCControl;

    virtual void SetCheck(int16_t value);
    // GetCheck answers the host's value; non-zero means checked.
    virtual int16_t GetCheck();

#if !defined(_WIN32)
  private:
    int16_t check_ = 0;
#endif
};
