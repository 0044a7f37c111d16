// AsciiText: letter case as the settings files and the pitch names know it: A to Z and a to z
// only, whatever the locale (std::tolower follows the C locale of the process, which a host may
// have set to one that folds 8-bit letters too). Works on char and on char16_t units alike.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace rules::ascii {

// ToLower: A..Z to a..z; every other unit stays.
template <typename Unit>
constexpr Unit ToLower(Unit c) {
    return c >= Unit('A') && c <= Unit('Z') ? static_cast<Unit>(c - Unit('A') + Unit('a')) : c;
}

// ToUpper: a..z to A..Z; every other unit stays.
template <typename Unit>
constexpr Unit ToUpper(Unit c) {
    return c >= Unit('a') && c <= Unit('z') ? static_cast<Unit>(c - Unit('a') + Unit('A')) : c;
}

// Lower: a copy of text with A..Z lower-cased.
inline std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), ToLower<char>);
    return lower;
}

// EqualsIgnoreCase: the texts are equal once A..Z are lower-cased.
inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return ToLower(x) == ToLower(y); });
}

}  // namespace rules::ascii
