// Decoding of record fields without a host: key words (tonic, sharps and flats, altered
// letters, effective key under a transposition offset) and staff transposition words.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <set>

#include "framework/FCCurrentStaffSpec.h"
#include "framework/FCKeySignature.h"
#include "framework/FCStaff.h"
#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"

namespace {

int Mod7(int x) {
    return ((x % 7) + 7) % 7;
}

// The tonic along the circle of fifths: each sharp moves it a fifth up (four letters), each
// flat a fifth down; the relative minor lies a third (two letters) below the major tonic.
int TonicOracle(int sharps, int flats, bool minor) {
    const int major = Mod7(2 + 4 * sharps - 4 * flats);
    return minor ? Mod7(major - 2) : major;
}

std::set<int> SharpenedOracle(int sharps) {
    std::set<int> letters;  // F C G D A E B
    for (int k = 0; k < sharps; ++k) {
        letters.insert(Mod7(5 + 4 * k));
    }
    return letters;
}

std::set<int> FlattenedOracle(int flats) {
    std::set<int> letters;  // B E A D G C F
    for (int k = 0; k < flats; ++k) {
        letters.insert(Mod7(1 + 3 * k));
    }
    return letters;
}

uint16_t KeyWord(int mode, int count) {
    return static_cast<uint16_t>((mode << 8) | (static_cast<unsigned>(count) & 0xFF));
}

TEST(KeySignatureTest, EveryLinearKeyUpToSevenAccidentals) {
    for (int mode = 0; mode <= 1; ++mode) {
        for (int count = -7; count <= 7; ++count) {
            FCKeySignature key;
            key.SetKeyWord(KeyWord(mode, count));
            const int sharps = count > 0 ? count : 0;
            const int flats = count < 0 ? -count : 0;
            SCOPED_TRACE(testing::Message() << "mode " << mode << " count " << count);
            EXPECT_TRUE(key.IsLinear());
            EXPECT_EQ(key.IsMinor(), mode == 1);
            EXPECT_EQ(key.GetSharpCount(), sharps);
            EXPECT_EQ(key.GetFlatCount(), flats);
            EXPECT_EQ(key.GetTonicLetter(), TonicOracle(sharps, flats, mode == 1));
            const auto sharpened = SharpenedOracle(sharps);
            const auto flattened = FlattenedOracle(flats);
            for (int letter = 0; letter < 7; ++letter) {
                EXPECT_EQ(key.IsLetterSharpened(letter), sharpened.contains(letter)) << letter;
                EXPECT_EQ(key.IsLetterFlattened(letter), flattened.contains(letter)) << letter;
            }
            EXPECT_FALSE(key.IsLetterSharpened(-1));
            EXPECT_FALSE(key.IsLetterSharpened(7));
            EXPECT_FALSE(key.IsLetterFlattened(-1));
            EXPECT_FALSE(key.IsLetterFlattened(7));
        }
    }
}

TEST(KeySignatureTest, NamedExamples) {
    FCKeySignature key;
    key.SetKeyWord(0x0103);  // F sharp minor
    EXPECT_TRUE(key.IsLinear());
    EXPECT_TRUE(key.IsMinor());
    EXPECT_EQ(key.GetTonicLetter(), 5);
    key.SetKeyWord(0x00FE);  // B flat major
    EXPECT_EQ(key.GetTonicLetter(), 1);
    EXPECT_EQ(key.GetFlatCount(), 2);
    key.SetTranspositionOffset(2);
    EXPECT_EQ(key.GetEffectiveKey(), 0x0000);
    EXPECT_EQ(key.GetTonicLetter(), 2);
    EXPECT_EQ(key.GetSharpCount(), 0);
    EXPECT_EQ(key.GetFlatCount(), 0);
    EXPECT_EQ(key.GetKeyWord(), 0x00FE) << "the offset never changes the stored word";
    key.SetKeyWord(0x0007);
    key.SetTranspositionOffset(0);
    EXPECT_EQ(key.GetTonicLetter(), 2) << "C sharp major";
    key.SetKeyWord(0x00F9);
    EXPECT_EQ(key.GetTonicLetter(), 2) << "C flat major";
    key.SetKeyWord(0x0107);
    EXPECT_EQ(key.GetTonicLetter(), 0) << "A sharp minor";
    key.SetKeyWord(0x01F9);
    EXPECT_EQ(key.GetTonicLetter(), 0) << "A flat minor";
}

TEST(KeySignatureTest, OffsetTransposesAlongTheCircleOfFifths) {
    for (int mode = 0; mode <= 1; ++mode) {
        for (int count = -7; count <= 7; ++count) {
            for (int offset = -7; offset <= 7; ++offset) {
                FCKeySignature moved;
                moved.SetKeyWord(KeyWord(mode, count));
                moved.SetTranspositionOffset(static_cast<int16_t>(offset));
                FCKeySignature plain;
                plain.SetKeyWord(KeyWord(mode, count + offset));
                EXPECT_EQ(moved.GetEffectiveKey(), plain.GetKeyWord()) << count << "+" << offset;
                EXPECT_EQ(moved.GetSharpCount(), plain.GetSharpCount());
                EXPECT_EQ(moved.GetFlatCount(), plain.GetFlatCount());
                EXPECT_EQ(moved.GetTonicLetter(), plain.GetTonicLetter());
            }
        }
    }
    FCKeySignature key;
    key.SetKeyWord(0x0001);
    key.SetTranspositionOffset(0x0102);  // only the low byte takes part
    EXPECT_EQ(key.GetEffectiveKey(), 0x0003);
}

TEST(KeySignatureTest, NonLinearKeys) {
    for (uint16_t word : {uint16_t{0x4000}, uint16_t{0x8000}, uint16_t{0xC003}, uint16_t{0x0200},
                          uint16_t{0x0503}}) {
        for (int16_t offset : {int16_t{0}, int16_t{3}, int16_t{-2}}) {
            FCKeySignature key;
            key.SetKeyWord(word);
            key.SetTranspositionOffset(offset);
            SCOPED_TRACE(testing::Message() << std::hex << word << " offset " << offset);
            EXPECT_FALSE(key.IsLinear());
            EXPECT_FALSE(key.IsMinor());
            EXPECT_EQ(key.GetEffectiveKey(), word);
            EXPECT_EQ(key.GetSharpCount(), -1);
            EXPECT_EQ(key.GetFlatCount(), -1);
            EXPECT_EQ(key.GetTonicLetter(), -1);
            for (int letter = 0; letter < 7; ++letter) {
                EXPECT_FALSE(key.IsLetterSharpened(letter));
                EXPECT_FALSE(key.IsLetterFlattened(letter));
            }
        }
    }
}

TEST(KeySignatureTest, FirstSharpAndLastFlat) {
    for (int count = 1; count <= 7; ++count) {
        FCKeySignature sharps;
        sharps.SetKeyWord(KeyWord(0, count));
        EXPECT_TRUE(sharps.IsLetterSharpened(5)) << count;  // F takes the first sharp
        FCKeySignature flats;
        flats.SetKeyWord(KeyWord(0, -count));
        EXPECT_EQ(flats.IsLetterFlattened(5), count == 7) << count;  // F takes the last flat
    }
}

TEST(KeySignatureTest, CopyFromTakesWordAndOffset) {
    FCKeySignature a;
    a.SetKeyWord(0x0103);
    a.SetTranspositionOffset(-2);
    FCKeySignature b;
    b.CopyFrom(&a);
    EXPECT_EQ(b.GetKeyWord(), 0x0103);
    EXPECT_EQ(b.GetTranspositionOffset(), -2);
    EXPECT_TRUE(b.IsLoaded());
    EXPECT_EQ(b.GetRecordSize(), 2U);
    EXPECT_EQ(b.GetVersion(), 0x12050000U);
    EXPECT_EQ(b.GetTag(), 0U);
    EXPECT_FALSE(b.LoadFirst());
}

// Puts a transposition word into the running layout's buffer, as a load would.
void SetTransposition(FCStaff& staff, uint16_t word) {
    le::SetU16(staff.GetRecordBuffer(), 0x14, word);
}

struct TranspositionCase {
    uint16_t word;
    bool has;
    int chromatic;
    int alteration;
    int interval;
};

TEST(StaffTranspositionTest, Decoding) {
    const TranspositionCase cases[] = {
        {0x0000, false, 0, 0, 0},  {0x4000, false, 0, 0, 0},  // bit 14 alone: no transposition
        {0x0FC1, true, 0, 1, -1},  // diatonic: bits 0-5 = 1, bits 6-11 = 0x3F
        {0x20FF, true, 1, 0, -1},  // chromatic, low byte -1: interval -1, not 0
        {0x2003, true, 1, 0, 4},   // chromatic, low byte 3: interval 4
        {0x2000, true, 1, 0, 1},   // chromatic, low byte 0: interval 1
        {0x207F, true, 1, 0, 128}, {0x2F00, true, 1, -1, 1},  // bits 8-11 = 0xF: alteration -1
        {0x2800, true, 1, -8, 1},  {0x2700, true, 1, 7, 1},
        {0x0042, true, 0, 2, 1},  // B flat clarinet: two sharps, one step up
        {0x001F, true, 0, 31, 0},  {0x0020, true, 0, -32, 0},
        {0x0800, true, 0, 0, -32}, {0x07C0, true, 0, 0, 31},
        {0x4042, true, 0, 2, 1},  // bit 14 does not disturb the fields
        {0x8000, true, 0, 0, 0},  // any bit other than 14 counts as a transposition
    };
    for (uint32_t version : {0x10000000U, 0x11500000U, 0x12050000U}) {
        HostVersion::Set(version);
        for (const TranspositionCase& c : cases) {
            FCStaff staff;
            SetTransposition(staff, c.word);
            SCOPED_TRACE(testing::Message() << std::hex << c.word << " host " << version);
            EXPECT_EQ(staff.HasTransposition(), c.has);
            EXPECT_EQ(staff.IsChromaticTransposition(), c.chromatic);
            EXPECT_EQ(staff.GetTranspositionAlteration(), c.alteration);
            EXPECT_EQ(staff.GetTranspositionInterval(), c.interval);
        }
    }
    HostVersion::Set(HostVersion::kBuild);
}

TEST(StaffTranspositionTest, FlagBitsAndZeroedBuffers) {
    for (uint32_t version : {0x10000000U, 0x11500000U, 0x12050000U}) {
        HostVersion::Set(version);
        FCCurrentStaffSpec staffSpec;
        const uint8_t* buffer = staffSpec.GetRecordBuffer();
        for (uint32_t i = 0; i < staffSpec.GetRecordSize(); ++i) {
            ASSERT_EQ(buffer[i], 0) << "byte " << i << " host " << std::hex << version;
        }
        EXPECT_FALSE(staffSpec.HasTransposition());
        EXPECT_FALSE(staffSpec.IsKeyIgnored());
        EXPECT_FALSE(staffSpec.HasIndependentKey());
        le::SetU16(staffSpec.GetRecordBuffer(), 0x16, 0x8001);
        EXPECT_TRUE(staffSpec.IsKeyIgnored());
        EXPECT_TRUE(staffSpec.HasIndependentKey());
        le::SetU16(staffSpec.GetRecordBuffer(), 0x5E, 0x1234);
        le::SetU16(staffSpec.GetRecordBuffer(), 0x62, 0x5678);
        EXPECT_EQ(staffSpec.GetWordAt5E(), 0x1234);
        EXPECT_EQ(staffSpec.GetWordAt62(), 0x5678);
    }
    HostVersion::Set(HostVersion::kBuild);
}

// A staff record zero-fills only the running host's layout when it is made; another layout is
// filled the first time a host of that version uses it, so nothing is ever read from memory the
// object did not write, wherever it was made.
TEST(StaffTranspositionTest, OtherLayoutsAreZeroWhenFirstUsed) {
    alignas(FCCurrentStaffSpec) unsigned char place[sizeof(FCCurrentStaffSpec)];
    for (uint32_t first : {0x10000000U, 0x11500000U, 0x12050000U}) {
        std::memset(place, 0xAB, sizeof place);
        HostVersion::Set(first);
        auto* staffSpec = new (place) FCCurrentStaffSpec();
        for (uint32_t version : {0x10000000U, 0x11500000U, 0x12050000U}) {
            HostVersion::Set(version);
            const uint8_t* buffer = staffSpec->GetRecordBuffer();
            for (uint32_t i = 0; i < staffSpec->GetRecordSize(); ++i) {
                ASSERT_EQ(buffer[i], 0) << "byte " << i << " made under " << std::hex << first
                                        << ", read under " << version;
            }
        }
        staffSpec->~FCCurrentStaffSpec();
    }
    HostVersion::Set(HostVersion::kBuild);
}

TEST(StaffTranspositionTest, EachHostLayoutHasItsOwnBuffer) {
    FCStaff staff;
    HostVersion::Set(0x10000000);
    SetTransposition(staff, 0x0042);
    HostVersion::Set(0x11000000);
    EXPECT_FALSE(staff.HasTransposition()) << "the middle layout is a buffer of its own";
    SetTransposition(staff, 0x2003);
    HostVersion::Set(0x12000000);
    EXPECT_FALSE(staff.HasTransposition());
    HostVersion::Set(0x0F000000);
    EXPECT_EQ(staff.GetTranspositionInterval(), 1);
    HostVersion::Set(0x11FFFFFF);
    EXPECT_EQ(staff.GetTranspositionInterval(), 4);
    HostVersion::Set(HostVersion::kBuild);
}

}  // namespace
