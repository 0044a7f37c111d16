// NoteDecision: which notes the rows change, and to what. A note is compared in one pitch view,
// sounding (its written pitch moved by the part's transposition) or written (as stored), and
// its new spelling is turned back into written terms through the same view. A note that a row
// matches but that is left alone gets the reason, which the walk counts into a warning.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

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
    // (Most parts do not transpose: a pitch moved by nothing is the pitch itself, which
    // costs nothing to work out.)
    [[nodiscard]] rules::SpelledPitch Seen(const rules::SpelledPitch& written) const {
        return moves_ ? toSeen_.Apply(written) : written;
    }
    [[nodiscard]] rules::SpelledPitch Written(const rules::SpelledPitch& seen) const {
        return moves_ ? toSeen_.Reversed().Apply(seen) : seen;
    }

  private:
    bool known_ = true;
    bool moves_ = false;
    rules::PitchInterval toSeen_;
};

struct Decision {
    std::optional<rules::SpelledPitch> newWritten;  // set: the note is respelled
    uint32_t row = 0;
    std::string_view leftAlone;  // set: a row matched (or could not be checked) but the note stays
};

// Decide is the fate of one note under the rows; written chooses the written-pitch view.
Decision Decide(const MeasureNote& note, const rules::PitchRules& rules, bool written);

// DecisionCache: Decide for a walk, remembering the fate of recent kinds of note. A score
// repeats a few dozen pitches in each part: the rows need not be applied to each note again.
// The fate of a note follows from its written pitch, its transposition and whether its key or
// tablature leave it alone (the rules and the pitch view stay for the whole walk).
class DecisionCache {
  public:
    DecisionCache(const rules::PitchRules& rules, bool written)
        : rules_(rules), written_(written) {}

    Decision Decide(const MeasureNote& note);

  private:
    struct Kind {
        rules::SpelledPitch written;
        rules::PitchInterval interval;
        bool present = false;
        bool known = false;
        bool otherKey = false;
        bool fretted = false;
        bool operator==(const Kind& other) const = default;
    };
    struct Slot {
        bool used = false;
        Kind kind;
        Decision decision;
    };
    static constexpr size_t kSlots = 512;

    const rules::PitchRules& rules_;
    bool written_;
    std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
};

// The reason counted for microtonal notes, which no row can match.
inline constexpr std::string_view kMicrotoneReason =
    "a microtonal alteration, which no row's spelling names";

}  // namespace sorvel
