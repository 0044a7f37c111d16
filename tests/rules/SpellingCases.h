// SpellingCases: the one table of typed texts, whether each is a spelling, and the text left
// in place after the check (normalised where it was normalised, valid or not). The rules' check
// (tests/rules/SpellingSyntaxTest.cpp) and the plug-in's on an FCString
// (tests/pitch/PitchSpellingTest.cpp) both run it, so that the two can never be held to
// different tables.
#pragma once

#include <string>
#include <string_view>

namespace spelling_cases {

struct Case {
    const char* typed;
    bool valid;
    const char* after;  // the text in place after the check, valid or not
};

inline constexpr Case kCases[] = {
    // Naturals, every letter, both cases.
    {"A", true, "A"},
    {"B", true, "B"},
    {"C", true, "C"},
    {"D", true, "D"},
    {"E", true, "E"},
    {"F", true, "F"},
    {"G", true, "G"},
    {"a", true, "A"},
    {"b", true, "B"},
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
    {"\xC3\x89", false, "\xC3\x89"},  // 8-bit bytes are no letters
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

// Name: a test name made of the typed text: letters and digits as they are, any other byte as
// _XX (its hexadecimal value), and Empty for the empty text.
inline std::string Name(const char* typed) {
    std::string name;
    for (const char* p = typed; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= 'a' && byte <= 'z')) {
            name += static_cast<char>(byte);
        } else {
            constexpr std::string_view kHex = "0123456789ABCDEF";
            name += '_';
            name += kHex[byte >> 4];
            name += kHex[byte & 0xF];
        }
    }
    return name.empty() ? "Empty" : name;
}

}  // namespace spelling_cases
