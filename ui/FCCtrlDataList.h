// FCCtrlDataList: a report-style list view of a dialog with a check box per row. It owns its row
// objects (in the order they were added); each list item carries its row object as parameter,
// and that link, not the collection order, finds the row of an item. Texts are asked for when
// shown, so a row's text changes show at the next redraw.
#pragma once

#include <cstdint>

#include "ui/FCControl.h"
#include "ui/FCDataListRow.h"

class FCCtrlDataList : public FCControl {
  public:
    // State images of the check box: unchecked and checked, and their mask.
    static constexpr uint32_t kUncheckedImage = 0x1000;
    static constexpr uint32_t kCheckedImage = 0x2000;
    static constexpr uint32_t kStateImageMask = 0xF000;

    using FCControl::FCControl;

    const char* ClassName() const override;
    int GetControlType() const override;

    // Reactions to the list view's notifications.
    virtual void ItemSelected(int32_t index);
    virtual void ItemDeselected();
    // ItemCheckChanged stores the item's new check mark in its row.
    virtual void ItemCheckChanged(int32_t index, bool checked);
    virtual void DoubleClicked();

    // InsertColumn appends a left-aligned column; false when the list view refuses it.
    bool InsertColumn(FCString* title, int32_t width);
    // AddRow appends row (taking ownership, also when the list view refuses it) and answers its
    // item number.
    int32_t AddRow(FCDataListRow* row);
    // DeleteRow removes item index and destroys its row; false when there is no such item.
    bool DeleteRow(int32_t index);
    void DeleteAllRows();
    // SelectRow selects and focuses item index, makes it the selection mark and scrolls to it.
    void SelectRow(int32_t index);
    // ReindexRows gives every row its current item number and shows its check mark again.
    void ReindexRows();

    // GetRowOfItem answers the row object of item index, or null.
    FCDataListRow* GetRowOfItem(int32_t index);
    int32_t GetItemCount();
    int32_t GetSelectionMark();
    // GetSelectedItem answers the item that is selected now, or -1. The selection mark is no
    // substitute: the list view keeps it on a row after that row lost its selection.
    int32_t GetSelectedItem();
    // ClearSelection leaves no item selected and clears the selection mark.
    void ClearSelection();
    // SetCheckImage shows checked or unchecked on item index.
    void SetCheckImage(int32_t index, bool checked);
    void RedrawItems(int32_t first, int32_t last);
    void EnsureVisible(int32_t index);
    // AddExtendedStyle adds style bits to the list view's extended style.
    void AddExtendedStyle(uint32_t bits);

    // ReleaseRows destroys every row object; for a list view that was destroyed with its
    // dialog, whose items are gone.
    void ReleaseRows() { rows_.ClearAll(); }
    // The rows in the order they were added.
    const __FCCollection& Rows() const { return rows_; }

    // HandleListNotify answers a display-text request or reports a changed check mark and
    // selection of an item.
    void HandleListNotify(void* header);

  private:
    intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam);

    __FCCollection rows_;
};
