// Score files: reading, the faults it reports with file name and place, and writing back.
#include <gtest/gtest.h>

#include <string>

#include "host/HostSession.h"

namespace {

using host::HostSession;

class ScoreFileTest : public ::testing::Test {
  protected:
    void SetUp() override { session.Reset(); }
    HostSession& session = HostSession::Instance();

    std::string LoadError(const std::string& text) {
        std::string error;
        EXPECT_FALSE(session.LoadScoreJson(text, error, "bad.json")) << text;
        return error;
    }
};

const char* const kScore = R"({
  "staves":   [ {"id": 1, "name": "Clarinet in Bb", "transposition": 66, "flags": 0},
                {"id": 7, "name": "Piano", "flags": 32768} ],
  "measures": [ {"key": 0}, {"key": 254} ],
  "cellKeys": [ {"staff": 7, "measure": 2, "key": 1} ],
  "staffSpecs": [ {"staff": 1, "measure": 2, "transposition": 0, "flags": 0} ],
  "layers":   {"count": 4, "shown": [1, 2]},
  "octaveShift": 0,
  "concertPitch": false,
  "entries":  [ {"staff": 1, "measure": 1, "layer": 1, "pos": 1024, "rest": true},
                {"staff": 1, "measure": 1, "layer": 1, "pos": 0, "notes": ["C4", "Eb4", "G4"]},
                {"staff": 7, "measure": 2, "layer": 2, "pos": 0, "notes": ["F#3", {"displacement": 3, "raiseLower": -1}]} ],
  "lockedFrames": [ {"staff": 1, "measure": 2, "layer": 1} ],
  "selection": {"startSlot": 1, "endSlot": 2, "startMeasure": 1, "endMeasure": 2, "startPos": 0, "endPos": 2147483647}
})";

TEST_F(ScoreFileTest, ReadsEveryPartOfTheScore) {
    std::string error;
    ASSERT_TRUE(session.LoadScoreJson(kScore, error, "ok.json")) << error;
    EXPECT_EQ(session.StaffCount(), 2);
    EXPECT_EQ(session.MeasureCount(), 2);
    // Entries are kept in time order.
    EXPECT_EQ(session.EntryCount(1, 1, 1), 2);
    EXPECT_EQ(session.NoteSpelling(1, 1, 1, 0, 1), "Eb4");
    EXPECT_TRUE(session.IsRest(1, 1, 1, 1));
    // Staff 7 has the independent-key bit: its measure 2 follows the cell key (G major).
    EXPECT_EQ(session.CellKey(7, 2), 1);
    EXPECT_EQ(session.CellKey(1, 2), 254);
    EXPECT_EQ(session.NoteRaw(7, 2, 2, 0, 0), (HostSession::NoteNumbers{-8, 0}));
    // D = 3, R = -1 in G major: C5 lowered, Cb5.
    EXPECT_EQ(session.NoteSpelling(7, 2, 2, 0, 1), "Cb5");
    ASSERT_TRUE(session.Selection());
    EXPECT_EQ(session.Selection()->endSlot, 2);
}

TEST_F(ScoreFileTest, WritesBackWhatItRead) {
    std::string error;
    ASSERT_TRUE(session.LoadScoreJson(kScore, error, "ok.json")) << error;
    const std::string first = session.ScoreJson();
    ASSERT_TRUE(session.LoadScoreJson(first, error, "again.json")) << error;
    EXPECT_EQ(session.ScoreJson(), first);
    EXPECT_NE(first.find("\"Cb5\""), std::string::npos);
    EXPECT_NE(first.find("\"Clarinet in Bb\""), std::string::npos);
}

TEST_F(ScoreFileTest, NotesInNonLinearKeysAreWrittenAsNumbers) {
    std::string error;
    ASSERT_TRUE(session.LoadScoreJson(
        R"({"staves": [{"id": 1}], "measures": [{"key": 16384}],
            "entries": [{"staff": 1, "measure": 1, "notes": [{"displacement": 2, "raiseLower": 1}]}]})",
        error))
        << error;
    EXPECT_EQ(session.NoteSpelling(1, 1, 1, 0, 0), "");
    EXPECT_EQ(session.NoteRaw(1, 1, 1, 0, 0), (HostSession::NoteNumbers{2, 1}));
    EXPECT_NE(session.ScoreJson().find("\"displacement\": 2"), std::string::npos);
}

TEST_F(ScoreFileTest, FaultsNameTheFileAndThePlace) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {R"({"stavs": []})", "bad.json: top level: unknown key \"stavs\""},
        {R"({"staves": [{"id": 1, "nmae": "x"}]})", "bad.json: staves[0]: unknown key \"nmae\""},
        {R"({"staves": [{"id": 0}]})", "bad.json: staves[0].id: value 0 is outside 1 to 32767"},
        {R"({"staves": [{"id": 1}, {"id": 1}]})",
         "bad.json: staves[1].id: staff id 1 is used twice"},
        {R"({"staves": [{"id": 1}], "measures": [{}],
             "entries": [{"staff": 1, "measure": 1, "notes": ["C4", "H4"]}]})",
         "bad.json: entries[0].notes[1]: \"H4\" is not a pitch"},
        {R"({"staves": [{"id": 1}], "measures": [{}],
             "entries": [{"staff": 2, "measure": 1, "notes": ["C4"]}]})",
         "bad.json: entries[0].staff: no staff with id 2"},
        {R"({"staves": [{"id": 1}], "measures": [{}],
             "entries": [{"staff": 1, "measure": 3, "notes": ["C4"]}]})",
         "bad.json: entries[0].measure: no measure 3"},
        {R"({"staves": [{"id": 1}], "measures": [{}],
             "entries": [{"staff": 1, "measure": 1, "layer": 5, "notes": ["C4"]}]})",
         "bad.json: entries[0].layer: value 5 is outside 1 to 4"},
        {R"({"staves": [{"id": 1}], "measures": [{}],
             "entries": [{"staff": 1, "measure": 1}]})",
         "bad.json: entries[0]: an entry needs \"notes\" or \"rest\": true"},
        {R"({"staves": [{"id": 1}], "measures": [{"key": 16384}],
             "entries": [{"staff": 1, "measure": 1, "notes": ["C4"]}]})",
         "bad.json: entries[0].notes[0]: \"C4\" cannot be placed"},
        {R"({"staves": [{"id": 1}], "measures": [{}], "selection": {"startSlot": 1, "endSlot": 2,
             "startMeasure": 1, "endMeasure": 1}})",
         "bad.json: selection.endSlot: value 2 is outside 1 to 1"},
        {R"({"octaveShift": "high"})", "bad.json: octaveShift: must be a whole number"},
        {"{\n  \"staves\": [\n    {\"id\": 1,}\n  ]\n}",
         "bad.json: line 3, column 14: syntax error"},
    };
    for (const auto& c : cases) {
        const std::string error = LoadError(c.text);
        EXPECT_EQ(error.rfind(c.expected, 0), 0u) << "got: " << error << "\nwanted: " << c.expected;
    }
}

TEST_F(ScoreFileTest, AFailedLoadKeepsTheScore) {
    std::string error;
    ASSERT_TRUE(session.LoadScoreJson(kScore, error)) << error;
    EXPECT_FALSE(session.LoadScoreJson(R"({"staves": 3})", error));
    EXPECT_EQ(session.StaffCount(), 2);
}

TEST_F(ScoreFileTest, AMissingFileIsReported) {
    std::string error;
    EXPECT_FALSE(session.LoadScoreFile("/nonexistent/score.json", error));
    EXPECT_EQ(error, "/nonexistent/score.json: cannot be read");
}

}  // namespace

namespace {

TEST(ScoreFileExampleTest, TheExampleScoreLoadsAndKeepsItsNotes) {
    auto& session = host::HostSession::Instance();
    session.Reset();
    std::string error;
    ASSERT_TRUE(session.LoadScoreFile(std::string(VS_EXAMPLES) + "/Serenade.json", error)) << error;
    EXPECT_EQ(session.StaffCount(), 4);
    EXPECT_EQ(session.MeasureCount(), 4);
    EXPECT_EQ(session.NoteSpelling(3, 1, 1, 0, 1), "F#4");
    // F#4 in G major is the seventh degree, one step below the tonic, no alteration.
    EXPECT_EQ(session.NoteRaw(3, 1, 1, 0, 1), (host::HostSession::NoteNumbers{-1, 0}));
    EXPECT_EQ(session.NoteSpelling(3, 3, 2, 0, 0), "Eb3");
    session.Reset();
}

}  // namespace
