// Row matching: exact text, first row wins, and non-canonical from texts match no note.
#include <gtest/gtest.h>

#include "rules/RowMatcher.h"

namespace {

constexpr int32_t A = 0, B = 1, C = 2;

TEST(RowMatcherTest, FirstExactMatchWins) {
    const rules::RowMatcher matcher({u"A#", u"Bb", u"A#", u"Cx", u"a", u"C##", u"B"});
    struct Case {
        const char16_t* spelling;
        rules::SpelledPitch pitch;
        std::optional<size_t> row;
    };
    const Case cases[] = {
        {u"A#", {A, 1, 4}, 0},            // row 2 says the same, row 0 wins
        {u"Bb", {B, -1, 4}, 1},           // no enharmonic equality: A# is not Bb
        {u"C##", {C, 2, 4}, 5},           // Cx (unexpanded) equals no note's spelling
        {u"A", {A, 0, 4}, std::nullopt},  // nor does a lower-case letter
        {u"B", {B, 0, 4}, 6},
        {u"C", {C, 0, 4}, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(matcher.FirstMatch(c.spelling), c.row);
        EXPECT_EQ(matcher.FirstMatch(c.pitch), c.row);
    }
    // By text, a stored text matches itself, even when no note is ever spelled so.
    EXPECT_EQ(matcher.FirstMatch(u"Cx"), 3U);
    EXPECT_TRUE(matcher.Matches(2, u"A#"));
    EXPECT_FALSE(matcher.Matches(2, u"Bb"));
    EXPECT_FALSE(matcher.Matches(7, u"A#"));  // past the last row
}

TEST(RowMatcherTest, AnEmptyListMatchesNothing) {
    const rules::RowMatcher matcher({});
    EXPECT_FALSE(matcher.FirstMatch(rules::SpelledPitch{}));
    EXPECT_FALSE(matcher.FirstMatch(u"C"));
}

}  // namespace
