// PitchRow: one replacement: notes spelled like the from text become the to text, at the
// octave the direction chooses. Texts are kept as given: rows typed by the user have passed
// the spelling check, rows read from a pitch-list file are taken as stored.
#pragma once

#include <string>

#include "rules/PitchDirection.h"

namespace rules {

struct PitchRow {
    std::u16string from;
    std::u16string to;
    PitchDirection direction = PitchDirection::kClosest;

    // Text shows the row as the command line takes it: "A#>Bb:closest".
    [[nodiscard]] std::string Text() const;
};

}  // namespace rules
