// FCCtrlDataList: a report-style list view of a dialog with a check box per row. It owns its row
// objects (in the order they were added); each list item carries its row object as parameter,
// and that link, not the collection order, finds the row of an item. Texts are asked for when
// shown, so a row's text changes show at the next redraw.
#pragma once

#include <cstdint>
#if !defined(_WIN32)
#include <vector>
#endif

#include "ui/FCControl.h"
#include "ui/FCDataListRow.h"

class FCCtrlDataList : public FCControl {
  public:
    // State images of the check box: unchecked and checked, and their mask.
    static constexpr uint32_t kUncheckedImage = 0x1000;
    static constexpr uint32_t kCheckedImage = 0x2000;
    static constexpr uint32_t kStateImageMask = 0xF000;
    // Extended styles: a check box per row, and a selection that spans the whole row.
    static constexpr uint32_t kCheckBoxesStyle = 0x0004;
    static constexpr uint32_t kFullRowSelectStyle = 0x0020;

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

#if !defined(_WIN32)
    // The native build has no list view: the items live here, and a test acts as the user
    // does, with the notifications the list view would send (a single-selection list with
    // check boxes).
    static constexpr uint32_t kSelectedState = 0x0002;
    // UserSelect clicks item index (-1: clicks beside every item, leaving none selected).
    void UserSelect(int32_t index);
    // UserTick sets item index's check box as a click on it would.
    void UserTick(int32_t index, bool checked);
    // ShowsChecked says whether item index shows a ticked box.
    bool ShowsChecked(int32_t index) const;
    uint32_t GetExtendedStyle() const {
        return extendedStyle_;
    }
    int32_t GetColumnCount() const {
        return columns_;
    }
#endif

  private:
#if defined(_WIN32)
    intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam);
#else
    struct Item {
        FCDataListRow* row;
        uint32_t state;
    };
    // SetItemState changes the masked state bits of item index (-1: every item) and tells the
    // list what changed, as the list view's change notification does.
    void SetItemState(int32_t index, uint32_t mask, uint32_t state);
    void ChangeItemState(int32_t index, uint32_t mask, uint32_t state);
    std::vector<Item> items_;
    int32_t selectionMark_ = -1;
    uint32_t extendedStyle_ = 0;
    int32_t columns_ = 0;
#endif

    __FCCollection rows_;
};
