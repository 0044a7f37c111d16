// PitchInterval: a transposition from one spelling to another, as staff steps and semitones
// (octaves included): the interval from written to sounding pitch of a transposing
// instrument, for example -1 step and -2 semitones for a clarinet in B flat.
#pragma once

#include <cstdint>

#include "rules/SpelledPitch.h"

namespace rules {

struct PitchInterval {
    int32_t steps = 0;
    int32_t semitones = 0;

    // Apply moves a pitch by the interval; the alteration follows from the semitones, so a
    // written D4 on a clarinet in B flat sounds C4 and a written C#4 sounds B3.
    [[nodiscard]] SpelledPitch Apply(const SpelledPitch& pitch) const;
    // Reversed is the way back (sounding to written).
    [[nodiscard]] PitchInterval Reversed() const { return {-steps, -semitones}; }
    // FifthsShift: how many places along the circle of fifths the interval moves a key (the
    // clarinet's -2: written D major sounds C major).
    [[nodiscard]] int32_t FifthsShift() const;
    // IsKeyTransposition: the interval moves keys by at most seven sharps or flats, so that a
    // transposed part can show it as a key signature.
    [[nodiscard]] bool IsKeyTransposition() const;

    bool operator==(const PitchInterval& other) const = default;
};

}  // namespace rules
