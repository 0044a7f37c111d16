// KeySignature: what a key signature does to a letter, written once for the plug-in's notes and
// sorvel's accidentals so that both read a key the same way.
#pragma once

#include <cstdint>

namespace rules {

// KeyAlteration: the signed number of semitones a key of fifths sharps (flats when negative)
// gives a letter (0 A .. 6 G). Sharps fall on F C G D A E B, flats on B E A D G C F; past seven
// the order starts again, so a letter may be altered twice (F in a key of eight sharps is +2).
// A letter outside 0..6 is not altered.
int32_t KeyAlteration(int32_t fifths, int32_t letter);

}  // namespace rules
