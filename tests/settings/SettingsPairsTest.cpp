// Settings pairs without files: lenient parsing of lines, case-blind lookup and SetValue.
#include <gtest/gtest.h>

#include <memory>
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
        const FCString value("v");
        pairs.AddItem(new FCSettingsPair(&stored, &value));
        ASSERT_TRUE(pairs.GetPairAt(0)->GetKey().IsEqual(&stored)) << "nothing here is trimmed";
        EXPECT_EQ(pairs.FindPair(&wanted) != nullptr, stored.CompareNoCase(&wanted) == 0) << i;
    }
}

// FirstMatch is what FindPair must answer: the first pair, in collection order, whose key
// CompareNoCase finds equal; found by looking at every pair.
const FCSettingsPair* FirstMatch(const FCSettingsPairs& pairs, const FCString& key) {
    for (int32_t i = 0; i < pairs.GetCount(); ++i) {
        if (pairs.GetPairAt(i)->GetKey().CompareNoCase(&key) == 0) {
            return pairs.GetPairAt(i);
        }
    }
    return nullptr;
}

// Keys that collide often: a few letters in both cases, and units that fold onto them ("\u0161"
// cuts to "a", "\u0141" to "A", which is not "a") or end the comparison (low byte 0).
FCString RandomKey(std::mt19937& random) {
    static const char16_t kUnits[] = {u'k', u'K', u'a', u'A', u'_', u'1', 0x0161, 0x0141, 0x0100};
    std::u16string units(1 + random() % 3, u'k');
    for (char16_t& unit : units) {
        unit = kUnits[random() % std::size(kUnits)];
    }
    FCString key;
    key.SetUTF16Units(units.data(), static_cast<uint32_t>(units.size()));
    return key;
}

// The index answers the first match after every kind of change: pairs loaded from lines, added,
// set, removed one by one or many at once, and the collection emptied; each lookup is checked
// against a look at every pair.
TEST(SettingsPairsTest, IndexAnswersTheFirstMatchThroughEveryChange) {
    std::mt19937 random(1208);
    FCStrings lines;
    for (int i = 0; i < 40; ++i) {
        FCString line = RandomKey(random);
        line.AppendCString("=");
        line.AppendInteger(i);
        lines.AddItem(new FCString(line));
    }
    std::unique_ptr<FCSettingsPairs> pairs = FCSettingsPairs::ParseLines(&lines);
    int serial = 1000;
    for (int step = 0; step < 3000; ++step) {
        const FCString key = RandomKey(random);
        FCString value;
        value.SetInteger(serial++);
        switch (random() % 8) {
            case 0:
            case 1:
                pairs->AddItem(new FCSettingsPair(&key, &value));
                break;
            case 2:
                pairs->SetValue(&key, &value);
                break;
            case 3:
            case 4:
                pairs->RemoveItemAt(static_cast<int32_t>(random() % (pairs->GetCount() + 1)));
                break;
            case 5:
                delete pairs->DetachItemAt(
                    static_cast<int32_t>(random() % (pairs->GetCount() + 1)));
                break;
            case 6:
                pairs->RemoveItemsWhere([&key](const __FCBase* item) {
                    return static_cast<const FCSettingsPair*>(item)->GetKey().StartsWithNoCase(
                        &key);
                });
                break;
            default:
                if (random() % 20 == 0) {
                    pairs->ClearAll();
                }
                break;
        }
        for (int probe = 0; probe < 4; ++probe) {
            const FCString wanted = RandomKey(random);
            ASSERT_EQ(pairs->FindPair(&wanted), FirstMatch(*pairs, wanted)) << "step " << step;
        }
    }
}

TEST(SettingsPairsTest, RemovingTheFirstOfEqualKeysFindsTheNextOne) {
    FCStrings lines;
    for (const char* line : {"KEY=1", "other=x", "key=2", "Key=3"}) {
        lines.AddItem(new FCString(line));
    }
    std::unique_ptr<FCSettingsPairs> pairs = FCSettingsPairs::ParseLines(&lines);
    auto found = [&pairs] {
        FCSettingsPair* pair = pairs->FindPair("kEy");
        return pair == nullptr ? std::string("none") : Text(pair->GetValue());
    };
    EXPECT_EQ(found(), "1");
    pairs->AddItem(new FCSettingsPair("kEY", "4"));
    EXPECT_EQ(found(), "1") << "a later pair never hides an earlier one";
    ASSERT_TRUE(pairs->RemoveItemAt(0));
    EXPECT_EQ(found(), "2");
    ASSERT_TRUE(pairs->RemoveItemAt(1));
    EXPECT_EQ(found(), "3");
    const FCString three("3");
    EXPECT_EQ(pairs->RemoveItemsWhere([&three](const __FCBase* item) {
        return static_cast<const FCSettingsPair*>(item)->GetValue().IsEqual(&three);
    }),
              1);
    EXPECT_EQ(found(), "4");
    pairs->SetValue("KEY", "5");
    EXPECT_EQ(found(), "5");
    EXPECT_EQ(pairs->GetCount(), 2) << "SetValue changed the pair it found";
    pairs->ClearAll();
    EXPECT_EQ(found(), "none");
    pairs->SetValue("key", "6");
    EXPECT_EQ(found(), "6");
}

// Keys are the same when CompareNoCase says so: only A to Z are lower-cased, every unit counts by
// its low byte, and a low byte of 0 ends the key.
TEST(SettingsPairsTest, CaseFoldingIsCompareNoCase) {
    auto units = [](const std::u16string& text) {
        FCString key;
        key.SetUTF16Units(text.data(), static_cast<uint32_t>(text.size()));
        return key;
    };
    FCSettingsPairs pairs;
    const FCString value("v");
    for (const char16_t* key : {u"\u0161x", u"\u0141y", u"Kk"}) {
        const FCString text = units(key);
        pairs.AddItem(new FCSettingsPair(&text, &value));
    }
    struct Case {
        std::u16string key;
        int found;  // index of the pair, or -1
    };
    const Case cases[] = {
        {u"AX", 0},            // U+0161 cuts to "a", as "A" lowers to it
        {u"ax", 0},            //
        {u"Ay", -1},           // U+0141 cuts to "A", which is not lowered: it is no "a"
        {u"\u0141Y", 1},       //
        {u"\u0441Y", 1},       // any unit with the low byte of "A"
        {u"kK", 2},            //
        {u"KK\u0100rest", 2},  // a unit with a low byte of 0 ends the key
        {u"KK\u0100", 2},      //
        {u"K", -1},            // whole keys only
    };
    for (const Case& c : cases) {
        const FCString key = units(c.key);
        const FCSettingsPair* expected = c.found < 0 ? nullptr : pairs.GetPairAt(c.found);
        EXPECT_EQ(pairs.FindPair(&key), expected) << "case " << (&c - cases);
        EXPECT_EQ(FirstMatch(pairs, key), expected) << "case " << (&c - cases);
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
