// Stored numbers are read leniently: blanks, a sign, digits, then anything.
#include <gtest/gtest.h>

#include "rules/DecimalNumber.h"

namespace {

TEST(DecimalNumberTest, Table) {
    struct Case {
        std::u16string_view text;
        size_t start;
        int32_t value;
    };
    const Case cases[] = {
        {u"2", 0, 2},
        {u" \t-7x", 0, -7},
        {u"+12", 0, 12},
        {u"abc", 0, 0},
        {u"", 0, 0},
        {u"C#4", 2, 4},
        {u"C#4", 9, 0},
        {u"--1", 0, 0},
        {u"99999999999", 0, INT32_MAX},
        {u"-99999999999", 0, INT32_MIN},
        {u"\u0134", 0, 4},  // low byte '4'
        {std::u16string_view(u"1\0"
                             u"2",
                             3),
         0, 1},  // a 0 ends the text
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rules::ReadDecimal(c.text, c.start), c.value);
    }
}

}  // namespace
