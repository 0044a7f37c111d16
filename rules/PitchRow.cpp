// PitchRow: the row's text form.
#include "rules/PitchRow.h"

#include "rules/AsciiText.h"
#include "rules/SpellingSyntax.h"

std::string PitchRow::Text() const {
    const std::string word = ascii::Lower(DirectionName(direction));
    return SpellingSyntax::Narrow(from) + ">" + SpellingSyntax::Narrow(to) + ":" + word;
}
