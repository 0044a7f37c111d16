// SpelledPitch: a note as musicians name it: letter, alteration and octave number (C4 is middle
// C; the octave number changes between B and C, so Cb4 sounds like B3). Everything the rules
// compare is derived from these three numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rules {

struct SpelledPitch {
    int32_t letter = 2;      // A = 0 .. G = 6
    int32_t alteration = 0;  // sharps positive, flats negative
    int32_t octave = 4;

    // StepsFromC: C = 0 .. B = 6, the letter's place in its octave.
    [[nodiscard]] int32_t StepsFromC() const;
    // DiatonicIndex counts staff steps from C0: one octave is seven steps.
    [[nodiscard]] int32_t DiatonicIndex() const;
    // MidiKey: middle C (C4) is 60.
    [[nodiscard]] int32_t MidiKey() const;
    // Spelling is the letter and its signs ("F#", "Bbb"); Text adds the octave ("F#4").
    [[nodiscard]] std::u16string Spelling() const;
    [[nodiscard]] std::string Text() const;
    // MovedOctaves answers the same spelling count octaves higher (lower when negative).
    [[nodiscard]] SpelledPitch MovedOctaves(int32_t count) const;

    // FromDiatonic: the letter and octave at a diatonic index, with the given alteration.
    static SpelledPitch FromDiatonic(int32_t diatonicIndex, int32_t alteration);
    // FromSpelling reads a canonical spelling (letter, then only "#" or only "b") at an octave.
    static std::optional<SpelledPitch> FromSpelling(std::u16string_view spelling, int32_t octave);
    // NaturalMidiKey is the key of the letter without alteration at a diatonic index.
    static int32_t NaturalMidiKey(int32_t diatonicIndex);

    bool operator==(const SpelledPitch& other) const = default;
};

}  // namespace rules
