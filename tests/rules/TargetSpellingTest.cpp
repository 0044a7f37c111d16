// Target texts: the to text followed by the octave number, read as a note's spelling is set:
// to texts read from a pitch-list file are not checked, so a text is taken whole or not at all.
#include <gtest/gtest.h>

#include "rules/TargetSpelling.h"

namespace {

constexpr int32_t B = 1, C = 2, D = 3;

TEST(TargetSpellingTest, Table) {
    struct Case {
        const char16_t* to;
        int32_t octave;
        std::optional<rules::SpelledPitch> pitch;
    };
    const Case cases[] = {
        {u"C", 4, rules::SpelledPitch{C, 0, 4}},
        {u"Bb", 3, rules::SpelledPitch{B, -1, 3}},
        {u"C####", 0, rules::SpelledPitch{C, 4, 0}},
        {u"DBb", 2, rules::SpelledPitch{D, -2, 2}},  // upper-case B counts as a flat
        {u"Cx", 5, rules::SpelledPitch{C, 2, 5}},    // x is two sharps
        {u"CX", 5, rules::SpelledPitch{C, 2, 5}},
        {u"C", -5, rules::SpelledPitch{C, 0, -5}},  // the lowest octave
        {u"C", 15, rules::SpelledPitch{C, 0, 15}},  // the highest
        {u"C", -6, std::nullopt},
        {u"C", 16, std::nullopt},
        {u"c", 4, std::nullopt},  // a lower-case letter is refused
        {u"H", 4, std::nullopt},
        {u"", 4, std::nullopt},
        // What follows the accidentals must be the octave number, whole: read as octave 0,
        // the row Db>D#b would put a Db4 on D#0.
        {u"Cn", 4, std::nullopt},
        {u"Cx#", 4, std::nullopt},
        {u"C#b", 4, std::nullopt},
        {u"D#b", 4, std::nullopt},
        {u"C4-", 1, std::nullopt},                  // a second number
        {u"C1", 6, std::nullopt},                   // "16" is out of range
        {u"C1", 4, rules::SpelledPitch{C, 0, 14}},  // "14" is not
        {u"C-", 4, rules::SpelledPitch{C, 0, -4}},  // the stored minus sign is read as the octave's
        {u"C+", 4, rules::SpelledPitch{C, 0, 4}},   // a plus sign too
        {u"C ", 4, std::nullopt},                   // a blank is no part of a spelling
        {u"C4294967300", 4, std::nullopt},          // saturated, never wrapped round into range
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rules::LandTarget(c.to, c.octave), c.pitch)
            << rules::TargetText(c.to, c.octave).size() << " units, octave " << c.octave;
    }
}

TEST(TargetSpellingTest, TextAppendsTheOctaveNumber) {
    EXPECT_EQ(rules::TargetText(u"Bb", 4), u"Bb4");
    EXPECT_EQ(rules::TargetText(u"E", -1), u"E-1");
    EXPECT_EQ(rules::TargetText(u"", 12), u"12");
}

}  // namespace
