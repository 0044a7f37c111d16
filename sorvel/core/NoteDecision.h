// NoteDecision: which notes the rows change, and to what. A note is compared in one pitch view,
// sounding (its written pitch moved by the part's transposition) or written (as stored), and
// its new spelling is turned back into written terms through the same view. A note that a row
// matches but that is left alone gets the reason, which the walk counts into a warning.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "rules/PitchInterval.h"
#include "rules/PitchRules.h"
#include "rules/SpelledPitch.h"
#include "sorvel/core/MeasureReader.h"

namespace sorvel {

// PitchView: the pitch the rows see a note in, and the way back to the written pitch.
class PitchView {
  public:
    PitchView(bool written, const Transposition& transposition);

    // Known: the view can be formed (a sounding view needs a transposition it can follow).
    [[nodiscard]] bool Known() const { return known_; }
    [[nodiscard]] rules::SpelledPitch Seen(const rules::SpelledPitch& written) const {
        return toSeen_.Apply(written);
    }
    [[nodiscard]] rules::SpelledPitch Written(const rules::SpelledPitch& seen) const {
        return toSeen_.Reversed().Apply(seen);
    }

  private:
    bool known_ = true;
    rules::PitchInterval toSeen_;
};

struct Decision {
    std::optional<rules::SpelledPitch> newWritten;  // set: the note is respelled
    uint32_t row = 0;
    std::string_view leftAlone;  // set: a row matched (or could not be checked) but the note stays
};

// Decide is the fate of one note under the rows; written chooses the written-pitch view.
Decision Decide(const MeasureNote& note, const rules::PitchRules& rules, bool written);

// The reason counted for microtonal notes, which no row can match.
inline constexpr std::string_view kMicrotoneReason =
    "a microtonal alteration, which no row's spelling names";

}  // namespace sorvel
