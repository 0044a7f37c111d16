// The text file streams on real files: paths built from the host's folder, lines read back,
// bytes written, the folder kinds, and writes that fail without harming the old file.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "settings/FCSettingsPairs.h"
#include "settings/FCTextFileStream.h"
#include "settings/SettingsFiles.h"
#include "shell/HostVersion.h"
#include "tests/settings/SettingsTestHost.h"

#if !defined(_WIN32)
#include <sys/resource.h>

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

TEST_F(TextFileStreamTest, WritesLowBytesAndReadsThemBackAsUnits) {
    FCSettingsPairs pairs;
    pairs.SetValue("Accent", "caf\xE9");
    FCString smiley;
    smiley.SetUTF16(u"x\u263Ay");  // U+263A keeps only its low byte 0x3A
    const FCString key("Wide");
    pairs.SetValue(&key, &smiley);
    ASSERT_TRUE(pairs.WriteSharedFile());
    EXPECT_EQ(ReadBytes(SharedFile()), std::string("Accent=caf\xE9") + kEol + "Wide=x:y" + kEol);
    auto back = SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetCount(), 2);
    EXPECT_EQ(Units(back->GetPairAt(0)->GetValue()), u"caf\u00E9");
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"veskpluginprefs.txt"})
        << "no temporary file is left";
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

}  // namespace
