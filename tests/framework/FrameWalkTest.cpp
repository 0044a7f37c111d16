// Cells, entries and the region walk against the scripted host: layer selection, entry and note
// building, the save guard, the release of every frame, position filtering, walk order and the
// handler's hooks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/FCBrowserNoteEntries.h"
#include "framework/FCCell.h"
#include "framework/FCIteratorHandler.h"
#include "framework/FCMusicRegion.h"
#include "framework/FCNoteEntryCell.h"
#include "hostapi/LittleEndian.h"
#include "tests/framework/FakeHost.h"

namespace {

using fake::FrameCall;
using fake::Host;

class FrameWalkTest : public testing::Test {
  protected:
    void SetUp() override {
        Host::Get().Reset();
        objectsBefore_ = __FCBase::LiveObjectCount();
    }
    void TearDown() override {
        EXPECT_EQ(Host::Get().OutstandingFrames(), 0) << "every frame goes back to the host";
        EXPECT_EQ(Host::Get().badFrees, 0) << "no frame is freed or saved after its release";
        EXPECT_EQ(Host::Get().loads.size() - CountFailedLoads(), Host::Get().frees.size());
        EXPECT_EQ(__FCBase::LiveObjectCount(), objectsBefore_);
    }
    static size_t CountFailedLoads() {
        size_t failed = 0;
        for (const FrameCall& load : Host::Get().loads) {
            if (Host::Get().failingLoads.contains({load.slot, load.measure, load.layer})) {
                ++failed;
            }
        }
        return failed;
    }
    static std::vector<int> LoadedLayers() {
        std::vector<int> layers;
        for (const FrameCall& load : Host::Get().loads) {
            layers.push_back(load.layer);
        }
        return layers;
    }

  private:
    int64_t objectsBefore_ = 0;
};

fake::Entry Chord(int32_t position, const std::vector<int16_t>& displacements) {
    fake::Entry e;
    e.position = position;
    for (int16_t d : displacements) {
        e.notes.push_back({d, static_cast<int16_t>(d % 3)});
    }
    return e;
}

fake::Entry Rest(int32_t position) {
    fake::Entry e;
    e.position = position;
    e.isNote = false;
    return e;
}

struct LayerCase {
    int32_t mode;
    uint32_t shown;
    std::vector<int> layers;
};

TEST_F(FrameWalkTest, LayerSelectionByMode) {
    const LayerCase cases[] = {
        {-3, 0xF, {}},
        {-2, 0x5, {1, 3}},  // hidden layers only
        {-2, 0xF, {}},
        {-1, 0x0, {0, 1, 2, 3}},
        {0, 0x5, {0, 2}},  // shown layers only (the default)
        {0, 0x0, {}},
        {1, 0x0, {0}},
        {2, 0x0, {1}},
        {3, 0x0, {2}},
        {4, 0xF, {3}},
        {0x0500, 0x0, {0, 2}},  // bit masks select whatever is shown
        {0x0F00, 0x0, {0, 1, 2, 3}},
        {0x0800, 0xF, {3}},
        {0x0200, 0xF, {1}},
        {5, 0xF, {}},  // not a layer number: a mask without layer bits
        {0x1000, 0xF, {}},
        {0x10F0, 0xF, {}},
        {-4, 0x0, {0, 1, 2, 3}},  // a mask whose bits 8-11 are all set
    };
    for (const LayerCase& c : cases) {
        Host::Get().Reset();
        Host::Get().shownLayers = c.shown;
        FCNoteEntryCell cell(5, 20);
        cell.SetLayerMode(c.mode);
        EXPECT_TRUE(cell.Load());
        EXPECT_EQ(LoadedLayers(), c.layers) << "mode " << c.mode;
        for (int layer = 0; layer < 4; ++layer) {
            const bool loaded =
                std::find(c.layers.begin(), c.layers.end(), layer) != c.layers.end();
            EXPECT_EQ(cell.GetFrame(layer) != nullptr, loaded) << "mode " << c.mode;
        }
        for (const FrameCall& load : Host::Get().loads) {
            EXPECT_EQ(load.slot, 2) << "the staff's slot";
            EXPECT_EQ(load.measure, 5);
        }
        for (uint32_t option : Host::Get().loadOptions) {
            EXPECT_EQ(option, 1U);
        }
        for (uint32_t version : Host::Get().frameVersions) {
            EXPECT_EQ(version, 0x12050000U);
        }
    }
}

TEST_F(FrameWalkTest, LayerCountComesFromTheHostAndIsBoundedByTwenty) {
    for (int32_t maxLayers : {1, 6, 20, 25, 300}) {
        Host::Get().Reset();
        Host::Get().maxLayers = maxLayers;
        Host::Get().shownLayers = 0xFFFFFFFF;
        FCNoteEntryCell cell(1, 10);
        cell.SetLayerMode(-1);
        EXPECT_TRUE(cell.Load());
        EXPECT_EQ(static_cast<int>(Host::Get().loads.size()), std::min(maxLayers, 20));
        EXPECT_EQ(cell.GetFrame(20), nullptr);
        EXPECT_EQ(cell.GetFrame(-1), nullptr);
    }
    Host::Get().Reset();
    Host::Get().maxLayers = 8;
    FCNoteEntryCell masked(1, 10);
    masked.SetLayerMode(0x0F00);
    EXPECT_TRUE(masked.Load());
    EXPECT_EQ(LoadedLayers(), (std::vector<int>{0, 1, 2, 3})) << "masks reach layers 1-4 only";
}

TEST_F(FrameWalkTest, EntriesAndNotesFollowLayerThenFrameOrder) {
    Host::Get().frames[{3, 7, 0}].entries = {Chord(0, {1, 2}), Rest(256)};
    Host::Get().frames[{3, 7, 2}].entries = {Chord(128, {-4})};
    FCNoteEntryCell cell(7, 30);
    cell.SetLayerMode(-1);
    ASSERT_TRUE(cell.Load());
    ASSERT_EQ(cell.GetCount(), 3);
    const int32_t positions[] = {0, 256, 128};
    const bool isNote[] = {true, false, true};
    const int32_t counts[] = {2, 0, 1};
    const void* frames[] = {cell.GetFrame(0), cell.GetFrame(0), cell.GetFrame(2)};
    for (int32_t i = 0; i < 3; ++i) {
        FCNoteEntry* entry = cell.GetEntryAt(i);
        EXPECT_EQ(entry->GetPosition(), positions[i]);
        EXPECT_EQ(entry->IsNote(), isNote[i]);
        EXPECT_EQ(entry->GetNoteCount(), counts[i]);
        EXPECT_EQ(entry->GetCount(), counts[i]);
        EXPECT_EQ(entry->GetMeasure(), 7);
        EXPECT_EQ(entry->GetStaff(), 30) << "the staff number of the frame's slot";
        EXPECT_EQ(entry->GetFrame(), frames[i]);
        EXPECT_EQ(entry->GetRecord(),
                  le::Pointer32(entry->GetFrame(), 0x0E) + size_t{146} * (i == 1 ? 1 : 0));
    }
    EXPECT_EQ(Host::Get().qualifiersSeen.back(), 0x55) << "the frame's slot qualifier is used";
    FCNoteEntry* chord = cell.GetEntryAt(0);
    FCNote* second = chord->GetNoteAt(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetIndex(), 1);
    EXPECT_EQ(second->GetEntry(), chord);
    EXPECT_EQ(second->GetRecord(), chord->GetRecord() + 0x10 + 10);
    EXPECT_EQ(second->GetDisplacement(), 2);
    EXPECT_EQ(second->GetRaiseLower(), 2);
    EXPECT_EQ(second->GetUserValue(), 0);
    second->SetDisplacement(-9);
    second->SetRaiseLower(-2);
    EXPECT_EQ(le::I16(chord->GetRecord() + 0x1A, 0), -9) << "written into the frame";
    EXPECT_EQ(le::I16(chord->GetRecord() + 0x1A, 2), -2);
}

// Each entry asks the host for the staff of its frame's slot while the cell loads.
TEST_F(FrameWalkTest, EachEntryAsksForItsStaff) {
    Host::Get().frames[{2, 5, 0}].entries = {Chord(0, {1}), Rest(128), Chord(256, {2, 3})};
    Host::Get().frames[{2, 5, 1}].entries = {Chord(64, {0})};
    Host::Get().frames[{2, 5, 2}].entries = {};
    FCNoteEntryCell cell(5, 20);
    cell.SetLayerMode(-1);
    Host::Get().qualifiersSeen.clear();
    ASSERT_TRUE(cell.Load());
    ASSERT_EQ(cell.GetCount(), 4);
    EXPECT_EQ(Host::Get().qualifiersSeen.size(), 4U) << "one staff lookup per entry";
    for (int32_t i = 0; i < cell.GetCount(); ++i) {
        EXPECT_EQ(cell.GetEntryAt(i)->GetStaff(), 20);
    }
}

TEST_F(FrameWalkTest, NoteCountsStayWithinTheTwelveRecords) {
    fake::Entry many = Chord(0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    many.declaredCount = 15;
    fake::Entry negative = Chord(10, {});
    negative.declaredCount = -2;
    Host::Get().frames[{1, 1, 0}].entries = {many, negative};
    FCNoteEntryCell cell(1, 10);
    ASSERT_TRUE(cell.Load());
    ASSERT_EQ(cell.GetCount(), 2);
    EXPECT_EQ(cell.GetEntryAt(0)->GetNoteCount(), 12);
    EXPECT_EQ(cell.GetEntryAt(0)->GetCount(), 12);
    EXPECT_EQ(cell.GetEntryAt(0)->GetNoteAt(11)->GetDisplacement(), 11);
    EXPECT_EQ(cell.GetEntryAt(0)->GetNoteAt(12), nullptr);
    EXPECT_EQ(cell.GetEntryAt(1)->GetNoteCount(), 0);
    EXPECT_EQ(cell.GetEntryAt(1)->GetCount(), 0);
}

TEST_F(FrameWalkTest, FailedFrameEmptiesTheCellAndReleasesTheOthers) {
    Host::Get().frames[{1, 2, 0}].entries = {Chord(0, {1})};
    Host::Get().failingLoads.insert({1, 2, 2});
    FCNoteEntryCell cell(2, 10);
    cell.SetLayerMode(-1);
    EXPECT_FALSE(cell.Load());
    EXPECT_EQ(cell.GetCount(), 0);
    EXPECT_EQ(LoadedLayers(), (std::vector<int>{0, 1, 2})) << "stops at the failure";
    EXPECT_EQ(Host::Get().OutstandingFrames(), 0);
    EXPECT_EQ(Host::Get().frees.size(), 2U);
    for (int layer = 0; layer < 4; ++layer) {
        EXPECT_EQ(cell.GetFrame(layer), nullptr);
    }
    EXPECT_TRUE(cell.Save()) << "nothing to save";
    EXPECT_TRUE(Host::Get().saves.empty());
}

TEST_F(FrameWalkTest, ReloadAndDestructionReleaseEveryFrameOnce) {
    Host::Get().frames[{1, 2, 0}].entries = {Chord(0, {1})};
    {
        FCNoteEntryCell cell(2, 10);
        cell.SetLayerMode(-1);
        ASSERT_TRUE(cell.Load());
        EXPECT_EQ(Host::Get().OutstandingFrames(), 4);
        ASSERT_TRUE(cell.Load());
        EXPECT_EQ(Host::Get().OutstandingFrames(), 4) << "a new load gives the old frames back";
        EXPECT_EQ(Host::Get().frees.size(), 4U);
        EXPECT_EQ(cell.GetCount(), 1);
        cell.FreeFrames();
        cell.FreeFrames();
        EXPECT_EQ(Host::Get().frees.size(), 8U);
        ASSERT_TRUE(cell.Load());
    }
    EXPECT_EQ(Host::Get().frees.size(), 12U);
}

TEST_F(FrameWalkTest, SaveGuardAndSaveAnswers) {
    Host::Get().frames[{1, 2, 0}].entries = {Chord(0, {1})};
    Host::Get().frames[{1, 2, 1}].saveGuard = 1;
    Host::Get().frames[{1, 2, 3}].saveGuard = 0x8000;
    FCNoteEntryCell cell(2, 10);
    cell.SetLayerMode(-1);
    ASSERT_TRUE(cell.Load());
    EXPECT_TRUE(cell.Save());
    EXPECT_EQ(Host::Get().saves, (std::vector<FrameCall>{{1, 2, 0}, {1, 2, 2}}));
    Host::Get().saves.clear();
    Host::Get().saveAnswer = 0;
    EXPECT_FALSE(cell.Save());
    EXPECT_EQ(Host::Get().saves.size(), 2U) << "every unguarded frame is still attempted";
}

TEST_F(FrameWalkTest, EntriesInRegionIncludeBothBounds) {
    Host::Get().frames[{1, 3, 0}].entries = {Chord(0, {0}),   Chord(255, {0}), Chord(256, {0}),
                                             Chord(512, {0}), Chord(767, {0}), Chord(768, {0}),
                                             Chord(769, {0})};
    for (int m = 2; m <= 4; ++m) {
        Host::Get().frames[{1, m, 0}].entries = Host::Get().frames[{1, 3, 0}].entries;
    }
    auto visible = [](int32_t measure, int16_t startMeasure, int32_t startPos, int16_t endMeasure,
                      int32_t endPos) {
        FCMusicRegion region;
        region.SetStartMeasure(startMeasure);
        region.SetStartPosition(startPos);
        region.SetEndMeasure(endMeasure);
        region.SetEndPosition(endPos);
        FCNoteEntryCell cell(measure, 10);
        cell.Load();
        std::vector<int32_t> positions;
        for (int32_t i = 0; i < cell.GetCount(); ++i) {
            if (FCNoteEntry* e = cell.GetEntryInRegion(i, &region)) {
                positions.push_back(e->GetPosition());
            }
        }
        EXPECT_EQ(cell.GetEntryInRegion(cell.GetCount(), &region), nullptr);
        EXPECT_EQ(cell.GetEntryInRegion(-1, &region), nullptr);
        return positions;
    };
    using P = std::vector<int32_t>;
    EXPECT_EQ(visible(2, 2, 256, 4, 768), (P{256, 512, 767, 768, 769})) << "first measure";
    EXPECT_EQ(visible(3, 2, 256, 4, 768), (P{0, 255, 256, 512, 767, 768, 769})) << "middle";
    EXPECT_EQ(visible(4, 2, 256, 4, 768), (P{0, 255, 256, 512, 767, 768})) << "last measure";
    EXPECT_EQ(visible(3, 3, 256, 3, 768), (P{256, 512, 767, 768})) << "one measure";
    EXPECT_EQ(visible(3, 3, 512, 3, 512), (P{512})) << "one position";
    EXPECT_EQ(visible(3, 3, 600, 3, 500), (P{})) << "crossed bounds";
}

// A handler that writes down every hook as it is called.
class RecordingHandler : public FCIteratorHandler {
  public:
    std::vector<std::string> log;
    int stopBeforeCellAt = -1;     // BeforeCell call number (0-based) that answers false
    int stopAfterCellLoadAt = -1;  // AfterCellLoad call number that answers false
    int32_t stopIterateAtPosition = -1;
    bool secondPassGoesOn = false;
    std::vector<int> outstandingAtAfterHooks;

    bool BeforeCell() override {
        log.emplace_back("Before");
        return beforeCalls_++ != stopBeforeCellAt;
    }
    bool AfterCellLoad() override {
        log.emplace_back("Loaded");
        return afterLoadCalls_++ != stopAfterCellLoadAt;
    }
    bool Iterate(__FCBase* item) override {
        auto* entry = static_cast<FCNoteEntry*>(item);
        log.push_back("Iterate " + Where(entry));
        return entry->GetPosition() != stopIterateAtPosition;
    }
    bool IterateSecondPass(__FCBase* item) override {
        log.push_back("Second " + Where(static_cast<FCNoteEntry*>(item)));
        return secondPassGoesOn;
    }
    void AfterFilledCell() override {
        log.emplace_back("Filled");
        outstandingAtAfterHooks.push_back(Host::Get().OutstandingFrames());
    }
    void AfterCell() override {
        log.emplace_back("After");
        outstandingAtAfterHooks.push_back(Host::Get().OutstandingFrames());
    }

    static std::string Where(FCNoteEntry* e) {
        return std::to_string(e->GetMeasure()) + "/" + std::to_string(e->GetStaff()) + "@" +
               std::to_string(e->GetPosition());
    }

  private:
    int beforeCalls_ = 0;
    int afterLoadCalls_ = 0;
};

FCMusicRegion Region(int16_t slot1, int16_t slot2, int16_t m1, int16_t m2, int32_t p1 = 0,
                     int32_t p2 = 0x7FFFFFFF) {
    FCMusicRegion region;
    region.SetStartSlotQualifier(0x55);
    region.SetEndSlotQualifier(0x55);
    region.SetStartSlot(slot1);
    region.SetEndSlot(slot2);
    region.SetStartMeasure(m1);
    region.SetEndMeasure(m2);
    region.SetStartPosition(p1);
    region.SetEndPosition(p2);
    return region;
}

TEST_F(FrameWalkTest, WalkOrderMeasuresOuterSlotsInner) {
    for (int m = 3; m <= 4; ++m) {
        for (int s = 1; s <= 2; ++s) {
            Host::Get().frames[{s, m, 0}].entries = {Chord(0, {1})};
        }
    }
    Host::Get().shownLayers = 0x1;
    FCBrowserNoteEntries browser;
    RecordingHandler handler;
    const FCMusicRegion region = Region(1, 2, 3, 4);
    EXPECT_EQ(browser.ForEachCellInRegion(&handler, &region), 4);
    EXPECT_EQ(Host::Get().loads,
              (std::vector<FrameCall>{{1, 3, 0}, {2, 3, 0}, {1, 4, 0}, {2, 4, 0}}));
    std::vector<std::string> visits;
    for (const std::string& line : handler.log) {
        if (line.starts_with("Iterate")) {
            visits.push_back(line);
        }
    }
    EXPECT_EQ(visits, (std::vector<std::string>{"Iterate 3/10@0", "Iterate 3/20@0",
                                                "Iterate 4/10@0", "Iterate 4/20@0"}));
    for (uint16_t qualifier : Host::Get().qualifiersSeen) {
        EXPECT_EQ(qualifier, 0x55);
    }
}

TEST_F(FrameWalkTest, ReversedRegionVisitsNothing) {
    FCBrowserNoteEntries browser;
    RecordingHandler handler;
    FCMusicRegion region = Region(1, 2, 5, 4);
    EXPECT_EQ(browser.ForEachCellInRegion(&handler, &region), 0);
    region = Region(2, 1, 4, 5);
    EXPECT_EQ(browser.ForEachCellInRegion(&handler, &region), 0);
    EXPECT_TRUE(handler.log.empty());
    EXPECT_TRUE(Host::Get().loads.empty());
    EXPECT_EQ(browser.ForEachCellInRegion(nullptr, &region), 0);
    EXPECT_EQ(browser.ForEachCellInRegion(&handler, nullptr), 0);
}

TEST_F(FrameWalkTest, WalkFiltersPositionsAtBothEnds) {
    for (int m = 1; m <= 3; ++m) {
        Host::Get().frames[{1, m, 0}].entries = {Chord(0, {0}), Chord(99, {0}), Chord(100, {0}),
                                                 Chord(500, {0}), Chord(501, {0})};
    }
    FCBrowserNoteEntries browser;
    RecordingHandler handler;
    const FCMusicRegion region = Region(1, 1, 1, 3, 100, 500);
    EXPECT_EQ(browser.ForEachCellInRegion(&handler, &region), 3);
    std::vector<std::string> visits;
    for (const std::string& line : handler.log) {
        if (line.starts_with("Iterate")) {
            visits.push_back(line.substr(8));
        }
    }
    EXPECT_EQ(visits, (std::vector<std::string>{"1/10@100", "1/10@500", "1/10@501", "2/10@0",
                                                "2/10@99", "2/10@100", "2/10@500", "2/10@501",
                                                "3/10@0", "3/10@99", "3/10@100", "3/10@500"}));
}

TEST_F(FrameWalkTest, HooksOnEmptyAndFilledCells) {
    Host::Get().frames[{1, 1, 0}].entries = {Chord(0, {0}), Rest(50), Chord(100, {0})};
    // Measure 2 holds no entries at all.
    FCBrowserNoteEntries browser;
    RecordingHandler handler;
    handler.SetSaveFlag(true);
    const FCMusicRegion region = Region(1, 1, 1, 2, 50);
    EXPECT_EQ(browser.ForEachCellInRegion(&handler, &region), 2);
    EXPECT_EQ(handler.log, (std::vector<std::string>{
                               "Before", "Loaded", "Iterate 1/10@50", "Iterate 1/10@100",
                               "Second 1/10@50", "Filled", "After",  // filled cell
                               "Before", "After",                    // empty cell
                           }));
    EXPECT_EQ(Host::Get().saves, (std::vector<FrameCall>{{1, 1, 0}, {1, 2, 0}}))
        << "empty cells are saved too";
    for (int outstanding : handler.outstandingAtAfterHooks) {
        EXPECT_EQ(outstanding, 0) << "frames are released before the after-cell hooks";
    }
}

TEST_F(FrameWalkTest, SecondPassRunsWhileTheHandlerWants) {
    Host::Get().frames[{1, 1, 0}].entries = {Chord(0, {0}), Chord(10, {0}), Chord(20, {0})};
    FCBrowserNoteEntries browser;
    RecordingHandler handler;
    handler.secondPassGoesOn = true;
    const FCMusicRegion region = Region(1, 1, 1, 1, 10);
    browser.ForEachCellInRegion(&handler, &region);
    EXPECT_EQ(handler.log,
              (std::vector<std::string>{"Before", "Loaded", "Iterate 1/10@10", "Iterate 1/10@20",
                                        "Second 1/10@10", "Second 1/10@20", "Filled", "After"}));
    EXPECT_TRUE(Host::Get().saves.empty()) << "no save without the handler's save flag";
}

TEST_F(FrameWalkTest, WalkStoppedByBeforeCell) {
    for (int m = 1; m <= 3; ++m) {
        Host::Get().frames[{1, m, 0}].entries = {Chord(0, {0})};
    }
    FCBrowserNoteEntries browser;
    RecordingHandler handler;
    handler.stopBeforeCellAt = 1;
    const FCMusicRegion region = Region(1, 1, 1, 3);
    EXPECT_EQ(browser.ForEachCellInRegion(&handler, &region), 1);
    EXPECT_EQ(handler.log,
              (std::vector<std::string>{"Before", "Loaded", "Iterate 1/10@0", "Second 1/10@0",
                                        "Filled", "After", "Before"}));
    EXPECT_EQ(Host::Get().loads.size(), 1U) << "the refused cell is never loaded";
}

TEST_F(FrameWalkTest, WalkStoppedByAfterCellLoad) {
    for (int m = 1; m <= 3; ++m) {
        Host::Get().frames[{1, m, 0}].entries = {Chord(0, {0})};
    }
    FCBrowserNoteEntries browser;
    RecordingHandler handler;
    handler.SetSaveFlag(true);
    handler.stopAfterCellLoadAt = 1;
    const FCMusicRegion region = Region(1, 1, 1, 3);
    EXPECT_EQ(browser.ForEachCellInRegion(&handler, &region), 1);
    EXPECT_EQ(handler.log,
              (std::vector<std::string>{"Before", "Loaded", "Iterate 1/10@0", "Second 1/10@0",
                                        "Filled", "After", "Before", "Loaded"}));
    EXPECT_EQ(Host::Get().saves.size(), 1U) << "the refused cell is not saved";
}

TEST_F(FrameWalkTest, WalkStoppedByIterate) {
    for (int m = 1; m <= 3; ++m) {
        Host::Get().frames[{1, m, 0}].entries = {Chord(0, {0}), Chord(7, {0}), Chord(9, {0})};
    }
    Host::Get().frames[{2, 2, 0}].entries = {Chord(0, {0})};
    FCBrowserNoteEntries browser;
    RecordingHandler handler;
    handler.SetSaveFlag(true);
    handler.stopIterateAtPosition = 7;
    const FCMusicRegion region = Region(1, 2, 1, 3, 7);
    EXPECT_EQ(browser.ForEachCellInRegion(&handler, &region), 0);
    EXPECT_EQ(handler.log, (std::vector<std::string>{"Before", "Loaded", "Iterate 1/10@7",
                                                     "Second 1/10@7", "Filled", "After"}))
        << "the rest of the pass is skipped, the cell is still completed";
    EXPECT_EQ(Host::Get().saves.size(), 1U) << "the stopping cell is saved";

    Host::Get().Reset();
    for (int m = 1; m <= 3; ++m) {
        Host::Get().frames[{1, m, 0}].entries = {Chord(0, {0})};
    }
    Host::Get().frames[{2, 2, 0}].entries = {Chord(7, {0})};
    RecordingHandler second;
    second.stopIterateAtPosition = 7;
    const FCMusicRegion wide = Region(1, 2, 1, 3);
    EXPECT_EQ(browser.ForEachCellInRegion(&second, &wide), 3) << "cells before the stop";
}

TEST_F(FrameWalkTest, FailedCellIsVisitedEmptyAndTheWalkGoesOn) {
    Host::Get().frames[{1, 1, 0}].entries = {Chord(0, {0})};
    Host::Get().frames[{1, 2, 0}].entries = {Chord(0, {0})};
    Host::Get().frames[{1, 3, 0}].entries = {Chord(0, {0})};
    Host::Get().failingLoads.insert({1, 2, 1});
    FCBrowserNoteEntries browser;
    browser.SetLayerMode(-1);
    RecordingHandler handler;
    handler.SetSaveFlag(true);
    const FCMusicRegion region = Region(1, 1, 1, 3);
    EXPECT_EQ(browser.ForEachCellInRegion(&handler, &region), 3);
    EXPECT_EQ(handler.log,
              (std::vector<std::string>{"Before", "Loaded", "Iterate 1/10@0", "Second 1/10@0",
                                        "Filled", "After", "Before", "After", "Before", "Loaded",
                                        "Iterate 3/10@0", "Second 3/10@0", "Filled", "After"}));
    for (const FrameCall& save : Host::Get().saves) {
        EXPECT_NE(save.measure, 2) << "nothing of the failed cell is saved";
    }
}

TEST_F(FrameWalkTest, BrowserLayerModeReachesEveryCell) {
    Host::Get().shownLayers = 0x1;
    FCBrowserNoteEntries browser;
    EXPECT_EQ(browser.GetLayerMode(), 0);
    browser.SetLayerMode(0x0600);
    RecordingHandler handler;
    const FCMusicRegion region = Region(1, 2, 1, 1);
    EXPECT_EQ(browser.ForEachCellInRegion(&handler, &region), 2);
    EXPECT_EQ(LoadedLayers(), (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ(browser.FindFirst(&handler), nullptr);
}

TEST_F(FrameWalkTest, ForEachWalksTheCurrentSelection) {
    FCBrowserNoteEntries browser;
    RecordingHandler handler;
    EXPECT_EQ(browser.ForEach(&handler), 0) << "nothing selected";
    const FCMusicRegion region = Region(2, 3, 1, 2);
    Host::Get().selection =
        std::vector<uint8_t>(region.GetRecord(), region.GetRecord() + FCMusicRegion::kRecordSize);
    EXPECT_EQ(browser.ForEach(&handler), 4);
}

TEST_F(FrameWalkTest, FullStaffRange) {
    Host::Get().slotCount = 5;
    FCMusicRegion region = Region(2, 3, 4, 6, 10, 20);
    ASSERT_TRUE(region.SetFullStaffRange());
    EXPECT_EQ(region.GetStartSlot(), 1);
    EXPECT_EQ(region.GetEndSlot(), 5);
    EXPECT_EQ(region.GetStartMeasure(), 4);
    EXPECT_EQ(region.GetEndMeasure(), 6);
    EXPECT_EQ(region.GetStartPosition(), 10);
    EXPECT_EQ(region.GetEndPosition(), 20);

    FCMusicRegion empty = Region(2, 3, 0, 0);
    EXPECT_FALSE(empty.SetFullStaffRange());
    EXPECT_EQ(empty.GetStartSlot(), 2);

    Host::Get().slotCount = 0;
    FCMusicRegion staffless = Region(2, 3, 1, 1);
    EXPECT_FALSE(staffless.SetFullStaffRange());
    EXPECT_EQ(staffless.GetEndSlot(), 3);

    Host::Get().slotCount = 1;
    ASSERT_TRUE(staffless.SetFullStaffRange());
    EXPECT_EQ(staffless.GetStartSlot(), 1);
    EXPECT_EQ(staffless.GetEndSlot(), 1);
}

TEST_F(FrameWalkTest, RegionEquality) {
    const FCMusicRegion a = Region(1, 2, 3, 4, 5, 6);
    FCMusicRegion b = Region(1, 2, 3, 4, 5, 6);
    EXPECT_TRUE(a.IsEqual(&b));
    EXPECT_FALSE(a.IsEqual(nullptr));
    b.SetDocument(3);
    EXPECT_TRUE(a.IsEqual(&b)) << "the document is not part of the comparison";
    const FCMusicRegion differing[] = {
        Region(2, 2, 3, 4, 5, 6), Region(1, 3, 3, 4, 5, 6), Region(1, 2, 2, 4, 5, 6),
        Region(1, 2, 3, 5, 5, 6), Region(1, 2, 3, 4, 4, 6), Region(1, 2, 3, 4, 5, 7),
    };
    for (const FCMusicRegion& other : differing) {
        EXPECT_FALSE(a.IsEqual(&other));
    }
    FCMusicRegion qualified = Region(1, 2, 3, 4, 5, 6);
    qualified.SetStartSlotQualifier(1);
    EXPECT_FALSE(a.IsEqual(&qualified));
    // Slots beyond the score both name no staff.
    Host::Get().slotCount = 2;
    const FCMusicRegion beyond = Region(1, 9, 3, 4, 5, 6);
    EXPECT_TRUE(Region(1, 7, 3, 4, 5, 6).IsEqual(&beyond));
}

TEST_F(FrameWalkTest, RegionRecordLayout) {
    const FCMusicRegion r = Region(-2, 300, 1000, -1, -5, 0x12345678);
    const uint8_t* bytes = r.GetRecord();
    EXPECT_EQ(le::U16(bytes, 0), 0x55);
    EXPECT_EQ(le::I16(bytes, 2), -2);
    EXPECT_EQ(le::I16(bytes, 4), 1000);
    EXPECT_EQ(le::I32(bytes, 6), -5);
    EXPECT_EQ(le::U16(bytes, 10), 0x55);
    EXPECT_EQ(le::I16(bytes, 12), 300);
    EXPECT_EQ(le::I16(bytes, 14), -1);
    EXPECT_EQ(le::I32(bytes, 16), 0x12345678);
}

}  // namespace
