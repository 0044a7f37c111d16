// FCMyDataList: the pitch list of the main dialog. Selecting a row shows it in the fields and
// enables "D&elete" and "&Update"; a changed check mark or a double click decides whether
// "Change Checked" has anything to run.
#pragma once

#include "ui/FCCtrlDataList.h"
#include "ui/FCMyDataListRow.h"

class FCSorvelWindow;

class FCMyDataList : public FCCtrlDataList {
  public:
    using FCCtrlDataList::FCCtrlDataList;

    void ItemSelected(int32_t index) override;
    void ItemDeselected() override;
    void ItemCheckChanged(int32_t index, bool checked) override;
    // DoubleClicked checks every row when none is checked, and unchecks every row otherwise.
    void DoubleClicked() override;

    void SetAllChecked(bool checked);
    // AnyChecked is true when at least one row is checked.
    bool AnyChecked();
    // FindRowByFrom answers the first row (in item order) whose from text is exactly text, not
    // counting the row except (when given).
    FCMyDataListRow* FindRowByFrom(const FCString* text, const FCMyDataListRow* except = nullptr);
    FCMyDataListRow* GetPitchRowOfItem(int32_t index) {
        return static_cast<FCMyDataListRow*>(GetRowOfItem(index));
    }

  private:
    FCSorvelWindow* Dialog() const;
    void EnableOwnerControl(int32_t item, bool enable) const;
};
