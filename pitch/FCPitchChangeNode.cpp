// FCPitchChangeNode: construction and direction names.
#include "pitch/FCPitchChangeNode.h"

#include <algorithm>

FCPitchChangeNode::FCPitchChangeNode(const FCString* from, const FCString* to, int32_t direction)
    : direction_(std::clamp(direction, kUp, kClosest)) {
    from_.SetString(from);
    to_.SetString(to);
}

const char* FCPitchChangeNode::DirectionName(int32_t direction) {
    switch (direction) {
        case kUp:
            return "Up";
        case kDown:
            return "Down";
        default:
            return "Closest";
    }
}

int32_t FCPitchChangeNode::InverseDirection(int32_t direction) {
    switch (direction) {
        case kUp:
            return kDown;
        case kDown:
            return kUp;
        default:
            return kClosest;
    }
}
