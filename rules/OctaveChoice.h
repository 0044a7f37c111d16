// OctaveChoice: after a note's new spelling has been placed at the octave number the note had,
// the row's direction may move it one octave. Up and Down compare staff steps, then
// alteration; Closest compares keys and flips a result six or more semitones away, so an
// exact tritone always goes to the other side. An equal pitch never moves.
#pragma once

#include <cstdint>

#include "rules/PitchDirection.h"

namespace rules {

// NotePlace: where a note lies, in any measure in which staff steps and, at equal steps,
// alterations order the pitches: the plug-in passes a note's displacement and raise/lower in
// its key, the files pass steps from C0 and the alteration. The key is read only by Closest.
struct NotePlace {
    int32_t steps = 0;
    int32_t alteration = 0;
    int32_t midiKey = 0;
};

// Closest moves the result an octave when it lies this many semitones away or more.
inline constexpr int32_t kOctaveFlipSemitones = 6;

// OctaveStep answers +1 (one octave up), -1 (one octave down) or 0, for a note that was at
// before and was placed at after.
int32_t OctaveStep(PitchDirection direction, const NotePlace& before, const NotePlace& after);

}  // namespace rules
