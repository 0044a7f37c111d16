// FCMyDataList: the pitch list's reactions, which reach straight into the main dialog's buttons.
#include "ui/FCMyDataList.h"

#include "ui/FCSorvelWindow.h"

FCSorvelWindow* FCMyDataList::Dialog() const {
    return static_cast<FCSorvelWindow*>(GetOwner());
}

void FCMyDataList::EnableOwnerControl(int32_t item, bool enable) const {
    if (GetOwner() == nullptr) {
        return;
    }
    FCControl* control = GetOwner()->FindControl(item);
    if (control != nullptr) {
        control->SetEnable(enable);
    }
}

void FCMyDataList::ItemSelected(int32_t index) {
    EnableOwnerControl(FCSorvelWindow::kDeleteRow, true);
    EnableOwnerControl(FCSorvelWindow::kUpdateRow, true);
    if (Dialog() != nullptr) {
        Dialog()->ShowSelectedRow(index);
    }
}

void FCMyDataList::ItemDeselected() {
    EnableOwnerControl(FCSorvelWindow::kDeleteRow, false);
    EnableOwnerControl(FCSorvelWindow::kUpdateRow, false);
}

void FCMyDataList::ItemCheckChanged(int32_t index, bool checked) {
    FCCtrlDataList::ItemCheckChanged(index, checked);
    EnableOwnerControl(FCSorvelWindow::kChangeChecked, AnyChecked());
}

void FCMyDataList::DoubleClicked() {
    SetAllChecked(!AnyChecked());
    EnableOwnerControl(FCSorvelWindow::kChangeChecked, AnyChecked());
}

void FCMyDataList::SetAllChecked(bool checked) {
    const int32_t count = GetItemCount();
    for (int32_t i = 0; i < count; ++i) {
        FCDataListRow* row = GetRowOfItem(i);
        if (row == nullptr) {
            continue;
        }
        row->SetChecked(checked);
        if (row->GetListIndex() >= 0 && row->GetList() != nullptr) {
            row->GetList()->SetCheckImage(row->GetListIndex(), checked);
        }
    }
}

bool FCMyDataList::AnyChecked() {
    const int32_t count = GetItemCount();
    for (int32_t i = 0; i < count; ++i) {
        const FCDataListRow* row = GetRowOfItem(i);
        if (row != nullptr && row->GetChecked()) {
            return true;
        }
    }
    return false;
}

FCMyDataListRow* FCMyDataList::FindRowByFrom(const FCString* text, const FCMyDataListRow* except) {
    const int32_t count = GetItemCount();
    for (int32_t i = 0; i < count; ++i) {
        FCMyDataListRow* row = GetPitchRowOfItem(i);
        if (row != nullptr && row != except && row->GetFromText() != nullptr &&
            row->GetFromText()->IsEqual(text)) {
            return row;
        }
    }
    return nullptr;
}
