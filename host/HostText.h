// HostText: the stand-in host's letter case, A to Z only and free of the locale. The host keeps
// its own copy rather than the plug-in's rules/AsciiText.h, so that nothing the host does
// shares code with what it is testing.
#pragma once

#include <string>
#include <string_view>

namespace host {

inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// AsciiLower: a copy of text with A..Z lower-cased.
inline std::string AsciiLower(std::string_view text) {
    std::string lower;
    lower.reserve(text.size());
    for (const char c : text) {
        lower += AsciiLower(c);
    }
    return lower;
}

}  // namespace host
