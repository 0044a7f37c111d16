// AsciiTextTest: letter case folds A..Z only, for 8-bit and UTF-16 units, whatever the locale.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "rules/AsciiText.h"

namespace {

TEST(AsciiTextTest, FoldsExactlyTheAsciiLettersOfEveryByte) {
    for (int unit = 0; unit < 256; ++unit) {
        const auto c = static_cast<char>(unit);
        const bool upper = unit >= 'A' && unit <= 'Z';
        const bool lower = unit >= 'a' && unit <= 'z';
        EXPECT_EQ(rules::ascii::ToLower(c), upper ? static_cast<char>(unit + 32) : c) << unit;
        EXPECT_EQ(rules::ascii::ToUpper(c), lower ? static_cast<char>(unit - 32) : c) << unit;
    }
}

TEST(AsciiTextTest, LeavesUtf16LettersBeyondAsciiAlone) {
    // U+00C0 and U+0130 fold in Unicode; U+0141 ('Ł') has 'A' (0x41) as its low byte, which a
    // fold of the low byte alone would take for a letter.
    for (const char16_t unit : {u'\u00C0', u'\u0130', u'\u0141', u'\uFF21'}) {
        EXPECT_EQ(rules::ascii::ToLower(unit), unit) << static_cast<int>(unit);
        EXPECT_EQ(rules::ascii::ToUpper(unit), unit) << static_cast<int>(unit);
    }
    EXPECT_EQ(rules::ascii::ToLower(u'Q'), u'q');
    EXPECT_EQ(rules::ascii::ToUpper(u'q'), u'Q');
}

TEST(AsciiTextTest, IgnoresTheProcessLocale) {
    // A Latin-1 locale folds 0xC0 under std::tolower; the settings keys must not change with it.
    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "en_US.ISO-8859-1");  // may be missing; the check holds either way
    EXPECT_EQ(rules::ascii::Lower("\xC0Up"), "\xC0up");
    EXPECT_FALSE(rules::ascii::EqualsIgnoreCase("\xC0", "\xE0"));
    std::setlocale(LC_CTYPE, saved.c_str());
}

struct EqualsCase {
    const char* name;
    const char* a;
    const char* b;
    bool equal;
};

class AsciiEqualsTest : public testing::TestWithParam<EqualsCase> {};

TEST_P(AsciiEqualsTest, ComparesOnceLowerCased) {
    const EqualsCase& c = GetParam();
    EXPECT_EQ(rules::ascii::EqualsIgnoreCase(c.a, c.b), c.equal);
    EXPECT_EQ(rules::ascii::EqualsIgnoreCase(c.b, c.a), c.equal);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, AsciiEqualsTest,
    testing::Values(EqualsCase{"Same", "up", "up", true},
                    EqualsCase{"Mixed", "ClOsEsT", "closest", true},
                    EqualsCase{"BothEmpty", "", "", true},
                    EqualsCase{"Prefix", "up", "upper", false},
                    EqualsCase{"OneEmpty", "", "x", false},
                    EqualsCase{"NeighbourOfZ", "[", "{", false},  // 'Z' + 1 and 'z' + 1
                    EqualsCase{"NeighbourOfA", "@", "`", false}),
    [](const testing::TestParamInfo<EqualsCase>& param) { return std::string(param.param.name); });

}  // namespace
