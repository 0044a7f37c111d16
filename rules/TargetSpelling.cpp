// TargetSpelling: reading a target text as a note's spelling is set.
#include "rules/TargetSpelling.h"

#include <algorithm>
#include <climits>

namespace rules {

namespace {

// ReadOctave reads the octave number that ends a target text: nothing (octave 0), or a sign
// and decimal digits up to the end of the text. Anything else (a stray accidental, a blank, a
// second number) makes the whole text unreadable rather than octave 0: read leniently, the row
// Db>D#b would put a Db4 on D#0. A number too long for 32 bits is read as the largest one of
// its sign, which no octave range accepts.
std::optional<int32_t> ReadOctave(std::u16string_view text, size_t start) {
    size_t p = start;
    const auto at = [&](size_t i) { return i < text.size() ? text[i] : u'\0'; };
    const bool negative = at(p) == u'-';
    if (negative || at(p) == u'+') {
        ++p;
    }
    if (p == start && p >= text.size()) {
        return 0;
    }
    int64_t value = 0;
    const size_t digits = p;
    for (; p < text.size() && text[p] >= u'0' && text[p] <= u'9'; ++p) {
        value = std::min<int64_t>(value * 10 + (text[p] - u'0'), INT32_MAX);
    }
    if (p == digits || p != text.size()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace

std::u16string TargetText(std::u16string_view to, int32_t octave) {
    std::u16string text(to);
    for (const char c : std::to_string(octave)) {
        text += static_cast<char16_t>(c);
    }
    return text;
}

std::optional<SpelledPitch> ReadTarget(std::u16string_view text) {
    if (text.empty() || text[0] < u'A' || text[0] > u'G') {
        return std::nullopt;
    }
    SpelledPitch pitch;
    pitch.letter = text[0] - u'A';
    size_t p = 1;
    auto at = [&](size_t i) { return i < text.size() ? text[i] : u'\0'; };
    const char16_t second = at(1);
    if (second == u'#') {
        while (at(p) == u'#') {
            ++pitch.alteration;
            ++p;
        }
    } else if (second == u'b' || second == u'B') {
        while (at(p) == u'b' || at(p) == u'B') {
            --pitch.alteration;
            ++p;
        }
    } else if (second == u'x' || second == u'X') {
        pitch.alteration = 2;
        p = 2;
    }
    const std::optional<int32_t> octave = ReadOctave(text, p);
    if (!octave || *octave < kLowestTargetOctave || *octave > kHighestTargetOctave) {
        return std::nullopt;
    }
    pitch.octave = *octave;
    return pitch;
}

std::optional<SpelledPitch> LandTarget(std::u16string_view to, int32_t octave) {
    return ReadTarget(TargetText(to, octave));
}

}  // namespace rules
