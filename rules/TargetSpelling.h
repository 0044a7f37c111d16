// TargetSpelling: a row's to text placed at an octave. The target is the to text followed by
// the octave number, read back the way a note's spelling is set (the plug-in sets every note
// through ReadTarget): a letter A to G (upper case only), then "#" signs, "b" or "B" signs, or one
// "x"/"X" (two sharps), then the octave number, an optional sign and digits up to the end of
// the text, which must lie in -5 .. 15. To texts come unchecked from pitch-list files, so every
// text has an answer: a refused target leaves the note's pitch as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rules/SpelledPitch.h"

namespace rules {

inline constexpr int32_t kLowestTargetOctave = -5;
inline constexpr int32_t kHighestTargetOctave = 15;

// TargetText is the to text followed by the octave number in decimal ("Bb" and 4 give "Bb4").
std::u16string TargetText(std::u16string_view to, int32_t octave);
// ReadTarget answers the pitch a target text names, or none when it is refused.
std::optional<SpelledPitch> ReadTarget(std::u16string_view text);
// LandTarget places the to text at the octave: ReadTarget (TargetText (to, octave)).
std::optional<SpelledPitch> LandTarget(std::u16string_view to, int32_t octave);

}  // namespace rules
