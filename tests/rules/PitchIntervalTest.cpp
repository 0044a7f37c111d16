// Intervals of transposing instruments: written to sounding and back, and the key shift.
#include <gtest/gtest.h>

#include "rules/PitchInterval.h"

namespace {

constexpr int32_t A = 0, B = 1, C = 2, D = 3, E = 4, F = 5, G = 6;

TEST(PitchIntervalTest, TransposingInstruments) {
    struct Case {
        const char* instrument;
        rules::PitchInterval interval;  // written to sounding
        rules::SpelledPitch written;
        rules::SpelledPitch sounding;
        int32_t fifths;
    };
    const Case cases[] = {
        {"clarinet in B flat", {-1, -2}, {D, 0, 4}, {C, 0, 4}, -2},
        {"clarinet in B flat", {-1, -2}, {C, 1, 4}, {B, 0, 3}, -2},
        {"clarinet in B flat", {-1, -2}, {G, 1, 4}, {F, 1, 4}, -2},
        {"clarinet in A", {-2, -3}, {C, 0, 5}, {A, 0, 4}, 3},
        {"alto saxophone in E flat", {-5, -9}, {A, 0, 4}, {C, 0, 4}, -3},
        {"horn in F", {-4, -7}, {C, 0, 5}, {F, 0, 4}, -1},
        {"horn in F", {-4, -7}, {B, -1, 4}, {E, -1, 4}, -1},
        {"bass clarinet, an octave and a tone", {-8, -14}, {D, 0, 4}, {C, 0, 3}, -2},
        {"guitar, an octave", {-7, -12}, {E, 0, 4}, {E, 0, 3}, 0},
        {"piccolo, an octave up", {7, 12}, {C, 0, 5}, {C, 0, 6}, 0},
        {"trumpet in D", {1, 2}, {C, 0, 4}, {D, 0, 4}, 2},
        {"cor anglais", {-4, -7}, {F, 1, 4}, {B, 0, 3}, -1},
        {"no transposition", {0, 0}, {G, -2, 2}, {G, -2, 2}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.interval.Apply(c.written), c.sounding) << c.instrument;
        EXPECT_EQ(c.interval.Reversed().Apply(c.sounding), c.written) << c.instrument;
        EXPECT_EQ(c.interval.FifthsShift(), c.fifths) << c.instrument;
        EXPECT_TRUE(c.interval.IsKeyTransposition()) << c.instrument;
    }
}

TEST(PitchIntervalTest, DistortedIntervalsAreNoKeyTransposition) {
    // A second of five semitones (a triply augmented second) moves keys by 23 places.
    EXPECT_EQ((rules::PitchInterval{1, 5}).FifthsShift(), 23);
    EXPECT_FALSE((rules::PitchInterval{1, 5}).IsKeyTransposition());
    // An augmented unison (C to C#) is seven places: still a key signature.
    EXPECT_EQ((rules::PitchInterval{0, 1}).FifthsShift(), 7);
    EXPECT_TRUE((rules::PitchInterval{0, 1}).IsKeyTransposition());
    EXPECT_EQ((rules::PitchInterval{0, -1}).FifthsShift(), -7);
    EXPECT_FALSE((rules::PitchInterval{0, 2}).IsKeyTransposition());
}

TEST(PitchIntervalTest, ApplyThenReverseIsIdentityOverARange) {
    for (int32_t steps = -15; steps <= 15; ++steps) {
        for (int32_t semitones = -26; semitones <= 26; ++semitones) {
            const rules::PitchInterval interval{steps, semitones};
            for (int32_t letter = 0; letter < 7; ++letter) {
                const rules::SpelledPitch pitch{letter, letter % 3 - 1, 4};
                const rules::SpelledPitch moved = interval.Apply(pitch);
                ASSERT_EQ(moved.MidiKey() - pitch.MidiKey(), semitones);
                ASSERT_EQ(moved.DiatonicIndex() - pitch.DiatonicIndex(), steps);
                ASSERT_EQ(interval.Reversed().Apply(moved), pitch);
            }
        }
    }
    (void)A;
    (void)E;
}

}  // namespace
