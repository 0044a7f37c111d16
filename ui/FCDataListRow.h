// FCDataListRow: one row of a list view: its column texts (element 0 is the first column), its
// check mark as the program last knew it, and where it is shown.
#pragma once

#include <cstdint>

#include "framework/FCStrings.h"

class FCCtrlDataList;

class FCDataListRow : public FCStrings {
  public:
    // Size of the display buffer shared by every list, terminating 0 included.
    static constexpr uint32_t kDisplayBufferUnits = 512;

    bool GetChecked() const { return checked_ != 0; }
    void SetChecked(bool checked) { checked_ = checked ? 1 : 0; }
    int32_t GetListIndex() const { return listIndex_; }
    void SetListIndex(int32_t index) { listIndex_ = index; }
    FCCtrlDataList* GetList() const { return list_; }
    void SetList(FCCtrlDataList* list) { list_ = list; }

    // AddColumnText appends a copy of text (empty when null) as the next column.
    void AddColumnText(const FCString* text);
    // GetCellText answers the column's text for display, copied into the shared display buffer
    // (valid until the next call); a text longer than the buffer is shown cut. A column that
    // does not exist shows "???".
    const char16_t* GetCellText(int32_t column) const;

  private:
    uint8_t checked_ = 0;
    int32_t listIndex_ = -1;
    FCCtrlDataList* list_ = nullptr;
};
