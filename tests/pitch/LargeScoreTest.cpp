// A run over a score of 5 000 note entries in 313 measures: it completes, every note the rows
// name is respelled without changing its sound, and the host's undo gives back the score byte
// for byte. Also checks the host's call statistics, which the benchmark relies on, against the
// host's own trace. The size is what a counter or a measure number of one byte would overflow,
// with frames of several entries; the benchmark (bench/) runs the scores of 100 000 entries and
// more.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "PitchRunFixture.h"

namespace {

constexpr int kEntries = 5000;
constexpr int kStaves = 4;
constexpr int kLayers = 2;
constexpr int kEntriesPerLayer = 2;
constexpr int kEntriesPerMeasure = kStaves * kLayers * kEntriesPerLayer;
constexpr int kMeasures = (kEntries + kEntriesPerMeasure - 1) / kEntriesPerMeasure;

constexpr int kUp = 0;
constexpr int kClosest = 2;

// A score of exactly kEntries entries: a plain staff, an instrument in B flat (key
// transposition), a chromatically transposed one and a bass; keys with sharps and flats, major
// and minor; single notes, a chord of two notes on every eighth entry and a rest on every tenth
// (few notes an entry keep the test quick under the sanitizers; the entries are what count).
std::string LargeScore() {
    static const char* const kKeys[] = {"0", "2", "254", "4", "252", "256", "511"};
    static const char* const kNotes[] = {"A#4", "E#4", "C5",  "Bb3", "F#4", "A#3", "G4",
                                         "E#5", "D4",  "Ab4", "B3",  "A#5", "Fb4"};
    std::string json =
        "{\"staves\": [{\"id\": 1, \"name\": \"Flute\", \"transposition\": 0, \"flags\": 0},"
        " {\"id\": 2, \"name\": \"Clarinet in Bb\", \"transposition\": 66, \"flags\": 0},"
        " {\"id\": 3, \"name\": \"Trumpet\", \"transposition\": 8705, \"flags\": 0},"
        " {\"id\": 4, \"name\": \"Bass\", \"transposition\": 0, \"flags\": 0}], \"measures\": [";
    for (int m = 0; m < kMeasures; ++m) {
        json += std::string(m ? ", " : "") + "{\"key\": " + kKeys[(m / 3) % 7] + "}";
    }
    json += "], \"entries\": [";
    uint32_t random = 12345;
    auto next = [&random](uint32_t n) {
        random = random * 1103515245U + 12345U;
        return (random >> 16) % n;
    };
    int made = 0;
    for (int m = 1; m <= kMeasures; ++m) {
        for (int s = 1; s <= kStaves; ++s) {
            for (int layer = 1; layer <= kLayers; ++layer) {
                for (int e = 0; e < kEntriesPerLayer && made < kEntries; ++e, ++made) {
                    std::vector<std::string> notes;
                    if (made % 10 != 9) {
                        notes.emplace_back(kNotes[next(13)]);
                        if (made % 8 == 0) {
                            notes.emplace_back(kNotes[next(13)]);
                        }
                        if (notes.size() == 2 && notes[0] == notes[1]) {
                            notes.pop_back();
                        }
                    }
                    json +=
                        (made ? "," : "") + PitchRunFixture::Entry(s, m, layer, e * 1024, notes);
                }
            }
        }
    }
    return json + "]}";
}

// Every note of the score as the host spells it, in score order, with its entry's flags.
struct NoteView {
    std::string spelling;
    uint16_t flags;
};

std::vector<NoteView> AllNotes(const host::HostSession& host) {
    std::vector<NoteView> notes;
    for (int m = 1; m <= host.MeasureCount(); ++m) {
        for (int s = 1; s <= host.StaffCount(); ++s) {
            for (int layer = 1; layer <= kLayers; ++layer) {
                for (int e = 0; e < host.EntryCount(s, m, layer); ++e) {
                    const uint16_t flags = host.EntryFlags16(s, m, layer, e).value_or(0);
                    for (int n = 0; n < host.NoteCount(s, m, layer, e); ++n) {
                        notes.push_back(
                            {host.NoteSpelling(s, m, layer, e, n).value_or("<none>"), flags});
                    }
                }
            }
        }
    }
    return notes;
}

std::string PitchClass(const std::string& spelling) {
    size_t i = 1;
    while (i < spelling.size() && (spelling[i] == '#' || spelling[i] == 'b')) {
        ++i;
    }
    return spelling.substr(0, i);
}

using LargeScoreTest = PitchRunFixture;

TEST_F(LargeScoreTest, ThousandsOfEntriesRunAndUndoByteForByte) {
    Load(LargeScore());
    Host().Select(1, kStaves, 1, kMeasures);
    int entries = 0;
    for (int m = 1; m <= Host().MeasureCount(); ++m) {
        for (int s = 1; s <= kStaves; ++s) {
            for (int layer = 1; layer <= kLayers; ++layer) {
                entries += Host().EntryCount(s, m, layer);
            }
        }
    }
    ASSERT_EQ(entries, kEntries);
    const std::string before = Host().ScoreJson();
    const std::vector<NoteView> notesBefore = AllNotes(Host());

    ASSERT_TRUE(Run({{"A#", "Bb", kClosest}, {"E#", "F", kUp}}));
    EXPECT_EQ(Host().GetCounters().editsKept, 1);

    // The host's own reading: every A# is now Bb at the same pitch; no A# or E# is left; the
    // other notes are as they were.
    const std::vector<NoteView> notesAfter = AllNotes(Host());
    ASSERT_EQ(notesAfter.size(), notesBefore.size());
    int changed = 0;
    for (size_t i = 0; i < notesBefore.size(); ++i) {
        const std::string& was = notesBefore[i].spelling;
        const std::string& is = notesAfter[i].spelling;
        const std::string pitchClass = PitchClass(was);
        if (pitchClass == "A#") {
            ASSERT_EQ(PitchClass(is), "Bb") << "note " << i << " was " << was;
            ASSERT_EQ(Midi(is), Midi(was)) << "note " << i << " was " << was;
            ++changed;
        } else if (pitchClass == "E#") {
            ASSERT_EQ(PitchClass(is), "F") << "note " << i << " was " << was;
            ASSERT_GE(Midi(is), Midi(was)) << "note " << i << " was " << was;
            ++changed;
        } else {
            ASSERT_EQ(is, was) << "note " << i;
        }
    }
    EXPECT_GT(changed, kEntries / 5);

    ASSERT_TRUE(Host().Undo());
    EXPECT_EQ(Host().ScoreJson(), before);
    const std::vector<NoteView> notesUndone = AllNotes(Host());
    ASSERT_EQ(notesUndone.size(), notesBefore.size());
    for (size_t i = 0; i < notesBefore.size(); ++i) {
        ASSERT_EQ(notesUndone[i].spelling, notesBefore[i].spelling) << "note " << i;
        ASSERT_EQ(notesUndone[i].flags, notesBefore[i].flags) << "note " << i;
    }
}

TEST_F(LargeScoreTest, CallStatisticsCountEveryTracedCall) {
    Load(Chord({"A#4", "E#4", "C5"}, 2, 66));
    Host().ResetCallStats();
    Host().SetCallTiming(true);
    Host().SetTrace(true);
    ASSERT_TRUE(Run({{"A#", "Bb", kClosest}, {"E#", "F", kUp}}));
    Host().SetTrace(false);
    int traced = 0;
    for (const std::string& line : Host().Transcript()) {
        traced += line.rfind("call FX_", 0) == 0 ? 1 : 0;
    }
    const host::HostSession::CallStats stats = Host().GetCallStats();
    EXPECT_GT(traced, 10);
    EXPECT_EQ(stats.calls, traced);
    EXPECT_GT(stats.nanoseconds, 0);

    Host().ResetCallStats();
    EXPECT_EQ(Host().GetCallStats().calls, 0);
    EXPECT_EQ(Host().GetCallStats().nanoseconds, 0);
    // Without the trace and without timing the calls are counted all the same, and not timed.
    Host().SetCallTiming(false);
    ASSERT_TRUE(Run({{"Bb", "A#", kClosest}}));
    EXPECT_GT(Host().GetCallStats().calls, 5);
    EXPECT_EQ(Host().GetCallStats().nanoseconds, 0);
    Host().SetCallTiming(true);
    Host().Reset();
    EXPECT_EQ(Host().GetCallStats().calls, 0);
    EXPECT_FALSE(Host().CallTiming());
}

}  // namespace
