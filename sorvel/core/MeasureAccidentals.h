// MeasureAccidentals: which notes of one staff in one measure need an accidental shown, by the
// usual rule: a note shows one when its alteration differs from what the key signature and the
// earlier notes of the measure on the same staff, letter and octave imply. A note tied over
// the barline from the previous measure shows none and implies nothing for later notes (they
// are judged by the key and the notes sounded in this measure); a tie inside the measure needs
// nothing special, since its first note already implies the alteration. A key change in the
// measure starts afresh from the new key.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

class MeasureAccidentals {
  public:
    MeasureAccidentals() = delete;

    // One note, in the order the notes sound (equal times in the file's order).
    struct Note {
        int32_t letter = 0;  // A = 0 .. G = 6
        int32_t octave = 4;
        int32_t alteration = 0;
        bool microtone = false;  // an alteration that is not a whole number of semitones
        bool tieStart = false;
        bool tieStop = false;
        int32_t keyAlteration = 0;  // what the key in force gives the note's letter
        int32_t keyEpoch = 0;       // changes where a key signature starts afresh
    };

    // Needed answers, for each note, whether it needs its accidental shown.
    static std::vector<bool> Needed(const std::vector<Note>& notes);
    // KeyAlteration: what a key of fifths sharps (flats when negative) gives a letter; past
    // seven the order starts again, so a letter may be altered twice.
    static int32_t KeyAlteration(int32_t fifths, int32_t letter);
    // ValueFor is the MusicXML accidental for a whole-tone alteration from -3 to 3, or null.
    static const char* ValueFor(int32_t alteration);
    // AlterationOf reads a MusicXML accidental value; none for values that show no plain
    // alteration (quarter tones, slashes, arrows, other).
    static std::optional<int32_t> AlterationOf(std::string_view value);
};
