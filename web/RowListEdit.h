// RowListEdit: the row list of the page, edited as the plug-in's dialog edits its list: Add
// and Add Inverse read the From and To fields (checked by the rules, with the dialog's
// messages, the inverse reading them the other way round with the opposite direction), Update
// rewrites the selected row, and a From text may stand in one row only. The page keeps the
// rows; each edit hands them here and takes back the new list or the alert to show.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "rules/PitchDirection.h"

namespace web {

struct ListRow {
    std::string from;  // 8-bit, as a list holds it
    std::string to;
    rules::PitchDirection direction = rules::PitchDirection::kClosest;
    bool ticked = true;
};

// Alert: what the dialog would show instead of making the edit, and the field (From or To)
// that takes the focus, when one does.
struct Alert {
    std::string title;
    std::string message;
    std::string field;  // "from", "to" or empty
};

struct Fields {
    std::string from;  // as typed
    std::string to;
    rules::PitchDirection direction = rules::PitchDirection::kClosest;
};

struct EditResult {
    std::optional<Alert> alert;  // set: rows are unchanged
    std::vector<ListRow> rows;
    int selected = -1;  // the row selected after the edit; -1 none
};

// AddRow, AddInverseRow and UpdateRow are the dialog's Add, Add Inverse and Update.
EditResult AddRow(std::vector<ListRow> rows, const Fields& fields);
EditResult AddInverseRow(std::vector<ListRow> rows, const Fields& fields);
EditResult UpdateRow(std::vector<ListRow> rows, int selected, const Fields& fields);

}  // namespace web
