// RowOption: reading --row values.
#include "sorvel/core/RowOption.h"

#include <optional>

#include "rules/SpellingSyntax.h"

namespace sorvel {

bool ParseRowOption(std::string_view text, rules::PitchRow& row, std::string& error) {
    const size_t arrow = text.find('>');
    if (arrow == std::string_view::npos) {
        error = "a row is FROM>TO or FROM>TO:DIRECTION, for example A#>Bb:closest";
        return false;
    }
    std::string_view to = text.substr(arrow + 1);
    rules::PitchDirection direction = rules::PitchDirection::kClosest;
    if (const size_t colon = to.find(':'); colon != std::string_view::npos) {
        const std::optional<rules::PitchDirection> word =
            rules::ParseDirectionWord(to.substr(colon + 1));
        if (!word) {
            error = "the direction after ':' is up, down or closest";
            return false;
        }
        direction = *word;
        to = to.substr(0, colon);
    }
    std::u16string fromText = rules::Widen(text.substr(0, arrow));
    std::u16string toText = rules::Widen(to);
    if (const std::optional<rules::SpellingField> fault =
            rules::ValidateSpellingPair(fromText, toText)) {
        error = rules::SpellingErrorMessage(*fault);
        return false;
    }
    rules::ExpandDoubleSharp(fromText);
    rules::ExpandDoubleSharp(toText);
    row = rules::PitchRow{fromText, toText, direction};
    return true;
}

}  // namespace sorvel
