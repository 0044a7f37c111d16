// Texts in the settings files: no text of the plug-in can split, cut or add a line, characters
// beyond 8 bits and control characters are stored as "?" and come back as stored, and other
// plug-ins' pairs are written back byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/SettingsFiles.h"
#include "settings/StoredOptions.h"
#include "settings/StoredPitchSets.h"
#include "settings/StoredText.h"
#include "tests/settings/SettingsTestHost.h"

namespace {

using settings_test::kEol;

FCString Text(const std::u16string& units) {
    FCString text;
    text.SetUTF16Units(units.data(), static_cast<uint32_t>(units.size()));
    return text;
}

std::u16string Units(const FCString& s) {
    return {s.GetUTF16(), s.GetLength()};
}

// Lines splits a file at its line ends; a file ends with one.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : bytes) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    EXPECT_TRUE(line.empty()) << "the file ends with a line end";
    return lines;
}

// Characters that today's 8-bit files cut to a line end or a 0 (č 0x10D, 上 0x4E0A, 一 0x4E00,
// Њ 0x40A, U+200D), other characters beyond 8 bits, and the control characters.
struct Case {
    const char* what;
    std::u16string typed;
    std::u16string stored;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"plain 8-bit text", u"Caf\u00E9 #1", u"Caf\u00E9 #1"},
        {"c with caron", u"Ha\u010Dek", u"Ha?ek"},
        {"CJK whose low byte is a line feed", u"x\u4E0Ay", u"x?y"},
        {"CJK whose low byte is 0", u"x\u4E00y", u"x?y"},
        {"Cyrillic whose low byte is a line feed", u"\u040Ax", u"?x"},
        {"zero-width joiner", u"a\u200Db", u"a?b"},
        {"both names of the issue", u"Ha\u010Dek\u4E00z", u"Ha?ek?z"},
        {"a character of two units", u"a\U0001D11Eb", u"a?b"},
        {"a lone surrogate", std::u16string(u"a") + char16_t(0xD834) + u"b", u"a?b"},
        {"line feed", u"a\nb", u"a?b"},
        {"carriage return", u"a\rb", u"a?b"},
        {"0 unit", std::u16string(u"a") + char16_t(0) + u"b", u"a?b"},
        {"tab inside", u"a\tb", u"a?b"},
        {"other controls", u"\x01\x1B\x1F", u"???"},
        {"delete and C1 characters fit", u"\x7F\x80\x9F", u"\x7F\x80\x9F"},
    };
    return cases;
}

TEST(StoredText, StorableFormOfEachCase) {
    for (const Case& c : Cases()) {
        EXPECT_EQ(Units(StorableCopy(Text(c.typed))), c.stored) << c.what;
        FCString inPlace = Text(c.typed);
        MakeStorable(inPlace);
        EXPECT_EQ(Units(inPlace), c.stored) << c.what;
    }
}

class StoredTextFileTest : public settings_test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        state_.SetDefaults();
    }

    void AddRow(FCPitchChangeNodes& list, const std::u16string& from, const std::u16string& to) {
        const FCString f = Text(from);
        const FCString t = Text(to);
        auto* node = new FCPitchChangeNode(&f, &t, FCPitchChangeNode::kUp);
        node->SetInUse(true);
        list.AddItem(node);
    }

    PluginState state_;
    WindowGeometry geometry_;
};

TEST_F(StoredTextFileTest, AFromTextCannotWriteAnotherKey) {
    WriteBytes(SharedFile(), std::string("OTHERPLUGIN_KEY=theirs") + kEol);
    state_.fromText = Text(u"A#\nOTHERPLUGIN_KEY=hijacked");
    state_.toText = Text(u"Bb\r\nOTHERPLUGIN_NEW=1");
    AddRow(state_.workingList, u"C\nOTHERPLUGIN_ROW=1", u"D");
    ASSERT_TRUE(StoredOptions::SaveOptions(geometry_, state_));

    for (const std::string& line : Lines(ReadBytes(SharedFile()))) {
        EXPECT_TRUE(line.starts_with("VESKSORVEL_") || line == "OTHERPLUGIN_KEY=theirs")
            << "a line no key of this plug-in starts: " << line;
    }
    auto pairs = SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream);
    ASSERT_NE(pairs, nullptr);
    EXPECT_EQ(Units(pairs->FindPair("OTHERPLUGIN_KEY")->GetValue()), u"theirs");
    EXPECT_EQ(pairs->FindPair("OTHERPLUGIN_NEW"), nullptr);
    EXPECT_EQ(pairs->FindPair("OTHERPLUGIN_ROW"), nullptr);

    PluginState back;
    back.SetDefaults();
    StoredOptions::LoadOptions(geometry_, back);
    EXPECT_EQ(Units(back.fromText), u"A#?OTHERPLUGIN_KEY=hijacked");
    EXPECT_EQ(Units(back.toText), u"Bb??OTHERPLUGIN_NEW=1");
    ASSERT_EQ(back.workingList.GetCount(), 1);
    EXPECT_EQ(Units(back.workingList.GetNodeAt(0)->GetFromText()), u"C?OTHERPLUGIN_ROW=1");
}

// Each case as a set name, as a row's texts and as the From text: the file keeps exactly its
// lines, and every text comes back in its stored form.
TEST_F(StoredTextFileTest, EveryTextKeepsItsOneLine) {
    for (const Case& c : Cases()) {
        state_.SetDefaults();
        auto* set = new FCPitchChangeList;
        const FCString name = Text(u"N" + c.typed);
        set->SetName(&name);
        AddRow(*set, u"F" + c.typed, u"T" + c.typed);
        state_.pitchSets.AddItem(set);
        state_.fromText = Text(u"F" + c.typed);
        AddRow(state_.workingList, u"W" + c.typed, u"V" + c.typed);
        ASSERT_TRUE(StoredPitchSets::SavePitchSets(state_)) << c.what;
        std::filesystem::remove(SharedFile());
        ASSERT_TRUE(StoredOptions::SaveOptions(geometry_, state_)) << c.what;
        EXPECT_EQ(Lines(ReadBytes(PitchListFile())).size(), 5U) << c.what;
        EXPECT_EQ(Lines(ReadBytes(SharedFile())).size(), 13U) << c.what;

        PluginState back;
        back.SetDefaults();
        StoredPitchSets::LoadPitchSets(back);
        StoredOptions::LoadOptions(geometry_, back);
        ASSERT_EQ(back.pitchSets.GetCount(), 1) << c.what;
        const FCPitchChangeList* list = back.pitchSets.GetListAt(0);
        EXPECT_EQ(Units(list->GetName()), u"N" + c.stored) << c.what;
        ASSERT_EQ(list->GetCount(), 1) << c.what;
        EXPECT_EQ(Units(list->GetNodeAt(0)->GetFromText()), u"F" + c.stored) << c.what;
        EXPECT_EQ(Units(list->GetNodeAt(0)->GetToText()), u"T" + c.stored) << c.what;
        EXPECT_EQ(Units(back.fromText), u"F" + c.stored) << c.what;
        ASSERT_EQ(back.workingList.GetCount(), 1) << c.what;
        EXPECT_EQ(Units(back.workingList.GetNodeAt(0)->GetFromText()), u"W" + c.stored) << c.what;
        EXPECT_EQ(Units(back.workingList.GetNodeAt(0)->GetToText()), u"V" + c.stored) << c.what;
    }
}

// Control characters a damaged file holds in this plug-in's values are read as "?", so that
// what is shown is what the next save writes; another plug-in's pairs go back byte for byte,
// a 0 byte and a tab inside them included.
TEST_F(StoredTextFileTest, DamagedValuesReadAsStoredAndOtherPairsKeepTheirBytes) {
    const std::string other = std::string("OTHER=a\tb") + '\0' + "c\x01" + "d\xE9";
    WriteBytes(SharedFile(), other + "\n" + "VESKSORVEL_FROM=A" + '\0' + "B\x02\n" +
                                 "VESKSORVEL_LIST_FROM_1=C\x1F\nVESKSORVEL_LIST_TO_1=D\n" +
                                 "VESKSORVEL_LIST_UPDIRECTION_1=1\nVESKSORVEL_LIST_INUSE_1=1\n");
    StoredOptions::LoadOptions(geometry_, state_);
    EXPECT_EQ(Units(state_.fromText), u"A?B?");
    ASSERT_EQ(state_.workingList.GetCount(), 1);
    EXPECT_EQ(Units(state_.workingList.GetNodeAt(0)->GetFromText()), u"C?");
    ASSERT_TRUE(StoredOptions::SaveOptions(geometry_, state_));
    const std::string bytes = ReadBytes(SharedFile());
    EXPECT_EQ(bytes.substr(0, other.size() + std::string(kEol).size()), other + kEol);
    EXPECT_NE(bytes.find("VESKSORVEL_FROM=A?B?"), std::string::npos);
    EXPECT_NE(bytes.find("VESKSORVEL_LIST_FROM_1=C?"), std::string::npos);
}

}  // namespace
