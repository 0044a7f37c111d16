// RowListEdit: the dialog's row edits for the page.
#include "RowListEdit.h"

#include "rules/RowListText.h"
#include "rules/SpellingSyntax.h"

namespace web {

namespace {

// Checked reads a pair of typed texts as the dialog does; firstField and secondField name the
// fields they were typed in (the inverse reads To first).
std::optional<Alert> Checked(const std::string& first, const std::string& second,
                             const char* firstField, const char* secondField, ListRow& row) {
    std::u16string from = rules::Widen(first);
    std::u16string to = rules::Widen(second);
    if (const auto fault = rules::ValidateSpellingPair(from, to)) {
        const std::string field = *fault == rules::SpellingField::kFrom ? firstField : secondField;
        return Alert{rules::kSpellingErrorTitle,
                     rules::SpellingErrorMessage(field == "to" ? rules::SpellingField::kTo
                                                               : rules::SpellingField::kFrom),
                     field};
    }
    rules::ExpandDoubleSharp(from);
    rules::ExpandDoubleSharp(to);
    row.from = rules::Narrow(from);
    row.to = rules::Narrow(to);
    return std::nullopt;
}

// HasFrom answers whether a row other than except respells from.
bool HasFrom(const std::vector<ListRow>& rows, const std::string& from, int except = -1) {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (static_cast<int>(i) != except && rows[i].from == from) {
            return true;
        }
    }
    return false;
}

EditResult Refused(std::vector<ListRow> rows, int selected, Alert alert) {
    return EditResult{std::move(alert), std::move(rows), selected};
}

}  // namespace

EditResult AddRow(std::vector<ListRow> rows, const Fields& fields) {
    ListRow row;
    row.direction = fields.direction;
    if (auto alert = Checked(fields.from, fields.to, "from", "to", row)) {
        return Refused(std::move(rows), -1, std::move(*alert));
    }
    if (HasFrom(rows, row.from)) {
        return Refused(
            std::move(rows), -1,
            {rules::row_list_text::kIdenticalTitle, rules::row_list_text::kFromExists, ""});
    }
    rows.push_back(row);
    const int selected = static_cast<int>(rows.size()) - 1;
    return EditResult{std::nullopt, std::move(rows), selected};
}

EditResult AddInverseRow(std::vector<ListRow> rows, const Fields& fields) {
    ListRow row;
    row.direction = rules::InverseDirection(fields.direction);
    if (auto alert = Checked(fields.to, fields.from, "to", "from", row)) {
        return Refused(std::move(rows), -1, std::move(*alert));
    }
    if (HasFrom(rows, row.from)) {
        return Refused(
            std::move(rows), -1,
            {rules::row_list_text::kIdenticalTitle, rules::row_list_text::kInverseFromExists, ""});
    }
    rows.push_back(row);
    return EditResult{std::nullopt, std::move(rows), -1};
}

EditResult UpdateRow(std::vector<ListRow> rows, int selected, const Fields& fields) {
    if (selected < 0 || selected >= static_cast<int>(rows.size())) {
        return EditResult{std::nullopt, std::move(rows), -1};
    }
    ListRow row = rows[static_cast<size_t>(selected)];
    row.direction = fields.direction;
    if (auto alert = Checked(fields.from, fields.to, "from", "to", row)) {
        return Refused(std::move(rows), selected, std::move(*alert));
    }
    if (HasFrom(rows, row.from, selected)) {
        return Refused(std::move(rows), selected,
                       {rules::row_list_text::kIdenticalElsewhereTitle,
                        rules::row_list_text::kFromExistsElsewhere, ""});
    }
    rows[static_cast<size_t>(selected)] = row;
    return EditResult{std::nullopt, std::move(rows), selected};
}

}  // namespace web
