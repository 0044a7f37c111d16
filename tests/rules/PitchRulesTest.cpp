// The fate of one note under a list of rows: the musical examples the plug-in's run is known
// by, then properties over every spelling with up to two signs in several octaves.
#include <gtest/gtest.h>

#include <cstdlib>

#include "rules/PitchRules.h"
#include "rules/SpellingSyntax.h"

namespace {

constexpr int32_t A = 0, B = 1, C = 2, F = 5, G = 6;

rules::PitchRow Row(const char* from, const char* to, rules::PitchDirection direction) {
    return {rules::Widen(from), rules::Widen(to), direction};
}

TEST(PitchRulesTest, Examples) {
    using enum rules::PitchDirection;
    struct Case {
        rules::PitchRow row;
        rules::SpelledPitch note;
        rules::SpelledPitch result;
    };
    const Case cases[] = {
        {Row("C", "D", kUp), {C, 0, 4}, {3, 0, 4}},
        {Row("C", "D", kDown), {C, 0, 4}, {3, 0, 3}},
        {Row("C", "D", kClosest), {C, 0, 4}, {3, 0, 4}},   // two up beats ten down
        {Row("C", "F#", kClosest), {C, 0, 4}, {F, 1, 3}},  // six up flips down
        {Row("F#", "C", kClosest), {F, 1, 3}, {C, 0, 4}},  // and six down flips up
        {Row("C#", "Db", kUp), {C, 1, 4}, {3, -1, 4}},     // the same sound stays
        {Row("C#", "Db", kDown), {C, 1, 4}, {3, -1, 3}},   // Down takes the step lower
        {Row("A#", "Bb", kClosest), {A, 1, 2}, {B, -1, 2}},
        {Row("B", "C", kUp), {B, 0, 3}, {C, 0, 4}},
        {Row("B", "C", kDown), {B, 0, 3}, {C, 0, 3}},
        {Row("B#", "C", kClosest), {B, 1, 3}, {C, 0, 4}},   // B#3 is C4
        {Row("Cb", "B", kClosest), {C, -1, 4}, {B, 0, 3}},  // Cb4 is B3
        {Row("G##", "G", kUp), {G, 2, 4}, {G, 0, 5}},       // same letter, fewer sharps: up
        {Row("G", "G##", kDown), {G, 0, 4}, {G, 2, 3}},
        {Row("E", "E", kDown), {4, 0, 4}, {4, 0, 4}},  // an equal pitch never moves
        {Row("C", "C", kClosest), {C, 0, -1}, {C, 0, -1}},
    };
    for (const Case& c : cases) {
        const rules::PitchRules rules({c.row});
        const std::optional<rules::Respelling> r = rules.Apply(c.note);
        ASSERT_TRUE(r) << c.row.Text() << " on " << c.note.Text();
        EXPECT_TRUE(r->placed);
        EXPECT_EQ(r->row, 0U);
        EXPECT_EQ(r->result, c.result)
            << c.row.Text() << " on " << c.note.Text() << " gave " << r->result.Text();
    }
}

TEST(PitchRulesTest, FirstRowWinsAndSwapsStaySwaps) {
    using enum rules::PitchDirection;
    const rules::PitchRules swap({Row("A", "B", kClosest), Row("B", "A", kClosest)});
    EXPECT_EQ(swap.Apply({A, 0, 3})->result, (rules::SpelledPitch{B, 0, 3}));
    EXPECT_EQ(swap.Apply({B, 0, 3})->result, (rules::SpelledPitch{A, 0, 3}));
    EXPECT_EQ(swap.Apply({B, 0, 3})->row, 1U);

    // A>B then B>C never turns A into C: the note is tested once.
    const rules::PitchRules chain({Row("A", "B", kUp), Row("B", "C", kUp), Row("A", "G", kUp)});
    EXPECT_EQ(chain.Apply({A, 0, 4})->result, (rules::SpelledPitch{B, 0, 4}));
    EXPECT_EQ(chain.Apply({A, 0, 4})->row, 0U);
    EXPECT_FALSE(chain.Apply({C, 0, 4}));
}

TEST(PitchRulesTest, RefusedTargetsKeepThePitchButCount) {
    using enum rules::PitchDirection;
    const rules::PitchRules rules({Row("C", "h", kUp), Row("D", "E", kUp), Row("F", "E2", kUp)});
    const std::optional<rules::Respelling> r = rules.Apply({C, 0, 4});
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->placed);
    EXPECT_EQ(r->result, (rules::SpelledPitch{C, 0, 4}));
    // Octave 15 is the highest a target is placed at; the direction's step may go beyond.
    EXPECT_EQ(rules.Apply({3, 0, 15})->result, (rules::SpelledPitch{4, 0, 15}));
    const rules::PitchRules downward({Row("D", "C", kUp)});
    EXPECT_EQ(downward.Apply({3, 0, 15})->result, (rules::SpelledPitch{C, 0, 16}));
    EXPECT_FALSE(rules.Apply({3, 0, 16})->placed);
    // "E2" at octave 4 is "E24": out of range.
    EXPECT_FALSE(rules.Apply({F, 0, 4})->placed);
    // A to text from a damaged pitch-list file is refused whole: a stray sign after the
    // accidentals is no octave 0 (Db4 stays, it does not become D#0).
    const rules::PitchRules damaged({Row("Db", "D#b", kClosest), Row("E", "F ", kClosest)});
    for (const rules::SpelledPitch note :
         {rules::SpelledPitch{3, -1, 4}, rules::SpelledPitch{4, 0, 4}}) {
        const std::optional<rules::Respelling> refused = damaged.Apply(note);
        ASSERT_TRUE(refused);
        EXPECT_FALSE(refused->placed) << note.Text();
        EXPECT_EQ(refused->result, note);
    }
}

// Every spelling with up to two signs, as note and as row target, in octaves 0 to 9.
std::vector<rules::SpelledPitch> AllPitches() {
    std::vector<rules::SpelledPitch> pitches;
    for (int32_t octave = 0; octave <= 9; ++octave) {
        for (int32_t letter = 0; letter < 7; ++letter) {
            for (int32_t alteration = -2; alteration <= 2; ++alteration) {
                pitches.push_back({letter, alteration, octave});
            }
        }
    }
    return pitches;
}

TEST(PitchRulesTest, PropertiesOverEverySpelling) {
    using enum rules::PitchDirection;
    const std::vector<rules::SpelledPitch> pitches = AllPitches();
    for (int32_t letter = 0; letter < 7; ++letter) {
        for (int32_t alteration = -2; alteration <= 2; ++alteration) {
            const rules::SpelledPitch target{letter, alteration, 0};
            for (const rules::PitchDirection direction : {kUp, kDown, kClosest}) {
                for (const rules::SpelledPitch& note : pitches) {
                    const rules::PitchRules rules(
                        {{note.Spelling(), target.Spelling(), direction}});
                    const rules::Respelling r = *rules.Apply(note);
                    const rules::SpelledPitch& out = r.result;
                    ASSERT_TRUE(r.placed);
                    // Letter and signs always come from the to text.
                    ASSERT_EQ(out.Spelling(), target.Spelling());
                    const int32_t steps = out.DiatonicIndex() - note.DiatonicIndex();
                    const int32_t semitones = out.MidiKey() - note.MidiKey();
                    if (direction == kUp) {
                        // Up lands at or above the note, less than an octave of steps away
                        // (a whole octave when only the alteration is lower).
                        ASSERT_GE(steps, 0) << note.Text() << " " << out.Text();
                        ASSERT_LE(steps, 7) << note.Text() << " " << out.Text();
                        ASSERT_TRUE(steps > 0 || out.alteration >= note.alteration);
                    } else if (direction == kDown) {
                        ASSERT_LE(steps, 0) << note.Text() << " " << out.Text();
                        ASSERT_GE(steps, -7) << note.Text() << " " << out.Text();
                        ASSERT_TRUE(steps < 0 || out.alteration <= note.alteration);
                    } else {
                        // Closest keeps within a tritone; the tritone itself lies on the
                        // other side of where the octave number put it.
                        ASSERT_LE(std::abs(semitones), 6) << note.Text() << " " << out.Text();
                        const int32_t placed =
                            target.MovedOctaves(note.octave).MidiKey() - note.MidiKey();
                        if (std::abs(placed) == 6) {
                            ASSERT_EQ(semitones, -placed) << note.Text() << " " << out.Text();
                        }
                    }
                    // Enharmonic rows keep the sound under Closest.
                    if (direction == kClosest &&
                        target.MovedOctaves(note.octave).MidiKey() % 12 == note.MidiKey() % 12) {
                        ASSERT_EQ(semitones, 0) << note.Text() << " " << out.Text();
                    }
                }
            }
        }
    }
}

}  // namespace
