// KeySignature: the alteration a key gives a letter, counted without a loop so that a key of any
// size (the host hands over whatever its records hold) costs the same.
#include "rules/KeySignature.h"

namespace rules {

namespace {

// The place (0 first) of a letter in the order of sharps F C G D A E B, indexed A .. G.
constexpr int64_t kSharpPlace[7] = {4, 6, 1, 3, 5, 0, 2};

// Hits: how many of the first count places of a seven-place cycle fall on place.
int64_t Hits(int64_t count, int64_t place) {
    return count > place ? (count - place - 1) / 7 + 1 : 0;
}

}  // namespace

int32_t KeyAlteration(int32_t fifths, int32_t letter) {
    if (letter < 0 || letter > 6 || fifths == 0) {
        return 0;
    }
    const int64_t count = fifths;  // wide, so that the flats of INT32_MIN can be counted
    const int64_t sharpPlace = kSharpPlace[letter];
    if (count > 0) {
        return static_cast<int32_t>(Hits(count, sharpPlace));
    }
    // The flats run the sharps' order backwards.
    return static_cast<int32_t>(-Hits(-count, 6 - sharpPlace));
}

}  // namespace rules
