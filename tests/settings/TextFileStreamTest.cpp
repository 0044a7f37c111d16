// The text file streams on real files: paths built from the host's folder, lines read back,
// bytes written, the folder kinds, and writes that fail without harming the old file.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "hostapi/HostVersion.h"
#include "settings/FCSettingsPairs.h"
#include "settings/FCTextFileStream.h"
#include "settings/SettingsFiles.h"
#include "settings/StoredOptions.h"
#include "settings/StoredPitchSets.h"
#include "tests/settings/SettingsTestHost.h"

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

namespace {

using settings_test::FolderHost;
using settings_test::kEol;

std::u16string Units(const FCString& s) {
    return {s.GetUTF16(), s.GetLength()};
}

std::vector<std::string> LinesOf(FCStrings& lines) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < lines.GetCount(); ++i) {
        out.emplace_back(lines.GetStringAt(i)->GetCString());
    }
    return out;
}

class TextFileStreamTest : public settings_test::TempFolderTest {};

TEST_F(TextFileStreamTest, ReadLinesEndsLinesAtLineFeedsAndCarriageReturns) {
    WriteBytes(SharedFile(), "a=1\nb=2\rc\n\n=d\rlast");
    auto stream = SettingsFiles::NewSharedSettingsStream();
    ASSERT_TRUE(stream->OpenRead());
    auto lines = stream->ReadLines();
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(LinesOf(*lines), (std::vector<std::string>{"a=1", "b=2", "c", "", "=d", "last"}));
    EXPECT_EQ(stream->ReadLine(), nullptr) << "at the end of the file";
    stream->Close();
    EXPECT_EQ(stream->ReadLine(), nullptr) << "no open file";
    EXPECT_EQ(stream->ReadLines(), nullptr);
}

// ReadLines reads a whole file at once and splits it itself; over random files of line ends,
// NUL, Ctrl-Z and high bytes it answers exactly the lines ReadLine answers one by one.
TEST_F(TextFileStreamTest, ReadLinesAnswersWhatReadLineAnswers) {
    std::mt19937 random(77);
    const char kBytes[] = {'a', '=', ' ', '\r', '\n', '\0', '\x1A', '\xE9', '\xFF'};
    for (int round = 0; round < 120; ++round) {
        std::string bytes(random() % (round < 100 ? 12 : 70000), 'x');
        for (char& byte : bytes) {
            byte = kBytes[random() % std::size(kBytes)];
        }
        WriteBytes(SharedFile(), bytes);
        auto whole = SettingsFiles::NewSharedSettingsStream();
        auto oneByOne = SettingsFiles::NewSharedSettingsStream();
        ASSERT_TRUE(whole->OpenRead());
        ASSERT_TRUE(oneByOne->OpenRead());
        auto lines = whole->ReadLines();
        ASSERT_NE(lines, nullptr);
        int32_t count = 0;
        while (auto line = oneByOne->ReadLine()) {
            line->TrimEOL();
            ASSERT_LT(count, lines->GetCount()) << "round " << round;
            ASSERT_EQ(Units(*lines->GetStringAt(count)), Units(*line)) << "round " << round;
            ++count;
        }
        EXPECT_EQ(lines->GetCount(), count) << "round " << round;
    }
}

TEST_F(TextFileStreamTest, CarriageReturnLineFeedFilesReadAsTheirPairs) {
    WriteBytes(SharedFile(), "a=1\r\n\r\nb = 2 \r\n");
    auto pairs = SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream);
    ASSERT_NE(pairs, nullptr);
    ASSERT_EQ(pairs->GetCount(), 2);
    EXPECT_STREQ(pairs->GetPairAt(1)->GetKey().GetCString(), "b");
    EXPECT_STREQ(pairs->GetPairAt(1)->GetValue().GetCString(), "2");
}

TEST_F(TextFileStreamTest, ControlZDoesNotEndTheFile) {
    // A stray 0x1A byte (the old end-of-file mark) must not hide the pairs after it: the next
    // save would otherwise drop other plug-ins' settings.
    WriteBytes(SharedFile(), std::string("a=x\x1Ay\r\nb=2\r\n"));
    auto pairs = SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream);
    ASSERT_NE(pairs, nullptr);
    ASSERT_EQ(pairs->GetCount(), 2);
    EXPECT_STREQ(pairs->GetPairAt(0)->GetValue().GetCString(), "x\x1Ay");
    EXPECT_STREQ(pairs->GetPairAt(1)->GetKey().GetCString(), "b");
}

TEST_F(TextFileStreamTest, EmptyFileGivesNoPairsAndMissingFileGivesNone) {
    EXPECT_EQ(SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream), nullptr);
    WriteBytes(SharedFile(), "");
    auto pairs = SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream);
    ASSERT_NE(pairs, nullptr);
    EXPECT_EQ(pairs->GetCount(), 0);
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"veskpluginprefs.txt"})
        << "reading creates nothing";
}

TEST_F(TextFileStreamTest, WritesBytesAndReadsThemBackAsUnits) {
    FCSettingsPairs pairs;
    pairs.SetValue("Accent", "caf\xE9");
    FCString smiley;
    smiley.SetUTF16(u"x\u263Ay");  // U+263A has no byte of its own (its low byte is ":")
    const FCString key("Wide");
    pairs.SetValue(&key, &smiley);
    ASSERT_TRUE(pairs.WriteSharedFile());
    EXPECT_EQ(ReadBytes(SharedFile()), std::string("Accent=caf\xE9") + kEol + "Wide=x?y" + kEol);
    auto back = SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetCount(), 2);
    EXPECT_EQ(Units(back->GetPairAt(0)->GetValue()), u"caf\u00E9");
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"veskpluginprefs.txt"})
        << "no temporary file is left";
}

TEST_F(TextFileStreamTest, APairWithABlankKeySurvivesASave) {
    WriteBytes(SharedFile(), " \t=x\nA=1\n");
    auto pairs = SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream);
    ASSERT_NE(pairs, nullptr);
    ASSERT_EQ(pairs->GetCount(), 2);
    ASSERT_TRUE(pairs->WriteSharedFile());
    auto back = SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetCount(), 2) << ReadBytes(SharedFile());
    EXPECT_STREQ(back->GetPairAt(0)->GetKey().GetCString(), "");
    EXPECT_STREQ(back->GetPairAt(0)->GetValue().GetCString(), "x");
}

TEST_F(TextFileStreamTest, WritePairsNeedsAnOpenFile) {
    FCSettingsPairs pairs;
    pairs.SetValue("a", "b");
    auto stream = SettingsFiles::NewPitchListStream();
    EXPECT_FALSE(stream->WritePairs(&pairs));
    ASSERT_TRUE(stream->OpenWrite());
    EXPECT_FALSE(stream->OpenWrite()) << "a stream is opened once";
    EXPECT_TRUE(stream->WritePairs(&pairs));
    EXPECT_FALSE(std::filesystem::exists(PitchListFile())) << "nothing replaced before Close";
    EXPECT_TRUE(stream->Close());
    EXPECT_EQ(ReadBytes(PitchListFile()), std::string("a=b") + kEol);
}

TEST_F(TextFileStreamTest, FolderTextGetsOneBackslash) {
    EXPECT_EQ(Units(FCTextFileStream("C:\\Prefs\\", "f.txt").GetFullPath()), u"C:\\Prefs\\f.txt");
    EXPECT_EQ(Units(FCTextFileStream("C:\\Prefs", "f.txt").GetFullPath()), u"C:\\Prefs\\f.txt");
    FCString japanese;
    japanese.SetUTF16(u"C:\\\u8A2D\u5B9A\u305C");  // ends in a unit whose low byte is "\"
    EXPECT_EQ(Units(FCTextFileStream(japanese, true, "f.txt").GetFullPath()),
              u"C:\\\u8A2D\u5B9A\u305C\\f.txt");
}

TEST_F(TextFileStreamTest, FolderBufferIsReadAsTheHostVersionSays) {
    FolderHost::SetRawUnits(u"C:\\Dat\u00E9n");
    EXPECT_EQ(Units(SettingsFiles::NewSharedSettingsStream()->GetFullPath()),
              u"C:\\Dat\u00E9n\\veskpluginprefs.txt");
    HostVersion::Set(0x10FFFFFF);
    auto old = SettingsFiles::NewSharedSettingsStream();
    EXPECT_EQ(Units(old->GetFullPath()), u"C:\\Dat\u00E9n\\veskpluginprefs.txt");
    EXPECT_FALSE(old->IsPathUTF16());
    HostVersion::Set(0x11000000);
    EXPECT_TRUE(old->IsPathUTF16()) << "the buffer is read by the version at the time";
}

TEST_F(TextFileStreamTest, UnterminatedFolderIsReadOnlyUpToTheBufferEnd) {
    const std::u16string full(260, u'd');
    FolderHost::SetRawUnits(full);
    EXPECT_EQ(Units(SettingsFiles::NewSharedSettingsStream()->GetFullPath()),
              full + u"\\veskpluginprefs.txt");
    FCString folder;
    folder.SetToHostPath();
    EXPECT_EQ(Units(folder), full);
    EXPECT_EQ(Units(SettingsFiles::NewPitchListStream()->GetFullPath()),
              full + u"\\vesksorvel.txt");

    HostVersion::Set(0x10000000);
    const std::u16string bytes(520, u'e');
    FolderHost::SetRawUnits(bytes);
    EXPECT_EQ(Units(SettingsFiles::NewSharedSettingsStream()->GetFullPath()),
              bytes + u"\\veskpluginprefs.txt");
    folder.SetToHostPath();
    EXPECT_EQ(Units(folder), bytes);
}

TEST_F(TextFileStreamTest, OldHostsKeepTheSharedFileInFolderKindSeven) {
    struct Case {
        uint32_t version;
        int32_t sharedKind;
    };
    for (const Case c :
         {Case{0x0FFFFFFF, 7}, Case{0x0E000000, 7}, Case{0x10000000, 15}, Case{0x12050000, 15}}) {
        HostVersion::Set(c.version);
        FolderHost::Reset();
        SettingsFiles::NewSharedSettingsStream();
        SettingsFiles::NewPitchListStream();
        EXPECT_EQ(FolderHost::Kinds(), (std::vector<int32_t>{c.sharedKind, 15}))
            << std::hex << c.version;
    }
}

TEST_F(TextFileStreamTest, KindSevenFolderIsWhereOldHostsReadAndWrite) {
    const auto seven = MakeFolder(u"kind7");
    FolderHost::SetKindFolder(7, seven);
    HostVersion::Set(0x0F000000);
    FCSettingsPairs pairs;
    pairs.SetValue("k", "v");
    ASSERT_TRUE(pairs.WriteSharedFile());
    EXPECT_EQ(ReadBytes(seven / "veskpluginprefs.txt"), std::string("k=v") + kEol);
    EXPECT_FALSE(std::filesystem::exists(SharedFile()));
    EXPECT_NE(SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream), nullptr);
    HostVersion::Set(0x10000000);
    EXPECT_EQ(SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream), nullptr);
}

// Each way a write can fail must leave the old file byte for byte and no temporary file.
class FailedWriteTest : public settings_test::TempFolderTest {
  protected:
    const std::string old_ = std::string("Other=1") + kEol + "VESKSORVEL_FROM=C" + kEol;

    static bool WriteBig() {
        FCSettingsPairs pairs;
        const std::string big(64 * 1024, 'x');
        pairs.SetValue("Big", big.c_str());
        return pairs.WriteSharedFile();
    }
};

TEST_F(FailedWriteTest, MissingFolder) {
    FolderHost::SetFolder(Folder() / "missing");
    EXPECT_FALSE(WriteBig());
    EXPECT_TRUE(Names(Folder()).empty());
}

TEST_F(FailedWriteTest, FolderInTheWayOfTheNewContent) {
    WriteBytes(SharedFile(), old_);
    std::filesystem::create_directory(Folder() / "veskpluginprefs.txt.tmp");
    const auto before = Names(Folder());
    EXPECT_FALSE(WriteBig());
    EXPECT_EQ(ReadBytes(SharedFile()), old_);
    EXPECT_EQ(Names(Folder()), before);
}

TEST_F(FailedWriteTest, FolderWhereTheFileShouldBe) {
    std::filesystem::create_directory(SharedFile());
    EXPECT_FALSE(WriteBig());
    EXPECT_TRUE(std::filesystem::is_directory(SharedFile()));
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"veskpluginprefs.txt"});
}

#if !defined(_WIN32)
// The process may write no file beyond 1000 bytes: the next write fails as on a full disk.
TEST_F(FailedWriteTest, DiskFull) {
    WriteBytes(SharedFile(), old_);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteBig();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(SharedFile()), old_);
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"veskpluginprefs.txt"});
}
#endif

TEST_F(FailedWriteTest, SuccessfulWriteReplacesTheWholeFile) {
    WriteBytes(SharedFile(), old_ + old_ + old_);
    FCSettingsPairs pairs;
    pairs.SetValue("A", "1");
    ASSERT_TRUE(pairs.WriteSharedFile());
    EXPECT_EQ(ReadBytes(SharedFile()), std::string("A=1") + kEol);
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"veskpluginprefs.txt"});
}

// Without a folder from the host there is no file: nothing is read, and nothing is written
// (a path of "\\" and the file name would be the root of the current drive).
TEST_F(TextFileStreamTest, NoFolderNoFile) {
    namespace fs = std::filesystem;
    const fs::path roots[] = {fs::path("/") / "veskpluginprefs.txt",
                              fs::path("/") / "vesksorvel.txt"};
    std::vector<std::string> before;
    for (const auto& root : roots) {
        before.push_back(fs::exists(root) ? ReadBytes(root) : "(none)");
    }
    for (const bool answered : {false, true}) {
        FolderHost::SetNoFolder(answered);
        for (auto* factory :
             {&SettingsFiles::NewSharedSettingsStream, &SettingsFiles::NewPitchListStream}) {
            auto stream = factory();
            EXPECT_FALSE(stream->HasFolder());
            EXPECT_FALSE(stream->OpenRead());
            EXPECT_FALSE(stream->OpenWrite());
            EXPECT_FALSE(stream->FileExists());
        }
        SettingsFiles::ReadResult read = SettingsFiles::ReadResult::kRead;
        EXPECT_EQ(SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream, &read),
                  nullptr);
        EXPECT_EQ(read, SettingsFiles::ReadResult::kAbsent) << "as good as a fresh installation";

        FCSettingsPairs pairs;
        pairs.SetValue("k", "v");
        EXPECT_FALSE(pairs.WriteSharedFile());
        PluginState state;
        state.SetDefaults();
        auto* set = new FCPitchChangeList;
        set->AddItem(new FCPitchChangeNode);
        state.pitchSets.AddItem(set);
        WindowGeometry geometry;
        EXPECT_FALSE(StoredOptions::SaveOptions(geometry, state));
        EXPECT_TRUE(StoredPitchSets::LoadPitchSets(state));
        set = new FCPitchChangeList;
        set->AddItem(new FCPitchChangeNode);
        state.pitchSets.AddItem(set);
        EXPECT_FALSE(StoredPitchSets::SavePitchSets(state));
    }
    for (size_t i = 0; i < std::size(roots); ++i) {
        EXPECT_EQ(fs::exists(roots[i]) ? ReadBytes(roots[i]) : "(none)", before[i])
            << roots[i] << " was written";
    }
}

// What reading reports: the pairs, no file, or a file that is there but cannot be read.
TEST_F(TextFileStreamTest, ReadResultTellsAMissingFileFromAnUnreadableOne) {
    using Result = SettingsFiles::ReadResult;
    Result read = Result::kRead;
    EXPECT_EQ(SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream, &read),
              nullptr);
    EXPECT_EQ(read, Result::kAbsent);

    WriteBytes(SharedFile(), "a=1\n");
    EXPECT_NE(SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream, &read),
              nullptr);
    EXPECT_EQ(read, Result::kRead);

    std::filesystem::remove(SharedFile());
    std::filesystem::create_directory(SharedFile());
    EXPECT_EQ(SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream, &read),
              nullptr);
    EXPECT_EQ(read, Result::kUnreadable) << "a folder in the file's place";

    FolderHost::SetFolder(Folder() / "missing");
    EXPECT_EQ(SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream, &read),
              nullptr);
    EXPECT_EQ(read, Result::kAbsent) << "a missing folder holds no file";
}

#if !defined(_WIN32)
TEST_F(TextFileStreamTest, ALoopOfLinksIsThereButUnreadable) {
    std::filesystem::create_symlink("veskpluginprefs.txt", SharedFile());
    SettingsFiles::ReadResult read = SettingsFiles::ReadResult::kRead;
    EXPECT_EQ(SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream, &read),
              nullptr);
    EXPECT_EQ(read, SettingsFiles::ReadResult::kUnreadable);
    EXPECT_FALSE(SettingsFiles::NewSharedSettingsStream()->OpenWrite());
    EXPECT_TRUE(std::filesystem::is_symlink(SharedFile()));
}
#endif

// A settings file that is a symbolic link is written through to the file it names; the link
// stays. A read-only file is not written, and stays read-only.
class ReplaceTest : public settings_test::TempFolderTest {
  protected:
    void TearDown() override {
        for (const auto& file : readOnly_) {
            std::error_code ignored;
            std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ignored);
        }
        TempFolderTest::TearDown();
    }

    // Link makes link name target (a text as the link holds it); false when this system makes
    // no links here (Wine, for one, may not).
    static bool Link(const std::filesystem::path& target, const std::filesystem::path& link) {
        std::error_code error;
        std::filesystem::create_symlink(target, link, error);
        return !error;
    }

    void MakeReadOnly(const std::filesystem::path& file) {
        namespace fs = std::filesystem;
        fs::permissions(file,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        readOnly_.push_back(file);
    }

    static bool IsReadOnly(const std::filesystem::path& file) {
        namespace fs = std::filesystem;
        return (fs::status(file).permissions() & fs::perms::owner_write) == fs::perms::none;
    }

    static bool Write(const char* value) {
        FCSettingsPairs pairs;
        pairs.SetValue("k", value);
        return pairs.WriteSharedFile();
    }

    std::vector<std::filesystem::path> readOnly_;
};

TEST_F(ReplaceTest, LinksAreWrittenThrough) {
    const auto elsewhere = MakeFolder(u"elsewhere");
    WriteBytes(elsewhere / "real.txt", "k=old\n");
    struct Case {
        const char* what;
        std::filesystem::path target;
    };
    for (const Case& c : {Case{"an absolute link", elsewhere / "real.txt"},
                          Case{"a relative link", std::filesystem::path("sub") / "real.txt"}}) {
        std::filesystem::remove(SharedFile());
        std::filesystem::create_directories(Folder() / "sub");
        WriteBytes(Folder() / "sub" / "real.txt", "k=old\n");
        if (!Link(c.target, SharedFile())) {
            GTEST_SKIP() << "no symbolic links can be made here";
        }
        ASSERT_TRUE(Write("new")) << c.what;
        EXPECT_TRUE(std::filesystem::is_symlink(SharedFile())) << c.what;
        const auto real = c.target.is_absolute() ? c.target : Folder() / c.target;
        EXPECT_EQ(ReadBytes(real), std::string("k=new") + kEol) << c.what;
        EXPECT_FALSE(std::filesystem::exists(Folder() / "veskpluginprefs.txt.tmp")) << c.what;
    }
    // A link to a link: the file at the end of the chain gets the content.
    std::filesystem::remove(SharedFile());
    ASSERT_TRUE(Link(Folder() / "second", SharedFile()));
    ASSERT_TRUE(Link(elsewhere / "real.txt", Folder() / "second"));
    ASSERT_TRUE(Write("chained"));
    EXPECT_EQ(ReadBytes(elsewhere / "real.txt"), std::string("k=chained") + kEol);
    EXPECT_TRUE(std::filesystem::is_symlink(SharedFile()));
    EXPECT_TRUE(std::filesystem::is_symlink(Folder() / "second"));
    // A link to a file not made yet: the file is made where the link points.
    std::filesystem::remove(SharedFile());
    ASSERT_TRUE(Link(elsewhere / "later.txt", SharedFile()));
    ASSERT_TRUE(Write("made"));
    EXPECT_EQ(ReadBytes(elsewhere / "later.txt"), std::string("k=made") + kEol);
    EXPECT_TRUE(std::filesystem::is_symlink(SharedFile()));
}

TEST_F(ReplaceTest, ReadOnlyFilesAreNotReplaced) {
    WriteBytes(SharedFile(), "k=old\n");
    MakeReadOnly(SharedFile());
    EXPECT_FALSE(Write("new"));
    EXPECT_EQ(ReadBytes(SharedFile()), "k=old\n");
    EXPECT_TRUE(IsReadOnly(SharedFile())) << "not made writable";
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"veskpluginprefs.txt"});

    // Through a link too: the file it names decides.
    const auto elsewhere = MakeFolder(u"elsewhere");
    WriteBytes(elsewhere / "real.txt", "k=old\n");
    MakeReadOnly(elsewhere / "real.txt");
    const auto linked = MakeFolder(u"linked");
    FolderHost::SetFolder(linked);
    if (!Link(elsewhere / "real.txt", linked / "veskpluginprefs.txt")) {
        GTEST_SKIP() << "no symbolic links can be made here";
    }
    EXPECT_FALSE(Write("new"));
    EXPECT_EQ(ReadBytes(elsewhere / "real.txt"), "k=old\n");
    EXPECT_TRUE(IsReadOnly(elsewhere / "real.txt"));
}

}  // namespace
