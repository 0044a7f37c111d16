// The host's FX_ functions as a plug-in calls them: records per host version, frames with their
// layout, save guard and checks, layers and slots, MIDI numbers, selection, commands, edits
// with undo, folders, and the protocol errors of every breach.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "host/HostBytes.h"
#include "host/HostExports.h"
#include "host/HostFrames.h"
#include "host/HostPitch.h"
#include "host/HostSession.h"

namespace {

using host::HostBytes;
using host::HostSession;

constexpr uint32_t kV = 0x12050000;
// Frames must lie below 4 GiB, where a 32-bit field can hold their address (always so in a
// 32-bit process).
constexpr uint64_t kFourGiB = uint64_t{1} << 32;

const char* const kScore = R"({
  "staves":   [ {"id": 1, "name": "Clarinet in Bb", "transposition": 66, "flags": 1},
                {"id": 4, "name": "Violin"},
                {"id": 2, "name": "Cello", "flags": 32768} ],
  "measures": [ {"key": 0}, {"key": 254}, {"key": 259} ],
  "cellKeys": [ {"staff": 2, "measure": 2, "key": 3} ],
  "staffSpecs": [ {"staff": 1, "measure": 3, "transposition": 8257, "flags": 32768} ],
  "layers":   {"count": 4, "shown": [1, 3]},
  "octaveShift": -12,
  "concertPitch": true,
  "entries":  [ {"staff": 1, "measure": 1, "layer": 1, "pos": 0, "notes": ["C4", "Eb4", "G4"]},
                {"staff": 1, "measure": 1, "layer": 1, "pos": 1024, "rest": true},
                {"staff": 1, "measure": 1, "layer": 2, "pos": 0, "notes": ["A3"]},
                {"staff": 4, "measure": 2, "layer": 1, "pos": 512, "notes": ["Bb4", "D5"]},
                {"staff": 2, "measure": 2, "layer": 1, "pos": 0, "notes": ["A4"]} ],
  "lockedFrames": [ {"staff": 4, "measure": 2, "layer": 1} ],
  "selection": {"startSlot": 1, "endSlot": 2, "startMeasure": 1, "endMeasure": 2, "startPos": 0, "endPos": 2147483647}
})";

class HostSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session.Reset();
        std::string error;
        ASSERT_TRUE(session.LoadScoreJson(kScore, error, "test.json")) << error;
    }
    void TearDown() override { session.Reset(); }

    HostSession& session = HostSession::Instance();

    // The host's rules were kept so far.
    void ExpectNoErrors() {
        EXPECT_TRUE(session.ProtocolErrors().empty())
            << "first: " << (session.ProtocolErrors().empty() ? "" : session.ProtocolErrors()[0]);
    }
    bool ErrorMentions(const std::string& text) const {
        for (const auto& e : session.ProtocolErrors()) {
            if (e.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
};

// The key of a record: two 16-bit item numbers and a 32-bit one.
std::array<uint8_t, 8> Key(int a, int b, int32_t c = 0) {
    std::array<uint8_t, 8> key{};
    HostBytes::SetU16(key.data(), 0, static_cast<uint16_t>(a));
    HostBytes::SetU16(key.data(), 2, static_cast<uint16_t>(b));
    HostBytes::SetI32(key.data(), 4, c);
    return key;
}

uint8_t* EntryAt(void* frame, int index) {
    const uint32_t array = HostBytes::U32(frame, 0x0E);
    return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(array)) + 146 * index;
}
uint8_t* NoteAt(void* frame, int entry, int note) {
    return EntryAt(frame, entry) + 0x10 + 10 * note;
}

// What a well-behaved plug-in does to a frame before saving it.
void Prepare(void* frame) {
    const int count = HostBytes::I16(frame, 0x12);
    for (int i = 0; i < count; ++i) {
        uint8_t* entry = EntryAt(frame, i);
        int n = HostBytes::I16(entry, 0x0E);
        for (int j = 0; j < n; ++j) {
            uint8_t* note = entry + 0x10 + 10 * j;
            HostBytes::SetI16(note, 4, static_cast<int16_t>(j + 1));
            HostBytes::SetU32(note, 6,
                              (HostBytes::U32(note, 6) & ~0x1F0000u) |
                                  (static_cast<uint32_t>((j + 1) & 0x1F) << 16));
        }
        std::memset(entry + 0x10 + 10 * n, 0, static_cast<size_t>(10 * (12 - n)));
        if (n == 0) {
            HostBytes::SetI16(entry, 0x0E, 1);
            HostBytes::SetU32(entry + 0x10, 6, 0x80000000);
            HostBytes::SetU32(entry, 8, HostBytes::U32(entry, 8) | 0x01000000);
        }
    }
}

// ---- Records ----

struct RecordCase {
    uint32_t hostVersion;
    uint32_t tag;
    uint32_t version;
    uint32_t size;
};

TEST_F(HostSessionTest, RecordsHaveTheSizeAndVersionOfTheHostVersion) {
    const RecordCase cases[] = {
        {0x12050000, 0x534F4D53, 0x12000000, 30},  {0x12000000, 0x534F4D53, 0x12000000, 30},
        {0x11FFFFFF, 0x534F4D53, 0x0A000000, 26},  {0x10000000, 0x534F4D53, 0x0A000000, 26},
        {0x12050000, 0x534F4953, 0x12000000, 136}, {0x11800000, 0x534F4953, 0x11000000, 132},
        {0x10FFFFFF, 0x534F4953, 0x0F000000, 114}, {0x12050000, 0x534F5343, 0x12000000, 136},
        {0x11000000, 0x534F5343, 0x11000000, 132}, {0x0F000000, 0x534F5343, 0x0F000000, 114},
        {0x12050000, 0x4402464C, 0x06000000, 20},  {0x10000000, 0x4402464C, 0x06000000, 20},
        {0x12050000, 0x70666770, 0x0D000000, 66},  {0x10000000, 0x70666770, 0x0D000000, 66},
        {0x12050000, 0x6F745047, 0x12050000, 12},  {0x10000000, 0x6F745047, 0x12050000, 12},
    };
    for (const auto& c : cases) {
        session.SetHostVersion(c.hostVersion);
        // Item numbers that exist for every tag: staff 2, measure 2 (its cell has a key).
        auto key = c.tag == 0x70666770   ? Key(1, 0)
                   : c.tag == 0x6F745047 ? Key(0xFFFE, 0)
                   : c.tag == 0x534F4D53 ? Key(2, 0)
                   : c.tag == 0x534F4953 ? Key(2, 0)
                                         : Key(2, 2);
        std::array<uint8_t, 200> buffer{};
        uint32_t size = c.size;
        EXPECT_NE(FX_LoadEData(c.tag, key.data(), buffer.data(), &size, c.version), 0)
            << std::hex << c.tag << " under " << c.hostVersion;
        EXPECT_EQ(size, c.size);
        ExpectNoErrors();
        // One byte more, or the version of another host: refused and reported.
        size = c.size + 1;
        EXPECT_EQ(FX_LoadEData(c.tag, key.data(), buffer.data(), &size, c.version), 0);
        size = c.size;
        EXPECT_EQ(FX_LoadEData(c.tag, key.data(), buffer.data(), &size, c.version ^ 0x01000000), 0);
        EXPECT_EQ(session.ProtocolErrors().size(), 2u);
        session.Reset();
        std::string error;
        ASSERT_TRUE(session.LoadScoreJson(kScore, error));
    }
}

TEST_F(HostSessionTest, RecordFieldsComeFromTheScore) {
    std::array<uint8_t, 136> buffer{};
    uint32_t size = 30;
    auto key = Key(3, 0);
    ASSERT_NE(FX_LoadEData(0x534F4D53, key.data(), buffer.data(), &size, 0x12000000), 0);
    EXPECT_EQ(HostBytes::U16(buffer.data(), 2), 259);

    size = 136;
    key = Key(1, 0);
    ASSERT_NE(FX_LoadEData(0x534F4953, key.data(), buffer.data(), &size, 0x12000000), 0);
    EXPECT_EQ(HostBytes::U16(buffer.data(), 0x14), 66);
    EXPECT_EQ(HostBytes::U16(buffer.data(), 0x16), 1);

    // The staff settings in force: the staff's own words before measure 3, the change
    // from it on.
    key = Key(1, 2, 0);
    ASSERT_NE(FX_LoadEData(0x534F5343, key.data(), buffer.data(), &size, 0x12000000), 0);
    EXPECT_EQ(HostBytes::U16(buffer.data(), 0x14), 66);
    key = Key(1, 3, 512);
    ASSERT_NE(FX_LoadEData(0x534F5343, key.data(), buffer.data(), &size, 0x12000000), 0);
    EXPECT_EQ(HostBytes::U16(buffer.data(), 0x14), 8257);
    EXPECT_EQ(HostBytes::U16(buffer.data(), 0x16), 32768);

    size = 20;
    key = Key(2, 2, 0);
    ASSERT_NE(FX_LoadEData(0x4402464C, key.data(), buffer.data(), &size, 0x06000000), 0);
    EXPECT_EQ(HostBytes::U16(buffer.data(), 0), 3);
    EXPECT_EQ(HostBytes::U32(buffer.data(), 8) & 0x800, 0x800u);
    key = Key(2, 1, 0);  // no cell key there: not found, and no fault
    EXPECT_EQ(FX_LoadEData(0x4402464C, key.data(), buffer.data(), &size, 0x06000000), 0);

    size = 66;
    key = Key(1, 0);
    ASSERT_NE(FX_LoadEData(0x70666770, key.data(), buffer.data(), &size, 0x0D000000), 0);
    EXPECT_EQ(HostBytes::I16(buffer.data(), 0x28), -12);

    size = 12;
    key = Key(0xFFFE, 0);
    ASSERT_NE(FX_LoadEData(0x6F745047, key.data(), buffer.data(), &size, 0x12050000), 0);
    EXPECT_EQ(HostBytes::U16(buffer.data(), 0), 0);  // concert pitch on
    ExpectNoErrors();
}

TEST_F(HostSessionTest, NextEDataWalksStavesByNumber) {
    auto key = Key(0, 0);
    std::vector<int> seen;
    while (FX_NextEData(0x534F4953, key.data(), nullptr, nullptr, 0x12000000) != 0) {
        seen.push_back(HostBytes::U16(key.data(), 0));
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 4}));
    ExpectNoErrors();
    EXPECT_EQ(FX_NextEData(0x534F4953, key.data(), nullptr, nullptr, kV), 0);
    EXPECT_EQ(session.ProtocolErrors().size(), 1u);
}

TEST_F(HostSessionTest, UnknownTagsAndMissingRecordsAreTold) {
    std::array<uint8_t, 64> buffer{};
    uint32_t size = 64;
    auto key = Key(1, 0);
    EXPECT_EQ(FX_LoadEData(0x12345678, key.data(), buffer.data(), &size, kV), 0);
    EXPECT_TRUE(ErrorMentions("does not keep"));
    size = 30;
    key = Key(9, 0);
    EXPECT_EQ(FX_LoadEData(0x534F4D53, key.data(), buffer.data(), &size, 0x12000000), 0);
    EXPECT_EQ(session.ProtocolErrors().size(), 1u);
}

// ---- Frames ----

TEST_F(HostSessionTest, FrameLayoutHoldsTheCellsEntries) {
    void* frame = FX_LoadTGF(0, 1, 1, 0, 1, kV);
    ASSERT_NE(frame, nullptr);
    EXPECT_LT(reinterpret_cast<uintptr_t>(frame), kFourGiB);
    EXPECT_EQ(HostBytes::U16(frame, 0), 0);
    EXPECT_EQ(HostBytes::U16(frame, 2), 1);
    EXPECT_EQ(HostBytes::U16(frame, 6), 1);
    EXPECT_EQ(HostBytes::U16(frame, 0x0A), 0);
    EXPECT_EQ(HostBytes::I16(frame, 0x12), 2);
    uint8_t* chord = EntryAt(frame, 0);
    EXPECT_LT(reinterpret_cast<uintptr_t>(chord), kFourGiB);
    EXPECT_EQ(HostBytes::U32(chord, 8) & 0x40000000, 0x40000000u);
    EXPECT_EQ(HostBytes::I16(chord, 0x0E), 3);
    EXPECT_EQ(HostBytes::I32(chord, 0x88), 0);
    // C major: C4 Eb4 G4 are D 0/2/4 with R 0/-1/0; note numbers 1..3 mirrored in the flags.
    const int16_t d[3] = {0, 2, 4};
    const int16_t r[3] = {0, -1, 0};
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(HostBytes::I16(NoteAt(frame, 0, j), 0), d[j]);
        EXPECT_EQ(HostBytes::I16(NoteAt(frame, 0, j), 2), r[j]);
        EXPECT_EQ(HostBytes::I16(NoteAt(frame, 0, j), 4), j + 1);
        EXPECT_EQ((HostBytes::U32(NoteAt(frame, 0, j), 6) >> 16) & 0x1F,
                  static_cast<uint32_t>(j + 1));
    }
    uint8_t* rest = EntryAt(frame, 1);
    EXPECT_EQ(HostBytes::U32(rest, 8) & 0x40000000, 0u);
    EXPECT_EQ(HostBytes::I16(rest, 0x0E), 0);
    EXPECT_EQ(HostBytes::I32(rest, 0x88), 1024);
    EXPECT_EQ(session.OutstandingFrames(), 1);
    FX_FreeTGF(frame, kV);
    EXPECT_EQ(session.OutstandingFrames(), 0);
    ExpectNoErrors();
}

TEST_F(HostSessionTest, EveryCellHasAFrameAndOutsideTheScoreThereIsNone) {
    void* empty = FX_LoadTGF(0, 3, 3, 3, 1, kV);  // slot 3 = staff 2, nothing in layer 4
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(HostBytes::I16(empty, 0x12), 0);
    EXPECT_EQ(FX_LoadTGF(0, 4, 1, 0, 1, kV), nullptr);
    EXPECT_EQ(FX_LoadTGF(0, 0, 1, 0, 1, kV), nullptr);
    EXPECT_EQ(FX_LoadTGF(0, 1, 4, 0, 1, kV), nullptr);
    EXPECT_EQ(FX_LoadTGF(0, 1, 1, 4, 1, kV), nullptr);
    FX_FreeTGF(empty, kV);
    ExpectNoErrors();
}

TEST_F(HostSessionTest, ManyFramesStayBelowFourGiB) {
    std::vector<void*> frames;
    for (int i = 0; i < 3000; ++i) {
        void* frame = FX_LoadTGF(0, 1 + i % 3, 1 + i % 3, i % 4, 1, kV);
        ASSERT_NE(frame, nullptr);
        EXPECT_LT(reinterpret_cast<uintptr_t>(frame) + 0x40 + 146 * 3, kFourGiB);
        frames.push_back(frame);
    }
    for (void* frame : frames) {
        FX_FreeTGF(frame, kV);
    }
    ExpectNoErrors();
}

TEST_F(HostSessionTest, SavedFrameChangesTheScore) {
    void* frame = FX_LoadTGF(0, 1, 1, 0, 1, kV);
    ASSERT_NE(frame, nullptr);
    HostBytes::SetI16(NoteAt(frame, 0, 1), 2, 0);  // Eb4 -> E4
    HostBytes::SetI16(NoteAt(frame, 0, 2), 0, 5);  // G4 -> A4
    HostBytes::SetU16(EntryAt(frame, 0), 0x0C, 0x0004);
    Prepare(frame);
    EXPECT_NE(FX_SaveTGF(frame, kV), 0);
    FX_FreeTGF(frame, kV);
    ExpectNoErrors();
    EXPECT_EQ(session.NoteSpelling(1, 1, 1, 0, 1), "E4");
    EXPECT_EQ(session.NoteSpelling(1, 1, 1, 0, 2), "A4");
    EXPECT_TRUE(session.IsRest(1, 1, 1, 1));
    EXPECT_EQ(session.EntryFlags16(1, 1, 1, 0), 0x0004);
    EXPECT_EQ(session.EntryFlags16(1, 1, 1, 1), 0);
    EXPECT_FALSE(session.EntryFlags16(1, 1, 1, 2));
}

TEST_F(HostSessionTest, LockedFramesAreNotWrittenBack) {
    void* frame = FX_LoadTGF(0, 2, 2, 0, 1, kV);  // slot 2 = staff 4
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(HostBytes::U16(frame, 0x0A), 0);
    HostBytes::SetI16(NoteAt(frame, 0, 0), 0, 9);
    Prepare(frame);
    EXPECT_EQ(FX_SaveTGF(frame, kV), 0);
    FX_FreeTGF(frame, kV);
    EXPECT_EQ(session.NoteSpelling(4, 2, 1, 0, 0), "Bb4");
    EXPECT_TRUE(ErrorMentions("save guard"));
}

TEST_F(HostSessionTest, UnpreparedFramesAreRefused) {
    struct Case {
        const char* name;
        void (*spoil)(void* frame);
        const char* error;
    };
    const Case cases[] = {
        {"rest without placeholder", [](void*) {}, "placeholder"},
        {"repeated note numbers",
         [](void* f) {
             Prepare(f);
             HostBytes::SetI16(NoteAt(f, 0, 1), 4, 1);
             HostBytes::SetU32(NoteAt(f, 0, 1), 6, 1u << 16);
         },
         "repeated note number"},
        {"zero note number",
         [](void* f) {
             Prepare(f);
             HostBytes::SetI16(NoteAt(f, 0, 2), 4, 0);
             HostBytes::SetU32(NoteAt(f, 0, 2), 6, 0);
         },
         "zero or repeated"},
        {"flags not mirrored",
         [](void* f) {
             Prepare(f);
             HostBytes::SetU32(NoteAt(f, 0, 0), 6, 0);
         },
         "mirror"},
        {"spare records not cleared",
         [](void* f) {
             Prepare(f);
             HostBytes::SetI16(NoteAt(f, 0, 5), 0, 3);
         },
         "not cleared"},
        {"note count changed",
         [](void* f) {
             Prepare(f);
             HostBytes::SetI16(EntryAt(f, 0), 0x0E, 2);
             std::memset(NoteAt(f, 0, 2), 0, 10);
         },
         "note count"},
        {"header changed",
         [](void* f) {
             Prepare(f);
             HostBytes::SetU16(f, 6, 2);
         },
         "header"},
    };
    for (const auto& c : cases) {
        void* frame = FX_LoadTGF(0, 1, 1, 0, 1, kV);
        ASSERT_NE(frame, nullptr);
        HostBytes::SetI16(NoteAt(frame, 0, 0), 0, 1);  // a change that must not reach the score
        c.spoil(frame);
        EXPECT_EQ(FX_SaveTGF(frame, kV), 0) << c.name;
        FX_FreeTGF(frame, kV);
        EXPECT_TRUE(ErrorMentions(c.error)) << c.name;
        EXPECT_EQ(session.NoteSpelling(1, 1, 1, 0, 0), "C4") << c.name;
        SetUp();
    }
}

TEST_F(HostSessionTest, FrameMisuseIsReported) {
    void* frame = FX_LoadTGF(0, 1, 1, 1, 1, kV);
    ASSERT_NE(frame, nullptr);
    FX_FreeTGF(frame, kV);
    FX_FreeTGF(frame, kV);
    EXPECT_TRUE(ErrorMentions("freed twice"));
    EXPECT_EQ(FX_SaveTGF(frame, kV), 0);
    EXPECT_TRUE(ErrorMentions("already freed"));
    int local = 0;
    EXPECT_EQ(FX_SaveTGF(&local, kV), 0);
    EXPECT_TRUE(ErrorMentions("no frame"));
    void* kept = FX_LoadTGF(0, 1, 1, 0, 1, kV);
    ASSERT_NE(kept, nullptr);
    const size_t before = session.ProtocolErrors().size();
    session.EndRun();
    EXPECT_EQ(session.ProtocolErrors().size(), before + 1);
    EXPECT_TRUE(ErrorMentions("never freed"));
    session.EndRun();  // reported once
    EXPECT_EQ(session.ProtocolErrors().size(), before + 1);
}

TEST_F(HostSessionTest, FreedFramesStayRecognisedInQuarantineThenTheirBlocksServeAgain) {
    void* first = FX_LoadTGF(0, 1, 1, 0, 1, kV);
    ASSERT_NE(first, nullptr);
    FX_FreeTGF(first, kV);
    // Frames of the same size freed after it never get its block while it is in quarantine.
    for (size_t i = 1; i < host::HostFrames::kQuarantine; ++i) {
        void* frame = FX_LoadTGF(0, 1, 1, 0, 1, kV);
        ASSERT_NE(frame, first) << "frame " << i;
        FX_FreeTGF(frame, kV);
    }
    FX_FreeTGF(first, kV);
    EXPECT_TRUE(ErrorMentions("freed twice"));
    const size_t errors = session.ProtocolErrors().size();

    // One more free sends the first frame's block back into use.
    FX_FreeTGF(FX_LoadTGF(0, 1, 1, 0, 1, kV), kV);
    void* again = FX_LoadTGF(0, 1, 1, 0, 1, kV);
    EXPECT_EQ(again, first);
    EXPECT_EQ(HostBytes::U16(again, 6), 1) << "a reused block holds the new frame";
    EXPECT_EQ(HostBytes::I16(EntryAt(again, 0), 0x0E), 3) << "the first entry's three notes";
    FX_FreeTGF(again, kV);
    EXPECT_EQ(session.ProtocolErrors().size(), errors);

    // A long run of frames maps no more memory than its first frames did.
    const size_t mapped = session.FrameMemory();
    for (int i = 0; i < 20000; ++i) {
        void* frame = FX_LoadTGF(0, 1 + i % 2, 1 + i % 2, 0, 1, kV);
        ASSERT_NE(frame, nullptr);
        FX_FreeTGF(frame, kV);
    }
    EXPECT_EQ(session.FrameMemory(), mapped);
    EXPECT_EQ(session.OutstandingFrames(), 0);
    EXPECT_EQ(session.ProtocolErrors().size(), errors);
}

// ---- Layers, slots, MIDI ----

TEST_F(HostSessionTest, LayersAndSlots) {
    EXPECT_EQ(FX_GetMaxLayers(kV), 4);
    EXPECT_NE(FX_GetShowLayer(0, kV), 0);
    EXPECT_EQ(FX_GetShowLayer(1, kV), 0);
    EXPECT_NE(FX_GetShowLayer(2, kV), 0);
    EXPECT_EQ(FX_GetShowLayer(3, kV), 0);
    EXPECT_EQ(FX_InstToSlot(4, 0, kV), 2);
    EXPECT_EQ(FX_InstToSlot(2, 0, kV), 3);
    EXPECT_EQ(FX_InstToSlot(9, 0, kV), 0);
    EXPECT_EQ(FX_SlotToInst(1, 0, kV), 1);
    EXPECT_EQ(FX_SlotToInst(3, 0, kV), 2);
    EXPECT_LE(FX_SlotToInst(4, 0, kV), 0);
    ExpectNoErrors();
}

TEST_F(HostSessionTest, NoteToMidiReadsTheRecordInTheGivenKey) {
    struct Case {
        int16_t d;
        int16_t r;
        int32_t key;
        int32_t midi;
    };
    const Case cases[] = {
        {0, 0, 0, 60},   {-1, 0, 0, 59},     {0, -1, 0, 59},  {0, 0, 3, 69},
        {0, 0, 254, 70}, {0, 0, 0x0100, 69}, {-7, 0, 3, 57},  {0, 0, 0x00F9, 59},
        {0, 0, 7, 61},   {6, 0, 1, 78},      {-29, 0, 0, 11},
    };
    for (const auto& c : cases) {
        std::array<uint8_t, 10> note{};
        HostBytes::SetI16(note.data(), 0, c.d);
        HostBytes::SetI16(note.data(), 2, c.r);
        EXPECT_EQ(FX_NoteToMidi(note.data(), c.key, kV), c.midi)
            << c.d << " " << c.r << " key " << c.key;
    }
    ExpectNoErrors();
}

// ---- Selection, commands, redraws ----

TEST_F(HostSessionTest, SelectionRegions) {
    std::array<uint8_t, 20> r1{};
    std::array<uint8_t, 20> r2{};
    int32_t out = 0;
    ASSERT_NE(FX_GetCurERegions(&out, r1.data(), r2.data(), kV), 0);
    EXPECT_EQ(HostBytes::I16(r1.data(), 2), 1);
    EXPECT_EQ(HostBytes::I16(r1.data(), 4), 1);
    EXPECT_EQ(HostBytes::I32(r1.data(), 6), 0);
    EXPECT_EQ(HostBytes::I16(r1.data(), 12), 2);
    EXPECT_EQ(HostBytes::I16(r1.data(), 14), 2);
    EXPECT_EQ(HostBytes::I32(r1.data(), 16), 2147483647);
    EXPECT_EQ(r1, r2);

    session.Select(2, 3, 2, 3, 256, 768);
    HostBytes::SetI16(r1.data(), 2, 1);
    HostBytes::SetI16(r1.data(), 12, 3);
    EXPECT_NE(FX_SetCurERegion(r1.data(), kV), 0);
    ASSERT_TRUE(session.Selection());
    EXPECT_EQ(session.Selection()->endSlot, 3);
    EXPECT_EQ(session.Selection()->startPos, 0);

    // The second record covers the selected measures whole.
    ASSERT_NE(FX_GetCurERegions(&out, r1.data(), r2.data(), kV), 0);
    EXPECT_EQ(HostBytes::I32(r1.data(), 6), 0);
    EXPECT_EQ(HostBytes::I32(r1.data(), 16), 2147483647);
    session.Select(2, 3, 2, 3, 256, 768);
    ASSERT_NE(FX_GetCurERegions(&out, r1.data(), r2.data(), kV), 0);
    EXPECT_EQ(HostBytes::I32(r1.data(), 6), 256);
    EXPECT_EQ(HostBytes::I32(r1.data(), 16), 768);
    EXPECT_EQ(HostBytes::I32(r2.data(), 6), 0);
    EXPECT_EQ(HostBytes::I32(r2.data(), 16), 2147483647);
    for (size_t offset : {0, 2, 4, 10, 12, 14}) {
        EXPECT_EQ(HostBytes::I16(r1.data(), offset), HostBytes::I16(r2.data(), offset));
    }

    HostBytes::SetI16(r1.data(), 12, 9);  // beyond the last slot
    EXPECT_EQ(FX_SetCurERegion(r1.data(), kV), 0);
    EXPECT_TRUE(ErrorMentions("outside the score"));

    session.SetSelection(std::nullopt);
    std::array<uint8_t, 20> untouched{};
    untouched.fill(0xAB);
    auto r3 = untouched;
    EXPECT_EQ(FX_GetCurERegions(&out, r3.data(), r2.data(), kV), 0);
    EXPECT_EQ(r3, untouched);
}

TEST_F(HostSessionTest, MenuCommandsAndRedrawsAreLogged) {
    EXPECT_EQ(FX_GetCurrentEnigmaDocument(kV), 1);
    FX_ExecuteMenuItem(12106, kV);
    FX_ExecuteMenuItem(999, kV);
    std::array<uint8_t, 20> region{};
    int32_t out = 0;
    FX_GetCurERegions(&out, region.data(), region.data(), kV);
    FX_RedrawMusic(region.data(), kV);
    const auto counters = session.GetCounters();
    EXPECT_EQ(counters.respaces, 1);
    EXPECT_EQ(counters.redraws, 1);
    ASSERT_EQ(session.RespaceRegions().size(), 1u);
    EXPECT_EQ(session.RespaceRegions()[0], *session.Selection());
    EXPECT_EQ(session.MenuCommands(), (std::vector<int32_t>{12106, 999}));
    const auto& lines = session.Transcript();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "menu 12106 (respace) on slots 1-2 measures 1-2 positions 0-2147483647");
    EXPECT_EQ(lines[1], "menu 999 on slots 1-2 measures 1-2 positions 0-2147483647");
    EXPECT_EQ(lines[2], "redraw slots 1-2 measures 1-2 positions 0-2147483647");
    ExpectNoErrors();
}

// ---- Edits and undo ----

void ChangeFirstNote(int16_t displacement) {
    void* frame = FX_LoadTGF(0, 1, 1, 0, 1, kV);
    ASSERT_NE(frame, nullptr);
    HostBytes::SetI16(NoteAt(frame, 0, 0), 0, displacement);
    Prepare(frame);
    EXPECT_NE(FX_SaveTGF(frame, kV), 0);
    FX_FreeTGF(frame, kV);
}

TEST_F(HostSessionTest, KeptEditsUndoAndCancelledEditsRestore) {
    const char16_t title[] = u"Sorvel";
    EXPECT_NE(FX_StartFinaleEdit_UTF16(title, kV), 0);
    ChangeFirstNote(1);
    EXPECT_NE(FX_EndFinaleEdit(kV), 0);
    EXPECT_EQ(session.NoteSpelling(1, 1, 1, 0, 0), "D4");

    EXPECT_NE(FX_StartFinaleEdit_UTF16(title, kV), 0);
    ChangeFirstNote(3);
    EXPECT_EQ(session.NoteSpelling(1, 1, 1, 0, 0), "F4");
    EXPECT_NE(FX_CancelFinaleEdit(kV), 0);
    EXPECT_EQ(session.NoteSpelling(1, 1, 1, 0, 0), "D4");

    EXPECT_TRUE(session.Undo());
    EXPECT_EQ(session.NoteSpelling(1, 1, 1, 0, 0), "C4");
    EXPECT_FALSE(session.Undo());
    const auto counters = session.GetCounters();
    EXPECT_EQ(counters.editsOpened, 2);
    EXPECT_EQ(counters.editsKept, 1);
    EXPECT_EQ(counters.editsCancelled, 1);
    EXPECT_EQ(session.EditTitles(), (std::vector<std::string>{"Sorvel", "Sorvel"}));
    ExpectNoErrors();
    EXPECT_EQ(session.Transcript()[0], "edit opened \"Sorvel\"");
    EXPECT_EQ(session.Transcript()[1], "edit kept \"Sorvel\"");
    EXPECT_EQ(session.Transcript()[3], "edit cancelled \"Sorvel\"");
}

TEST_F(HostSessionTest, EditMisuseIsReported) {
    EXPECT_EQ(FX_EndFinaleEdit(kV), 0);
    EXPECT_TRUE(ErrorMentions("FX_EndFinaleEdit without an open edit"));
    EXPECT_EQ(FX_CancelFinaleEdit(kV), 0);
    EXPECT_TRUE(ErrorMentions("FX_CancelFinaleEdit without an open edit"));
    EXPECT_NE(FX_StartFinaleEdit_UTF16(u"A", kV), 0);
    EXPECT_EQ(FX_StartFinaleEdit_UTF16(u"B", kV), 0);
    EXPECT_TRUE(ErrorMentions("still open"));
    EXPECT_NE(FX_EndFinaleEdit(kV), 0);
}

TEST_F(HostSessionTest, TextWidthMustFitTheHostVersion) {
    EXPECT_NE(FX_StartFinaleEdit("Sorvel", kV), 0);
    EXPECT_TRUE(ErrorMentions("which takes UTF-16 texts"));
    FX_EndFinaleEdit(kV);
    SetUp();
    session.SetHostVersion(0x10000000);
    EXPECT_NE(FX_StartFinaleEdit("Sorvel", kV), 0);
    FX_EndFinaleEdit(kV);
    ExpectNoErrors();
    FX_StartFinaleEdit_UTF16(u"Sorvel", kV);
    EXPECT_TRUE(ErrorMentions("which takes 8-bit texts"));
}

TEST_F(HostSessionTest, EveryCallChecksItsTrailingVersion) {
    FX_GetMaxLayers(0x12000000);
    FX_ExecuteMenuItem(12106, 0);
    FX_GetCurrentEnigmaDocument(kV + 1);
    EXPECT_EQ(session.ProtocolErrors().size(), 3u);
    EXPECT_TRUE(
        ErrorMentions("FX_GetMaxLayers called with version 0x12000000, expected 0x12050000"));
}

// ---- Folders ----

TEST_F(HostSessionTest, FinalePathGivesTheSettingsFolder) {
    const auto folder = std::filesystem::temp_directory_path() / "vs-host-path-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    session.SetSettingsFolder(folder.string());
    std::array<uint8_t, 520> buffer{};
    ASSERT_NE(FX_GetFinalePath(15, buffer.data(), kV), 0);
    std::string path;
    for (size_t i = 0; HostBytes::U16(buffer.data(), 2 * i) != 0; ++i) {
        path += static_cast<char>(HostBytes::U16(buffer.data(), 2 * i));
    }
    EXPECT_EQ(path, folder.string());

    session.SetHostVersion(0x10000000);
    buffer.fill(0);
    ASSERT_NE(FX_GetFinalePath(7, buffer.data(), kV), 0);
    const std::string kind7(reinterpret_cast<const char*>(buffer.data()));
    EXPECT_EQ(kind7, (folder / "kind7").string());
    EXPECT_TRUE(std::filesystem::is_directory(folder / "kind7"));
    EXPECT_EQ(FX_GetFinalePath(3, buffer.data(), kV), 0);
    session.SetSettingsFolder(std::string(600, 'x'));
    buffer.fill(0);
    EXPECT_EQ(FX_GetFinalePath(15, buffer.data(), kV), 0);
    EXPECT_EQ(buffer[0], 0);
    ExpectNoErrors();
    std::filesystem::remove_all(folder);
}

TEST_F(HostSessionTest, TraceListsEveryCall) {
    session.SetTrace(true);
    FX_GetMaxLayers(kV);
    session.SetTrace(false);
    ASSERT_EQ(session.Transcript().size(), 1u);
    EXPECT_EQ(session.Transcript()[0], "call FX_GetMaxLayers(0x12050000) -> 4");
}

}  // namespace

namespace {

// The dialog functions check their version, text width and callback on every platform; natively
// they have no windows to work on.
TEST_F(HostSessionTest, DialogTextFunctionsMustFitTheHostVersion) {
    char narrow[8] = "x";
    char16_t wide[8] = u"x";
    // (On Windows a missing dialog is a fault of its own; only the width faults count here.)
    auto widthFaults = [&] {
        int count = 0;
        for (const auto& e : session.ProtocolErrors()) {
            count += e.find(" texts") != std::string::npos ? 1 : 0;
        }
        return count;
    };
    FX_GetDlgString_UTF16(nullptr, 102, wide, 8, kV);
    FX_SetDlgString_UTF16(nullptr, 102, u"A#", kV);
    EXPECT_EQ(widthFaults(), 0);
    FX_GetDlgString(nullptr, 102, narrow, 8, kV);
    FX_SetDlgString(nullptr, 102, "A#", kV);
    EXPECT_EQ(widthFaults(), 2);
    EXPECT_TRUE(
        ErrorMentions("FX_GetDlgString called under host version 0x12050000, which "
                      "takes UTF-16 texts"));
    SetUp();
    session.SetHostVersion(0x10FFFFFF);
    FX_GetDlgString(nullptr, 102, narrow, 8, kV);
    FX_SetDlgString(nullptr, 102, "A#", kV);
    EXPECT_EQ(widthFaults(), 0);
    FX_SetDlgString_UTF16(nullptr, 102, u"A#", kV);
    EXPECT_EQ(widthFaults(), 1);
    EXPECT_TRUE(
        ErrorMentions("FX_SetDlgString_UTF16 called under host version 0x10FFFFFF, "
                      "which takes 8-bit texts"));
    FX_EnableDlgItem(nullptr, 102, 1, 0x11000000);
    EXPECT_TRUE(ErrorMentions("FX_EnableDlgItem called with version 0x11000000"));
    // The argument checks are the Windows ones too.
    EXPECT_EQ(FX_Dialog(100, nullptr, nullptr, 0, nullptr, kV), 0);
    EXPECT_TRUE(ErrorMentions("FX_Dialog without a callback"));
}

}  // namespace
