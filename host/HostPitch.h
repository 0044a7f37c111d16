// HostPitch: the host's own reading of pitches, from the musical definitions. A key word
// names a tonic (low byte: signed count of sharps or flats, high byte: 0 major, 1 minor; bit 14
// or 15: not a linear key); a stored note is a displacement (diatonic steps from the tonic in
// octave 4, octaves numbered from C with C4 = middle C = MIDI 60) and a raise/lower (semitones
// added to what the key signature gives the letter). A spelled pitch is letter, accidentals
// and octave ("C#4", "Bbb3", "B-1").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/HostSession.h"

namespace host {

class HostPitch {
  public:
    // A pitch as written: letter index (A = 0 ... G = 6), alteration in semitones (sharps
    // positive), octave number (changing at C).
    struct Spelled {
        int letter = 0;
        int alteration = 0;
        int octave = 4;
        bool operator==(const Spelled&) const = default;
    };

    static bool IsLinear(uint16_t keyWord);
    static bool IsMinor(uint16_t keyWord);
    // Signed number of sharps (positive) or flats (negative) of a linear key.
    static int Accidentals(uint16_t keyWord);
    // The tonic's letter index, or -1 for a key that is not linear.
    static int TonicLetter(uint16_t keyWord);
    // Semitones the key signature adds to a letter (a letter can be altered twice when the
    // signature holds more than seven accidentals); 0 for a key that is not linear.
    static int SignatureAlteration(uint16_t keyWord, int letter);

    // "C#4" and the like; nullopt when the text is not a pitch.
    static std::optional<Spelled> Parse(std::string_view text);
    static std::string Format(const Spelled& pitch);

    // Spelling to stored numbers in a key; nullopt when the key is not linear or the numbers
    // do not fit 16 bits.
    static std::optional<HostSession::NoteNumbers> ToNumbers(const Spelled& pitch,
                                                             uint16_t keyWord);
    // Stored numbers to spelling; nullopt when the key is not linear.
    static std::optional<Spelled> FromNumbers(HostSession::NoteNumbers numbers, uint16_t keyWord);

    // MIDI key number (C4 = 60).
    static int Midi(const Spelled& pitch);
    static std::optional<int> Midi(HostSession::NoteNumbers numbers, uint16_t keyWord);
};

}  // namespace host
