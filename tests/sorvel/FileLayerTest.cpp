// The command line's file layer alone: reading only regular files without blocking, and files
// that change size while read; atomic writes through links, into special files, with long
// names, keeping owner and mode, leaving nothing behind; temporary files removed by a signal;
// a batch whose threads cannot start.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "TempFolderTest.h"
#include "rules/PitchRules.h"
#include "sorvel/cli/AtomicFile.h"
#include "sorvel/cli/BatchRunner.h"
#include "sorvel/cli/FileBytes.h"
#include "sorvel/cli/FileTargets.h"
#include "sorvel/cli/TemporaryFiles.h"
#include "sorvel/core/RowOption.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

const std::string kScore =
    "<?xml version=\"1.0\"?>\n<score-partwise><part-list><score-part id=\"P1\"><part-name>F"
    "</part-name></score-part></part-list><part id=\"P1\"><measure number=\"1\"><attributes>"
    "<divisions>1</divisions></attributes><note><pitch><step>A</step><alter>1</alter><octave>4"
    "</octave></pitch><duration>1</duration><accidental>sharp</accidental></note></measure>"
    "</part></score-partwise>\n";

class FileLayerTest : public TempFolderTest {
  protected:
    FileLayerTest() : TempFolderTest("sorvel-files-") {}

    void TearDown() override {
        EXPECT_EQ(sorvel::LiveTemporaries(), 0U) << "a temporary name is still listed";
        TempFolderTest::TearDown();
    }
    // Socket makes a Unix socket at path (closed again: the name stays).
    static void Socket(const std::string& path) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        close(fd);
    }
};

// ReadError answers the message of a failed read, or "" when it was read.
std::string ReadError(const std::string& path) {
    sorvel::ByteBuffer bytes;
    const std::optional<sorvel::Failure> failure = sorvel::ReadWholeFile(path, bytes);
    return failure ? failure->message : std::string();
}

TEST_F(FileLayerTest, ReadsOnlyRegularFilesAndNeverBlocks) {
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    Socket(Path("socket"));
    fs::create_directory(Path("folder"));
    fs::create_symlink("fifo", Path("link-to-fifo"));
    struct Case {
        std::string path;
        const char* error;
    };
    const Case cases[] = {
        {Path("fifo"), "it is a FIFO (named pipe), not a regular file"},
        {Path("link-to-fifo"), "it is a FIFO (named pipe), not a regular file"},
        {Path("socket"), "it is a socket, not a regular file"},
        {Path("folder"), "it is a directory, not a file"},
        {"/dev/zero", "it is a character device, not a regular file"},
        {"/dev/null", "it is a character device, not a regular file"},
        {Path("missing"), "cannot open it: No such file or directory"},
        {"/proc/self/mem", "cannot read it: Input/output error"},
        // Regular files that do not hold the size they claim: /proc's say 0 and hold more;
        // /sys's say a page and hold less. Either is a file changing while read.
        {"/proc/self/status", "it grew while it was read"},
        {"/sys/kernel/mm/transparent_hugepage/enabled", "it became shorter while it was read"},
    };
    for (const Case& c : cases) {
        if (!fs::exists(fs::symlink_status(c.path)) && c.path.rfind("/sys/", 0) == 0) {
            continue;  // no /sys here
        }
        const std::string error = ReadError(c.path);
        EXPECT_NE(error.find(c.error), std::string::npos) << c.path << ": " << error;
    }
}

TEST_F(FileLayerTest, ReadsAWholeFileBothWays) {
    std::string bytes(300000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7919 % 251);
    }
    Write(Path("score"), bytes);
    Write(Path("empty"), "");
    for (const std::string name : {"score", "empty"}) {
        const std::string expected = Read(Path(name));
        sorvel::ByteBuffer buffer;
        ASSERT_FALSE(sorvel::ReadWholeFile(Path(name), buffer));
        EXPECT_EQ(buffer.View(), expected);
        std::string text = "left over";
        ASSERT_FALSE(sorvel::ReadWholeFile(Path(name), text));
        EXPECT_EQ(text, expected);
    }
    std::string text = "left over";
    EXPECT_TRUE(sorvel::ReadWholeFile(Path("folder"), text));
    EXPECT_EQ(text, "") << "a failed read leaves no bytes";
}

TEST_F(FileLayerTest, ManyPiecesAreWrittenInOrder) {
    // More pieces than one call takes (a respelled score is a piece per edit), empty ones among
    // them, and one large enough that the system may write it in part.
    std::vector<std::string> pieces;
    for (size_t i = 0; i < 5000; ++i) {
        pieces.push_back(i % 7 == 0 ? std::string()
                                    : std::string(1 + i % 13, static_cast<char>('a' + i % 26)));
    }
    pieces[2500] = std::string(size_t{8} << 20, 'x');
    const std::vector<std::string_view> views(pieces.begin(), pieces.end());
    std::string expected;
    for (const std::string& piece : pieces) {
        expected += piece;
    }
    ASSERT_FALSE(sorvel::WriteFileParts(Path("pieces"), views));
    EXPECT_EQ(Read(Path("pieces")), expected);
    ASSERT_FALSE(sorvel::WriteFileParts(Path("none"), std::vector<std::string_view>{}));
    EXPECT_EQ(Read(Path("none")), "");
}

TEST_F(FileLayerTest, TemporaryNamesStayWithinTheNameLimit) {
    struct Case {
        std::string name;
        std::string kept;  // what of the name the temporary one starts with
    };
    std::string utf8;
    for (int i = 0; i < 127; ++i) {
        utf8 += "\xC3\xA9";  // é, 2 bytes
    }
    const Case cases[] = {
        {"short.musicxml", ".short.musicxml.sorvel-"},
        {std::string(255, 'n'), "." + std::string(255 - 1 - 30, 'n')},
        {utf8 + "x", "."},
    };
    for (const Case& c : cases) {
        const std::string temporary = fs::path(sorvel::TemporaryPathFor(Path(c.name))).filename();
        EXPECT_LE(temporary.size(), 255U) << c.name;
        EXPECT_EQ(temporary.rfind(c.kept.substr(0, 20), 0), 0U) << temporary;
        EXPECT_NE(temporary.find(".sorvel-"), std::string::npos) << temporary;
        // A cut never splits a character: what is kept of é é é is whole pairs.
        const size_t accentsKept = temporary.find(".sorvel-") - 1;
        if (c.name == utf8 + "x") {
            EXPECT_EQ(accentsKept % 2, 0U) << temporary;
        }
    }
    const std::string longName = std::string(246, 'n') + ".musicxml";
    ASSERT_FALSE(sorvel::WriteFile(Path(longName), "new"));
    EXPECT_EQ(Read(Path(longName)), "new");
    EXPECT_EQ(Entries(), std::vector<std::string>{longName});
}

TEST_F(FileLayerTest, WritesThroughLinksAndRefusesSpecialFiles) {
    fs::create_directory(Path("real"));
    Write(Path("real/old"), "old");
    fs::create_symlink("real/old", Path("link"));
    fs::create_symlink("link", Path("chain"));
    fs::create_symlink("real/new", Path("dangling"));
    ASSERT_FALSE(sorvel::WriteFile(Path("chain"), "one"));
    ASSERT_FALSE(sorvel::WriteFile(Path("dangling"), "two"));
    EXPECT_TRUE(fs::is_symlink(Path("chain")) && fs::is_symlink(Path("link")));
    EXPECT_TRUE(fs::is_symlink(Path("dangling")));
    EXPECT_EQ(Read(Path("real/old")), "one");
    EXPECT_EQ(Read(Path("real/new")), "two");

    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    Socket(Path("socket"));
    fs::create_directory(Path("folder"));
    fs::create_symlink("loop-b", Path("loop-a"));
    fs::create_symlink("loop-a", Path("loop-b"));
    const std::pair<std::string, std::string> cases[] = {
        {"fifo", "is a FIFO (named pipe), not a regular file"},
        {"socket", "is a socket, not a regular file"},
        {"folder", "is a directory, not a regular file"},
        {"loop-a", "too many levels of symbolic links"},
        {"no-folder/file", "No such file or directory"},
    };
    for (const auto& [name, message] : cases) {
        const std::optional<sorvel::Failure> failure = sorvel::WriteFile(Path(name), "x");
        ASSERT_TRUE(failure) << name;
        EXPECT_EQ(failure->kind, sorvel::FailureKind::kWrite);
        EXPECT_NE(failure->message.find(message), std::string::npos) << failure->message;
    }
    EXPECT_TRUE(fs::is_fifo(Path("fifo")) && fs::is_socket(Path("socket")));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"chain", "dangling", "fifo", "folder", "link",
                                                   "loop-a", "loop-b", "real", "socket"}));
}

TEST_F(FileLayerTest, InPlaceKeepsOwnerGroupAndMode) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another user needs root";
    }
    const std::string path = Path("score");
    Write(path, "old");
    ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chmod(path.c_str(), 02640), 0);
    ASSERT_FALSE(sorvel::WriteFile(path, "new", {true, false, nullptr}));
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, kNobody);
    EXPECT_EQ(after.st_gid, kNobody);
    EXPECT_EQ(after.st_mode & 07777, 02640U);
    EXPECT_EQ(Read(path), "new");
}

TEST_F(FileLayerTest, InPlaceRefusesReadOnlyFilesAndHardLinks) {
    Write(Path("read-only"), "old");
    fs::permissions(Path("read-only"), fs::perms::owner_read | fs::perms::group_read);
    Write(Path("linked"), "old");
    fs::create_hard_link(Path("linked"), Path("other-name"));
    struct Case {
        std::string name;
        bool breakHardLinks;
        const char* error;  // null: written
    };
    const Case cases[] = {
        {"read-only", false, "it is read-only"},
        {"read-only", true, "it is read-only"},
        {"linked", false, "it has 2 hard links"},
        {"linked", true, nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<sorvel::Failure> failure =
            sorvel::WriteFile(Path(c.name), "new", {true, c.breakHardLinks, nullptr});
        ASSERT_EQ(failure.has_value(), c.error != nullptr) << c.name;
        if (failure) {
            EXPECT_NE(failure->message.find(c.error), std::string::npos) << failure->message;
            EXPECT_EQ(Read(Path(c.name)), "old");
        }
    }
    EXPECT_EQ(Read(Path("linked")), "new");
    EXPECT_EQ(Read(Path("other-name")), "old");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"linked", "other-name", "read-only"}));
}

TEST_F(FileLayerTest, AnOwnerThatCannotBeKeptIsAWarning) {
    // nobody may write root's 0666 file in an open folder, but cannot give the new one to root.
    Write(Path("roots"), "old");
    fs::permissions(Path("roots"), static_cast<fs::perms>(0666));
    fs::permissions(folder_, fs::perms::all);
    enum Exit { kWarned, kNoWarning, kFailed, kStillRoot };
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
                std::_Exit(kStillRoot);
            }
            std::vector<std::string> warnings;
            if (sorvel::WriteFile(Path("roots"), "new", {true, false, &warnings})) {
                std::_Exit(kFailed);
            }
            std::_Exit(warnings.size() == 1 &&
                               warnings[0].find("cannot keep its owner") != std::string::npos
                           ? kWarned
                           : kNoWarning);
        },
        testing::ExitedWithCode(geteuid() == 0 ? kWarned : kNoWarning), "");
}

TEST_F(FileLayerTest, ASignalRemovesTheTemporaryFilesAndEndsTheProcess) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        const std::string path = Path("temporary-" + std::to_string(number));
        EXPECT_EXIT(
            {
                sorvel::InstallTemporaryCleanup();
                const sorvel::TemporaryName name(path);
                Write(path, "half");
                raise(number);
                std::_Exit(0);  // not reached: the signal ends the process
            },
            testing::KilledBySignal(number), "");
        EXPECT_FALSE(fs::exists(path)) << strsignal(number);
    }
}

TEST_F(FileLayerTest, AnIgnoredHangupStaysIgnored) {
    const std::string path = Path("temporary");
    EXPECT_EXIT(
        {
            signal(SIGHUP, SIG_IGN);  // as nohup leaves it
            sorvel::InstallTemporaryCleanup();
            const sorvel::TemporaryName name(path);
            Write(path, "half");
            raise(SIGHUP);
            std::_Exit(fs::exists(path) ? 3 : 4);
        },
        testing::ExitedWithCode(3), "");
}

TEST_F(FileLayerTest, TheNameTableRefusesBeyondItsSize) {
    std::vector<std::unique_ptr<sorvel::TemporaryName>> names;
    for (size_t i = 0; i < sorvel::kMaxLiveTemporaries; ++i) {
        names.push_back(std::make_unique<sorvel::TemporaryName>(Path(std::to_string(i))));
        ASSERT_TRUE(names.back()->Valid()) << i;
    }
    const sorvel::TemporaryName extra(Path("extra"));
    EXPECT_FALSE(extra.Valid());
    EXPECT_EQ(sorvel::LiveTemporaries(), sorvel::kMaxLiveTemporaries);
    names.clear();
    EXPECT_EQ(sorvel::LiveTemporaries(), 0U);
}

TEST_F(FileLayerTest, FilesAreCompared) {
    Write(Path("a"), "x");
    fs::create_hard_link(Path("a"), Path("hard"));
    fs::create_symlink("a", Path("soft"));
    fs::create_directory(Path("sub"));
    using sorvel::IdentityOf;
    EXPECT_TRUE(IdentityOf(Path("a")).SameAs(IdentityOf(Path("hard"))));
    EXPECT_TRUE(IdentityOf(Path("a")).SameAs(IdentityOf(Path("soft"))));
    EXPECT_TRUE(IdentityOf(Path("a")).SameAs(IdentityOf(Path("sub/../a"))));
    EXPECT_TRUE(IdentityOf(Path("new")).SameAs(IdentityOf(Path("sub/../new"))));
    EXPECT_FALSE(IdentityOf(Path("new")).SameAs(IdentityOf(Path("a"))));
    EXPECT_FALSE(IdentityOf(Path("new")).SameAs(IdentityOf(Path("sub/new"))));
}

class BatchThreadsTest : public FileLayerTest {
  protected:
    void SetUp() override {
        FileLayerTest::SetUp();
        rules::PitchRow row;
        std::string error;
        ASSERT_TRUE(sorvel::ParseRowOption("A#>Bb", row, error));
        rules_ = std::make_unique<rules::PitchRules>(std::vector<rules::PitchRow>{row});
        settings_.rules = rules_.get();
        for (int i = 0; i < 6; ++i) {
            const std::string name = "score" + std::to_string(i) + ".musicxml";
            Write(Path(name), i == 3 ? "<broken" : kScore);
            tasks_.push_back({Path(name), Path("out-" + name)});
        }
    }

    std::unique_ptr<rules::PitchRules> rules_;
    sorvel::RespellOptions settings_;
    std::vector<sorvel::BatchTask> tasks_;
};

TEST_F(BatchThreadsTest, ThreadsThatCannotStartLeaveTheWorkToOthers) {
    for (const int starting : {0, 1, 3}) {
        int started = 0;
        const sorvel::ThreadStarter starter = [&](std::function<void()> work) {
            if (started == starting) {
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            }
            ++started;
            return std::thread(std::move(work));
        };
        std::vector<std::string> order;
        const std::vector<sorvel::FileResult> results = sorvel::RunBatch(
            tasks_, settings_, 4, false,
            [&](const sorvel::FileResult& result) { order.push_back(result.input); }, starter);
        ASSERT_EQ(results.size(), tasks_.size()) << starting;
        for (size_t i = 0; i < tasks_.size(); ++i) {
            EXPECT_EQ(order[i], tasks_[i].input) << starting;
            EXPECT_EQ(results[i].ok, i != 3) << starting << ": " << results[i].error;
            EXPECT_EQ(fs::exists(tasks_[i].output), i != 3) << starting;
            fs::remove(tasks_[i].output);
        }
    }
}

TEST_F(BatchThreadsTest, AnOutputThatIsNoFileFailsAloneBeforeItIsRead) {
    ASSERT_EQ(mkfifo(Path("out-score1.musicxml").c_str(), 0600), 0);
    tasks_[2].output = tasks_[2].input;
    tasks_[2].inPlace = true;
    fs::create_hard_link(tasks_[2].input, Path("second-name"));
    const std::vector<sorvel::FileResult> results =
        sorvel::RunBatch(tasks_, settings_, 2, false, [](const sorvel::FileResult&) {});
    EXPECT_NE(results[1].error.find("is a FIFO"), std::string::npos) << results[1].error;
    EXPECT_NE(results[2].error.find("2 hard links"), std::string::npos) << results[2].error;
    EXPECT_EQ(Read(tasks_[2].input), kScore);
    for (const size_t ok : {0, 4, 5}) {
        EXPECT_TRUE(results[ok].ok) << results[ok].error;
    }
}

}  // namespace
