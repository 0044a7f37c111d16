// FCCtrlButton: nothing of its own beyond the check box's behaviour.
#include "ui/FCCtrlButton.h"
