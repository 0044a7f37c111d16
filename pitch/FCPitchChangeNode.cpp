// FCPitchChangeNode: construction, and the rules' direction names on the codes lists hold.
#include "pitch/FCPitchChangeNode.h"

FCPitchChangeNode::FCPitchChangeNode(const FCString* from, const FCString* to, int32_t direction)
    : direction_(static_cast<int32_t>(rules::ClampDirection(direction))) {
    from_.SetString(from);
    to_.SetString(to);
}

// A code outside Up .. Closest reaches the rules as it is: they name and invert it as Closest.
const char* FCPitchChangeNode::DirectionName(int32_t direction) {
    return rules::DirectionName(static_cast<rules::PitchDirection>(direction));
}

int32_t FCPitchChangeNode::InverseDirection(int32_t direction) {
    return static_cast<int32_t>(
        rules::InverseDirection(static_cast<rules::PitchDirection>(direction)));
}
