// PitchRow: the row's text form.
#include "rules/PitchRow.h"

#include "rules/AsciiText.h"
#include "rules/SpellingSyntax.h"

namespace rules {

std::string PitchRow::Text() const {
    const std::string word = ascii::Lower(DirectionName(direction));
    return Narrow(from) + ">" + Narrow(to) + ":" + word;
}

}  // namespace rules
