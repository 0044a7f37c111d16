// Records, cells and the region walk against the stand-in host's own score model: the host
// refuses any record of the wrong size or version and checks every frame it takes back, and
// its model answers independently what each cell and entry should hold.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "framework/FCBrowserNoteEntries.h"
#include "framework/FCCell.h"
#include "framework/FCCurrentStaffSpec.h"
#include "framework/FCGeneralPrefs.h"
#include "framework/FCIndependentCellDetail.h"
#include "framework/FCIteratorHandler.h"
#include "framework/FCMeasure.h"
#include "framework/FCMusicRegion.h"
#include "framework/FCNoteEntryCell.h"
#include "framework/FCPartScopePrefs.h"
#include "framework/FCStaff.h"
#include "host/HostSession.h"
#include "hostapi/HostVersion.h"

namespace {

using host::HostSession;

// Three staves (ids 4, 9, 2 in slots 1 to 3), four measures, entries in layers 1 to 3.
const char* const kScore = R"({
  "staves":   [ {"id": 4, "name": "Flute"},
                {"id": 9, "name": "Clarinet in Bb", "transposition": 66},
                {"id": 2, "name": "Piano", "flags": 32768} ],
  "measures": [ {"key": 0}, {"key": 1}, {"key": 254}, {"key": 259} ],
  "cellKeys": [ {"staff": 2, "measure": 2, "key": 5}, {"staff": 4, "measure": 3, "key": 3} ],
  "layers":   {"count": 4, "shown": [1, 3]},
  "octaveShift": -24,
  "concertPitch": true,
  "entries":  [
    {"staff": 4, "measure": 1, "layer": 1, "pos": 0,    "notes": ["C4"]},
    {"staff": 4, "measure": 1, "layer": 1, "pos": 512,  "notes": ["D4", "F4"]},
    {"staff": 4, "measure": 1, "layer": 1, "pos": 1024, "rest": true},
    {"staff": 4, "measure": 1, "layer": 2, "pos": 0,    "notes": ["E5"]},
    {"staff": 4, "measure": 1, "layer": 3, "pos": 256,  "notes": ["G3"]},
    {"staff": 9, "measure": 1, "layer": 1, "pos": 0,    "notes": ["A4", "C5", "E5"]},
    {"staff": 9, "measure": 2, "layer": 1, "pos": 0,    "notes": ["B3"]},
    {"staff": 9, "measure": 2, "layer": 1, "pos": 768,  "notes": ["F#4"]},
    {"staff": 2, "measure": 2, "layer": 1, "pos": 0,    "notes": ["C2", "G2"]},
    {"staff": 2, "measure": 2, "layer": 3, "pos": 512,  "notes": ["Bb3"]},
    {"staff": 2, "measure": 3, "layer": 1, "pos": 0,    "notes": ["Eb4"]},
    {"staff": 4, "measure": 4, "layer": 1, "pos": 0,    "notes": ["C#5"]},
    {"staff": 4, "measure": 4, "layer": 1, "pos": 2000, "notes": ["D5"]},
    {"staff": 2, "measure": 4, "layer": 2, "pos": 100,  "notes": ["A1"]},
    {"staff": 2, "measure": 4, "layer": 4, "pos": 100,  "notes": ["A2"]}
  ],
  "lockedFrames": [ {"staff": 9, "measure": 2, "layer": 1} ]
})";

const int kStaves[] = {4, 9, 2};  // by slot

class HostedScoreTest : public testing::Test {
  protected:
    void SetUp() override {
        Host().Reset();
        UseHostVersion(0x12050000);
        std::string error;
        ASSERT_TRUE(Host().LoadScoreJson(kScore, error, "walk.json")) << error;
    }
    void TearDown() override {
        Host().EndRun();
        EXPECT_EQ(Host().OutstandingFrames(), 0);
        EXPECT_TRUE(Host().ProtocolErrors().empty())
            << "first protocol error: " << Host().ProtocolErrors().front();
        UseHostVersion(0x12050000);
    }
    static HostSession& Host() { return HostSession::Instance(); }
    static void UseHostVersion(uint32_t version) {
        HostVersion::Set(version);
        Host().SetHostVersion(version);
    }
};

// A visit as the walk reports it, and as the host's model says it should be.
using Visit = std::tuple<int, int, int32_t, int, int16_t>;  // measure, staff, pos, notes, D0

// Collects the entries handed to Iterate; can shift every note's displacement and ask for saving.
class Collector : public FCIteratorHandler {
  public:
    std::vector<Visit> visits;
    int shift = 0;
    int stopAfter = -1;

    bool Iterate(__FCBase* item) override {
        auto* entry = static_cast<FCNoteEntry*>(item);
        const int16_t d0 =
            entry->GetNoteCount() > 0 ? entry->GetNoteAt(0)->GetDisplacement() : int16_t{0};
        visits.emplace_back(entry->GetMeasure(), entry->GetStaff(), entry->GetPosition(),
                            entry->GetNoteCount(), d0);
        for (int32_t i = 0; i < entry->GetNoteCount(); ++i) {
            FCNote* note = entry->GetNoteAt(i);
            note->SetDisplacement(static_cast<int16_t>(note->GetDisplacement() + shift));
        }
        return static_cast<int>(visits.size()) != stopAfter;
    }
};

// The host's model of the same walk over whole measures: measure by measure, slot by slot,
// selected layers in order, entries in time order.
std::vector<Visit> ExpectedVisits(const std::vector<int>& layers, int slot1, int slot2, int m1,
                                  int m2) {
    std::vector<Visit> visits;
    auto& host = HostSession::Instance();
    for (int m = m1; m <= m2; ++m) {
        for (int slot = slot1; slot <= slot2; ++slot) {
            const int staff = kStaves[slot - 1];
            for (int layer : layers) {
                for (int e = 0; e < host.EntryCount(staff, m, layer); ++e) {
                    // The model answers no positions; the entry's place in time order stands
                    // in for it (the walk's own positions are checked where they matter).
                    visits.emplace_back(m, staff, e, host.NoteCount(staff, m, layer, e),
                                        host.NoteCount(staff, m, layer, e) > 0
                                            ? host.NoteRaw(staff, m, layer, e, 0)->displacement
                                            : int16_t{0});
                }
            }
        }
    }
    return visits;
}

TEST_F(HostedScoreTest, RecordsLoadInEveryHostLayout) {
    for (uint32_t version :
         {0x0F000000U, 0x10FFFFFFU, 0x11000000U, 0x11FFFFFFU, 0x12000000U, 0x12050000U}) {
        UseHostVersion(version);
        SCOPED_TRACE(testing::Message() << "host " << std::hex << version);
        FCMeasure measure;
        ASSERT_TRUE(measure.Load(3));
        ASSERT_NE(measure.GetKeySignature(), nullptr);
        EXPECT_EQ(measure.GetKeySignature()->GetKeyWord(), 254);
        FCStaff clarinet;
        ASSERT_TRUE(clarinet.Load(9));
        EXPECT_TRUE(clarinet.HasTransposition());
        EXPECT_EQ(clarinet.IsChromaticTransposition(), 0);
        EXPECT_EQ(clarinet.GetTranspositionAlteration(), 2);
        EXPECT_EQ(clarinet.GetTranspositionInterval(), 1);
        FCCurrentStaffSpec piano;
        ASSERT_TRUE(piano.LoadAt(2, 2, 0));
        EXPECT_TRUE(piano.HasIndependentKey());
        EXPECT_FALSE(piano.HasTransposition());
        FCGeneralPrefs general;
        ASSERT_TRUE(general.Load(1));
        EXPECT_EQ(general.GetOctaveShift(), -24);
        FCPartScopePrefs part;
        ASSERT_TRUE(part.Load(1));
        EXPECT_TRUE(part.GetConcertPitch());
        FCCell cell(2, 2);
        FCIndependentCellDetail detail(&cell);
        ASSERT_TRUE(detail.LoadForCell());
        EXPECT_TRUE(detail.HasOwnKeySignature());
        EXPECT_EQ(detail.GetKeyWord(), 5);
        EXPECT_TRUE(Host().ProtocolErrors().empty())
            << "first protocol error: " << Host().ProtocolErrors().front();
    }
}

TEST_F(HostedScoreTest, StaffRecordsAreWalkedInStaffOrder) {
    FCStaff staff;
    std::vector<int> seen;
    for (bool ok = staff.LoadFirst(); ok && seen.size() < 10; ok = staff.LoadNext()) {
        seen.push_back(staff.GetKeyItem1());
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 4, 9}));
}

// A measure walked with LoadNext answers each measure's own key, never the one cached from the
// measure before, and saving it keeps that measure's key in the score.
TEST_F(HostedScoreTest, MeasureWalkAnswersEachMeasuresKey) {
    FCMeasure measure;
    ASSERT_TRUE(measure.LoadFirst());
    std::vector<int> keys;
    for (bool ok = true; ok && keys.size() < 10; ok = measure.LoadNext()) {
        ASSERT_NE(measure.GetKeySignature(), nullptr);
        keys.push_back(measure.GetKeySignature()->GetKeyWord());
        ASSERT_TRUE(measure.Save()) << "measure " << measure.GetKeyItem1();
    }
    EXPECT_EQ(keys, (std::vector<int>{0, 1, 254, 259}));
    for (int m = 1; m <= 4; ++m) {
        // The clarinet has no keys of its own: its cells show the measure's key.
        EXPECT_EQ(Host().CellKey(9, m).value_or(0xFFFF), keys[m - 1])
            << "measure " << m << " keeps its key after the save";
    }
    // A copy takes the other record's key, not the one cached before.
    FCMeasure first;
    ASSERT_TRUE(first.Load(1));
    ASSERT_EQ(first.GetKeySignature()->GetKeyWord(), 0);
    FCMeasure third;
    ASSERT_TRUE(third.Load(3));
    first.CopyFrom(&third);
    EXPECT_EQ(first.GetKeySignature()->GetKeyWord(), 254);
}

TEST_F(HostedScoreTest, HostNoticesALayoutOfTheWrongHostVersion) {
    // The plug-in believes in 0x12050000 while the host plays 0x11000000: the host refuses.
    HostVersion::Set(0x12050000);
    Host().SetHostVersion(0x11000000);
    FCStaff staff;
    EXPECT_FALSE(staff.Load(4));
    EXPECT_FALSE(Host().ProtocolErrors().empty());
    Host().Reset();  // the deliberate errors are not the test's failure
}

TEST_F(HostedScoreTest, CellKeysAgreeWithTheHostsModel) {
    for (int staff : kStaves) {
        for (int m = 1; m <= 4; ++m) {
            FCCell cell(m, staff);
            FCKeySignature* key = cell.GetKeySignature();
            ASSERT_NE(key, nullptr);
            EXPECT_EQ(key->GetKeyWord(), Host().CellKey(staff, m).value_or(0xFFFF))
                << "staff " << staff << " measure " << m;
        }
    }
}

TEST_F(HostedScoreTest, WalkVisitsShownLayersInOrder) {
    Collector collector;
    FCBrowserNoteEntries browser;
    FCMusicRegion region;
    region.SetStartSlot(1);
    region.SetEndSlot(3);
    region.SetStartMeasure(1);
    region.SetEndMeasure(4);
    region.SetEndPosition(0x7FFFFFFF);
    EXPECT_EQ(browser.ForEachCellInRegion(&collector, &region), 12);
    const auto expected = ExpectedVisits({1, 3}, 1, 3, 1, 4);
    ASSERT_EQ(collector.visits.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(std::get<0>(collector.visits[i]), std::get<0>(expected[i])) << i;
        EXPECT_EQ(std::get<1>(collector.visits[i]), std::get<1>(expected[i])) << i;
        EXPECT_EQ(std::get<3>(collector.visits[i]), std::get<3>(expected[i])) << i;
        EXPECT_EQ(std::get<4>(collector.visits[i]), std::get<4>(expected[i])) << i;
    }
}

TEST_F(HostedScoreTest, LayerModesAgainstTheHostsLayers) {
    struct Case {
        int32_t mode;
        std::vector<int> layers;  // 1-based, as the score names them
    } cases[] = {
        {0, {1, 3}}, {-2, {2, 4}}, {-1, {1, 2, 3, 4}}, {-3, {}},         {1, {1}},
        {2, {2}},    {3, {3}},     {4, {4}},           {0x0A00, {2, 4}}, {0x0100, {1}},
    };
    for (const Case& c : cases) {
        Collector collector;
        FCBrowserNoteEntries browser;
        browser.SetLayerMode(c.mode);
        FCMusicRegion region;
        region.SetStartSlot(1);
        region.SetEndSlot(3);
        region.SetStartMeasure(1);
        region.SetEndMeasure(4);
        region.SetEndPosition(0x7FFFFFFF);
        browser.ForEachCellInRegion(&collector, &region);
        const auto expected = ExpectedVisits(c.layers, 1, 3, 1, 4);
        EXPECT_EQ(collector.visits.size(), expected.size()) << "mode " << c.mode;
        EXPECT_EQ(Host().OutstandingFrames(), 0);
    }
}

TEST_F(HostedScoreTest, PositionsFilterAtBothEndsOfTheRegion) {
    Collector collector;
    FCBrowserNoteEntries browser;
    FCMusicRegion region;
    region.SetStartSlot(1);
    region.SetEndSlot(1);
    region.SetStartMeasure(1);
    region.SetEndMeasure(4);
    region.SetStartPosition(512);
    region.SetEndPosition(0);
    browser.ForEachCellInRegion(&collector, &region);
    std::vector<std::pair<int, int32_t>> seen;
    for (const Visit& v : collector.visits) {
        seen.emplace_back(std::get<0>(v), std::get<2>(v));
    }
    // Measure 1 from 512 on (the rest at 1024 included; layer 3's 256 is before the start),
    // measure 4 up to 0 (2000 lies after the end).
    EXPECT_EQ(seen, (std::vector<std::pair<int, int32_t>>{{1, 512}, {1, 1024}, {4, 0}}));
}

TEST_F(HostedScoreTest, SavedCellsReachTheScoreExceptGuardedFrames) {
    Collector collector;
    collector.shift = 1;
    collector.SetSaveFlag(true);
    FCBrowserNoteEntries browser;
    FCMusicRegion region;
    region.SetStartSlot(1);
    region.SetEndSlot(3);
    region.SetStartMeasure(1);
    region.SetEndMeasure(2);
    region.SetEndPosition(0x7FFFFFFF);
    const auto before9 = Host().NoteRaw(9, 2, 1, 0, 0);
    const auto before4 = Host().NoteRaw(4, 1, 1, 1, 1);
    const auto before2 = Host().NoteRaw(2, 2, 3, 0, 0);
    const auto hidden = Host().NoteRaw(4, 1, 2, 0, 0);
    ASSERT_TRUE(before9 && before4 && before2 && hidden);
    EXPECT_EQ(browser.ForEachCellInRegion(&collector, &region), 6);
    EXPECT_EQ(Host().NoteRaw(4, 1, 1, 1, 1)->displacement, before4->displacement + 1);
    EXPECT_EQ(Host().NoteRaw(2, 2, 3, 0, 0)->displacement, before2->displacement + 1);
    EXPECT_EQ(Host().NoteRaw(9, 2, 1, 0, 0), before9) << "a guarded frame is never written";
    EXPECT_EQ(Host().NoteRaw(4, 1, 2, 0, 0), hidden) << "a hidden layer is not touched";
    EXPECT_TRUE(Host().IsRest(4, 1, 1, 2)) << "a rest stays a rest through the save";
}

TEST_F(HostedScoreTest, UnsavedEditsNeverReachTheScore) {
    Collector collector;
    collector.shift = 3;
    FCBrowserNoteEntries browser;
    FCMusicRegion region;
    region.SetStartSlot(1);
    region.SetEndSlot(1);
    region.SetStartMeasure(1);
    region.SetEndMeasure(1);
    region.SetEndPosition(0x7FFFFFFF);
    const auto before = Host().NoteRaw(4, 1, 1, 0, 0);
    browser.ForEachCellInRegion(&collector, &region);
    EXPECT_EQ(Host().NoteRaw(4, 1, 1, 0, 0), before);
}

TEST_F(HostedScoreTest, StoppedWalkReleasesEverything) {
    Collector collector;
    collector.stopAfter = 3;
    collector.SetSaveFlag(true);
    FCBrowserNoteEntries browser;
    browser.SetLayerMode(-1);
    FCMusicRegion region;
    region.SetStartSlot(1);
    region.SetEndSlot(3);
    region.SetStartMeasure(1);
    region.SetEndMeasure(4);
    region.SetEndPosition(0x7FFFFFFF);
    EXPECT_EQ(browser.ForEachCellInRegion(&collector, &region), 0) << "stopped in the first cell";
    EXPECT_EQ(collector.visits.size(), 3U);
}

TEST_F(HostedScoreTest, WalkOfTheCurrentSelection) {
    Collector collector;
    FCBrowserNoteEntries browser;
    EXPECT_EQ(browser.ForEach(&collector), 0) << "nothing selected";
    Host().Select(2, 3, 2, 3);
    EXPECT_EQ(browser.ForEach(&collector), 4);
    std::vector<int> staves;
    for (const Visit& v : collector.visits) {
        staves.push_back(std::get<1>(v));
    }
    EXPECT_EQ(staves, (std::vector<int>{9, 9, 2, 2, 2}));
}

TEST_F(HostedScoreTest, FullStaffRange) {
    FCMusicRegion region;
    region.SetStartSlot(2);
    region.SetEndSlot(2);
    region.SetStartMeasure(3);
    region.SetEndMeasure(3);
    ASSERT_TRUE(region.SetFullStaffRange());
    EXPECT_EQ(region.GetStartSlot(), 1);
    EXPECT_EQ(region.GetEndSlot(), 3);
    EXPECT_EQ(region.GetStartMeasure(), 3);
}

}  // namespace
