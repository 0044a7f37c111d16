// PitchDirectionTest: the direction codes of the settings files, whose values other
// installations have already written and must keep reading.
#include <gtest/gtest.h>

#include <string>

#include "rules/PitchDirection.h"

TEST(PitchDirectionTest, FileCodesAreTheStoredOnesAndReadBack) {
    struct Case {
        rules::PitchDirection direction;
        const char* code;
    };
    for (const Case& c :
         {Case{rules::PitchDirection::kUp, "1"}, Case{rules::PitchDirection::kDown, "0"},
          Case{rules::PitchDirection::kClosest, "2"}}) {
        EXPECT_STREQ(rules::FileCodeOfDirection(c.direction), c.code)
            << rules::DirectionName(c.direction);
        EXPECT_EQ(rules::DirectionFromFileCode(std::stoi(c.code)), c.direction) << c.code;
    }
    // A number no list should hold is stored as Closest rather than as a code another reader
    // would take for Up or Down.
    EXPECT_STREQ(rules::FileCodeOfDirection(static_cast<rules::PitchDirection>(7)), "2");
    EXPECT_STREQ(rules::FileCodeOfDirection(static_cast<rules::PitchDirection>(-1)), "2");
}
