// The direction's octave step: Up and Down compare staff steps, then alteration; Closest
// compares keys and flips at six semitones.
#include <gtest/gtest.h>

#include "rules/OctaveChoice.h"

namespace {

TEST(OctaveChoiceTest, Table) {
    using enum rules::PitchDirection;
    struct Case {
        rules::PitchDirection direction;
        rules::NotePlace before;
        rules::NotePlace after;
        int32_t step;
    };
    const Case cases[] = {
        // Up: a lower staff step, or the same step with a lower alteration, goes up.
        {kUp, {0, 0, 60}, {1, 0, 62}, 0},
        {kUp, {0, 0, 60}, {-1, 0, 59}, 1},
        {kUp, {0, 1, 61}, {0, 0, 60}, 1},
        {kUp, {0, 0, 60}, {0, 0, 60}, 0},   // an equal pitch never moves
        {kUp, {0, 0, 60}, {1, -1, 61}, 0},  // C#4 to Db4: the step rises, nothing moves
        {kUp, {6, 0, 71}, {0, 0, 60}, 1},   // B to C
        // Down: the mirror image.
        {kDown, {0, 0, 60}, {1, 0, 62}, -1},
        {kDown, {0, 0, 60}, {-1, 0, 59}, 0},
        {kDown, {0, 0, 60}, {0, 1, 61}, -1},
        {kDown, {0, 1, 61}, {0, 0, 60}, 0},
        {kDown, {0, 0, 60}, {0, 0, 60}, 0},
        // Closest: by keys, whatever the steps say; exactly six semitones always flips.
        {kClosest, {0, 0, 60}, {1, 0, 62}, 0},
        {kClosest, {0, 0, 60}, {3, 1, 66}, -1},
        {kClosest, {0, 0, 66}, {0, 0, 60}, 1},
        {kClosest, {0, 0, 60}, {0, 0, 65}, 0},
        {kClosest, {0, 0, 60}, {0, 0, 55}, 0},
        {kClosest, {0, 0, 60}, {0, 0, 54}, 1},
        {kClosest, {5, 0, 0}, {-5, 0, 0}, 0},  // steps play no part
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rules::OctaveStep(c.direction, c.before, c.after), c.step)
            << rules::DirectionName(c.direction) << " " << c.before.steps << "/" << c.after.steps;
    }
}

}  // namespace
