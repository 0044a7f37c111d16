// SpelledPitch: conversions between spelling, staff steps and keys.
#include "rules/SpelledPitch.h"

#include "rules/SpellingSyntax.h"

namespace rules {

namespace {

// Semitones of the natural letters above C: C D E F G A B.
constexpr int32_t kNaturalSemitones[7] = {0, 2, 4, 5, 7, 9, 11};

int32_t FloorDiv(int32_t x, int32_t d) {
    return x >= 0 ? x / d : -((-x + d - 1) / d);
}

int32_t Mod(int32_t x, int32_t d) {
    return ((x % d) + d) % d;
}

}  // namespace

int32_t SpelledPitch::StepsFromC() const {
    return Mod(letter + 5, 7);
}

int32_t SpelledPitch::DiatonicIndex() const {
    return octave * 7 + StepsFromC();
}

int32_t SpelledPitch::MidiKey() const {
    return NaturalMidiKey(DiatonicIndex()) + alteration;
}

std::u16string SpelledPitch::Spelling() const {
    std::u16string text(1, static_cast<char16_t>(u'A' + letter));
    if (alteration > 0) {
        text.append(static_cast<size_t>(alteration), u'#');
    } else if (alteration < 0) {
        text.append(static_cast<size_t>(-alteration), u'b');
    }
    return text;
}

std::string SpelledPitch::Text() const {
    return Narrow(Spelling()) + std::to_string(octave);
}

SpelledPitch SpelledPitch::MovedOctaves(int32_t count) const {
    SpelledPitch moved = *this;
    moved.octave += count;
    return moved;
}

SpelledPitch SpelledPitch::FromDiatonic(int32_t diatonicIndex, int32_t alteration) {
    SpelledPitch pitch;
    pitch.octave = FloorDiv(diatonicIndex, 7);
    pitch.letter = Mod(Mod(diatonicIndex, 7) + 2, 7);
    pitch.alteration = alteration;
    return pitch;
}

std::optional<SpelledPitch> SpelledPitch::FromSpelling(std::u16string_view spelling,
                                                       int32_t octave) {
    if (!IsCanonicalSpelling(spelling)) {
        return std::nullopt;
    }
    SpelledPitch pitch;
    pitch.letter = spelling[0] - u'A';
    const auto signs = static_cast<int32_t>(spelling.size() - 1);
    pitch.alteration = signs > 0 && spelling[1] == u'b' ? -signs : signs;
    pitch.octave = octave;
    return pitch;
}

int32_t SpelledPitch::NaturalMidiKey(int32_t diatonicIndex) {
    return 12 * (FloorDiv(diatonicIndex, 7) + 1) + kNaturalSemitones[Mod(diatonicIndex, 7)];
}

}  // namespace rules
