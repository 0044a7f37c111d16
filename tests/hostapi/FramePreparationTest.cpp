// Frame preparation: note renumbering, flag mirroring, zeroed spare records and rests.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "hostapi/FramePreparation.h"
#include "hostapi/LittleEndian.h"

namespace {

using Entry = std::array<uint8_t, FramePreparation::kEntrySize>;

uint8_t* NoteAt(Entry& e, int j) {
    return e.data() + 0x10 + 10 * j;
}

Entry MakeEntry(std::vector<int16_t> numbers, int16_t count) {
    Entry e{};
    le::SetU32(e.data(), 8, 0x40000000);
    le::SetI16(e.data(), 0x0E, count);
    for (size_t j = 0; j < 12; ++j) {
        uint8_t* n = e.data() + 0x10 + 10 * j;
        le::SetI16(n, 0, static_cast<int16_t>(j + 1));  // displacement, kept
        le::SetI16(n, 4, j < numbers.size() ? numbers[j] : int16_t{77});
        le::SetU32(n, 6, 0xFFE0FFFF);
    }
    return e;
}

TEST(FramePreparationTest, RenumbersZeroAndSharedNumbers) {
    struct Case {
        std::vector<int16_t> in, out;
    } cases[] = {
        {{5, 5, 0}, {6, 5, 7}}, {{0, 0}, {1, 2}},       {{3, 1, 2}, {3, 1, 2}},
        {{-4, -4}, {1, -4}},    {{2, 2, 2}, {3, 4, 2}},
    };
    for (const auto& c : cases) {
        Entry e = MakeEntry(c.in, static_cast<int16_t>(c.in.size()));
        FramePreparation::PrepareEntry(e.data());
        for (size_t j = 0; j < c.out.size(); ++j) {
            const int16_t number = le::I16(NoteAt(e, static_cast<int>(j)), 4);
            EXPECT_EQ(number, c.out[j]) << "note " << j;
            const uint32_t flags = le::U32(NoteAt(e, static_cast<int>(j)), 6);
            EXPECT_EQ((flags >> 16) & 0x1F, static_cast<uint32_t>(number) & 0x1F);
            EXPECT_EQ(flags & ~0x001F0000U, 0xFFE0FFFFU) << "other flag bits stay";
            EXPECT_EQ(le::I16(NoteAt(e, static_cast<int>(j)), 0), static_cast<int16_t>(j + 1));
        }
        for (size_t j = c.out.size(); j < 12; ++j) {
            for (int b = 0; b < 10; ++b) {
                ASSERT_EQ(NoteAt(e, static_cast<int>(j))[b], 0) << "spare record " << j;
            }
        }
    }
}

TEST(FramePreparationTest, RestGetsOnePlaceholderNote) {
    for (int16_t count : {int16_t{0}, int16_t{-3}}) {
        Entry e = MakeEntry({}, count);
        le::SetU32(e.data(), 8, 0x00000010);
        FramePreparation::PrepareEntry(e.data());
        EXPECT_EQ(le::I16(e.data(), 0x0E), 1);
        EXPECT_EQ(le::U32(NoteAt(e, 0), 6), 0x80000000U);
        EXPECT_EQ(le::U32(e.data(), 8), 0x01000010U);
    }
}

TEST(FramePreparationTest, CountAboveTwelveStaysInsideTheRecord) {
    // Guard bytes around the entry catch any write past its twelve note records.
    std::array<uint8_t, FramePreparation::kEntrySize + 64> buffer{};
    buffer.fill(0x5A);
    uint8_t* entry = buffer.data() + 32;
    std::fill(entry, entry + FramePreparation::kEntrySize, 0);
    le::SetI16(entry, 0x0E, 40);
    FramePreparation::PrepareEntry(entry);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(buffer[i], 0x5A);
        EXPECT_EQ(buffer[32 + FramePreparation::kEntrySize + i], 0x5A);
    }
    for (int j = 0; j < 12; ++j) {
        EXPECT_EQ(le::I16(entry + 0x10 + 10 * j, 4), j + 1);
    }
}

}  // namespace
