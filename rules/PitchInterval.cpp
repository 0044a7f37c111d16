// PitchInterval: moving spelled pitches by an interval.
#include "rules/PitchInterval.h"

#include <cstdlib>

namespace rules {

namespace {

// Semitones and fifths of the plain intervals: unison, major second, major third, fourth,
// fifth, major sixth, major seventh.
constexpr int32_t kPlainSemitones[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int32_t kPlainFifths[7] = {0, 2, 4, -1, 1, 3, 5};
constexpr int32_t kMaxKeyShift = 7;

int32_t FloorDiv7(int32_t x) {
    return x >= 0 ? x / 7 : -((-x + 6) / 7);
}

}  // namespace

SpelledPitch PitchInterval::Apply(const SpelledPitch& pitch) const {
    const int32_t index = pitch.DiatonicIndex() + steps;
    const int32_t key = pitch.MidiKey() + semitones;
    return SpelledPitch::FromDiatonic(index, key - SpelledPitch::NaturalMidiKey(index));
}

int32_t PitchInterval::FifthsShift() const {
    const int32_t octaves = FloorDiv7(steps);
    const int32_t simple = steps - 7 * octaves;
    const int32_t alteration = semitones - 12 * octaves - kPlainSemitones[simple];
    return kPlainFifths[simple] + 7 * alteration;
}

bool PitchInterval::IsKeyTransposition() const {
    return std::abs(FifthsShift()) <= kMaxKeyShift;
}

}  // namespace rules
