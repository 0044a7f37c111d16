// FCCtrlEdit: an edit field; its text is read through the host like any item's.
#include "ui/FCCtrlEdit.h"

const char* FCCtrlEdit::ClassName() const {
    return "FCCtrlEdit";
}

void FCCtrlEdit::GetText(FCString* text) {
    FCControl::GetText(text);
}
