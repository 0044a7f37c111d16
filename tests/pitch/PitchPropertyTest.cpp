// Properties of the pitch run over generated scores: every key up to seven sharps or flats,
// sounding and written pitch, key- and octave-transposing staves, random notes and rows. The
// host's own model is the oracle; nothing here repeats the plug-in's arithmetic.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "PitchRunFixture.h"

namespace {

struct Generated {
    std::string json;
    int staves = 0;
    int entries = 0;  // per staff, all in measure 1, layer 1
    int notes = 0;    // per entry
};

const char* kLetters = "ABCDEFG";
const int kLetterBase[7] = {9, 11, 0, 2, 4, 5, 7};

std::string Spelling(int letter, int accidentals) {
    std::string s(1, kLetters[letter]);
    s += std::string(accidentals > 0 ? accidentals : 0, '#');
    s += std::string(accidentals < 0 ? -accidentals : 0, 'b');
    return s;
}

Generated Generate(std::mt19937& rng) {
    Generated g;
    std::uniform_int_distribution<int> keyCount(-7, 7), mode(0, 1), letter(0, 6), acc(-2, 2),
        octave(0, 8), trans(0, 2);
    const int transpositions[3] = {0, 66, 7 << 6};
    g.staves = 3;
    g.entries = 4;
    g.notes = 3;
    std::string staves, measures, entries;
    for (int s = 1; s <= g.staves; ++s) {
        staves +=
            std::string(s > 1 ? ", " : "") + "{\"id\": " + std::to_string(s) +
            ", \"name\": \"S\", \"transposition\": " + std::to_string(transpositions[trans(rng)]) +
            ", \"flags\": 32768}";
    }
    std::string cellKeys;
    for (int s = 1; s <= g.staves; ++s) {
        const int key = (mode(rng) << 8) | (keyCount(rng) & 0xFF);
        cellKeys += std::string(s > 1 ? ", " : "") + "{\"staff\": " + std::to_string(s) +
                    ", \"measure\": 1, \"key\": " + std::to_string(key) + "}";
        for (int e = 0; e < g.entries; ++e) {
            std::vector<std::string> notes;
            for (int n = 0; n < g.notes; ++n) {
                notes.push_back(Spelling(letter(rng), acc(rng)) + std::to_string(octave(rng)));
            }
            entries += std::string(entries.empty() ? "" : ", ") +
                       PitchRunFixture::Entry(s, 1, 1, e * 256, notes);
        }
    }
    g.json = "{\"staves\": [" + staves + "], \"measures\": [{\"key\": 0}], \"cellKeys\": [" +
             cellKeys + "], \"entries\": [" + entries + "]}";
    return g;
}

// Enharmonic picks another spelling of the same pitch class.
std::string Enharmonic(std::mt19937& rng, const std::string& from) {
    const int pc =
        (kLetterBase[from[0] - 'A'] + static_cast<int>(std::count(from.begin(), from.end(), '#')) -
         static_cast<int>(std::count(from.begin(), from.end(), 'b')) + 24) %
        12;
    std::vector<std::string> options;
    for (int l = 0; l < 7; ++l) {
        for (int a = -2; a <= 2; ++a) {
            if ((kLetterBase[l] + a + 24) % 12 == pc && Spelling(l, a) != from) {
                options.push_back(Spelling(l, a));
            }
        }
    }
    return options[std::uniform_int_distribution<size_t>(0, options.size() - 1)(rng)];
}

class PitchPropertyTest : public PitchRunFixture {
  protected:
    using Raw = host::HostSession::NoteNumbers;
    std::map<std::tuple<int, int, int>, Raw> RawNotes(const Generated& g) {
        std::map<std::tuple<int, int, int>, Raw> raw;
        for (int s = 1; s <= g.staves; ++s)
            for (int e = 0; e < g.entries; ++e)
                for (int n = 0; n < g.notes; ++n)
                    raw[{s, e, n}] = *Host().NoteRaw(s, 1, 1, e, n);
        return raw;
    }
    std::map<std::tuple<int, int, int>, std::string> Spelled(const Generated& g) {
        std::map<std::tuple<int, int, int>, std::string> spelled;
        for (int s = 1; s <= g.staves; ++s)
            for (int e = 0; e < g.entries; ++e)
                for (int n = 0; n < g.notes; ++n)
                    spelled[{s, e, n}] = Note(s, 1, 1, e, n);
        return spelled;
    }
};

std::string PitchOf(const std::string& spelled) {
    std::string p;
    for (char c : spelled) {
        if ((c >= 'A' && c <= 'G') || c == '#' || c == 'b')
            p += c;
    }
    return p;
}

TEST_F(PitchPropertyTest, ClosestEnharmonicRowsKeepTheSound) {
    std::mt19937 rng(20261208);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const Generated g = Generate(rng);
        Load(g.json);
        Host().Select(1, g.staves, 1, 1);
        const bool sounding = round % 2 == 0;
        const auto before = Spelled(g);
        const auto rawBefore = RawNotes(g);
        // Rows built from notes that are really there, so that most rounds change something.
        std::vector<std::string> froms, tos;
        std::vector<Row> rows;
        for (int r = 0; r < 4; ++r) {
            const int s = 1 + static_cast<int>(rng() % g.staves);
            const std::string from = PitchOf(before.at(
                {s, static_cast<int>(rng() % g.entries), static_cast<int>(rng() % g.notes)}));
            froms.push_back(from);
            tos.push_back(Enharmonic(rng, from));
        }
        for (size_t r = 0; r < froms.size(); ++r) {
            rows.push_back({froms[r].c_str(), tos[r].c_str(), 2});
        }
        EXPECT_TRUE(Run(rows, sounding));
        const auto after = Spelled(g);
        const auto rawAfter = RawNotes(g);
        for (const auto& [where, was] : before) {
            const std::string& now = after.at(where);
            EXPECT_EQ(Midi(now), Midi(was)) << was << " became " << now;
            if (rawAfter.at(where) == rawBefore.at(where)) {
                continue;
            }
            if (sounding) {
                // Changed once, by the first row whose from text matches the note as it was.
                size_t first = 0;
                while (first < froms.size() && froms[first] != PitchOf(was))
                    ++first;
                ASSERT_LT(first, froms.size()) << was << " changed without a matching row";
                EXPECT_EQ(PitchOf(now), tos[first]) << was;
            }
        }
        if (sounding) {
            for (const auto& [where, was] : before) {
                const bool matched =
                    std::find(froms.begin(), froms.end(), PitchOf(was)) != froms.end();
                const bool sameSpelling = matched && PitchOf(after.at(where)) == PitchOf(was);
                EXPECT_EQ(matched && !sameSpelling, !(rawAfter.at(where) == rawBefore.at(where)))
                    << was;
            }
        }
    }
}

TEST_F(PitchPropertyTest, UpAndDownMoveWithinAnOctave) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> letter(0, 6), acc(-2, 2);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const Generated g = Generate(rng);
        Load(g.json);
        Host().Select(1, g.staves, 1, 1);
        const int direction = round % 2;  // Up, Down
        const bool sounding = (round / 2) % 2 == 0;
        const auto before = Spelled(g);
        const auto rawBefore = RawNotes(g);
        std::vector<std::string> froms, tos;
        for (int r = 0; r < 4; ++r) {
            froms.push_back(PitchOf(before.at({1 + static_cast<int>(rng() % g.staves),
                                               static_cast<int>(rng() % g.entries),
                                               static_cast<int>(rng() % g.notes)})));
            tos.push_back(Spelling(letter(rng), acc(rng)));
        }
        std::vector<Row> rows;
        for (size_t r = 0; r < froms.size(); ++r) {
            rows.push_back({froms[r].c_str(), tos[r].c_str(), direction});
        }
        EXPECT_TRUE(Run(rows, sounding));
        const auto rawAfter = RawNotes(g);
        for (const auto& [where, was] : rawBefore) {
            const Raw now = rawAfter.at(where);
            if (now == was)
                continue;
            // Up lands on the first staff position at or above the note (Down: below): 0 to 6
            // steps away, and a full octave only for the same letter with fewer sharps
            // (G## up to G lands a whole octave higher).
            const int sign = direction == 0 ? 1 : -1;
            const int steps = sign * (now.displacement - was.displacement);
            const int alteration = sign * (now.raiseLower - was.raiseLower);
            EXPECT_GE(steps, 0) << before.at(where);
            EXPECT_LE(steps, 7) << before.at(where);
            if (steps == 0) {
                EXPECT_GE(alteration, 0) << before.at(where);
            }
            if (steps == 7) {
                EXPECT_LT(alteration, 0) << before.at(where);
            }
        }
    }
}

}  // namespace
