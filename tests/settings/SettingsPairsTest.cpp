// Settings pairs without files: lenient parsing of lines, case-blind lookup and SetValue.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "framework/FCStrings.h"
#include "settings/FCSettingsPairs.h"
#include "settings/FCTextFileStream.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::string Text(FCString& s) {
    return s.GetCString();
}

Pairs Parse(const std::vector<std::string>& lines) {
    FCStrings strings;
    for (const auto& line : lines) {
        strings.AddItem(new FCString(line.c_str()));
    }
    auto parsed = FCSettingsPairs::ParseLines(&strings);
    Pairs out;
    for (int32_t i = 0; i < parsed->GetCount(); ++i) {
        out.emplace_back(Text(parsed->GetPairAt(i)->GetKey()),
                         Text(parsed->GetPairAt(i)->GetValue()));
    }
    return out;
}

struct ParseCase {
    const char* name;
    std::vector<std::string> lines;
    Pairs expected;
};

TEST(SettingsPairsTest, ParseLinesIsLenient) {
    const std::vector<ParseCase> cases = {
        {"blanks around key and value", {" Key = Some Value "}, {{"Key", "Some Value"}}},
        {"tabs and line ends", {"\tk\t=\tv\r\n"}, {{"k", "v"}}},
        {"equals first", {"=x"}, {}},
        {"no equals", {"plain text"}, {}},
        {"empty line", {""}, {}},
        {"value holds equals", {"a=b=c"}, {{"a", "b=c"}}},
        {"empty value", {"a="}, {{"a", ""}}},
        {"blank key is still a key", {" =x"}, {{"", "x"}}},
        {"repeated keys keep file order", {"K=1", "x", "k=2"}, {{"K", "1"}, {"k", "2"}}},
        {"inner blanks stay", {"a b = c  d"}, {{"a b", "c  d"}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parse(c.lines), c.expected) << c.name;
    }
}

TEST(SettingsPairsTest, ParseLinesOfNothing) {
    EXPECT_EQ(FCSettingsPairs::ParseLines(nullptr)->GetCount(), 0);
}

TEST(SettingsPairsTest, FindPairTakesTheFirstKeyIgnoringCase) {
    FCSettingsPairs pairs;
    pairs.AddItem(new FCSettingsPair("KEY", "1"));
    pairs.AddItem(new FCSettingsPair("key", "2"));
    FCSettingsPair* found = pairs.FindPair("Key");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(Text(found->GetValue()), "1");
    EXPECT_EQ(pairs.FindPair("Ke"), nullptr) << "whole keys only";
    EXPECT_EQ(pairs.FindPair("KEY1"), nullptr);
    EXPECT_EQ(pairs.FindPair(static_cast<const FCString*>(nullptr)), nullptr);
}

TEST(SettingsPairsTest, CaseBlindnessCoversOnlyAToZ) {
    FCSettingsPairs pairs;
    pairs.AddItem(new FCSettingsPair("\xC9t\xE9", "1"));  // "Été"
    EXPECT_EQ(pairs.FindPair("\xE9T\xE9"), nullptr) << "É and é are different keys";
    EXPECT_NE(pairs.FindPair("\xC9T\xE9"), nullptr);
}

// FindPair matches exactly the keys CompareNoCase finds equal, over keys made of the units
// where case folding, byte cutting and terminators could go wrong.
TEST(SettingsPairsTest, FindPairAgreesWithCompareNoCase) {
    std::u16string alphabet = u"AaZz@[`{\u00C1\u00E1\u0141\u0161\u0041";
    alphabet += u'\0';
    std::mt19937 random(6);
    auto key = [&]() {
        std::u16string units;
        const int length = std::uniform_int_distribution<int>(0, 4)(random);
        for (int i = 0; i < length; ++i) {
            units +=
                alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
        }
        FCString text;
        text.SetUTF16Units(units.data(), static_cast<uint32_t>(units.size()));
        return text;
    };
    for (int i = 0; i < 5000; ++i) {
        const FCString stored = key();
        const FCString wanted = key();
        FCSettingsPairs pairs;
        pairs.AddItem(new FCSettingsPair("", "v"));
        pairs.GetPairAt(0)->GetKey().SetString(&stored);  // untrimmed, as it is
        EXPECT_EQ(pairs.FindPair(&wanted) != nullptr, stored.CompareNoCase(&wanted) == 0) << i;
    }
}

TEST(SettingsPairsTest, SetValueKeepsPlaceAndCaseAndCopiesUntrimmed) {
    FCSettingsPairs pairs;
    pairs.AddItem(new FCSettingsPair("A", "x"));
    pairs.AddItem(new FCSettingsPair("KEY", "1"));
    FCSettingsPair* set = pairs.SetValue("key", " 7 ");
    ASSERT_EQ(pairs.GetCount(), 2);
    EXPECT_EQ(set, pairs.GetPairAt(1));
    EXPECT_EQ(Text(set->GetKey()), "KEY");
    EXPECT_EQ(Text(set->GetValue()), " 7 ");

    FCSettingsPairs other;
    other.AddItem(new FCSettingsPair("A", "x"));
    FCSettingsPair* added = other.SetValue(" key ", " 7 ");
    ASSERT_EQ(other.GetCount(), 2);
    EXPECT_EQ(added, other.GetPairAt(1));
    EXPECT_EQ(Text(added->GetKey()), "key");
    EXPECT_EQ(Text(added->GetValue()), "7");
}

TEST(SettingsPairsTest, PairsTrimAndAcceptAbsentTexts) {
    FCSettingsPair pair(static_cast<const FCString*>(nullptr), nullptr);
    EXPECT_EQ(pair.GetKey().GetLength(), 0U);
    EXPECT_EQ(pair.GetValue().GetLength(), 0U);
    const FCString key(" \t k \r\n");
    const FCString value("\n v w \t");
    FCSettingsPair trimmed(&key, &value);
    EXPECT_EQ(Text(trimmed.GetKey()), "k");
    EXPECT_EQ(Text(trimmed.GetValue()), "v w");
}

TEST(SettingsPairsTest, ClassNames) {
    const FCSettingsPairs pairs;
    const FCSettingsPair pair("a", "b");
    const FCTextFileStream stream("folder", "name.txt");
    EXPECT_STREQ(pairs.ClassName(), "FCSettingsPairs");
    EXPECT_STREQ(pair.ClassName(), "__FCBase");
    EXPECT_STREQ(stream.ClassName(), "__FCBase");
}

TEST(SettingsPairsTest, NothingLeaks) {
    const int64_t before = __FCBase::LiveObjectCount();
    {
        Parse({"a=1", "b=2", "c"});
        FCSettingsPairs pairs;
        pairs.SetValue("x", "1");
        pairs.SetValue("X", "2");
    }
    EXPECT_EQ(__FCBase::LiveObjectCount(), before);
}

}  // namespace
