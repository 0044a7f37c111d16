// Spelled pitches: keys, staff steps and texts.
#include <gtest/gtest.h>

#include "rules/SpelledPitch.h"

namespace {

constexpr int32_t A = 0, B = 1, C = 2, D = 3, E = 4, F = 5, G = 6;

TEST(SpelledPitchTest, KeysAndTexts) {
    struct Case {
        rules::SpelledPitch pitch;
        int32_t midi;
        const char* text;
    };
    const Case cases[] = {
        {{C, 0, 4}, 60, "C4"},   {{A, 0, 4}, 69, "A4"},     {{B, 0, 3}, 59, "B3"},
        {{C, -1, 4}, 59, "Cb4"}, {{B, 1, 3}, 60, "B#3"},    {{C, 0, -1}, 0, "C-1"},
        {{G, 0, 9}, 127, "G9"},  {{F, 2, 5}, 79, "F##5"},   {{D, -3, 2}, 35, "Dbbb2"},
        {{E, 0, 0}, 16, "E0"},   {{A, -1, -2}, -4, "Ab-2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.pitch.MidiKey(), c.midi) << c.text;
        EXPECT_EQ(c.pitch.Text(), c.text);
    }
}

TEST(SpelledPitchTest, DiatonicIndexRoundTripsEveryLetterAndOctave) {
    for (int32_t octave = -6; octave <= 16; ++octave) {
        for (int32_t letter = 0; letter < 7; ++letter) {
            const rules::SpelledPitch pitch{letter, -1, octave};
            EXPECT_EQ(rules::SpelledPitch::FromDiatonic(pitch.DiatonicIndex(), -1), pitch);
            // Steps grow by one from C to B inside an octave number.
            const rules::SpelledPitch c{C, 0, octave};
            EXPECT_EQ(pitch.DiatonicIndex() - c.DiatonicIndex(), pitch.StepsFromC());
        }
    }
}

TEST(SpelledPitchTest, FromSpellingReadsOnlyCanonicalText) {
    EXPECT_EQ(rules::SpelledPitch::FromSpelling(u"Bbb", 3), (rules::SpelledPitch{B, -2, 3}));
    EXPECT_EQ(rules::SpelledPitch::FromSpelling(u"F###", 5), (rules::SpelledPitch{F, 3, 5}));
    EXPECT_EQ(rules::SpelledPitch::FromSpelling(u"E", 0), (rules::SpelledPitch{E, 0, 0}));
    EXPECT_FALSE(rules::SpelledPitch::FromSpelling(u"Ex", 0));
    EXPECT_FALSE(rules::SpelledPitch::FromSpelling(u"e", 0));
    EXPECT_FALSE(rules::SpelledPitch::FromSpelling(u"G#b", 0));
    (void)D;
    (void)G;
}

}  // namespace
