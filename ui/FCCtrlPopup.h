// FCCtrlPopup: a drop-down list of a dialog. Its choice is the host's 1-based value (0: none);
// its entries are handed to the combo box as 8-bit texts.
#pragma once

#if !defined(_WIN32)
#include <string>
#include <vector>
#endif

#include "ui/FCControl.h"

class FCCtrlPopup : public FCControl {
  public:
    using FCControl::FCControl;
    const char* ClassName() const override;

    // AddString appends text's 8-bit copy (the low byte of each unit) as a new entry.
    void AddString(FCString* text);
    // ResetContent removes every entry; DeleteString the entry at 0-based index.
    void ResetContent();
    void DeleteString(int32_t index);
    // GetCount answers the number of entries (0 when the item does not exist).
    int32_t GetCount();
    // GetValue and SetValue are the host's 1-based choice; 0 is no choice.
    int32_t GetValue();
    void SetValue(int32_t value);

#if !defined(_WIN32)
    // The native build keeps the entries (8-bit, as the combo box gets them) and the choice.
    const std::vector<std::string>& GetEntries() const {
        return entries_;
    }

  private:
    std::vector<std::string> entries_;
    int32_t value_ = 0;
#endif
};
