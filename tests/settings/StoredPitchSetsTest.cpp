// Pitch sets in the pitch-list file: the documented layout, the sets read, renumbering, round
// trips over generated sets, and folders named outside the 8-bit range.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "hostapi/HostVersion.h"
#include "settings/StoredOptions.h"
#include "settings/StoredPitchSets.h"
#include "tests/settings/SettingsTestHost.h"

namespace {

using settings_test::FolderHost;
using settings_test::kEol;

std::string File(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line + kEol;
    }
    return out;
}

FCPitchChangeList* AddSet(PluginState& state, const std::u16string& name) {
    auto* list = new FCPitchChangeList;
    FCString text;
    text.SetUTF16(name.c_str());
    list->SetName(&text);
    state.pitchSets.AddItem(list);
    return list;
}

void AddRow(FCPitchChangeNodes& list, const std::u16string& from, const std::u16string& to,
            int32_t direction, bool inUse) {
    FCString f;
    FCString t;
    f.SetUTF16(from.c_str());
    t.SetUTF16(to.c_str());
    auto* node = new FCPitchChangeNode(&f, &t, direction);
    node->SetInUse(inUse);
    list.AddItem(node);
}

// Describe renders the sets so that two collections compare as texts.
std::u16string Describe(const FCPitchChangeLists& sets) {
    std::u16string out;
    for (int32_t s = 0; s < sets.GetCount(); ++s) {
        const FCPitchChangeList* list = sets.GetListAt(s);
        out += u"[" + std::u16string(list->GetName().GetUTF16()) + u"]";
        for (int32_t n = 0; n < list->GetCount(); ++n) {
            const FCPitchChangeNode* node = list->GetNodeAt(n);
            out += std::u16string(node->GetFromText().GetUTF16()) + u">" +
                   node->GetToText().GetUTF16() + u":" +
                   static_cast<char16_t>(u'0' + node->GetDirection()) +
                   (node->GetInUse() ? u"+" : u"-") + u";";
        }
    }
    return out;
}

std::vector<std::string> SetLines(int set, const std::string& name, int rows) {
    std::vector<std::string> lines{"VESKSORVEL_LIST_NAME_" + std::to_string(set) + "=" + name};
    for (int n = 1; n <= rows; ++n) {
        const std::string suffix = std::to_string(set) + "_" + std::to_string(n);
        lines.push_back("VESKSORVEL_LIST_FROM_" + suffix + "=C");
        lines.push_back("VESKSORVEL_LIST_TO_" + suffix + "=D");
        lines.push_back("VESKSORVEL_LIST_UPDIRECTION_" + suffix + "=1");
        lines.push_back("VESKSORVEL_LIST_INUSE_" + suffix + "=1");
    }
    return lines;
}

class StoredPitchSetsTest : public settings_test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        state_.SetDefaults();
    }

    void WriteSets(const std::vector<std::vector<std::string>>& sets) {
        std::string bytes;
        for (const auto& set : sets) {
            for (const auto& line : set) {
                bytes += line + "\n";
            }
        }
        WriteBytes(PitchListFile(), bytes);
    }

    PluginState state_;
};

TEST_F(StoredPitchSetsTest, WritesTheDocumentedLayout) {
    FCPitchChangeList* tuba = AddSet(state_, u"Tuba");
    AddRow(*tuba, u"A#", u"Bb", FCPitchChangeNode::kClosest, true);
    AddRow(*tuba, u"F#", u"Gb", FCPitchChangeNode::kUp, false);
    ASSERT_TRUE(StoredPitchSets::SavePitchSets(state_));
    EXPECT_EQ(ReadBytes(PitchListFile()), File({
                                              "VESKSORVEL_LIST_NAME_1=Tuba",
                                              "VESKSORVEL_LIST_FROM_1_1=A#",
                                              "VESKSORVEL_LIST_TO_1_1=Bb",
                                              "VESKSORVEL_LIST_UPDIRECTION_1_1=2",
                                              "VESKSORVEL_LIST_INUSE_1_1=1",
                                              "VESKSORVEL_LIST_FROM_1_2=F#",
                                              "VESKSORVEL_LIST_TO_1_2=Gb",
                                              "VESKSORVEL_LIST_UPDIRECTION_1_2=1",
                                              "VESKSORVEL_LIST_INUSE_1_2=0",
                                          }));
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"vesksorvel.txt"});

    PluginState back;
    StoredPitchSets::LoadPitchSets(back);
    EXPECT_EQ(Describe(back.pitchSets), u"[Tuba]A#>Bb:2+;F#>Gb:0-;");
}

TEST_F(StoredPitchSetsTest, ReadsUpToTheFirstMissingSetNumber) {
    WriteSets({SetLines(1, "One", 1), SetLines(2, "Two", 2), SetLines(4, "Four", 1)});
    StoredPitchSets::LoadPitchSets(state_);
    EXPECT_EQ(Describe(state_.pitchSets), u"[One]C>D:0+;[Two]C>D:0+;C>D:0+;");
}

TEST_F(StoredPitchSetsTest, SetWithoutACompleteFirstRowEndsTheReading) {
    auto broken = SetLines(2, "Two", 1);
    broken.pop_back();  // no INUSE for row 1
    WriteSets({SetLines(1, "One", 1), broken, SetLines(3, "Three", 1)});
    StoredPitchSets::LoadPitchSets(state_);
    EXPECT_EQ(Describe(state_.pitchSets), u"[One]C>D:0+;");
}

TEST_F(StoredPitchSetsTest, KeysAreFoundIgnoringCaseAndOrder) {
    WriteSets({{"vesksorvel_list_inuse_1_1=0", "  Vesksorvel_List_Name_1 =  Horn in F ",
                "VESKSORVEL_LIST_UPDIRECTION_1_1=abc", "VESKSORVEL_LIST_TO_1_1=E",
                "VESKSORVEL_LIST_FROM_1_1=Fb"}});
    StoredPitchSets::LoadPitchSets(state_);
    EXPECT_EQ(Describe(state_.pitchSets), u"[Horn in F]Fb>E:1-;");
}

TEST_F(StoredPitchSetsTest, LoadingReplacesTheSetsInMemory) {
    AddRow(*AddSet(state_, u"Old"), u"C", u"D", 0, true);
    StoredPitchSets::LoadPitchSets(state_);
    EXPECT_EQ(state_.pitchSets.GetCount(), 0) << "no file: no sets";
    WriteSets({SetLines(1, "New", 1)});
    AddRow(*AddSet(state_, u"Old"), u"C", u"D", 0, true);
    StoredPitchSets::LoadPitchSets(state_);
    EXPECT_EQ(Describe(state_.pitchSets), u"[New]C>D:0+;");
}

TEST_F(StoredPitchSetsTest, DeletingASetRenumbersTheOthers) {
    for (const char16_t* name : {u"First", u"Second", u"Third"}) {
        AddRow(*AddSet(state_, name), u"G", u"A", FCPitchChangeNode::kDown, true);
    }
    ASSERT_TRUE(StoredPitchSets::SavePitchSets(state_));
    state_.pitchSets.RemoveList(state_.pitchSets.GetListAt(0));
    ASSERT_TRUE(StoredPitchSets::SavePitchSets(state_));
    const std::string bytes = ReadBytes(PitchListFile());
    EXPECT_NE(bytes.find("VESKSORVEL_LIST_NAME_1=Second"), std::string::npos);
    EXPECT_NE(bytes.find("VESKSORVEL_LIST_NAME_2=Third"), std::string::npos);
    EXPECT_EQ(bytes.find("_3"), std::string::npos);
    EXPECT_EQ(bytes.find("First"), std::string::npos);
    PluginState back;
    StoredPitchSets::LoadPitchSets(back);
    EXPECT_EQ(Describe(back.pitchSets), u"[Second]G>A:1+;[Third]G>A:1+;");
}

TEST_F(StoredPitchSetsTest, NoSetsEmptiesTheFile) {
    WriteSets({SetLines(1, "One", 3)});
    ASSERT_TRUE(StoredPitchSets::SavePitchSets(state_));
    EXPECT_TRUE(std::filesystem::exists(PitchListFile()));
    EXPECT_EQ(ReadBytes(PitchListFile()), "");
}

TEST_F(StoredPitchSetsTest, FailedWriteKeepsTheOldFile) {
    WriteSets({SetLines(1, "One", 3)});
    const std::string old = ReadBytes(PitchListFile());
    std::filesystem::create_directory(Folder() / "vesksorvel.txt.tmp");
    AddRow(*AddSet(state_, u"New"), u"C", u"D", 0, true);
    EXPECT_FALSE(StoredPitchSets::SavePitchSets(state_));
    EXPECT_EQ(ReadBytes(PitchListFile()), old);
    std::filesystem::remove(Folder() / "vesksorvel.txt.tmp");
    FolderHost::SetFolder(Folder() / "gone");
    EXPECT_FALSE(StoredPitchSets::SavePitchSets(state_));
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"vesksorvel.txt"});
}

// Generated sets: names of characters up to 0xFF, spellings with up to two sharps or flats.
TEST_F(StoredPitchSetsTest, GeneratedSetsRoundTrip) {
    std::mt19937 random(20261208);
    auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    auto spelling = [&]() {
        std::u16string s(1, static_cast<char16_t>(u'A' + pick(0, 6)));
        const int accidentals = pick(-2, 2);
        s += std::u16string(static_cast<size_t>(accidentals < 0 ? -accidentals : accidentals),
                            accidentals < 0 ? u'b' : u'#');
        return s;
    };
    for (int round = 0; round < 40; ++round) {
        state_.pitchSets.ClearAll();
        const int sets = pick(0, 12);
        for (int s = 0; s < sets; ++s) {
            std::u16string name;
            const int length = pick(1, 20);
            for (int i = 0; i < length; ++i) {
                // Printable 8-bit characters; a blank only inside, since pairs are trimmed.
                char16_t c = static_cast<char16_t>(pick(0x21, 0xFF));
                if (i > 0 && i + 1 < length && pick(0, 5) == 0) {
                    c = u' ';
                }
                name += c;
            }
            FCPitchChangeList* list = AddSet(state_, name);
            const int rows = pick(1, 15);
            for (int n = 0; n < rows; ++n) {
                AddRow(*list, spelling(), spelling(), pick(0, 2), pick(0, 1) == 1);
            }
        }
        ASSERT_TRUE(StoredPitchSets::SavePitchSets(state_));
        PluginState back;
        StoredPitchSets::LoadPitchSets(back);
        ASSERT_EQ(Describe(back.pitchSets), Describe(state_.pitchSets)) << "round " << round;
    }
}

// Folders named in Cyrillic and Japanese: on Windows the files are reached through the UTF-16
// path.
TEST_F(StoredPitchSetsTest, FolderOutsideTheEightBitRange) {
    const auto folder = MakeFolder(
        u"\u041D\u0430\u0441\u0442\u0440\u043E\u0439\u043A\u0438-"
        u"\u8A2D\u5B9A\u305C");
    FolderHost::SetFolder(folder);
    AddRow(*AddSet(state_, u"Cl\u00E9"), u"B#", u"C", FCPitchChangeNode::kUp, true);
    ASSERT_TRUE(StoredPitchSets::SavePitchSets(state_));
    state_.fromText.SetCString("Ebb");
    WindowGeometry geometry{true, 1, 2, true, 3, 4};
    ASSERT_TRUE(StoredOptions::SaveOptions(geometry, state_));
    EXPECT_TRUE(std::filesystem::exists(folder / "vesksorvel.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder / "veskpluginprefs.txt"));
    EXPECT_TRUE(Names(Folder()).empty());

    PluginState back;
    back.SetDefaults();
    WindowGeometry geometryBack;
    StoredPitchSets::LoadPitchSets(back);
    StoredOptions::LoadOptions(geometryBack, back);
    EXPECT_EQ(Describe(back.pitchSets), u"[Cl\u00E9]B#>C:0+;");
    EXPECT_STREQ(back.fromText.GetCString(), "Ebb");
    EXPECT_EQ(geometryBack.savedHeight, 4);
}

// A pitch-list file that is there but cannot be read: its sets were never loaded, so saving
// would lose them. Nothing is written until a load succeeds again.
TEST_F(StoredPitchSetsTest, UnreadableFileIsNeverReplaced) {
    std::filesystem::create_directory(PitchListFile());
    EXPECT_FALSE(StoredPitchSets::LoadPitchSets(state_));
    EXPECT_TRUE(state_.pitchSetsUnreadable);
    AddRow(*AddSet(state_, u"New"), u"C", u"D", 0, true);
    EXPECT_FALSE(StoredPitchSets::SavePitchSets(state_));
    EXPECT_TRUE(std::filesystem::is_directory(PitchListFile()));

    std::filesystem::remove(PitchListFile());
    WriteSets({SetLines(1, "One", 1)});
    EXPECT_TRUE(StoredPitchSets::LoadPitchSets(state_));
    EXPECT_FALSE(state_.pitchSetsUnreadable);
    EXPECT_EQ(Describe(state_.pitchSets), u"[One]C>D:0+;");
    AddRow(*AddSet(state_, u"New"), u"C", u"D", 0, true);
    EXPECT_TRUE(StoredPitchSets::SavePitchSets(state_));
    EXPECT_EQ(ReadBytes(PitchListFile()),
              File({"VESKSORVEL_LIST_NAME_1=One", "VESKSORVEL_LIST_FROM_1_1=C",
                    "VESKSORVEL_LIST_TO_1_1=D", "VESKSORVEL_LIST_UPDIRECTION_1_1=1",
                    "VESKSORVEL_LIST_INUSE_1_1=1", "VESKSORVEL_LIST_NAME_2=New",
                    "VESKSORVEL_LIST_FROM_2_1=C", "VESKSORVEL_LIST_TO_2_1=D",
                    "VESKSORVEL_LIST_UPDIRECTION_2_1=1", "VESKSORVEL_LIST_INUSE_2_1=1"}));
}

#if !defined(_WIN32)
TEST_F(StoredPitchSetsTest, FileWithoutReadPermissionIsNeverReplaced) {
    WriteSets({SetLines(1, "One", 2), SetLines(2, "Two", 1)});
    const std::string old = ReadBytes(PitchListFile());
    settings_test::ExpectWithoutReadPermission(PitchListFile(), [this] {
        const bool loaded = StoredPitchSets::LoadPitchSets(state_);
        AddRow(*AddSet(state_, u"New"), u"C", u"D", 0, true);
        return !loaded && state_.pitchSets.GetCount() == 1 &&
               !StoredPitchSets::SavePitchSets(state_);
    });
    EXPECT_EQ(ReadBytes(PitchListFile()), old);
}
#endif

TEST_F(StoredPitchSetsTest, ReadOnlyFileIsNotReplaced) {
    WriteSets({SetLines(1, "One", 1)});
    const std::string old = ReadBytes(PitchListFile());
    namespace fs = std::filesystem;
    fs::permissions(PitchListFile(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_TRUE(StoredPitchSets::LoadPitchSets(state_)) << "a read-only file reads";
    AddRow(*AddSet(state_, u"New"), u"C", u"D", 0, true);
    EXPECT_FALSE(StoredPitchSets::SavePitchSets(state_));
    EXPECT_EQ(ReadBytes(PitchListFile()), old);
    EXPECT_EQ(fs::status(PitchListFile()).permissions() & fs::perms::owner_write, fs::perms::none);
    fs::permissions(PitchListFile(), fs::perms::owner_write, fs::perm_options::add);
}

}  // namespace
