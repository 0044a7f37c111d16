// FCMyDataListRow: a pitch pair's columns kept in step with its fields.
#include "ui/FCMyDataListRow.h"

#include "pitch/FCPitchChangeNode.h"

FCMyDataListRow::FCMyDataListRow(const FCString* from, const FCString* to, int32_t direction,
                                 bool checked)
    : direction_(direction) {
    SetChecked(checked);
    AddColumnText(from);
    AddColumnText(to);
    const FCString word(FCPitchChangeNode::DirectionName(direction));
    AddColumnText(&word);
}

void FCMyDataListRow::SetColumn(int32_t column, const FCString* text) {
    while (GetCount() <= column) {
        AddColumnText(nullptr);
    }
    GetStringAt(column)->SetString(text);
}

void FCMyDataListRow::SetFromText(const FCString* text) {
    SetColumn(0, text);
}

void FCMyDataListRow::SetToText(const FCString* text) {
    SetColumn(1, text);
}

void FCMyDataListRow::SetDirection(int32_t code) {
    direction_ = code;
    const FCString word(FCPitchChangeNode::DirectionName(code));
    SetColumn(2, &word);
}
