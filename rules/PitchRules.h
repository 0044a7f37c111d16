// PitchRules: the fate of one note under a list of rows. The note is given in the pitch being
// compared (sounding or written, as the caller chose); the first row whose from text is the
// note's spelling applies; its to text is placed at the note's octave number; the row's
// direction then moves it by at most one octave. The answer is in the same pitch as the note.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "rules/PitchRow.h"
#include "rules/RowMatcher.h"
#include "rules/SpelledPitch.h"

namespace rules {

// Respelling: what a row does to a note. placed is false when the row's target text was
// refused (a to text that names no pitch, or an octave out of range): the note then keeps its
// pitch, but it still counts as changed by that row, and no later row touches it.
struct Respelling {
    size_t row = 0;
    SpelledPitch result;
    bool placed = true;
};

class PitchRules {
  public:
    explicit PitchRules(std::vector<PitchRow> rows);

    [[nodiscard]] const std::vector<PitchRow>& GetRows() const { return rows_; }

    // Apply answers what the list does to the note, or none when no row matches.
    [[nodiscard]] std::optional<Respelling> Apply(const SpelledPitch& note) const;

  private:
    // Place is the second half of Apply, for a note already matched to row.
    [[nodiscard]] Respelling Place(size_t row, const SpelledPitch& note) const;

    std::vector<PitchRow> rows_;
    RowMatcher matcher_;
};

}  // namespace rules
