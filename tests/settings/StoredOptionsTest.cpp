// Options, window geometry and the working list in the shared settings file.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "hostapi/HostVersion.h"
#include "settings/StoredOptions.h"
#include "tests/settings/SettingsTestHost.h"

namespace {

using settings_test::FolderHost;
using settings_test::kEol;

// File joins lines with this platform's written line end.
std::string File(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line + kEol;
    }
    return out;
}

void AddRow(FCPitchChangeNodes& list, const char* from, const char* to, int32_t direction,
            bool inUse) {
    const FCString f(from);
    const FCString t(to);
    auto* node = new FCPitchChangeNode(&f, &t, direction);
    node->SetInUse(inUse);
    list.AddItem(node);
}

std::string Rows(const FCPitchChangeNodes& list) {
    std::ostringstream out;
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        FCPitchChangeNode* node = list.GetNodeAt(i);
        FCString from(node->GetFromText());
        FCString to(node->GetToText());
        out << from.GetCString() << ">" << to.GetCString() << ":" << node->GetDirection()
            << (node->GetInUse() ? "+" : "-") << ";";
    }
    return out.str();
}

class StoredOptionsTest : public settings_test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        state_.SetDefaults();
    }

    // LoadFrom writes lines (LF-terminated) as the shared file and loads it.
    void LoadFrom(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const auto& line : lines) {
            bytes += line + "\n";
        }
        WriteBytes(SharedFile(), bytes);
        StoredOptions::LoadOptions(geometry_, state_);
    }

    PluginState state_;
    WindowGeometry geometry_;
};

TEST_F(StoredOptionsTest, FreshInstallationKeepsDefaultsAndWritesNineKeysThenRows) {
    StoredOptions::LoadOptions(geometry_, state_);
    EXPECT_FALSE(geometry_.hasSavedPosition);
    EXPECT_FALSE(geometry_.hasSavedSize);
    EXPECT_STREQ(state_.fromText.GetCString(), "A#");
    EXPECT_STREQ(state_.toText.GetCString(), "Bb");
    EXPECT_EQ(state_.direction, FCPitchChangeNode::kClosest);
    EXPECT_TRUE(state_.soundingPitch);
    EXPECT_TRUE(state_.respace);
    EXPECT_TRUE(Names(Folder()).empty()) << "loading creates no file";

    AddRow(state_.workingList, "F##", "G", FCPitchChangeNode::kUp, true);
    AddRow(state_.workingList, "Cb", "B", FCPitchChangeNode::kDown, false);
    ASSERT_TRUE(StoredOptions::SaveOptions(geometry_, state_));
    EXPECT_EQ(ReadBytes(SharedFile()), File({
                                           "VESKSORVEL_WINDOWX2=-1",
                                           "VESKSORVEL_WINDOWY2=-1",
                                           "VESKSORVEL_WINDOWWIDTH2=-1",
                                           "VESKSORVEL_WINDOWHEIGHT2=-1",
                                           "VESKSORVEL_FROM=A#",
                                           "VESKSORVEL_TO=Bb",
                                           "VESKSORVEL_UPDIRECTION=2",
                                           "VESKSORVEL_SOUNDINGPITCH=1",
                                           "VESKSORVEL_RESPACE=1",
                                           "VESKSORVEL_LIST_FROM_1=F##",
                                           "VESKSORVEL_LIST_TO_1=G",
                                           "VESKSORVEL_LIST_UPDIRECTION_1=1",
                                           "VESKSORVEL_LIST_INUSE_1=1",
                                           "VESKSORVEL_LIST_FROM_2=Cb",
                                           "VESKSORVEL_LIST_TO_2=B",
                                           "VESKSORVEL_LIST_UPDIRECTION_2=0",
                                           "VESKSORVEL_LIST_INUSE_2=0",
                                       }));
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"veskpluginprefs.txt"});
}

TEST_F(StoredOptionsTest, DirectionCodesOnFile) {
    struct Case {
        const char* onFile;
        int32_t direction;
    };
    for (const Case c :
         {Case{"1", FCPitchChangeNode::kUp}, Case{"0", FCPitchChangeNode::kDown},
          Case{"2", FCPitchChangeNode::kClosest}, Case{"7", FCPitchChangeNode::kClosest},
          Case{"-1", FCPitchChangeNode::kClosest}, Case{"abc", FCPitchChangeNode::kDown},
          Case{"", FCPitchChangeNode::kDown}, Case{"1x", FCPitchChangeNode::kUp}}) {
        state_.direction = 99;
        LoadFrom({std::string("VESKSORVEL_UPDIRECTION=") + c.onFile});
        EXPECT_EQ(state_.direction, c.direction) << "'" << c.onFile << "'";
    }
    struct Written {
        int32_t direction;
        const char* onFile;
    };
    for (const Written w :
         {Written{FCPitchChangeNode::kUp, "1"}, Written{FCPitchChangeNode::kDown, "0"},
          Written{FCPitchChangeNode::kClosest, "2"}}) {
        std::filesystem::remove(SharedFile());
        state_.direction = w.direction;
        state_.workingList.ClearAll();
        AddRow(state_.workingList, "C", "D", w.direction, true);
        ASSERT_TRUE(StoredOptions::SaveOptions(geometry_, state_));
        const std::string bytes = ReadBytes(SharedFile());
        EXPECT_NE(bytes.find(std::string(kEol) + "VESKSORVEL_UPDIRECTION=" + w.onFile + kEol),
                  std::string::npos)
            << w.direction;
        EXPECT_NE(bytes.find(std::string("VESKSORVEL_LIST_UPDIRECTION_1=") + w.onFile + kEol),
                  std::string::npos)
            << w.direction;
        PluginState back;
        back.SetDefaults();
        StoredOptions::LoadOptions(geometry_, back);
        EXPECT_EQ(back.direction, w.direction);
        EXPECT_EQ(back.workingList.GetNodeAt(0)->GetDirection(), w.direction);
    }
}

TEST_F(StoredOptionsTest, FlagsAreOnExactlyForOne) {
    struct Case {
        const char* value;
        bool on;
    };
    for (const Case c : {Case{"1", true}, Case{" 1 ", true}, Case{"01", false}, Case{"true", false},
                         Case{"0", false}, Case{"", false}}) {
        state_.soundingPitch = !c.on;
        state_.respace = !c.on;
        LoadFrom({std::string("VESKSORVEL_SOUNDINGPITCH=") + c.value,
                  std::string("vesksorvel_respace=") + c.value});
        EXPECT_EQ(state_.soundingPitch, c.on) << "'" << c.value << "'";
        EXPECT_EQ(state_.respace, c.on) << "'" << c.value << "'";
    }
    for (const bool initial : {true, false}) {
        state_.soundingPitch = initial;
        state_.respace = initial;
        LoadFrom({"VESKSORVEL_FROM=E"});
        EXPECT_EQ(state_.soundingPitch, initial) << "a missing key leaves the value";
        EXPECT_EQ(state_.respace, initial);
    }
}

TEST_F(StoredOptionsTest, MissingKeysLeaveValuesAndTextsMayBeEmpty) {
    LoadFrom({"VESKSORVEL_TO=", "Unrelated=1"});
    EXPECT_STREQ(state_.fromText.GetCString(), "A#");
    EXPECT_STREQ(state_.toText.GetCString(), "");
    EXPECT_EQ(state_.direction, FCPitchChangeNode::kClosest);
    LoadFrom({"vesksorvel_from = G# ", "VESKSORVEL_FROM=Ab"});
    EXPECT_STREQ(state_.fromText.GetCString(), "G#") << "the first of repeated keys counts";
}

TEST_F(StoredOptionsTest, WindowKeysCountOnlyAllFourTogether) {
    geometry_.savedX = 5;
    LoadFrom({"VESKSORVEL_WINDOWX2=10", "VESKSORVEL_WINDOWY2=20", "VESKSORVEL_WINDOWWIDTH2=30"});
    EXPECT_FALSE(geometry_.hasSavedPosition);
    EXPECT_FALSE(geometry_.hasSavedSize);
    EXPECT_EQ(geometry_.savedX, 5);

    LoadFrom({"VESKSORVEL_WINDOWX2=-1", "VESKSORVEL_WINDOWY2=-1", "VESKSORVEL_WINDOWWIDTH2=-1",
              "VESKSORVEL_WINDOWHEIGHT2=-1"});
    EXPECT_TRUE(geometry_.hasSavedPosition);
    EXPECT_TRUE(geometry_.hasSavedSize);
    EXPECT_EQ(geometry_.savedX, -1);
    EXPECT_EQ(geometry_.savedY, -1);
    EXPECT_EQ(geometry_.savedWidth, -1);
    EXPECT_EQ(geometry_.savedHeight, -1);

    LoadFrom({"VESKSORVEL_WINDOWHEIGHT2=40x", "VESKSORVEL_WINDOWWIDTH2=wide",
              "VESKSORVEL_WINDOWY2= -20", "VESKSORVEL_WINDOWX2=+10"});
    EXPECT_EQ(geometry_.savedX, 10);
    EXPECT_EQ(geometry_.savedY, -20);
    EXPECT_EQ(geometry_.savedWidth, 0) << "a number that does not parse reads as 0";
    EXPECT_EQ(geometry_.savedHeight, 40);
}

TEST_F(StoredOptionsTest, GeometryWrittenAsMinusOneWhenNotSaved) {
    geometry_.hasSavedPosition = true;
    geometry_.savedX = -300;
    geometry_.savedY = 40;
    geometry_.savedWidth = 777;
    ASSERT_TRUE(StoredOptions::SaveOptions(geometry_, state_));
    const std::string bytes = ReadBytes(SharedFile());
    EXPECT_EQ(bytes.substr(0, bytes.find("VESKSORVEL_FROM")),
              File({"VESKSORVEL_WINDOWX2=-300", "VESKSORVEL_WINDOWY2=40",
                    "VESKSORVEL_WINDOWWIDTH2=-1", "VESKSORVEL_WINDOWHEIGHT2=-1"}));
}

TEST_F(StoredOptionsTest, OtherPluginsPairsKeepOrderAndCase) {
    WriteBytes(SharedFile(), std::string("OtherPlugin_Width=3\n") + "vesksorvel_from = C \n" +
                                 "Zeta=a=b\n" + "VESKSORVEL_LIST_FROM_1=G\n" +
                                 "Vesksorvel_List_To_1=A\n" + "VESKSORVEL_LIST_UPDIRECTION_1=1\n" +
                                 "VESKSORVEL_LIST_INUSE_1=1\n" + "VESKSORVEL_LIST_FROM_9=stray\n" +
                                 "lower=case\n" + "VESKSORVEL_RESPACE=0\n" +
                                 "VESKSORVEL_LISTING=kept\n" + "not a pair\n");
    state_.fromText.SetCString("D#");
    state_.respace = true;
    AddRow(state_.workingList, "E#", "F", FCPitchChangeNode::kClosest, false);
    ASSERT_TRUE(StoredOptions::SaveOptions(geometry_, state_));
    EXPECT_EQ(ReadBytes(SharedFile()), File({
                                           "OtherPlugin_Width=3",
                                           "vesksorvel_from=D#",
                                           "Zeta=a=b",
                                           "lower=case",
                                           "VESKSORVEL_RESPACE=1",
                                           "VESKSORVEL_LISTING=kept",
                                           "VESKSORVEL_WINDOWX2=-1",
                                           "VESKSORVEL_WINDOWY2=-1",
                                           "VESKSORVEL_WINDOWWIDTH2=-1",
                                           "VESKSORVEL_WINDOWHEIGHT2=-1",
                                           "VESKSORVEL_TO=Bb",
                                           "VESKSORVEL_UPDIRECTION=2",
                                           "VESKSORVEL_SOUNDINGPITCH=1",
                                           "VESKSORVEL_LIST_FROM_1=E#",
                                           "VESKSORVEL_LIST_TO_1=F",
                                           "VESKSORVEL_LIST_UPDIRECTION_1=2",
                                           "VESKSORVEL_LIST_INUSE_1=0",
                                       }));
}

TEST_F(StoredOptionsTest, ShorterWorkingListReplacesTheLongerOne) {
    for (const char* from : {"C", "D", "E", "F", "G"}) {
        AddRow(state_.workingList, from, "A", FCPitchChangeNode::kUp, true);
    }
    ASSERT_TRUE(StoredOptions::SaveOptions(geometry_, state_));
    state_.workingList.ClearAll();
    AddRow(state_.workingList, "B", "C", FCPitchChangeNode::kDown, true);
    AddRow(state_.workingList, "Bb", "A#", FCPitchChangeNode::kUp, false);
    ASSERT_TRUE(StoredOptions::SaveOptions(geometry_, state_));

    const std::string bytes = ReadBytes(SharedFile());
    size_t rowKeys = 0;
    for (size_t at = bytes.find("VESKSORVEL_LIST_"); at != std::string::npos;
         at = bytes.find("VESKSORVEL_LIST_", at + 1)) {
        ++rowKeys;
    }
    EXPECT_EQ(rowKeys, 8U) << "two row groups of four keys";
    PluginState back;
    back.SetDefaults();
    StoredOptions::LoadOptions(geometry_, back);
    EXPECT_EQ(Rows(back.workingList), "B>C:1+;Bb>A#:0-;");
}

TEST_F(StoredOptionsTest, InUseFollowsTheStoredValueAndRowsNeedAllFourKeys) {
    LoadFrom(
        {"VESKSORVEL_LIST_FROM_1=C", "VESKSORVEL_LIST_TO_1=D", "VESKSORVEL_LIST_UPDIRECTION_1=1",
         "VESKSORVEL_LIST_INUSE_1=0", "VESKSORVEL_LIST_FROM_2=D", "VESKSORVEL_LIST_TO_2=E",
         "VESKSORVEL_LIST_UPDIRECTION_2=0", "VESKSORVEL_LIST_INUSE_2=1", "VESKSORVEL_LIST_FROM_3=E",
         "VESKSORVEL_LIST_TO_3=F", "VESKSORVEL_LIST_UPDIRECTION_3=2", "VESKSORVEL_LIST_INUSE_3=yes",
         "VESKSORVEL_LIST_FROM_4=F", "VESKSORVEL_LIST_TO_4=G", "VESKSORVEL_LIST_UPDIRECTION_4=2",
         "VESKSORVEL_LIST_FROM_5=G", "VESKSORVEL_LIST_TO_5=A", "VESKSORVEL_LIST_UPDIRECTION_5=2",
         "VESKSORVEL_LIST_INUSE_5=1"});
    EXPECT_EQ(Rows(state_.workingList), "C>D:0-;D>E:1+;E>F:2-;")
        << "row 4 lacks INUSE: the list ends before it";
}

TEST_F(StoredOptionsTest, LoadingAgainReplacesTheWorkingList) {
    LoadFrom({"VESKSORVEL_LIST_FROM_1=C", "VESKSORVEL_LIST_TO_1=D",
              "VESKSORVEL_LIST_UPDIRECTION_1=1", "VESKSORVEL_LIST_INUSE_1=1"});
    StoredOptions::LoadOptions(geometry_, state_);
    EXPECT_EQ(Rows(state_.workingList), "C>D:0+;") << "not doubled";

    std::filesystem::remove(SharedFile());
    StoredOptions::LoadOptions(geometry_, state_);
    EXPECT_EQ(Rows(state_.workingList), "C>D:0+;") << "without a file nothing changes";
}

TEST_F(StoredOptionsTest, RoundTrip) {
    std::string high;
    for (int c = 0xA0; c <= 0xFF; ++c) {
        high += static_cast<char>(c);
    }
    state_.fromText.SetCString(("F##" + high).c_str());
    state_.toText.SetCString("Gbb");
    state_.direction = FCPitchChangeNode::kDown;
    state_.soundingPitch = false;
    state_.respace = true;
    geometry_ = {true, -8, 2147483647, true, 640, -2147483647 - 1};
    AddRow(state_.workingList, "A##", "B", FCPitchChangeNode::kUp, true);
    AddRow(state_.workingList, "Cbb", "Bb", FCPitchChangeNode::kDown, false);
    AddRow(state_.workingList, "E#", ("F=" + high).c_str(), FCPitchChangeNode::kClosest, true);
    ASSERT_TRUE(StoredOptions::SaveOptions(geometry_, state_));

    PluginState back;
    back.SetDefaults();
    WindowGeometry geometry;
    StoredOptions::LoadOptions(geometry, back);
    EXPECT_TRUE(back.fromText.IsEqual(&state_.fromText));
    EXPECT_TRUE(back.toText.IsEqual(&state_.toText));
    EXPECT_EQ(back.direction, state_.direction);
    EXPECT_EQ(back.soundingPitch, state_.soundingPitch);
    EXPECT_EQ(back.respace, state_.respace);
    EXPECT_EQ(Rows(back.workingList), Rows(state_.workingList));
    EXPECT_TRUE(geometry.hasSavedPosition);
    EXPECT_TRUE(geometry.hasSavedSize);
    EXPECT_EQ(geometry.savedX, -8);
    EXPECT_EQ(geometry.savedY, 2147483647);
    EXPECT_EQ(geometry.savedWidth, 640);
    EXPECT_EQ(geometry.savedHeight, -2147483647 - 1);
}

TEST_F(StoredOptionsTest, OldHostsUseTheKindSevenFolderWithAnEightBitPath) {
    const auto seven = MakeFolder(u"kind7");
    FolderHost::SetKindFolder(7, seven);
    HostVersion::Set(0x0FFFFFFF);
    state_.fromText.SetCString("Db");
    ASSERT_TRUE(StoredOptions::SaveOptions(geometry_, state_));
    EXPECT_TRUE(std::filesystem::exists(seven / "veskpluginprefs.txt"));
    EXPECT_TRUE(Names(Folder()).empty());
    PluginState back;
    back.SetDefaults();
    StoredOptions::LoadOptions(geometry_, back);
    EXPECT_STREQ(back.fromText.GetCString(), "Db");
}

// A shared settings file that is there but cannot be read holds other plug-ins' settings
// that were never seen: it is not replaced, and saving reports that it did not save.
TEST_F(StoredOptionsTest, UnreadableSharedFileIsNeverReplaced) {
    std::filesystem::create_directory(SharedFile());
    StoredOptions::LoadOptions(geometry_, state_);
    EXPECT_STREQ(state_.fromText.GetCString(), "A#") << "the defaults stay";
    EXPECT_FALSE(StoredOptions::SaveOptions(geometry_, state_));
    EXPECT_TRUE(std::filesystem::is_directory(SharedFile()));
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"veskpluginprefs.txt"});
}

#if !defined(_WIN32)
TEST_F(StoredOptionsTest, SharedFileWithoutReadPermissionIsNeverReplaced) {
    const std::string old = "OTHERPLUGIN_KEY=1\nVESKSORVEL_FROM=C\n";
    WriteBytes(SharedFile(), old);
    settings_test::ExpectWithoutReadPermission(SharedFile(), [this] {
        StoredOptions::LoadOptions(geometry_, state_);
        state_.fromText.SetCString("E");
        return !StoredOptions::SaveOptions(geometry_, state_);
    });
    EXPECT_EQ(ReadBytes(SharedFile()), old);
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"veskpluginprefs.txt"});
}

TEST_F(StoredOptionsTest, SharedFileInALoopOfLinksIsNeverReplaced) {
    std::filesystem::create_symlink("veskpluginprefs.txt", SharedFile());
    EXPECT_FALSE(StoredOptions::SaveOptions(geometry_, state_));
    EXPECT_TRUE(std::filesystem::is_symlink(SharedFile()));
}
#endif

}  // namespace
