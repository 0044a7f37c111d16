// PitchDirectionTest: the direction codes of the settings files, whose values other
// installations have already written and must keep reading.
#include <gtest/gtest.h>

#include <string>

#include "rules/PitchDirection.h"

TEST(PitchDirectionTest, FileCodesAreTheStoredOnesAndReadBack) {
    struct Case {
        PitchDirection direction;
        const char* code;
    };
    for (const Case& c : {Case{PitchDirection::kUp, "1"}, Case{PitchDirection::kDown, "0"},
                          Case{PitchDirection::kClosest, "2"}}) {
        EXPECT_STREQ(FileCodeOfDirection(c.direction), c.code) << DirectionName(c.direction);
        EXPECT_EQ(DirectionFromFileCode(std::stoi(c.code)), c.direction) << c.code;
    }
    // A number no list should hold is stored as Closest rather than as a code another reader
    // would take for Up or Down.
    EXPECT_STREQ(FileCodeOfDirection(static_cast<PitchDirection>(7)), "2");
    EXPECT_STREQ(FileCodeOfDirection(static_cast<PitchDirection>(-1)), "2");
}
