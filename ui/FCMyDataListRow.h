// FCMyDataListRow: one pitch pair of the pitch list: from text, to text and the direction word
// as its three columns, and the direction code (0 Up, 1 Down, 2 Closest). A row whose from or
// to text is not a spelling as the dialog makes them (a row read from a hand-edited or damaged
// settings file) is kept as it is, but never applied: its third column says "Invalid" instead
// of the direction until it is updated with good spellings.
#pragma once

#include "ui/FCDataListRow.h"

class FCMyDataListRow : public FCDataListRow {
  public:
    // A new row has its three columns: from, to and the direction word.
    FCMyDataListRow(const FCString* from, const FCString* to, int32_t direction, bool checked);

    int32_t GetDirection() const { return direction_; }
    const FCString* GetFromText() const { return GetStringAt(0); }
    const FCString* GetToText() const { return GetStringAt(1); }

    void SetFromText(const FCString* text);
    void SetToText(const FCString* text);
    // SetDirection stores code and shows "Up" (0), "Down" (1) or "Closest" (anything else).
    void SetDirection(int32_t code);

    // HasValidSpellings says whether both texts are spellings a run may apply.
    [[nodiscard]] bool HasValidSpellings() const;

    static constexpr const char* kInvalidMark = "Invalid";

  private:
    void SetColumn(int32_t column, const FCString* text);
    // ShowDirection shows the direction word, or the mark of a row that is never applied.
    void ShowDirection();

    int32_t direction_ = 0;
};
