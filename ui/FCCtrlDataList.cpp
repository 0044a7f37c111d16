// FCCtrlDataList: what every platform shares: the class name, the default reactions to the
// user's changes, and the row bookkeeping built on the platform's item operations
// (FCCtrlDataListWin32.cpp, FCControlsNative.cpp).
#include "ui/FCCtrlDataList.h"

const char* FCCtrlDataList::ClassName() const {
    return "FCCtrlDataList";
}

int FCCtrlDataList::GetControlType() const {
    return kTypeDataList;
}

void FCCtrlDataList::ItemSelected(int32_t /*index*/) {}

void FCCtrlDataList::ItemDeselected() {}

void FCCtrlDataList::ItemCheckChanged(int32_t index, bool checked) {
    FCDataListRow* row = GetRowOfItem(index);
    if (row != nullptr) {
        row->SetChecked(checked);
    }
}

void FCCtrlDataList::DoubleClicked() {}

void FCCtrlDataList::DeleteAllRows() {
    while (GetItemCount() > 0) {
        if (!DeleteRow(0)) {
            break;
        }
    }
}

void FCCtrlDataList::ReindexRows() {
    const int32_t count = GetItemCount();
    for (int32_t i = 0; i < count; ++i) {
        FCDataListRow* row = GetRowOfItem(i);
        if (row == nullptr) {
            continue;
        }
        row->SetList(this);
        row->SetListIndex(i);
        SetCheckImage(i, row->GetChecked());
    }
}
