// PitchRow: the row's text form.
#include "rules/PitchRow.h"

#include <cctype>

#include "rules/SpellingSyntax.h"

std::string PitchRow::Text() const {
    std::string word = DirectionName(direction);
    for (char& c : word) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return SpellingSyntax::Narrow(from) + ">" + SpellingSyntax::Narrow(to) + ":" + word;
}
