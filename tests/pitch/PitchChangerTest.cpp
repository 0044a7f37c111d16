// The pitch change run end to end through the stand-in host: each case reads the score back
// as the host's own model spells it.
#include <gtest/gtest.h>

#include "PitchRunFixture.h"
#include "hostapi/HostFunctions.h"
#include "hostapi/LittleEndian.h"

namespace {

constexpr int kUp = 0;
constexpr int kDown = 1;
constexpr int kClosest = 2;
// Transposition words: Bb instrument (two sharps up, one step), written an octave up (guitar),
// and a chromatic transposition.
constexpr int kBbInstrument = 66;
constexpr int kOctaveUp = 7 << 6;
constexpr int kChromatic = 0x2000 | 1;

using PitchChangerTest = PitchRunFixture;

TEST_F(PitchChangerTest, SoundingPitchSingleNotes) {
    struct Case {
        const char* note;
        Row row;
        const char* expected;
    } cases[] = {
        {"C4", {"C", "D", kUp}, "D4"},
        {"C4", {"C", "D", kDown}, "D3"},
        {"C4", {"C", "D", kClosest}, "D4"},
        {"C4", {"C", "F#", kClosest}, "F#3"},  // six semitones up flips down
        {"C4", {"C", "Gb", kClosest}, "Gb3"},
        {"C4", {"C", "Fb", kClosest}, "Fb4"},  // four up beats eight down
        {"C#4", {"C#", "Db", kUp}, "Db4"},
        {"B3", {"B", "C", kUp}, "C4"},
        {"B3", {"B", "C", kDown}, "C3"},
        {"B3", {"B", "Cb", kUp}, "Cb4"},
        {"C4", {"C", "B#", kDown}, "B#3"},
        {"C4", {"C", "B#", kUp}, "B#4"},  // lower letter, same sound: up an octave
        {"A0", {"A", "Bb", kDown}, "Bb-1"},
        {"Bb0", {"Bb", "A#", kClosest}, "A#0"},
        {"E4", {"F", "G", kUp}, "E4"},  // no match
        {"F##4", {"F##", "G", kClosest}, "G4"},
        {"Dbb5", {"Dbb", "C", kUp}, "C6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.note) + " " + c.row.from + "->" + c.row.to);
        Load(Chord({c.note}));
        EXPECT_TRUE(Run({c.row}));
        EXPECT_EQ(Note(1, 1, 1, 0, 0), c.expected);
    }
}

TEST_F(PitchChangerTest, EveryKeyGivesTheSameSoundingResult) {
    // The run must not depend on the key the note is stored in.
    for (int count = -7; count <= 7; ++count) {
        for (int mode : {0, 1}) {
            const int key = (mode << 8) | (count & 0xFF);
            SCOPED_TRACE("key word " + std::to_string(key));
            Load(Chord({"C4", "A#3", "E#5", "Cb2"}, key));
            EXPECT_TRUE(Run({{"A#", "Bb", kClosest},
                             {"E#", "F", kUp},
                             {"C", "D", kDown},
                             {"Cb", "B", kClosest}}));
            EXPECT_EQ(Note(1, 1, 1, 0, 0), "D3");
            EXPECT_EQ(Note(1, 1, 1, 0, 1), "Bb3");
            EXPECT_EQ(Note(1, 1, 1, 0, 2), "F5");
            EXPECT_EQ(Note(1, 1, 1, 0, 3), "B1");
        }
    }
}

TEST_F(PitchChangerTest, SwapChangesEachNoteOnce) {
    Load(Chord({"A3", "B3"}));
    EXPECT_TRUE(Run({{"A", "B", kClosest}, {"B", "A", kClosest}}));
    EXPECT_EQ(Note(1, 1, 1, 0, 0), "B3");
    EXPECT_EQ(Note(1, 1, 1, 0, 1), "A3");
    Load(Chord({"A3", "B3"}));
    EXPECT_TRUE(Run({{"A", "B", kUp}, {"B", "C", kUp}}));
    EXPECT_EQ(Note(1, 1, 1, 0, 0), "B3") << "A becomes B, never C";
    EXPECT_EQ(Note(1, 1, 1, 0, 1), "C4");
}

TEST_F(PitchChangerTest, RestsAreSkippedAndChordsTestedNoteByNote) {
    Load(
        "{\"staves\": [{\"id\": 1, \"name\": \"S\", \"transposition\": 0, \"flags\": 0}],"
        "\"measures\": [{\"key\": 0}], \"entries\": [" +
        Entry(1, 1, 1, 0, {}) + ", " + Entry(1, 1, 1, 512, {"C4", "E4", "C5"}) + ", " +
        Entry(1, 1, 1, 1024, {}) + "]}");
    Host().Select(1, 1, 1, 1);
    EXPECT_TRUE(Run({{"C", "B#", kClosest}}));
    EXPECT_TRUE(Host().IsRest(1, 1, 1, 0));
    EXPECT_TRUE(Host().IsRest(1, 1, 1, 2));
    EXPECT_EQ(Note(1, 1, 1, 1, 0), "B#3");
    EXPECT_EQ(Note(1, 1, 1, 1, 1), "E4");
    EXPECT_EQ(Note(1, 1, 1, 1, 2), "B#4");
}

TEST_F(PitchChangerTest, WrittenPitchOnTransposingStaves) {
    struct Case {
        int transposition;
        const char* concert;
        Row row;
        const char* expectedConcert;
    } cases[] = {
        // Bb instrument: written C4 sounds Bb3; written Cb4 sounds Bbb3.
        {kBbInstrument, "Bb3", {"C", "Cb", kDown}, "Bbb3"},
        {kBbInstrument, "Bb3", {"C", "D", kUp}, "C4"},
        {kBbInstrument, "C4", {"D", "Eb", kClosest}, "Db4"},
        // Written an octave up: written E3 sounds E2; D3 written sounds D2.
        {kOctaveUp, "E2", {"E", "D", kDown}, "D2"},
        {kOctaveUp, "E2", {"E", "D", kUp}, "D3"},
        {kOctaveUp, "B1", {"B", "C", kClosest}, "C2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.concert) + " " + c.row.from + "->" + c.row.to);
        Load(Chord({c.concert}, 0, c.transposition));
        EXPECT_TRUE(Run({c.row}, /*sounding=*/false));
        EXPECT_EQ(Note(1, 1, 1, 0, 0), c.expectedConcert);
    }
}

TEST_F(PitchChangerTest, WrittenModeWithConcertPitchShownReadsUntransposed) {
    // The document shows concert pitch, so a concert B4 reads B4, never B#4.
    std::string json = Chord({"B4"}, 0, kBbInstrument);
    json.insert(1, "\"concertPitch\": true, ");
    Load(json);
    EXPECT_TRUE(Run({{"B#", "C", kClosest}}, false));
    EXPECT_EQ(Note(1, 1, 1, 0, 0), "B4");
    Load(json);
    EXPECT_TRUE(Run({{"B", "Cb", kClosest}}, false));
    EXPECT_EQ(Note(1, 1, 1, 0, 0), "Cb5");
}

TEST_F(PitchChangerTest, ChromaticStavesAreLeftAloneInWrittenModeOnly) {
    Load(Chord({"C4"}, 0, kChromatic));
    EXPECT_TRUE(Run({{"C", "D", kUp}}, false));
    EXPECT_EQ(Note(1, 1, 1, 0, 0), "C4");
    EXPECT_EQ(Host().GetCounters().respaces, 0);
    Load(Chord({"C4"}, 0, kChromatic));
    EXPECT_TRUE(Run({{"C", "D", kUp}}, true));
    EXPECT_EQ(Note(1, 1, 1, 0, 0), "D4");
}

TEST_F(PitchChangerTest, IndependentCellKeyGovernsTheCell) {
    // Measure 2 of the staff carries its own key (two sharps); the staff allows it.
    Load(
        "{\"staves\": [{\"id\": 1, \"name\": \"S\", \"transposition\": 0, \"flags\": 32768}],"
        "\"measures\": [{\"key\": 0}, {\"key\": 0}],"
        "\"cellKeys\": [{\"staff\": 1, \"measure\": 2, \"key\": 2}], \"entries\": [" +
        Entry(1, 1, 1, 0, {"F#4", "C#5"}) + ", " + Entry(1, 2, 1, 0, {"F#4", "C#5", "F4"}) + "]}");
    Host().Select(1, 1, 1, 2);
    EXPECT_TRUE(Run({{"F#", "Gb", kClosest}, {"F", "E#", kClosest}}));
    EXPECT_EQ(Note(1, 1, 1, 0, 0), "Gb4");
    EXPECT_EQ(Note(1, 2, 1, 0, 0), "Gb4");
    EXPECT_EQ(Note(1, 2, 1, 0, 1), "C#5");
    EXPECT_EQ(Note(1, 2, 1, 0, 2), "E#4");
}

TEST_F(PitchChangerTest, OctaveShiftPreferenceDoesNotMoveResults) {
    for (int shift : {-24, -12, 0, 12, 36}) {
        SCOPED_TRACE(shift);
        std::string json = Chord({"C4", "B3", "A0"});
        json.insert(1, "\"octaveShift\": " + std::to_string(shift) + ", ");
        Load(json);
        EXPECT_TRUE(Run({{"C", "D", kClosest}, {"B", "C", kUp}, {"A", "G#", kDown}}));
        EXPECT_EQ(Note(1, 1, 1, 0, 0), "D4");
        EXPECT_EQ(Note(1, 1, 1, 0, 1), "C4");
        EXPECT_EQ(Note(1, 1, 1, 0, 2), "G#0");
    }
}

TEST_F(PitchChangerTest, OldHostsGetTheChangedEntryFlag) {
    for (uint32_t version : {0x11000000U, 0x11FFFFFFU, 0x12000000U, 0x12050000U}) {
        SCOPED_TRACE(version);
        UseHostVersion(version);
        Load(
            "{\"staves\": [{\"id\": 1, \"name\": \"S\", \"transposition\": 0, \"flags\": 0}],"
            "\"measures\": [{\"key\": 0}], \"entries\": [" +
            Entry(1, 1, 1, 0, {"C4"}) + ", " + Entry(1, 1, 1, 256, {"E4"}) + "]}");
        Host().Select(1, 1, 1, 1);
        EXPECT_TRUE(Run({{"C", "D", kUp}}));
        void* frame = fx::LoadTGF(1, 1, 0, 1);
        ASSERT_NE(frame, nullptr);
        const uint8_t* entries = le::Pointer32(frame, 0x0E);
        const bool old = version < 0x12000000;
        EXPECT_EQ((le::U16(entries, 0x0C) & 4) != 0, old) << "changed entry";
        EXPECT_EQ(le::U16(entries + 146, 0x0C) & 4, 0) << "untouched entry";
        fx::FreeTGF(frame);
        EXPECT_EQ(Note(1, 1, 1, 0, 0), "D4");
    }
}

TEST_F(PitchChangerTest, NonLinearKeysAreLeftAlone) {
    Load(
        "{\"staves\": [{\"id\": 1, \"name\": \"S\", \"transposition\": 0, \"flags\": 0}],"
        "\"measures\": [{\"key\": 16384}], \"entries\": [{\"staff\": 1, \"measure\": 1, "
        "\"layer\": 1, \"pos\": 0, \"notes\": [{\"displacement\": 3, \"raiseLower\": 1}]}]}");
    Host().Select(1, 1, 1, 1);
    const auto before = Host().NoteRaw(1, 1, 1, 0, 0);
    EXPECT_TRUE(Run({{"D", "E", kUp}, {"F", "G", kUp}, {"C", "D", kUp}}));
    EXPECT_EQ(Host().NoteRaw(1, 1, 1, 0, 0), before);
    EXPECT_EQ(Host().GetCounters().respaces, 0);
}

TEST_F(PitchChangerTest, UndoRestoresTheScoreExactly) {
    Load(Chord({"C4", "A#3", "E5"}, 3));
    const std::string before = Host().ScoreJson();
    EXPECT_TRUE(Run({{"C", "B#", kDown}, {"A#", "Bb", kClosest}}));
    EXPECT_NE(Host().ScoreJson(), before);
    const auto counters = Host().GetCounters();
    EXPECT_EQ(counters.editsOpened, 1);
    EXPECT_EQ(counters.editsKept, 1);
    ASSERT_EQ(Host().EditTitles().size(), 1U);
    EXPECT_EQ(Host().EditTitles()[0], "Sorvel");
    EXPECT_TRUE(Host().Undo());
    EXPECT_EQ(Host().ScoreJson(), before);
}

TEST_F(PitchChangerTest, NoSelectionAlertsCancelsAndChangesNothing) {
    Load(Chord({"C4"}));
    Host().SetSelection(std::nullopt);
    const std::string before = Host().ScoreJson();
    EXPECT_FALSE(Run({{"C", "D", kUp}}));
    EXPECT_EQ(Host().ScoreJson(), before);
    const auto counters = Host().GetCounters();
    EXPECT_EQ(counters.editsOpened, 1);
    EXPECT_EQ(counters.editsCancelled, 1);
    EXPECT_EQ(counters.editsKept, 0);
    // What the alert shows is the alert object's affair (tests/ui).
    EXPECT_EQ(NoSelectionAlerts(), 1);
}

TEST_F(PitchChangerTest, RespaceOnlyAfterAChangeOnAllStavesThenSelectionBack) {
    Load(
        "{\"staves\": [{\"id\": 1, \"name\": \"A\", \"transposition\": 0, \"flags\": 0},"
        "{\"id\": 2, \"name\": \"B\", \"transposition\": 0, \"flags\": 0},"
        "{\"id\": 3, \"name\": \"C\", \"transposition\": 0, \"flags\": 0}],"
        "\"measures\": [{\"key\": 0}, {\"key\": 0}, {\"key\": 0}], \"entries\": [" +
        Entry(2, 2, 1, 0, {"C4"}) + ", " + Entry(2, 3, 1, 0, {"C4"}) + "]}");
    Host().Select(2, 2, 2, 2, 0, 100);
    const auto selection = Host().Selection();
    EXPECT_TRUE(Run({{"E", "F", kUp}}));
    EXPECT_EQ(Host().GetCounters().respaces, 0) << "nothing matched";
    EXPECT_TRUE(Run({{"C", "D", kUp}}, true, /*respace=*/false));
    EXPECT_EQ(Host().GetCounters().respaces, 0) << "respace off";
    EXPECT_EQ(Note(2, 2, 1, 0, 0), "D4");
    EXPECT_EQ(Note(2, 3, 1, 0, 0), "C4") << "outside the selection";
    EXPECT_TRUE(Run({{"D", "E", kUp}}));
    ASSERT_EQ(Host().RespaceRegions().size(), 1U);
    const auto respaced = Host().RespaceRegions()[0];
    EXPECT_EQ(respaced.startSlot, 1);
    EXPECT_EQ(respaced.endSlot, 3);
    EXPECT_EQ(respaced.startMeasure, 2);
    EXPECT_EQ(respaced.endMeasure, 2);
    EXPECT_EQ(Host().Selection(), selection);
}

TEST_F(PitchChangerTest, EmptyListStillNeedsASelectionButChangesNothing) {
    Load(Chord({"C4"}));
    EXPECT_TRUE(Run({}));
    EXPECT_EQ(Note(1, 1, 1, 0, 0), "C4");
    EXPECT_EQ(Host().GetCounters().respaces, 0);
    EXPECT_EQ(NoSelectionAlerts(), 0);
    Host().SetSelection(std::nullopt);
    EXPECT_FALSE(Run({}));
    EXPECT_EQ(NoSelectionAlerts(), 1);
}

TEST_F(PitchChangerTest, OutOfRangeTargetKeepsTheNoteButCountsAsChange) {
    // A target in octave 16 is refused: the note keeps its pitch, yet the run respaces.
    Load(Chord({"C16"}));
    EXPECT_TRUE(Run({{"C", "D", kUp}}));
    EXPECT_EQ(Note(1, 1, 1, 0, 0), "C16");
    EXPECT_EQ(Host().GetCounters().respaces, 1);
}

TEST_F(PitchChangerTest, UnreadableTargetsKeepTheirNotes) {
    // Rows read from a damaged settings file are applied as they stand; a to text that is not a
    // spelling must leave the note where it is, never move it to octave 0 or wrap its accidentals.
    const std::string sharps(40000, '#');
    struct Case {
        const char* note;
        std::string to;
    } cases[] = {{"Db4", "D#b"}, {"Db4", "Db#"}, {"C4", "C4"}, {"C4", "C" + sharps}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.note) + "->" + c.to.substr(0, 8));
        Load(Chord({c.note}));
        const std::string from = std::string(c.note).substr(0, std::string(c.note).size() - 1);
        EXPECT_TRUE(Run({{from.c_str(), c.to.c_str(), kClosest}}));
        EXPECT_EQ(Note(1, 1, 1, 0, 0), c.note);
    }
}

}  // namespace
