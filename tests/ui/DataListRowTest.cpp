// List rows without a list view: column texts, the direction word, and the shared display buffer
// (a text longer than the buffer is shown cut, never written past it).
#include <gtest/gtest.h>

#include <string>

#include "ui/FCMyDataListRow.h"

namespace {

std::u16string Shown(const char16_t* text) {
    return text;
}

TEST(DataListRow, PitchRowHasThreeColumnsAndNoList) {
    const FCString from("A#");
    const FCString to("Bb");
    FCMyDataListRow row(&from, &to, 2, true);
    EXPECT_EQ(row.GetCount(), 3);
    EXPECT_EQ(Shown(row.GetCellText(0)), u"A#");
    EXPECT_EQ(Shown(row.GetCellText(1)), u"Bb");
    EXPECT_EQ(Shown(row.GetCellText(2)), u"Closest");
    EXPECT_EQ(row.GetDirection(), 2);
    EXPECT_TRUE(row.GetChecked());
    EXPECT_EQ(row.GetListIndex(), -1);
    EXPECT_EQ(row.GetList(), nullptr);
    EXPECT_STREQ(row.ClassName(), "FCStrings");
}

TEST(DataListRow, ColumnOutsideTheRowShowsQuestionMarks) {
    FCMyDataListRow row(nullptr, nullptr, 0, false);
    EXPECT_EQ(Shown(row.GetCellText(3)), u"???");
    EXPECT_EQ(Shown(row.GetCellText(-1)), u"???");
    EXPECT_EQ(Shown(row.GetCellText(0)), u"");
    EXPECT_EQ(Shown(row.GetCellText(2)), u"Up");
}

struct DirectionCase {
    int32_t code;
    const char16_t* word;
};

class DirectionWordTest : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(DirectionWordTest, SetDirectionStoresCodeAndWord) {
    FCMyDataListRow row(nullptr, nullptr, 0, false);
    row.SetDirection(GetParam().code);
    EXPECT_EQ(row.GetDirection(), GetParam().code);
    EXPECT_EQ(Shown(row.GetCellText(2)), GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(Codes, DirectionWordTest,
                         ::testing::Values(DirectionCase{0, u"Up"}, DirectionCase{1, u"Down"},
                                           DirectionCase{2, u"Closest"},
                                           DirectionCase{7, u"Closest"},
                                           DirectionCase{-1, u"Closest"}));

TEST(DataListRow, SettersReplaceTheirColumnOnly) {
    const FCString a("A");
    const FCString b("B");
    FCMyDataListRow row(&a, &b, 1, false);
    const FCString c("C##");
    row.SetFromText(&c);
    EXPECT_EQ(Shown(row.GetCellText(0)), u"C##");
    EXPECT_EQ(Shown(row.GetCellText(1)), u"B");
    row.SetToText(nullptr);
    EXPECT_EQ(Shown(row.GetCellText(1)), u"");
    EXPECT_EQ(Shown(row.GetCellText(2)), u"Down");
    EXPECT_EQ(row.GetCount(), 3);
}

// Texts around the buffer's size: everything up to 511 units shows whole, longer texts show
// their first 511 units. ASan reports any write past the buffer.
class DisplayBufferTest : public ::testing::TestWithParam<uint32_t> {};

TEST_P(DisplayBufferTest, LongTextIsCutToTheBuffer) {
    const uint32_t length = GetParam();
    std::u16string text;
    for (uint32_t i = 0; i < length; ++i) {
        text.push_back(static_cast<char16_t>(u'a' + i % 26));
    }
    FCString from;
    from.SetUTF16(text.c_str());
    FCMyDataListRow row(&from, nullptr, 0, false);
    const uint32_t shown = std::min(length, FCDataListRow::kDisplayBufferUnits - 1);
    EXPECT_EQ(Shown(row.GetCellText(0)), text.substr(0, shown));
}

INSTANTIATE_TEST_SUITE_P(Lengths, DisplayBufferTest,
                         ::testing::Values(0U, 1U, 510U, 511U, 512U, 513U, 5000U));

TEST(DataListRow, DisplayBufferIsSharedUntilTheNextCall) {
    const FCString a("first");
    const FCString b("second");
    FCMyDataListRow one(&a, nullptr, 0, false);
    FCMyDataListRow two(&b, nullptr, 0, false);
    const char16_t* shown = one.GetCellText(0);
    EXPECT_EQ(Shown(shown), u"first");
    EXPECT_EQ(two.GetCellText(0), shown);
    EXPECT_EQ(Shown(shown), u"second");
}

}  // namespace
