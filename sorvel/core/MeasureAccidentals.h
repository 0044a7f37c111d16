// MeasureAccidentals: which notes of one staff in one measure need an accidental shown, by the
// usual rule: a note shows one when its alteration differs from what the key signature and the
// earlier notes of the measure on the same staff, letter and octave imply. A note that
// continues a tie (from over the barline or from inside the measure) shows none and implies
// nothing for later notes, as engravers have it: after a tie over the barline the next fresh
// note of that pitch is signed again, and inside the measure the tie's first note already
// implies the alteration. A key change in the measure starts afresh from the new key.
#pragma once

#include <cstdint>
#include <vector>

namespace sorvel {

// AccidentalNote: one note, in the order the notes sound (equal times in the file's order).
struct AccidentalNote {
    int32_t letter = 0;  // A = 0 .. G = 6
    int32_t octave = 4;
    int32_t alteration = 0;
    bool microtone = false;  // an alteration that is not a whole number of semitones
    bool tieStart = false;
    bool tieStop = false;
    int32_t keyAlteration = 0;  // what the key in force gives the note's letter
    int32_t keyEpoch = 0;       // changes where a key signature starts afresh
};

// AccidentalsNeeded answers, for each note, whether it needs its accidental shown.
std::vector<bool> AccidentalsNeeded(const std::vector<AccidentalNote>& notes);
// AccidentalValue is the MusicXML accidental for a whole-tone alteration from -3 to 3, or null.
const char* AccidentalValue(int32_t alteration);

}  // namespace sorvel
