// PitchDirection: names and conversions of the three directions.
#include "rules/PitchDirection.h"

#include <string>

#include "rules/AsciiText.h"

namespace rules {

PitchDirection ClampDirection(int32_t code) {
    if (code <= 0) {
        return PitchDirection::kUp;
    }
    return code == 1 ? PitchDirection::kDown : PitchDirection::kClosest;
}

const char* DirectionName(PitchDirection direction) {
    switch (direction) {
        case PitchDirection::kUp:
            return "Up";
        case PitchDirection::kDown:
            return "Down";
        default:
            return "Closest";
    }
}

PitchDirection InverseDirection(PitchDirection direction) {
    switch (direction) {
        case PitchDirection::kUp:
            return PitchDirection::kDown;
        case PitchDirection::kDown:
            return PitchDirection::kUp;
        default:
            return PitchDirection::kClosest;
    }
}

PitchDirection DirectionFromFileCode(int32_t code) {
    switch (code) {
        case 0:
            return PitchDirection::kDown;
        case 1:
            return PitchDirection::kUp;
        default:
            return PitchDirection::kClosest;
    }
}

const char* FileCodeOfDirection(PitchDirection direction) {
    switch (direction) {
        case PitchDirection::kUp:
            return "1";
        case PitchDirection::kDown:
            return "0";
        default:
            return "2";
    }
}

std::optional<PitchDirection> ParseDirectionWord(std::string_view word) {
    for (const PitchDirection d :
         {PitchDirection::kUp, PitchDirection::kDown, PitchDirection::kClosest}) {
        if (ascii::EqualsIgnoreCase(word, DirectionName(d))) {
            return d;
        }
    }
    return std::nullopt;
}

}  // namespace rules
