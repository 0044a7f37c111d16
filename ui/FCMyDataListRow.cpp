// FCMyDataListRow: a pitch pair's columns kept in step with its fields.
#include "ui/FCMyDataListRow.h"

#include "pitch/FCPitchChangeNode.h"
#include "pitch/PitchSpelling.h"

FCMyDataListRow::FCMyDataListRow(const FCString* from, const FCString* to, int32_t direction,
                                 bool checked)
    : direction_(direction) {
    SetChecked(checked);
    AddColumnText(from);
    AddColumnText(to);
    AddColumnText(nullptr);
    ShowDirection();
}

void FCMyDataListRow::SetColumn(int32_t column, const FCString* text) {
    while (GetCount() <= column) {
        AddColumnText(nullptr);
    }
    GetStringAt(column)->SetString(text);
}

void FCMyDataListRow::ShowDirection() {
    const FCString word(HasValidSpellings() ? FCPitchChangeNode::DirectionName(direction_)
                                            : kInvalidMark);
    SetColumn(2, &word);
}

bool FCMyDataListRow::HasValidSpellings() const {
    const FCString* from = GetFromText();
    const FCString* to = GetToText();
    return from != nullptr && to != nullptr && IsNormalSpelling(*from) && IsNormalSpelling(*to);
}

void FCMyDataListRow::SetFromText(const FCString* text) {
    SetColumn(0, text);
    ShowDirection();
}

void FCMyDataListRow::SetToText(const FCString* text) {
    SetColumn(1, text);
    ShowDirection();
}

void FCMyDataListRow::SetDirection(int32_t code) {
    direction_ = code;
    ShowDirection();
}
