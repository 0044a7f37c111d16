// TargetSpelling: reading a target text, exactly as lenient as the note's spelling setter.
#include "rules/TargetSpelling.h"

#include <algorithm>

namespace {

// LowByte is the 8-bit form of a unit, in which the octave number is read.
char LowByte(char16_t unit) {
    return static_cast<char>(unit & 0xFF);
}

// ReadInteger reads a decimal number from the 8-bit form of text, from position start: blanks
// and control characters tab .. carriage return are skipped, then an optional sign, then
// digits; it stops at the first other byte (a 0 byte ends the text) and saturates at the 32-bit
// limits. Nothing readable gives 0.
int32_t ReadInteger(std::u16string_view text, size_t start) {
    if (start > text.size()) {
        return 0;
    }
    size_t p = start;
    auto at = [&](size_t i) { return i < text.size() ? LowByte(text[i]) : '\0'; };
    while (at(p) == ' ' || (at(p) >= '\t' && at(p) <= '\r')) {
        ++p;
    }
    bool negative = false;
    if (at(p) == '+' || at(p) == '-') {
        negative = at(p) == '-';
        ++p;
    }
    int64_t value = 0;
    for (; at(p) >= '0' && at(p) <= '9'; ++p) {
        value = std::min<int64_t>(value * 10 + (at(p) - '0'), int64_t{INT32_MAX} + 1);
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

std::u16string TargetSpelling::Text(std::u16string_view to, int32_t octave) {
    std::u16string text(to);
    for (const char c : std::to_string(octave)) {
        text += static_cast<char16_t>(c);
    }
    return text;
}

std::optional<SpelledPitch> TargetSpelling::Read(std::u16string_view text) {
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
    pitch.octave = ReadInteger(text, p);
    if (pitch.octave < kLowestOctave || pitch.octave > kHighestOctave) {
        return std::nullopt;
    }
    return pitch;
}

std::optional<SpelledPitch> TargetSpelling::Land(std::u16string_view to, int32_t octave) {
    return Read(Text(to, octave));
}
