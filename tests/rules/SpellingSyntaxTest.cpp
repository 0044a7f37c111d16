// Spelling check: which typed texts are spellings, what they become, which field is reported
// and with which words.
#include <gtest/gtest.h>

#include <string>

#include "SpellingCases.h"
#include "rules/SpellingSyntax.h"

namespace {

std::u16string U(const std::string& s) {
    return rules::Widen(s);
}
std::string N(const std::u16string& s) {
    return rules::Narrow(s);
}

// The shared table, through the rules' check on UTF-16 text.
class SpellingSyntaxTableTest : public testing::TestWithParam<spelling_cases::Case> {};

TEST_P(SpellingSyntaxTableTest, CheckNormalisesInPlace) {
    const spelling_cases::Case& c = GetParam();
    std::u16string text = U(c.typed);
    EXPECT_EQ(rules::CheckSpelling(text), c.valid);
    EXPECT_EQ(N(text), c.after);
}

INSTANTIATE_TEST_SUITE_P(Typed, SpellingSyntaxTableTest, testing::ValuesIn(spelling_cases::kCases),
                         [](const testing::TestParamInfo<spelling_cases::Case>& param) {
                             return spelling_cases::Name(param.param.typed);
                         });

TEST(SpellingSyntaxTest, ExpandDoubleSharpAndCanonicalForm) {
    std::u16string text = u"Cx";
    rules::ExpandDoubleSharp(text);
    EXPECT_EQ(text, u"C##");
    text = u"xAx";
    rules::ExpandDoubleSharp(text);
    EXPECT_EQ(text, u"##A##");

    struct Case {
        const char16_t* text;
        bool canonical;
    };
    const Case cases[] = {{u"C", true},   {u"C##", true}, {u"Dbbb", true}, {u"Cx", false},
                          {u"c", false},  {u"CB", false}, {u"C#b", false}, {u"", false},
                          {u"H#", false}, {u"C4", false}, {u"B", true},    {u"Bb", true}};
    for (const Case& c : cases) {
        EXPECT_EQ(rules::IsCanonicalSpelling(c.text), c.canonical) << N(c.text);
        // The stored form is the canonical one within the typed length.
        EXPECT_EQ(rules::IsStoredSpelling(c.text), c.canonical) << N(c.text);
    }
    EXPECT_TRUE(rules::IsStoredSpelling(u"Dbbbb"));
    EXPECT_FALSE(rules::IsStoredSpelling(u"Dbbbbb"));  // canonical, but never typed
}

TEST(SpellingSyntaxTest, PairReportsTheFirstFaultyField) {
    using Field = rules::SpellingField;
    struct Case {
        const char* from;
        const char* to;
        std::optional<Field> fault;
        const char* fromAfter;
        const char* toAfter;
    };
    const Case cases[] = {
        {"a#", "bB", std::nullopt, "A#", "Bb"},
        {"", "Bb", Field::kFrom, "", "Bb"},
        {"H", "H", Field::kFrom, "H", "H"},  // only the From text is reported
        {"A#", "H", Field::kTo, "A#", "H"},
        {"C####", "Dbbbb", std::nullopt, "C####", "Dbbbb"},
        {"C#####", "D", Field::kFrom, "C#####", "D"},  // the length is tested as typed
        {"cx", "dbbbbb", Field::kTo, "Cx", "dbbbbb"},  // a failed length test normalises nothing
        {"c", "e ", Field::kTo, "C", "E "},
    };
    for (const Case& c : cases) {
        std::u16string from = U(c.from);
        std::u16string to = U(c.to);
        EXPECT_EQ(rules::ValidateSpellingPair(from, to), c.fault) << c.from << " " << c.to;
        EXPECT_EQ(N(from), c.fromAfter);
        EXPECT_EQ(N(to), c.toAfter);
    }
    EXPECT_STREQ(rules::SpellingErrorMessage(Field::kFrom),
                 "The 'From' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), "
                 "Dbb, etc.");
    EXPECT_STREQ(rules::SpellingErrorMessage(Field::kTo),
                 "The 'To' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), "
                 "Dbb, etc.");
    EXPECT_STREQ(rules::kSpellingErrorTitle, "Syntax Error");
}

TEST(SpellingSyntaxTest, WidenAndNarrowKeepBytes) {
    const std::string bytes("A\xE9\x00z", 4);
    const std::u16string units = rules::Widen(bytes);
    ASSERT_EQ(units.size(), 4U);
    EXPECT_EQ(units[1], u'\u00E9');
    EXPECT_EQ(rules::Narrow(units), bytes);
    EXPECT_EQ(rules::Narrow(u"\u0141"), "\x41");  // the low byte only
}

}  // namespace
