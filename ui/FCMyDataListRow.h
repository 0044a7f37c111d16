// FCMyDataListRow: one pitch pair of the pitch list: from text, to text and the direction word
// as its three columns, and the direction code (0 Up, 1 Down, 2 Closest).
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

  private:
    void SetColumn(int32_t column, const FCString* text);

    int32_t direction_ = 0;
};
