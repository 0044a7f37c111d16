// PitchDirection: which way a replaced note moves to its new octave. The numbers are the ones
// lists hold in memory (0 Up, 1 Down, 2 Closest); the settings files store other codes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rules {

enum class PitchDirection : int32_t { kUp = 0, kDown = 1, kClosest = 2 };

// ClampDirection keeps any number inside Up .. Closest: above 2 is Closest, below 0 is Up.
PitchDirection ClampDirection(int32_t code);
// DirectionName answers "Up", "Down" or "Closest".
const char* DirectionName(PitchDirection direction);
// InverseDirection swaps Up and Down; Closest stays Closest.
PitchDirection InverseDirection(PitchDirection direction);
// DirectionFromFileCode decodes the code the settings files store: 0 Down, 1 Up, anything
// else Closest (the stored codes differ from the numbers lists hold).
PitchDirection DirectionFromFileCode(int32_t code);
// FileCodeOfDirection is the code the settings files store for a direction: "1" Up, "0" Down,
// "2" Closest (and for any number that is not Up or Down).
const char* FileCodeOfDirection(PitchDirection direction);
// ParseDirectionWord reads "up", "down" or "closest" in any letter case.
std::optional<PitchDirection> ParseDirectionWord(std::string_view word);

}  // namespace rules
