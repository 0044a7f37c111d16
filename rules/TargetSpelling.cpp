// TargetSpelling: reading a target text, exactly as lenient as the note's spelling setter.
#include "rules/TargetSpelling.h"

#include "rules/DecimalNumber.h"

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
    pitch.octave = DecimalNumber::Read(text, p);
    if (pitch.octave < kLowestOctave || pitch.octave > kHighestOctave) {
        return std::nullopt;
    }
    return pitch;
}

std::optional<SpelledPitch> TargetSpelling::Land(std::u16string_view to, int32_t octave) {
    return Read(Text(to, octave));
}
