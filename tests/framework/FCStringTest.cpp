// FCString: capacities, conversions, trimming, numbers and comparisons.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "framework/FCString.h"

namespace {

std::string Text(FCString& s) {
    return s.GetCString();
}

TEST(FCStringTest, NewStringIsEmptyWithTenUnits) {
    FCString s;
    EXPECT_EQ(s.GetLength(), 0U);
    EXPECT_EQ(s.GetCapacity(), 10U);
    EXPECT_EQ(s.GetUTF16()[0], 0);
    s.SetCString(nullptr);
    EXPECT_EQ(s.GetCapacity(), 0U);
    EXPECT_EQ(s.GetLength(), 0U);
    EXPECT_EQ(Text(s), "");
    s.AppendCString("ab");  // a released buffer grows again on demand
    EXPECT_EQ(Text(s), "ab");
}

TEST(FCStringTest, GrowsInStepsOfTen) {
    struct Case {
        const char* text;
        uint32_t capacity;
    } cases[] = {{"123456789", 10},
                 {"1234567890", 20},
                 {"1234567890123456789", 20},
                 {"12345678901234567890", 30}};
    for (const auto& c : cases) {
        FCString s;
        s.SetCString(c.text);
        EXPECT_EQ(s.GetCapacity(), c.capacity) << c.text;
    }
    FCString s;
    for (int i = 0; i < 95; ++i) {
        s.AppendCharacter(u'x');
        EXPECT_EQ(s.GetCapacity() % 10, 0U);
        EXPECT_GT(s.GetCapacity(), s.GetLength());
        EXPECT_EQ(s.GetUTF16()[s.GetLength()], 0);
    }
    s.SetCString("a");
    EXPECT_EQ(s.GetCapacity(), 100U) << "a string never shrinks its buffer";
}

TEST(FCStringTest, SetStringCopiesAndGrowsForTheTerminator) {
    FCString a("123456789");
    FCString b;
    b.SetString(&a);
    EXPECT_TRUE(b.IsEqual(&a));
    EXPECT_EQ(b.GetCapacity(), 20U);  // source length + 1 = 10 needs the next step
    b.SetString(nullptr);
    EXPECT_EQ(b.GetLength(), 0U);
    a.SetString(&a);
    EXPECT_EQ(Text(a), "123456789");
}

TEST(FCStringTest, EightBitConversionIsByteForByte) {
    FCString s;
    s.SetCString("caf\xE9");
    EXPECT_EQ(s.GetCharAt(3), 0x00E9);
    s.AppendCString("\xFF");
    EXPECT_EQ(s.GetCharAt(4), 0x00FF);
    EXPECT_EQ(Text(s), "caf\xE9\xFF");
    s.SetUTF16(u"\u0416x");  // a unit above 0xFF keeps only its low byte
    EXPECT_EQ(Text(s), "\x16x");
}

TEST(FCStringTest, TrimsWhitespaceOrLineEnds) {
    FCString s("  a b \r\n");
    s.TrimWhitespace();
    EXPECT_EQ(Text(s), "a b");
    FCString t("  a b \r\n");
    t.TrimEOL();
    EXPECT_EQ(Text(t), "  a b ");
    FCString u("\t\r\n ");
    u.TrimWhitespace();
    EXPECT_EQ(u.GetLength(), 0U);
}

TEST(FCStringTest, GetIntegerReadsFromIndex) {
    FCString s("x=-17z");
    EXPECT_EQ(s.GetInteger(2), -17);
    EXPECT_EQ(s.GetInteger(7), 0);
    EXPECT_EQ(s.GetInteger(6), 0);
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {{"  42", 42},
                 {"+8", 8},
                 {"abc", 0},
                 {"12abc", 12},
                 {"-", 0},
                 {"99999999999", INT32_MAX},
                 {"-99999999999", INT32_MIN},
                 {"\t-3", -3},
                 {"", 0}};
    for (const auto& c : cases) {
        FCString n(c.text);
        EXPECT_EQ(n.GetInteger(0), c.value) << c.text;
    }
}

TEST(FCStringTest, IntegersRenderAsDecimal) {
    FCString s("C");
    s.AppendInteger(-1);
    EXPECT_EQ(Text(s), "C-1");
    s.SetInteger(INT32_MIN);
    EXPECT_EQ(Text(s), "-2147483648");
}

TEST(FCStringTest, EditsInPlace) {
    FCString s("abcdef");
    s.TruncateAt(10);
    EXPECT_EQ(Text(s), "abcdef");
    s.TruncateAt(4);
    EXPECT_EQ(Text(s), "abcd");
    s.DeleteLeft(5);
    EXPECT_EQ(Text(s), "abcd");
    s.DeleteLeft(1);
    EXPECT_EQ(Text(s), "bcd");
    s.AppendString(&s);
    EXPECT_EQ(Text(s), "bcdbcd");
}

TEST(FCStringTest, ComparesExactlyOrIgnoringCase) {
    FCString ab("ab"), abc("abc"), Abc("Abc"), aBC("aBC"), abd("abd");
    EXPECT_FALSE(ab.IsEqual(&abc));
    EXPECT_FALSE(ab.IsEqual(nullptr));
    EXPECT_FALSE(Abc.IsEqual(&aBC));
    EXPECT_EQ(Abc.CompareNoCase(&aBC), 0);
    EXPECT_EQ(abc.CompareNoCase(&abd), -1);
    EXPECT_EQ(abd.CompareNoCase(&abc), 1);
    EXPECT_EQ(ab.CompareNoCase(&abc), -1);
    EXPECT_EQ(abc.CompareNoCase(nullptr), 1);
    FCString e1, e2;
    EXPECT_TRUE(e1.IsEqual(&e2));
    FCString high("\xC9"), low("\xE9");  // only A-Z are lower-cased
    EXPECT_NE(high.CompareNoCase(&low), 0);
}

// The units the random texts below are made of: letters of both cases, digits, signs, blanks,
// and units whose low byte is one of those ("\u0161" cuts to "a", "\u0131" to "1") or 0.
const char16_t kTrickyUnits[] = {u'a',   u'A',   u'z',   u'Z',   u'[',   u'`',   u'1',   u'7',
                                 u'-',   u'+',   u' ',   u'\t',  u'\n',  0x00C9, 0x00E9, 0x0161,
                                 0x0141, 0x0131, 0x012D, 0x0100, 0x0000, 0x4100};

std::u16string RandomUnits(std::mt19937& random) {
    std::u16string units(random() % 6, u' ');
    for (char16_t& unit : units) {
        unit = kTrickyUnits[random() % std::size(kTrickyUnits)];
    }
    return units;
}

FCString Make(const std::u16string& units) {
    FCString s;
    s.SetUTF16Units(units.data(), static_cast<uint32_t>(units.size()));
    return s;
}

// CompareNoCase and GetInteger read a text as its lower-cased (or plain) 8-bit copy would read,
// without making that copy: over random texts they answer what the copies answer.
TEST(FCStringTest, ComparisonAndNumbersReadTheEightBitCopy) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 20000; ++round) {
        const std::u16string a = RandomUnits(random);
        const std::u16string b = RandomUnits(random);
        FCString lowerA = Make(a);
        FCString lowerB = Make(b);
        lowerA.ToLowerCase();
        lowerB.ToLowerCase();
        const int bytes = std::clamp(std::strcmp(lowerA.GetCString(), lowerB.GetCString()), -1, 1);
        const FCString textA = Make(a);
        const FCString textB = Make(b);
        ASSERT_EQ(textA.CompareNoCase(&textB), bytes) << "round " << round;
        if (bytes == 0) {
            ASSERT_EQ(textA.HashNoCase(), textB.HashNoCase()) << "round " << round;
        }
        FCString head = Make(a);
        head.TruncateAt(textB.GetLength());
        ASSERT_EQ(textA.StartsWithNoCase(&textB), head.CompareNoCase(&textB) == 0)
            << "round " << round;

        FCString number = Make(a);
        const long long read = std::strtoll(Make(a).GetCString(), nullptr, 10);
        ASSERT_EQ(number.GetInteger(0), std::clamp<long long>(read, INT32_MIN, INT32_MAX))
            << "round " << round;
    }
}

TEST(FCStringTest, ShortTextsAreCopiesOfTheirOwn) {
    FCString a("short");
    FCString b(a);
    b.AppendCString("er");
    EXPECT_EQ(Text(a), "short");
    EXPECT_EQ(Text(b), "shorter");
    FCString c;
    c = b;
    c.AppendCString(" than a long one");  // grows past the ten units kept inside
    EXPECT_EQ(Text(b), "shorter");
    EXPECT_EQ(Text(c), "shorter than a long one");
    EXPECT_EQ(c.GetCapacity(), 30U);
    b = c;
    EXPECT_EQ(Text(b), "shorter than a long one");
    c.SetCString(nullptr);
    c.AppendInteger(-2147483647 - 1);
    EXPECT_EQ(Text(c), "-2147483648");
    EXPECT_EQ(c.GetCapacity(), 20U);
    FCString d;
    d.SetInteger(2147483647);
    EXPECT_EQ(Text(d), "2147483647");
    EXPECT_EQ(d.GetCapacity(), 20U) << "ten digits need the next step, as any ten units do";
}

TEST(FCStringTest, OutOfRangeCharactersAreZero) {
    FCString s("ab");
    EXPECT_EQ(s.GetCharAt(-1), 0);
    EXPECT_EQ(s.GetCharAt(2), 0);
    EXPECT_EQ(s.GetCharAt(1), u'b');
}

}  // namespace

// Short texts live inside the string object and long ones on the heap: a swap must leave each
// string reading the other's text whichever kind either held, and both must stay usable.
TEST(FCStringTest, SwapExchangesTextsOfEveryKind) {
    const std::string longText(40, 'L');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"A#", "Bb"}, {"A#", longText}, {longText, "Bb"}, {longText, longText + "x"},
        {"", "C"},    {"", longText},   {"", ""},
    };
    for (const auto& [first, second] : cases) {
        FCString a(first.c_str());
        FCString b(second.c_str());
        a.Swap(b);
        EXPECT_STREQ(a.GetCString(), second.c_str()) << first << " / " << second;
        EXPECT_STREQ(b.GetCString(), first.c_str()) << first << " / " << second;
        a.AppendCString("!");
        b.AppendCString("?");
        EXPECT_EQ(std::string(a.GetCString()), second + "!");
        EXPECT_EQ(std::string(b.GetCString()), first + "?");
    }
}
