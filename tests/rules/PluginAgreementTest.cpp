// The rules library against the plug-in's own run in the stand-in host: random notes in every
// key, random rows, sounding pitch; each note must end where PitchRules says. CrossPathTest
// compares the plug-in with sorvel's run on MusicXML files, in both pitches and on transposing
// staves.
#include <gtest/gtest.h>

#include <random>

#include "../pitch/PitchRunFixture.h"
#include "rules/PitchRules.h"
#include "rules/SpellingSyntax.h"

namespace {

class PluginAgreementTest : public PitchRunFixture {};

std::string Spelling(int letter, int accidentals) {
    std::string s(1, "ABCDEFG"[letter]);
    s += std::string(accidentals > 0 ? accidentals : 0, '#');
    s += std::string(accidentals < 0 ? -accidentals : 0, 'b');
    return s;
}

SpelledPitch Parse(const std::string& text) {
    size_t i = 1;
    while (i < text.size() && (text[i] == '#' || text[i] == 'b')) {
        ++i;
    }
    return *SpelledPitch::FromSpelling(SpellingSyntax::Widen(text.substr(0, i)),
                                       std::stoi(text.substr(i)));
}

TEST_F(PluginAgreementTest, SoundingPitchInEveryKey) {
    std::mt19937 rng(15);
    std::uniform_int_distribution<int> letter(0, 6);
    std::uniform_int_distribution<int> acc(-2, 2);
    std::uniform_int_distribution<int> octave(1, 7);
    std::uniform_int_distribution<int> key(-7, 7);
    std::uniform_int_distribution<int> mode(0, 1);
    std::uniform_int_distribution<int> direction(0, 2);
    std::uniform_int_distribution<int> count(1, 6);
    int compared = 0;
    int changed = 0;
    for (int round = 0; round < 150; ++round) {
        std::vector<std::string> notes;
        notes.reserve(6);
        for (int n = 0; n < 6; ++n) {
            notes.push_back(Spelling(letter(rng), acc(rng)) + std::to_string(octave(rng)));
        }
        Load(Chord(notes, (mode(rng) << 8) | (key(rng) & 0xFF)));
        std::vector<std::string> texts;
        std::vector<Row> rows;
        std::vector<PitchRow> pitchRows;
        const int rowCount = count(rng);
        for (int r = 0; r < rowCount; ++r) {
            // Half the rows start from a spelling in the chord, so that most rows match.
            const std::string from =
                r % 2 == 0 ? notes[static_cast<size_t>(r)].substr(
                                 0, notes[static_cast<size_t>(r)].find_first_of("0123456789-"))
                           : Spelling(letter(rng), acc(rng));
            const std::string to = Spelling(letter(rng), acc(rng));
            texts.push_back(from);
            texts.push_back(to);
            const int d = direction(rng);
            pitchRows.push_back(
                {SpellingSyntax::Widen(from), SpellingSyntax::Widen(to), ClampDirection(d)});
        }
        for (size_t r = 0; r < pitchRows.size(); ++r) {
            rows.push_back({texts[2 * r].c_str(), texts[2 * r + 1].c_str(),
                            static_cast<int>(pitchRows[r].direction)});
        }
        std::vector<std::string> before;
        before.reserve(6);
        for (int n = 0; n < 6; ++n) {
            before.push_back(Note(1, 1, 1, 0, n));
        }
        ASSERT_TRUE(Run(rows));
        const PitchRules rules(pitchRows);
        for (int n = 0; n < 6; ++n) {
            const SpelledPitch note = Parse(before[static_cast<size_t>(n)]);
            const std::optional<Respelling> r = rules.Apply(note);
            const std::string expected = r ? r->result.Text() : note.Text();
            changed += expected != note.Text() ? 1 : 0;
            EXPECT_EQ(Note(1, 1, 1, 0, n), expected)
                << "round " << round << ", " << before[static_cast<size_t>(n)];
            ++compared;
        }
    }
    EXPECT_EQ(compared, 900);
    EXPECT_GT(changed, 300);
}

}  // namespace
