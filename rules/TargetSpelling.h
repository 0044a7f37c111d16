// TargetSpelling: a row's to text placed at an octave. The target is the to text followed by
// the octave number, read back the way a note's spelling is set (the plug-in sets every note
// through Read): a letter A to G (upper case only), then "#" signs, "b" or "B" signs, or one
// "x"/"X" (two sharps), then the octave number, an optional sign and digits up to the end of
// the text, which must lie in -5 .. 15. To texts come unchecked from pitch-list files, so every
// text has an answer: a refused target leaves the note's pitch as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rules/SpelledPitch.h"

class TargetSpelling {
  public:
    TargetSpelling() = delete;

    static constexpr int32_t kLowestOctave = -5;
    static constexpr int32_t kHighestOctave = 15;

    // Text is the to text followed by the octave number in decimal ("Bb" and 4 give "Bb4").
    static std::u16string Text(std::u16string_view to, int32_t octave);
    // Read answers the pitch a target text names, or none when it is refused.
    static std::optional<SpelledPitch> Read(std::u16string_view text);
    // Land places the to text at the octave: Read (Text (to, octave)).
    static std::optional<SpelledPitch> Land(std::u16string_view to, int32_t octave);
};
