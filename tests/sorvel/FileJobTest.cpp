// One file of a batch: what is refused (and that nothing is written for it), atomic in-place
// replacement, UTF-16 and .mxl files written back in their own form.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TempFolderTest.h"
#include "sorvel/cli/FileJob.h"
#include "sorvel/core/RowOption.h"
#include "sorvel/core/TextEncoding.h"

namespace fs = std::filesystem;

namespace {

const std::string kScore =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise>\n  <part-list><score-part "
    "id=\"P1\"><part-name>Flute \xE2\x99\xAD</part-name></score-part></part-list>\n  <part "
    "id=\"P1\">\n"
    "    <measure number=\"1\">\n      <attributes><divisions>1</divisions></attributes>\n"
    "      <note><pitch><step>A</step><alter>1</alter><octave>4</octave></pitch>"
    "<duration>1</duration><accidental>sharp</accidental></note>\n"
    "    </measure>\n  </part>\n</score-partwise>\n";

class FileJobTest : public TempFolderTest {
  protected:
    FileJobTest() : TempFolderTest("sorvel-filejob-") {}

    void SetUp() override {
        TempFolderTest::SetUp();
        rules::PitchRow row;
        std::string error;
        ASSERT_TRUE(sorvel::ParseRowOption("A#>Bb", row, error));
        rules_ = std::make_unique<rules::PitchRules>(std::vector<rules::PitchRow>{row});
        settings_.rules = rules_.get();
    }

    std::unique_ptr<rules::PitchRules> rules_;
    sorvel::RespellOptions settings_;
};

TEST_F(FileJobTest, BadInputIsRefusedAndNothingIsWritten) {
    fs::create_directories(Path("a directory"));
    Write(Path("empty.musicxml"), "");
    Write(Path("broken.musicxml"), "<score-partwise>\n<part>\n</score-partwise>");
    Write(Path("fake.mxl"), std::string("PK\x03\x04 not really a zip", 21));
    Write(Path("odd.musicxml"), std::string("\xFF\xFE<\0s", 5));
    struct Case {
        std::string input;
        const char* error;
    };
    const Case cases[] = {
        {Path("a directory"), "it is a directory"},
        {Path("missing.musicxml"), "cannot open it: No such file or directory"},
        {"/proc/self/mem", "cannot read it"},  // opens, but reading fails
        {Path("empty.musicxml"), "the file is empty"},
        {Path("broken.musicxml"), "line 3, column 3: not well-formed XML"},
        {Path("fake.mxl"), "not a readable .mxl container"},
        {Path("odd.musicxml"), "not valid UTF-16"},
    };
    for (const Case& c : cases) {
        const sorvel::FileResult result =
            sorvel::RunFileJob(c.input, Path("out.musicxml"), settings_);
        EXPECT_FALSE(result.ok) << c.input;
        EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
        EXPECT_FALSE(result.written);
    }
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a directory", "broken.musicxml",
                                                   "empty.musicxml", "fake.mxl", "odd.musicxml"}));
}

TEST_F(FileJobTest, AFileWithoutReadPermissionIsRefused) {
    // Permissions do not stop root, so the job runs in a child process that is nobody (CI runs
    // as root). The folder is open to all, so that only the file's unread content stops it.
    constexpr uid_t kNobody = 65534;
    Write(Path("locked.musicxml"), kScore);
    fs::permissions(Path("locked.musicxml"), fs::perms::none);
    fs::permissions(folder_, fs::perms::all);
    enum Exit { kRefused, kAccepted, kOtherError, kWritten, kStillRoot };
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
                std::_Exit(kStillRoot);
            }
            const sorvel::FileResult result =
                sorvel::RunFileJob(Path("locked.musicxml"), Path("out.musicxml"), settings_);
            if (result.ok) {
                std::_Exit(kAccepted);
            }
            if (result.written || fs::exists(Path("out.musicxml"))) {
                std::_Exit(kWritten);
            }
            std::_Exit(result.error.find("cannot open it: Permission denied") != std::string::npos
                           ? kRefused
                           : kOtherError);
        },
        testing::ExitedWithCode(kRefused), "");
    EXPECT_FALSE(fs::exists(Path("out.musicxml")));
    fs::permissions(Path("locked.musicxml"), fs::perms::owner_all);
}

TEST_F(FileJobTest, InPlaceReplacesWholeAndKeepsPermissions) {
    const std::string path = Path("score.musicxml");
    Write(path, kScore);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    const sorvel::FileResult result = sorvel::RunFileJob(path, path, settings_, {true});
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.written);
    std::string expected = kScore;
    expected.replace(expected.find("<step>A</step><alter>1</alter>"), 30,
                     "<step>B</step><alter>-1</alter>");
    expected.replace(expected.find(">sharp<"), 7, ">flat<");
    EXPECT_EQ(Read(path), expected);
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);  // a new file was renamed into place
    EXPECT_EQ(after.st_mode & 0777, 0640U);
    EXPECT_EQ(Entries(), std::vector<std::string>{"score.musicxml"});  // no temporary file left

    // Nothing to change: the file is not rewritten at all.
    const sorvel::FileResult again = sorvel::RunFileJob(path, path, settings_, {true});
    ASSERT_TRUE(again.ok);
    EXPECT_FALSE(again.written);
    struct stat untouched {};
    ASSERT_EQ(stat(path.c_str(), &untouched), 0);
    EXPECT_EQ(untouched.st_ino, after.st_ino);
}

TEST_F(FileJobTest, AFailedWriteLeavesNothing) {
    Write(Path("score.musicxml"), kScore);
    const sorvel::FileResult result =
        sorvel::RunFileJob(Path("score.musicxml"), Path("no such folder/out.musicxml"), settings_);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("cannot create"), std::string::npos) << result.error;
    EXPECT_TRUE(result.score.changes.empty());
    EXPECT_EQ(Entries(), std::vector<std::string>{"score.musicxml"});
}

TEST_F(FileJobTest, Utf16FilesAreWrittenBackInTheirForm) {
    for (const auto form :
         {sorvel::TextForm::kUtf16LittleEndian, sorvel::TextForm::kUtf16BigEndian}) {
        for (const bool mark : {true, false}) {
            const std::string bytes = sorvel::EncodeText(kScore, form, mark);
            Write(Path("in.musicxml"), bytes);
            const sorvel::FileResult result =
                sorvel::RunFileJob(Path("in.musicxml"), Path("out.musicxml"), settings_);
            ASSERT_TRUE(result.ok) << result.error;
            std::string expected = kScore;
            expected.replace(expected.find("<step>A</step><alter>1</alter>"), 30,
                             "<step>B</step><alter>-1</alter>");
            expected.replace(expected.find(">sharp<"), 7, ">flat<");
            const std::string expectedBytes = sorvel::EncodeText(expected, form, mark);
            EXPECT_EQ(Read(Path("out.musicxml")), expectedBytes);
        }
    }
}

// Zip builds an .mxl: a stored mimetype first, the container, the score and a picture.
void Zip(const std::string& path, const std::string& score) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    static const std::string kMime = "application/vnd.recordare.musicxml";
    static const std::string kContainer =
        "<container><rootfiles><rootfile full-path=\"music/score.xml\"/></rootfiles></container>";
    static const std::string kPicture(300, '\x07');
    const std::vector<std::pair<std::string, const std::string*>> entries = {
        {"mimetype", &kMime},
        {"META-INF/container.xml", &kContainer},
        {"music/score.xml", &score},
        {"picture.png", &kPicture}};
    for (const auto& [name, data] : entries) {
        zip_source_t* source = zip_source_buffer(archive, data->data(), data->size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0);
        if (name == "mimetype") {
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        }
    }
    ASSERT_EQ(zip_close(archive), 0);
}

std::string Entry(zip_t* archive, const char* name) {
    zip_stat_t stat;
    EXPECT_EQ(zip_stat(archive, name, 0, &stat), 0) << name;
    std::string bytes(stat.size, '\0');
    zip_file_t* file = zip_fopen(archive, name, 0);
    EXPECT_EQ(zip_fread(file, bytes.data(), stat.size), static_cast<zip_int64_t>(stat.size));
    zip_fclose(file);
    return bytes;
}

TEST_F(FileJobTest, CompressedFilesKeepTheirOtherEntries) {
    Zip(Path("in.mxl"), kScore);
    const sorvel::FileResult result =
        sorvel::RunFileJob(Path("in.mxl"), Path("out.mxl"), settings_);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.score.changes.size(), 1U);
    int code = 0;
    zip_t* archive = zip_open(Path("out.mxl").c_str(), ZIP_RDONLY, &code);
    ASSERT_NE(archive, nullptr);
    EXPECT_STREQ(zip_get_name(archive, 0, 0), "mimetype");
    zip_stat_t stat;
    ASSERT_EQ(zip_stat_index(archive, 0, 0, &stat), 0);
    EXPECT_EQ(stat.comp_method, ZIP_CM_STORE);
    EXPECT_EQ(Entry(archive, "mimetype"), "application/vnd.recordare.musicxml");
    EXPECT_EQ(Entry(archive, "picture.png"), std::string(300, '\x07'));
    const std::string score = Entry(archive, "music/score.xml");
    EXPECT_NE(score.find("<step>B</step><alter>-1</alter>"), std::string::npos);
    EXPECT_EQ(score.size(), kScore.size() + 1 - 1);  // "1" became "-1", "sharp" became "flat"
    zip_close(archive);
}

}  // namespace
