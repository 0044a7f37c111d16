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
}

TEST(DataListRow, ColumnOutsideTheRowShowsQuestionMarks) {
    FCMyDataListRow row(nullptr, nullptr, 0, false);
    EXPECT_EQ(Shown(row.GetCellText(3)), u"???");
    EXPECT_EQ(Shown(row.GetCellText(-1)), u"???");
    EXPECT_EQ(Shown(row.GetCellText(0)), u"");
    EXPECT_EQ(Shown(row.GetCellText(2)), u"Invalid") << "empty texts are no spellings";
}

struct DirectionCase {
    int32_t code;
    const char16_t* word;
};

class DirectionWordTest : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(DirectionWordTest, SetDirectionStoresCodeAndWord) {
    const FCString from("C");
    const FCString to("D");
    FCMyDataListRow row(&from, &to, 0, false);
    row.SetDirection(GetParam().code);
    EXPECT_EQ(row.GetDirection(), GetParam().code);
    EXPECT_EQ(Shown(row.GetCellText(2)), GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(Codes, DirectionWordTest,
                         ::testing::Values(DirectionCase{0, u"Up"}, DirectionCase{1, u"Down"},
                                           DirectionCase{2, u"Closest"},
                                           DirectionCase{7, u"Closest"},
                                           DirectionCase{-1, u"Closest"}),
                         // Stable names from the code (Code0, Code7, CodeMinus1).
                         [](const ::testing::TestParamInfo<DirectionCase>& info) {
                             const int32_t code = info.param.code;
                             return std::string(code < 0 ? "CodeMinus" : "Code") +
                                    std::to_string(code < 0 ? -code : code);
                         });

TEST(DataListRow, SettersReplaceTheirColumnOnly) {
    const FCString a("A");
    const FCString b("B");
    FCMyDataListRow row(&a, &b, 1, false);
    const FCString c("C##");
    row.SetFromText(&c);
    EXPECT_EQ(Shown(row.GetCellText(0)), u"C##");
    EXPECT_EQ(Shown(row.GetCellText(1)), u"B");
    EXPECT_EQ(Shown(row.GetCellText(2)), u"Down");
    row.SetToText(nullptr);
    EXPECT_EQ(Shown(row.GetCellText(1)), u"");
    EXPECT_EQ(row.GetCount(), 3);
}

// A row whose texts are not spellings as the dialog makes them (read from a hand-edited or
// damaged file) shows "Invalid" instead of its direction, keeps its texts and its direction,
// and shows the direction again once both texts are good.
TEST(DataListRow, RowsWithBadSpellingsAreMarked) {
    struct Case {
        const char* from;
        const char* to;
        bool valid;
    };
    for (const Case c :
         {Case{"C", "D", true}, Case{"C####", "Dbbbb", true}, Case{"C##", "Bb", true},
          Case{"C", "C-", false}, Case{"F#x", "G", false}, Case{"E", "E 1", false},
          Case{"E", "", false}, Case{"", "E", false}, Case{"c", "D", false}, Case{"Cx", "D", false},
          Case{"D", "EB", false}, Case{"C#####", "D", false}, Case{"H", "C", false},
          Case{"C#b", "D", false}, Case{" C", "D", false}}) {
        const FCString from(c.from);
        const FCString to(c.to);
        FCMyDataListRow row(&from, &to, 1, true);
        EXPECT_EQ(row.HasValidSpellings(), c.valid) << c.from << " " << c.to;
        EXPECT_EQ(Shown(row.GetCellText(2)), c.valid ? u"Down" : u"Invalid")
            << c.from << " " << c.to;
        EXPECT_EQ(row.GetDirection(), 1);
        EXPECT_EQ(Shown(row.GetCellText(0)), std::u16string(from.GetUTF16()));
        EXPECT_EQ(Shown(row.GetCellText(1)), std::u16string(to.GetUTF16()));
        EXPECT_TRUE(row.GetChecked());
    }
    const FCString from("C");
    const FCString bad("C-");
    const FCString good("D");
    FCMyDataListRow row(&from, &bad, 0, true);
    EXPECT_EQ(Shown(row.GetCellText(2)), u"Invalid");
    row.SetToText(&good);
    EXPECT_EQ(Shown(row.GetCellText(2)), u"Up");
    row.SetFromText(&bad);
    EXPECT_EQ(Shown(row.GetCellText(2)), u"Invalid");
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
                         ::testing::Values(0U, 1U, 510U, 511U, 512U, 513U, 5000U),
                         // Stable names from the length (Units0 ... Units5000).
                         [](const ::testing::TestParamInfo<uint32_t>& info) {
                             return "Units" + std::to_string(info.param);
                         });

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
