// Spelling check: which typed texts are spellings, what they become, and the identity rule.
#include <gtest/gtest.h>

#include <string>

#include "framework/FCString.h"
#include "pitch/PitchSpelling.h"

namespace {

std::string Text(FCString& s) {
    return s.GetCString();
}

struct Case {
    const char* typed;
    bool valid;
    const char* after;  // the text in place after the check, valid or not
};

TEST(PitchSpellingTest, CheckTable) {
    const Case cases[] = {
        // Naturals, every letter, both cases.
        {"A", true, "A"},
        {"B", true, "B"},
        {"C", true, "C"},
        {"D", true, "D"},
        {"E", true, "E"},
        {"F", true, "F"},
        {"G", true, "G"},
        {"a", true, "A"},
        {"c", true, "C"},
        {"g", true, "G"},
        // Sharps.
        {"A#", true, "A#"},
        {"c#", true, "C#"},
        {"C##", true, "C##"},
        {"C####", true, "C####"},
        {"C######", true, "C######"},  // length is the dialog's business, not the check's
        // Flats, with the upper-case B normalised.
        {"Bb", true, "Bb"},
        {"db", true, "Db"},
        {"EBB", true, "Ebb"},
        {"bB", true, "Bb"},
        {"DbBbB", true, "Dbbbb"},
        // Double sharp sign: only as the whole accidental, only lower case.
        {"Cx", true, "Cx"},
        {"cx", true, "Cx"},
        {"CX", false, "CX"},
        {"Cxx", false, "Cxx"},
        {"Cx#", false, "Cx#"},
        {"C#x", false, "C#x"},
        // Not a letter A..G first.
        {"", false, ""},
        {"H", false, "H"},
        {"h", false, "h"},
        {" C", false, " C"},
        {"4", false, "4"},
        {"#", false, "#"},
        {"b", true, "B"},
        // Mixed or foreign accidentals, octaves and blanks.
        {"C#b", false, "C#b"},
        {"Cb#", false, "Cb#"},
        {"Cn", false, "Cn"},
        {"C4", false, "C4"},
        {"C ", false, "C "},
        {"C#4", false, "C#4"},
        // Normalisation happens also when a later character fails.
        {"cB#", false, "Cb#"},
        {"eBBx", false, "Ebbx"},
        {"c4", false, "C4"},
        {"dB B", false, "Db B"},
    };
    for (const Case& c : cases) {
        FCString s(c.typed);
        EXPECT_EQ(PitchSpelling::CheckPitchSpelling(&s), c.valid) << '"' << c.typed << '"';
        EXPECT_EQ(Text(s), c.after) << '"' << c.typed << '"';
    }
}

TEST(PitchSpellingTest, NullIsNoSpelling) {
    EXPECT_FALSE(PitchSpelling::CheckPitchSpelling(nullptr));
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
        EXPECT_EQ(PitchSpelling::CheckPitchSpelling(&s), letter) << c;
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
        PitchSpelling::ExpandDoubleSharp(&s);
        EXPECT_EQ(Text(s), out) << in;
        EXPECT_EQ(s.GetLength(), std::string(out).size());
    }
    PitchSpelling::ExpandDoubleSharp(nullptr);
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
        ASSERT_TRUE(PitchSpelling::CheckPitchSpelling(&first));
        PitchSpelling::ExpandDoubleSharp(&first);
        for (const char* typed : group) {
            FCString other(typed);
            ASSERT_TRUE(PitchSpelling::CheckPitchSpelling(&other)) << typed;
            PitchSpelling::ExpandDoubleSharp(&other);
            EXPECT_TRUE(PitchSpelling::IsSameSpelling(&first, &other)) << typed;
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
        EXPECT_FALSE(PitchSpelling::IsSameSpelling(&x, &y)) << a << " " << b;
    }
    FCString x("A#");
    EXPECT_FALSE(PitchSpelling::IsSameSpelling(&x, nullptr));
    EXPECT_FALSE(PitchSpelling::IsSameSpelling(nullptr, &x));
}

}  // namespace
