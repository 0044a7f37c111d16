// Spelling check: which typed texts are spellings, what they become, and the identity rule.
#include <gtest/gtest.h>

#include <string>

#include "../rules/SpellingCases.h"
#include "framework/FCString.h"
#include "pitch/PitchSpelling.h"

namespace {

std::string Text(FCString& s) {
    return s.GetCString();
}

// The shared table, through the plug-in's check on an FCString.
class PitchSpellingTableTest : public testing::TestWithParam<spelling_cases::Case> {};

TEST_P(PitchSpellingTableTest, CheckAndTextInPlace) {
    const spelling_cases::Case& c = GetParam();
    FCString s(c.typed);
    EXPECT_EQ(CheckPitchSpelling(&s), c.valid);
    EXPECT_EQ(Text(s), c.after);
}

INSTANTIATE_TEST_SUITE_P(Typed, PitchSpellingTableTest, testing::ValuesIn(spelling_cases::kCases),
                         [](const testing::TestParamInfo<spelling_cases::Case>& param) {
                             return spelling_cases::Name(param.param.typed);
                         });

TEST(PitchSpellingTest, NullIsNoSpelling) {
    EXPECT_FALSE(CheckPitchSpelling(nullptr));
}

TEST(PitchSpellingTest, OnlyTheSevenLowerCaseLettersAreRaised) {
    for (int c = 0; c < 256; ++c) {
        const char typed[2] = {static_cast<char>(c), 0};
        FCString s;
        s.SetCString(typed);
        if (c == 0) {
            continue;
        }
        const bool letter = (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g');
        EXPECT_EQ(CheckPitchSpelling(&s), letter) << c;
        const char16_t expected = (c >= 'a' && c <= 'g') ? static_cast<char16_t>(c - 'a' + 'A')
                                                         : static_cast<char16_t>(c);
        EXPECT_EQ(s.GetCharAt(0), expected) << c;
    }
}

TEST(PitchSpellingTest, ExpandDoubleSharp) {
    const std::pair<const char*, const char*> cases[] = {
        {"Cx", "C##"}, {"C", "C"}, {"", ""}, {"xx", "####"}, {"AxBx", "A##B##"}, {"C#", "C#"},
    };
    for (const auto& [in, out] : cases) {
        FCString s(in);
        ExpandDoubleSharp(&s);
        EXPECT_EQ(Text(s), out) << in;
        EXPECT_EQ(s.GetLength(), std::string(out).size());
    }
    ExpandDoubleSharp(nullptr);
}

// Every spelling a user can type normalises into the one form a note is read back in: the
// same text for the same letters and accidentals, whatever case or double-sharp sign was used.
TEST(PitchSpellingTest, NormalisedFormsAreIdentical) {
    const char* groups[][4] = {
        {"C##", "Cx", "cx", "c##"},
        {"Bb", "bB", "BB", "bb"},
        {"Ebb", "EBB", "ebB", "eBb"},
        {"F#", "f#", "F#", "f#"},
    };
    for (const auto& group : groups) {
        FCString first(group[0]);
        ASSERT_TRUE(CheckPitchSpelling(&first));
        ExpandDoubleSharp(&first);
        for (const char* typed : group) {
            FCString other(typed);
            ASSERT_TRUE(CheckPitchSpelling(&other)) << typed;
            ExpandDoubleSharp(&other);
            EXPECT_TRUE(IsSameSpelling(&first, &other)) << typed;
        }
    }
}

TEST(PitchSpellingTest, NoEnharmonicIdentity) {
    const std::pair<const char*, const char*> different[] = {
        {"A#", "Bb"}, {"B#", "C"}, {"C##", "D"}, {"C#", "C##"}, {"Cb", "B"},
    };
    for (const auto& [a, b] : different) {
        FCString x(a);
        FCString y(b);
        EXPECT_FALSE(IsSameSpelling(&x, &y)) << a << " " << b;
    }
    FCString x("A#");
    EXPECT_FALSE(IsSameSpelling(&x, nullptr));
    EXPECT_FALSE(IsSameSpelling(nullptr, &x));
}

}  // namespace
