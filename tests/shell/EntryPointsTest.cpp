// The four simple entry points: versions, defaults and the enumeration record's bytes.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"
#include "shell/EntryPoints.h"
#include "state/PluginState.h"

namespace {

std::u16string FieldAt(const std::array<uint8_t, 772>& record, size_t offset) {
    std::u16string text;
    for (size_t i = offset; le::U16(record.data(), i) != 0; i += 2) {
        text += static_cast<char16_t>(le::U16(record.data(), i));
    }
    return text;
}

TEST(EntryPointsTest, VersionStoresHostVersionAndAnswersInterface) {
    EXPECT_EQ(HostVersion::Get(), 0x12050000U) << "preset before the host tells";
    EXPECT_EQ(FinaleExtensionVersion(0x10000000), 0x0F000000U);
    EXPECT_EQ(HostVersion::Get(), 0x10000000U);
    EXPECT_FALSE(HostVersion::UsesUTF16());
    EXPECT_TRUE(HostVersion::UsesSettingsKind15());
    EXPECT_EQ(FinaleExtensionVersion(0x0F000000), 0x0F000000U);
    EXPECT_FALSE(HostVersion::UsesSettingsKind15());
    EXPECT_EQ(FinaleExtensionVersion(0x12050000), 0x0F000000U);
    EXPECT_TRUE(HostVersion::UsesUTF16());
}

TEST(EntryPointsTest, InitSetsFlagBitAndDefaults) {
    PluginState& state = PluginState::Instance();
    state.workingList.AddItem(new FCPitchChangeNode);
    state.pitchSets.AddItem(new FCPitchChangeList);
    uint32_t flags = 6;
    EXPECT_EQ(FinaleExtensionInit(0, &flags), 1U);
    EXPECT_EQ(flags, 7U);
    EXPECT_STREQ(state.fromText.GetCString(), "A#");
    EXPECT_STREQ(state.toText.GetCString(), "Bb");
    EXPECT_EQ(state.direction, 2);
    EXPECT_TRUE(state.soundingPitch);
    EXPECT_TRUE(state.respace);
    EXPECT_EQ(state.workingList.GetCount(), 0);
    EXPECT_EQ(state.pitchSets.GetCount(), 0);
    EXPECT_EQ(FinaleExtensionGetMenuStatus(0), 1U);
}

TEST(EntryPointsTest, EnumerationWritesOneMenuItem) {
    std::array<uint8_t, 772> record;
    record.fill(0xAB);
    EXPECT_EQ(FinaleExtensionEnumerate_UTF16(0, 1, record.data()), 0U);
    for (uint8_t b : record) {
        ASSERT_EQ(b, 0xAB) << "index 1 writes nothing";
    }
    EXPECT_EQ(FinaleExtensionEnumerate_UTF16(0, 0x10000, record.data()), 1U)
        << "the index is a 16-bit number";
    record.fill(0xAB);
    EXPECT_EQ(FinaleExtensionEnumerate_UTF16(0, 0, record.data()), 1U);
    EXPECT_EQ(FieldAt(record, 0), u"Vesk Sorvel...");
    EXPECT_EQ(FieldAt(record, 256), u"Selectively replaces the pitches within the region.");
    EXPECT_EQ(FieldAt(record, 512), u"Sorvel");
    EXPECT_EQ(le::U32(record.data(), 768), 0U);
    // Units after each terminator are left as they were.
    EXPECT_EQ(record[2 * 14 + 2], 0xAB);
    EXPECT_EQ(record[512 + 2 * 6 + 2], 0xAB);
}

}  // namespace
