// PitchDirection: names and conversions of the three directions.
#include "rules/PitchDirection.h"

#include <cctype>
#include <string>

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
    std::string lower;
    for (const char c : word) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const PitchDirection d :
         {PitchDirection::kUp, PitchDirection::kDown, PitchDirection::kClosest}) {
        std::string name = DirectionName(d);
        name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
        if (lower == name) {
            return d;
        }
    }
    return std::nullopt;
}
