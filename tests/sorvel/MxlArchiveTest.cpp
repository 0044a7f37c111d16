// MxlArchive on hostile archives built here (libzip writes them, then bytes are patched): lying
// and oversized declared sizes, zip bombs (memory held is measured), truncation, two entries
// of one name, broken tables of contents, memory running out; and writing: the score
// replaced, the mimetype first and stored, every other entry's compressed data unchanged, no
// file created.
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rules/PitchRules.h"
#include "sorvel/core/Failure.h"
#include "sorvel/core/MxlArchive.h"
#include "sorvel/core/RespellScore.h"
#include "sorvel/core/RowOption.h"

namespace fs = std::filesystem;
using sorvel::FailureError;
using sorvel::FailureKind;

namespace {

constexpr uint64_t kMiB = uint64_t{1} << 20;
constexpr const char* kMime = "application/vnd.recordare.musicxml";
constexpr const char* kContainerName = "META-INF/container.xml";
const std::string kContainer =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<container><rootfiles><rootfile full-path=\"music/score.xml\"/></rootfiles></container>";
const std::string kScore = "<score-partwise><part id=\"P1\"/></score-partwise>\n";

// Item: an entry to build: its name, data, method (and level), and optional extras.
struct Item {
    std::string name;
    std::string data;
    int32_t method = ZIP_CM_DEFLATE;
    uint32_t level = 0;  // 0: libzip's default
    std::string comment;
    std::string extra;  // an extra field (id 0x5a5a) in both headers when not empty
    time_t mtime = 0;   // 0: now

    Item(std::string entryName, std::string entryData, int32_t entryMethod = ZIP_CM_DEFLATE)
        : name(std::move(entryName)), data(std::move(entryData)), method(entryMethod) {}
};

// Zip builds an archive in memory with libzip.
std::string Zip(const std::vector<Item>& items) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(source);
    zip_t* archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
    EXPECT_NE(archive, nullptr);
    for (const Item& item : items) {
        zip_source_t* data = zip_source_buffer(archive, item.data.data(), item.data.size(), 0);
        const zip_int64_t added = zip_file_add(archive, item.name.c_str(), data, 0);
        EXPECT_GE(added, 0) << item.name;
        const auto index = static_cast<zip_uint64_t>(added);
        EXPECT_EQ(zip_set_file_compression(archive, index, item.method, item.level), 0);
        if (!item.comment.empty()) {
            zip_file_set_comment(archive, index, item.comment.data(),
                                 static_cast<zip_uint16_t>(item.comment.size()), 0);
        }
        if (!item.extra.empty()) {
            const auto* bytes = reinterpret_cast<const zip_uint8_t*>(item.extra.data());
            const auto size = static_cast<zip_uint16_t>(item.extra.size());
            EXPECT_EQ(zip_file_extra_field_set(archive, index, 0x5a5a, ZIP_EXTRA_FIELD_NEW, bytes,
                                               size, ZIP_FL_LOCAL | ZIP_FL_CENTRAL),
                      0);
        }
        if (item.mtime != 0) {
            zip_file_set_mtime(archive, index, item.mtime, 0);
        }
    }
    EXPECT_EQ(zip_close(archive), 0);
    zip_stat_t stat;
    zip_source_stat(source, &stat);
    std::string bytes(stat.size, '\0');
    zip_source_open(source);
    zip_source_read(source, bytes.data(), bytes.size());
    zip_source_close(source);
    zip_source_free(source);
    zip_error_fini(&error);
    return bytes;
}

std::vector<Item> Mxl(const std::string& score = kScore) {
    return {{"mimetype", kMime, ZIP_CM_STORE},
            {kContainerName, kContainer},
            {"music/score.xml", score},
            {"picture.png", std::string(3000, '\x07') + "picture"}};
}

// Header: where a local (PK 3 4) or central (PK 1 2) header of an entry lies in the bytes.
struct Header {
    size_t at;
    bool central;
};

uint32_t Le32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    }
    return value;
}
uint16_t Le16(const std::string& bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                                 static_cast<uint8_t>(bytes[at + 1]) << 8);
}
void PutLe32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
    }
}

// HeadersOf finds the local and central headers of the entry name, by the zip format's
// fixed layout (name length at 26 or 28, name at 30 or 46).
std::vector<Header> HeadersOf(const std::string& bytes, const std::string& name) {
    std::vector<Header> found;
    for (size_t at = 0; at + 46 < bytes.size(); ++at) {
        if (bytes.compare(at, 2, "PK") != 0) {
            continue;
        }
        const bool local = bytes.compare(at + 2, 2, "\x03\x04") == 0;
        const bool central = bytes.compare(at + 2, 2, "\x01\x02") == 0;
        if (!local && !central) {
            continue;
        }
        const size_t length = Le16(bytes, at + (central ? 28 : 26));
        if (length == name.size() && bytes.compare(at + (central ? 46 : 30), length, name) == 0) {
            found.push_back({at, central});
        }
    }
    EXPECT_EQ(found.size(), 2U) << name;
    return found;
}

// PatchSizes declares other sizes for the entry name, in both of its headers.
std::string PatchSizes(std::string bytes, const std::string& name, int64_t compressed,
                       int64_t size) {
    for (const Header& header : HeadersOf(bytes, name)) {
        const size_t sizes = header.at + (header.central ? 20 : 18);
        if (compressed >= 0) {
            PutLe32(bytes, sizes, static_cast<uint32_t>(compressed));
        }
        if (size >= 0) {
            PutLe32(bytes, sizes + 4, static_cast<uint32_t>(size));
        }
    }
    return bytes;
}

// RawData answers the compressed data of the entry name as its local header places it.
std::string RawData(const std::string& bytes, const std::string& name) {
    const Header local = HeadersOf(bytes, name)[0];
    const size_t start = local.at + 30 + Le16(bytes, local.at + 26) + Le16(bytes, local.at + 28);
    return bytes.substr(start, Le32(bytes, local.at + 18));
}

// Crc32: the zip format's checksum, bit by bit.
uint32_t Crc32(const std::string& data) {
    uint32_t crc = 0xFFFFFFFFU;
    for (const char byte : data) {
        crc ^= static_cast<uint8_t>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
        }
    }
    return ~crc;
}

void Append(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    }
}

// Streamed builds an archive as streaming writers (Java's, Python's on a pipe) make it: each
// local header announces a data descriptor and declares no sizes; only the descriptor after
// the data and the central directory do. Entries are stored.
std::string Streamed(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string bytes;
    std::string directory;
    for (const auto& [name, data] : entries) {
        const auto offset = static_cast<uint32_t>(bytes.size());
        const uint32_t crc = Crc32(data);
        const auto size = static_cast<uint32_t>(data.size());
        bytes += "PK\x03\x04";
        Append(bytes, 20, 2);    // version needed
        Append(bytes, 8, 2);     // sizes in a data descriptor
        Append(bytes, 0, 2);     // stored
        Append(bytes, 0, 2);     // time
        Append(bytes, 0x21, 2);  // 1 January 1980
        bytes.append(12, 0);     // no checksum, no sizes
        Append(bytes, static_cast<uint32_t>(name.size()), 2);
        Append(bytes, 0, 2);
        bytes += name + data + "PK\x07\x08";
        Append(bytes, crc, 4);
        Append(bytes, size, 4);
        Append(bytes, size, 4);
        directory += "PK\x01\x02";
        Append(directory, 20, 2);  // made by
        Append(directory, 20, 2);
        Append(directory, 8, 2);
        Append(directory, 0, 2);
        Append(directory, 0, 2);
        Append(directory, 0x21, 2);
        Append(directory, crc, 4);
        Append(directory, size, 4);
        Append(directory, size, 4);
        Append(directory, static_cast<uint32_t>(name.size()), 2);
        directory.append(12, 0);  // extra, comment, disk, attributes
        Append(directory, offset, 4);
        directory += name;
    }
    const auto count = static_cast<uint32_t>(entries.size());
    const auto start = static_cast<uint32_t>(bytes.size());
    bytes += directory + "PK\x05\x06";
    Append(bytes, 0, 4);
    Append(bytes, count, 2);
    Append(bytes, count, 2);
    Append(bytes, static_cast<uint32_t>(directory.size()), 4);
    Append(bytes, start, 4);
    Append(bytes, 0, 2);
    return bytes;
}

// Listed: an entry as libzip reads it back.
struct Listed {
    std::string name;
    int32_t method;
    std::string data;
    time_t mtime;
    std::string comment;
    std::string extra;
};

std::vector<Listed> List(const std::string& bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    EXPECT_NE(archive, nullptr) << zip_error_strerror(&error);
    std::vector<Listed> entries;
    for (zip_int64_t i = 0; archive != nullptr && i < zip_get_num_entries(archive, 0); ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        zip_stat_index(archive, index, 0, &stat);
        Listed entry{stat.name, stat.comp_method, std::string(stat.size, '\0'), stat.mtime, "", ""};
        zip_file_t* file = zip_fopen_index(archive, index, 0);
        EXPECT_EQ(zip_fread(file, entry.data.data(), stat.size), static_cast<int64_t>(stat.size));
        zip_fclose(file);
        zip_uint32_t length = 0;
        const char* comment = zip_file_get_comment(archive, index, &length, 0);
        entry.comment.assign(comment != nullptr ? comment : "", length);
        zip_uint16_t size = 0;
        const zip_uint8_t* extra =
            zip_file_extra_field_get_by_id(archive, index, 0x5a5a, 0, &size, ZIP_FL_LOCAL);
        if (extra != nullptr) {
            entry.extra.assign(reinterpret_cast<const char*>(extra), size);
        }
        entries.push_back(entry);
    }
    zip_discard(archive);
    zip_error_fini(&error);
    return entries;
}

std::vector<std::string> Names(const std::vector<Listed>& entries) {
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const Listed& entry : entries) {
        names.push_back(entry.name);
    }
    return names;
}

// Refusal: the failure a call throws (kInternal and "no failure" when it throws none).
sorvel::Failure Refusal(const std::function<void()>& call) {
    try {
        call();
    } catch (const FailureError& failure) {
        return failure.Get();
    }
    return {FailureKind::kInternal, "no failure"};
}

// --- Memory held: measured through the allocator's hooks under AddressSanitizer (whose shadow
// memory rules out an address-space limit), else by running in a child process under one.

#if defined(__SANITIZE_ADDRESS__)
#define SORVEL_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SORVEL_TEST_ASAN 1
#endif
#endif

#if defined(SORVEL_TEST_ASAN)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
extern "C" size_t __sanitizer_get_allocated_size(const volatile void*);
std::atomic<bool> counting{false};
std::atomic<int64_t> held{0};
std::atomic<int64_t> peak{0};
void OnMalloc(const volatile void* /*block*/, size_t size) {
    if (counting) {
        const int64_t now = held += static_cast<int64_t>(size);
        int64_t seen = peak;
        while (now > seen && !peak.compare_exchange_weak(seen, now)) {
        }
    }
}
void OnFree(const volatile void* block) {
    if (counting && block != nullptr) {
        held -= static_cast<int64_t>(__sanitizer_get_allocated_size(block));
    }
}
constexpr bool kMeasured = true;
#else
constexpr bool kMeasured = false;
#endif

// ExitCodeOf: what a call answers as an exit code: 0 done, 10 + kind refused, 2 bad_alloc.
int ExitCodeOf(const std::function<void()>& call) {
    try {
        call();
        return 0;
    } catch (const FailureError& failure) {
        return 10 + static_cast<int>(failure.Get().kind);
    } catch (const std::bad_alloc&) {
        return 2;
    }
}
int Code(FailureKind kind) {
    return 10 + static_cast<int>(kind);
}

#if !defined(SORVEL_TEST_ASAN)
// RunLimited ends a child process with call's exit code, run with an address space of at most
// limit bytes more than it has now.
[[noreturn]] void RunLimited(uint64_t limit, const std::function<void()>& call) {
    // Memory the allocator already holds free would be handed out unseen by the limit: the
    // child takes it all first (and never gives it back).
    for (int taken = 0; mallinfo2().fordblks > kMiB && taken < 10000000; ++taken) {
        void* volatile held = std::malloc(256);  // volatile: the call is not left out
        static_cast<void>(held);
    }
    std::ifstream statm("/proc/self/statm");
    uint64_t pages = 0;
    statm >> pages;
    const uint64_t now = pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    const rlimit bound{now + limit, now + limit};
    setrlimit(RLIMIT_AS, &bound);
    _exit(ExitCodeOf(call));
}
#endif

// ExpectWithin runs call, expecting the exit code expected, while it holds at most limit bytes
// more than before.
void ExpectWithin(uint64_t limit, const std::function<void()>& call, int expected) {
#if defined(SORVEL_TEST_ASAN)
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
    ASSERT_TRUE(installed);
    held = 0;
    peak = 0;
    counting = true;
    const int code = ExitCodeOf(call);
    counting = false;
    EXPECT_EQ(code, expected);
    EXPECT_LE(static_cast<uint64_t>(peak.load()), limit);
#else
    EXPECT_EXIT(RunLimited(limit, call), testing::ExitedWithCode(expected), "");
#endif
}

// --- Reading

TEST(MxlArchiveTest, LooksLikeZipReadsTheSignatureOnly) {
    EXPECT_TRUE(sorvel::mxl::LooksLikeZip(std::string("PK\x03\x04", 4)));
    EXPECT_TRUE(sorvel::mxl::LooksLikeZip(Zip(Mxl())));
    EXPECT_FALSE(sorvel::mxl::LooksLikeZip("PK\x03"));
    EXPECT_FALSE(sorvel::mxl::LooksLikeZip(""));
    EXPECT_FALSE(sorvel::mxl::LooksLikeZip("<?xml version=\"1.0\"?>"));
}

TEST(MxlArchiveTest, ReadsTheFirstRootfile) {
    std::vector<Item> items = Mxl();
    items[1].data =
        "<container xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
        "<rootfile full-path=\"music/score.xml\" media-type=\"application/vnd.recordare."
        "musicxml+xml\"/><rootfile full-path=\"picture.png\"/></rootfiles></container>";
    const sorvel::mxl::Entry entry = sorvel::mxl::Read(Zip(items), sorvel::kDefaultMaxScoreBytes);
    EXPECT_EQ(entry.rootfile, "music/score.xml");
    EXPECT_EQ(entry.score, kScore);
}

TEST(MxlArchiveTest, ABrokenTableOfContentsIsNamed) {
    struct Case {
        const char* container;
        FailureKind kind;
        const char* message;
    };
    const Case cases[] = {
        {"<container><rootfiles>", FailureKind::kNotWellFormed,
         "META-INF/container.xml is not well-formed XML"},
        {"<container><rootfiles/></container>", FailureKind::kArchive, "names no rootfile"},
        {"<container><rootfiles><rootfile full-path=\"\"/></rootfiles></container>",
         FailureKind::kArchive, "names no rootfile"},
        {"<container><rootfiles><rootfile full-path=\"score.xml\"/></rootfiles></container>",
         FailureKind::kArchive,
         "names the score score.xml, but the container has no entry of that name"},
    };
    for (const Case& c : cases) {
        std::vector<Item> items = Mxl();
        items[1].data = c.container;
        const sorvel::Failure failure =
            Refusal([&] { sorvel::mxl::Read(Zip(items), sorvel::kDefaultMaxScoreBytes); });
        EXPECT_EQ(failure.kind, c.kind) << c.container;
        EXPECT_NE(failure.message.find(c.message), std::string::npos) << failure.message;
    }
    std::vector<Item> items = Mxl();
    items.erase(items.begin() + 1);
    const sorvel::Failure failure =
        Refusal([&] { sorvel::mxl::Read(Zip(items), sorvel::kDefaultMaxScoreBytes); });
    EXPECT_EQ(failure.kind, FailureKind::kArchive);
    EXPECT_NE(failure.message.find("META-INF/container.xml"), std::string::npos) << failure.message;
}

// A 3 GiB entry declared in an archive of a few hundred bytes is refused before anything is
// allocated, as impossible for its compressed size, whatever the limit.
TEST(MxlArchiveTest, AHugeDeclaredSizeIsRefusedBeforeAllocating) {
    const std::string archive =
        PatchSizes(Zip(Mxl()), "music/score.xml", -1, int64_t{3} << 30);  // 3 GiB
    ASSERT_LT(archive.size(), 1000U);
    for (const uint64_t limit : {sorvel::kDefaultMaxScoreBytes, uint64_t{UINT64_MAX}}) {
        ExpectWithin(
            kMiB, [&] { sorvel::mxl::Read(archive, limit); }, Code(FailureKind::kArchive));
        const sorvel::Failure failure = Refusal([&] { sorvel::mxl::Read(archive, limit); });
        EXPECT_EQ(failure.message,
                  "the .mxl container lies about its sizes (the entry music/score.xml)");
    }
}

// A bomb: 64 MiB of zeros deflate to about 64 KiB. Honest, it is refused by a smaller limit
// before it is expanded; declaring less than it holds, it is refused once past what it declared.
TEST(MxlArchiveTest, AZipBombStaysWithinTheLimit) {
    const std::string bomb = Zip(Mxl(std::string(64 * kMiB, '\0')));
    ASSERT_LT(bomb.size(), kMiB);
    ExpectWithin(
        2 * kMiB, [&] { sorvel::mxl::Read(bomb, kMiB); }, Code(FailureKind::kTooLarge));
    EXPECT_EQ(Refusal([&] { sorvel::mxl::Read(bomb, 3 * kMiB / 2); }).message,
              "the score expands to more than 1536 KiB, the limit (raise it with "
              "--max-score-size)");
    const std::string lying = PatchSizes(bomb, "music/score.xml", -1, 1000);
    ExpectWithin(
        2 * kMiB, [&] { sorvel::mxl::Read(lying, sorvel::kDefaultMaxScoreBytes); },
        Code(FailureKind::kArchive));
}

TEST(MxlArchiveTest, AnArchiveThatLiesAboutItsSizesIsRefusedAsSuch) {
    const std::string archive = Zip(Mxl());
    const uint32_t compressed = Le32(archive, HeadersOf(archive, "music/score.xml")[0].at + 18);
    const auto size = static_cast<int64_t>(kScore.size());
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"smaller than its data", PatchSizes(archive, "music/score.xml", -1, size - 5)},
        {"bigger than its data", PatchSizes(archive, "music/score.xml", -1, size + 5)},
        {"stored, sizes differ", PatchSizes(archive, "mimetype", -1, 20)},
        {"stored, both smaller", PatchSizes(archive, "META-INF/container.xml", 40, 40)},
        {"compressed size past the end", PatchSizes(archive, "music/score.xml", 100000, -1)},
        {"compressed size short", PatchSizes(archive, "music/score.xml", compressed - 3, -1)},
    };
    for (const Case& c : cases) {
        const sorvel::Failure failure =
            Refusal([&] { sorvel::mxl::Read(c.bytes, sorvel::kDefaultMaxScoreBytes); });
        EXPECT_EQ(failure.kind, FailureKind::kArchive) << c.what << ": " << failure.message;
        EXPECT_EQ(failure.message.find("No error"), std::string::npos) << c.what;
        EXPECT_NE(failure.message.find("lies about"), std::string::npos)
            << c.what << ": " << failure.message;
    }
}

TEST(MxlArchiveTest, ATruncatedArchiveIsNamedAsSuch) {
    const std::string archive = Zip(Mxl());
    for (const size_t cut : {size_t{4}, size_t{40}, archive.size() / 2, archive.size() - 23,
                             archive.size() - 22, archive.size() - 10, archive.size() - 1}) {
        const sorvel::Failure failure = Refusal(
            [&] { sorvel::mxl::Read(archive.substr(0, cut), sorvel::kDefaultMaxScoreBytes); });
        EXPECT_EQ(failure.kind, FailureKind::kArchive) << cut;
        EXPECT_NE(failure.message.find("truncated"), std::string::npos)
            << cut << ": " << failure.message;
    }
}

// Damage that is no lie about sizes is named for what it is: a checksum, a local header that
// names another entry than the directory does.
TEST(MxlArchiveTest, DamageIsNamed) {
    const std::string archive = Zip(Mxl());
    std::string flipped = archive;
    const std::string raw = RawData(archive, "music/score.xml");
    flipped[flipped.find(raw) + raw.size() / 2] ^= 0x01;
    const sorvel::Failure damaged =
        Refusal([&] { sorvel::mxl::Read(flipped, sorvel::kDefaultMaxScoreBytes); });
    EXPECT_EQ(damaged.kind, FailureKind::kArchive) << damaged.message;
    std::string renamed = archive;
    renamed[HeadersOf(archive, "picture.png")[0].at + 30] = 'q';  // the local header's name
    const sorvel::Failure inconsistent =
        Refusal([&] { sorvel::mxl::Read(renamed, sorvel::kDefaultMaxScoreBytes); });
    EXPECT_EQ(inconsistent.kind, FailureKind::kArchive) << inconsistent.message;
    const sorvel::Failure none =
        Refusal([&] { sorvel::mxl::Read(std::string("PK\x03\x04", 4) + "junk", UINT64_MAX); });
    EXPECT_EQ(none.kind, FailureKind::kArchive);
    EXPECT_NE(none.message.find("not a readable .mxl container"), std::string::npos);
}

// Two entries of one name: other readers take the last, libzip the first; both refuse.
TEST(MxlArchiveTest, TwoEntriesOfOneNameAreRefused) {
    for (const char* twin : {"music/score.xml", kContainerName, "picture.png"}) {
        std::vector<Item> items = Mxl();
        std::string other = twin;
        other.back() = '#';
        items.emplace_back(other, "<score-partwise/>");
        std::string archive = Zip(items);
        for (const Header& header : HeadersOf(archive, other)) {
            const size_t name = header.at + (header.central ? 46 : 30);
            archive[name + other.size() - 1] = std::string(twin).back();
        }
        const sorvel::Failure read =
            Refusal([&] { sorvel::mxl::Read(archive, sorvel::kDefaultMaxScoreBytes); });
        EXPECT_EQ(read.kind, FailureKind::kArchive) << twin;
        EXPECT_NE(read.message.find("two entries"), std::string::npos) << read.message;
        const sorvel::Failure write =
            Refusal([&] { sorvel::mxl::Write(archive, "music/score.xml", kScore); });
        EXPECT_EQ(write.kind, FailureKind::kArchive) << twin;
        EXPECT_NE(write.message.find("two entries"), std::string::npos) << write.message;
    }
}

// Memory running out, in a child process whose address space is bounded: a C++ allocation
// (the score's buffer) and libzip's own (the new archive's) both come back as out of memory. Under
// AddressSanitizer a failed allocation ends the process, so it is not run.
TEST(MxlArchiveTest, RunningOutOfMemoryIsNamed) {
    if (kMeasured) {
        GTEST_SKIP() << "AddressSanitizer ends the process when an allocation fails";
    }
    const std::string big = Zip(Mxl(std::string(64 * kMiB, ' ')));
    ExpectWithin(
        16 * kMiB, [&] { sorvel::mxl::Read(big, sorvel::kDefaultMaxScoreBytes); },
        Code(FailureKind::kOutOfMemory));
}

TEST(MxlArchiveTest, RunningOutOfMemoryInLibzipIsNamed) {
    if (kMeasured) {
        GTEST_SKIP() << "AddressSanitizer ends the process when an allocation fails";
    }
    // A stored entry of 32 MiB that does not compress: libzip copies it into the new archive
    // in memory (libzip reports memory that runs out while it reads a directory as "Not a zip
    // archive", so it is run out of while writing).
    std::vector<Item> items = Mxl();
    items[3].data.resize(32 * kMiB);
    uint32_t state = 1;
    for (char& byte : items[3].data) {
        state = state * 1664525U + 1013904223U;
        byte = static_cast<char>(state >> 24);
    }
    items[3].method = ZIP_CM_STORE;
    const std::string archive = Zip(items);
    items.clear();
    ExpectWithin(
        8 * kMiB, [&] { sorvel::mxl::Write(archive, "music/score.xml", kScore); },
        Code(FailureKind::kOutOfMemory));
}

// --- Writing

// Archives from streaming writers keep their sizes in data descriptors; they are read, and
// written back with sizes in the headers.
TEST(MxlArchiveTest, AStreamedArchiveIsReadAndWritten) {
    const std::string archive = Streamed({{"mimetype", kMime},
                                          {kContainerName, kContainer},
                                          {"music/score.xml", kScore},
                                          {"picture.png", "picture"}});
    EXPECT_EQ(Names(List(archive)), (std::vector<std::string>{"mimetype", kContainerName,
                                                              "music/score.xml", "picture.png"}));
    EXPECT_EQ(sorvel::mxl::Read(archive, sorvel::kDefaultMaxScoreBytes).score, kScore);
    const std::string written = sorvel::mxl::Write(archive, "music/score.xml", "<new/>");
    const std::vector<Listed> after = List(written);
    ASSERT_EQ(after.size(), 4U);
    EXPECT_EQ(after[0].data, kMime);
    EXPECT_EQ(after[0].method, ZIP_CM_STORE);
    EXPECT_EQ(after[1].data, kContainer);
    EXPECT_EQ(after[2].data, "<new/>");
    EXPECT_EQ(after[3].data, "picture");
}

// The command line hands the core the buffer it read the file into: an .mxl in one is
// respelled as the same archive in a string is.
TEST(MxlArchiveTest, AnArchiveInABufferIsRespelledAsInAString) {
    const std::string score =
        "<score-partwise><part-list><score-part id=\"P1\"/></part-list><part id=\"P1\">"
        "<measure number=\"1\"><note><pitch><step>A</step><alter>1</alter><octave>4</octave>"
        "</pitch><duration>1</duration></note></measure></part></score-partwise>\n";
    const std::string archive = Zip({{"mimetype", kMime, ZIP_CM_STORE},
                                     {kContainerName, kContainer},
                                     {"music/score.xml", score}});
    rules::PitchRow row;
    std::string error;
    ASSERT_TRUE(sorvel::ParseRowOption("A#>Bb", row, error));
    const rules::PitchRules rules({row});
    sorvel::RespellOptions options;
    options.rules = &rules;
    auto buffer = std::make_unique_for_overwrite<char[]>(archive.size());
    std::copy(archive.begin(), archive.end(), buffer.get());
    const sorvel::RespelledScore fromString = sorvel::RespellScore(archive, options);
    const sorvel::RespelledScore fromBuffer =
        sorvel::RespellScore(sorvel::ScoreBytes{std::move(buffer), archive.size()}, options);
    ASSERT_TRUE(fromString.Ok()) << fromString.failure->Text();
    ASSERT_TRUE(fromBuffer.Ok()) << fromBuffer.failure->Text();
    EXPECT_EQ(fromBuffer.changes.size(), 1U);
    EXPECT_EQ(fromBuffer.Bytes(), fromString.Bytes());
    EXPECT_NE(sorvel::mxl::Read(fromBuffer.Bytes(), sorvel::kDefaultMaxScoreBytes)
                  .score.find("<step>B</step><alter>-1</alter>"),
              std::string::npos);
}

// Writing holds the new archive and its copy for the caller, never the entries expanded: a
// stored entry of 16 MiB costs about twice its size.
TEST(MxlArchiveTest, WritingHoldsAboutTwoArchives) {
    std::vector<Item> items = Mxl();
    items[3].data.assign(16 * kMiB, 'x');
    items[3].method = ZIP_CM_STORE;
    const std::string archive = Zip(items);
    items.clear();
    ExpectWithin(
        2 * archive.size() + 2 * kMiB,
        [&] { sorvel::mxl::Write(archive, "music/score.xml", kScore); }, 0);
}

TEST(MxlArchiveTest, WritingReplacesOnlyTheScore) {
    std::vector<Item> items = Mxl();
    items[3].level = 1;  // recompressed at the default level, its data would change
    items[3].data = "";
    for (int i = 0; i < 2000; ++i) {
        items[3].data += std::to_string(i * 7919 % 1000) + " ";
    }
    items[3].comment = "a comment";
    items[3].extra = "extra";
    items[2].mtime = 1100000000;  // long ago: the new score keeps it, the run's time is not used
    const std::string archive = Zip(items);
    const std::string score = "<score-partwise><part id=\"P1\"><measure/></part></score-partwise>";
    const std::string written = sorvel::mxl::Write(archive, "music/score.xml", score);
    const std::vector<Listed> before = List(archive);
    const std::vector<Listed> after = List(written);
    ASSERT_EQ(Names(after), Names(before));
    EXPECT_EQ(after[0].method, ZIP_CM_STORE);
    EXPECT_EQ(after[2].method, ZIP_CM_DEFLATE);
    EXPECT_EQ(after[2].data, score);
    EXPECT_EQ(after[2].mtime, before[2].mtime);  // the same respelling writes the same bytes
    EXPECT_EQ(sorvel::mxl::Write(archive, "music/score.xml", score), written);
    for (const size_t unchanged : {0, 1, 3}) {
        EXPECT_EQ(after[unchanged].data, before[unchanged].data);
        EXPECT_EQ(after[unchanged].method, before[unchanged].method);
        EXPECT_EQ(after[unchanged].mtime, before[unchanged].mtime);
        EXPECT_EQ(after[unchanged].comment, before[unchanged].comment);
        EXPECT_EQ(after[unchanged].extra, before[unchanged].extra);
        EXPECT_EQ(RawData(written, after[unchanged].name), RawData(archive, after[unchanged].name));
    }
    const sorvel::mxl::Entry entry = sorvel::mxl::Read(written, sorvel::kDefaultMaxScoreBytes);
    EXPECT_EQ(entry.score, score);
}

// A mimetype that is not first (or deflated) is written first and stored; the entries before
// it move behind the others with their data, times, comments and extra fields.
TEST(MxlArchiveTest, TheMimetypeIsWrittenFirstAndStored) {
    std::vector<Item> items = Mxl();
    items[0].method = ZIP_CM_DEFLATE;
    items[2].comment = "the score";
    items[2].extra = "score extra";
    items[2].mtime = 1000000000;
    items[3].level = 1;
    items[3].comment = "picture";
    items[3].extra = "picture extra";
    items[3].mtime = 1200000000;
    std::rotate(items.begin(), items.begin() + 2, items.end());  // score, picture, mimetype, ...
    const std::string archive = Zip(items);
    const std::vector<Listed> before = List(archive);
    ASSERT_EQ(Names(before), (std::vector<std::string>{"music/score.xml", "picture.png", "mimetype",
                                                       kContainerName}));
    const std::string written = sorvel::mxl::Write(archive, "music/score.xml", "<new/>");
    const std::vector<Listed> after = List(written);
    ASSERT_EQ(Names(after), (std::vector<std::string>{"mimetype", kContainerName, "music/score.xml",
                                                      "picture.png"}));
    EXPECT_EQ(after[0].method, ZIP_CM_STORE);
    EXPECT_EQ(after[0].data, kMime);
    EXPECT_EQ(after[2].data, "<new/>");
    EXPECT_EQ(after[2].method, ZIP_CM_DEFLATE);
    for (const auto& [was, is] : {std::pair{0, 2}, {1, 3}, {3, 1}}) {
        EXPECT_EQ(after[is].comment, before[was].comment) << after[is].name;
        EXPECT_EQ(after[is].extra, before[was].extra) << after[is].name;
    }
    EXPECT_EQ(after[3].mtime, before[1].mtime);
    EXPECT_EQ(after[3].data, before[1].data);
    EXPECT_EQ(RawData(written, "picture.png"), RawData(archive, "picture.png"));
    EXPECT_EQ(RawData(written, kContainerName), RawData(archive, kContainerName));
    EXPECT_EQ(sorvel::mxl::Read(written, sorvel::kDefaultMaxScoreBytes).score, "<new/>");
}

// Without a mimetype entry, nothing is added or moved.
TEST(MxlArchiveTest, AnArchiveWithoutMimetypeKeepsItsOrder) {
    std::vector<Item> items = Mxl();
    items.erase(items.begin());
    std::swap(items[0], items[2]);
    const std::string archive = Zip(items);
    const std::string written = sorvel::mxl::Write(archive, "music/score.xml", "<new/>");
    EXPECT_EQ(Names(List(written)), Names(List(archive)));
}

TEST(MxlArchiveTest, WritingCreatesNoFile) {
    const fs::path folder = fs::temp_directory_path() / ("sorvel-mxl-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "work");
    fs::create_directories(folder / "tmp");
    const fs::path was = fs::current_path();
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string keptTmpdir = tmpdir != nullptr ? tmpdir : "";
    fs::current_path(folder / "work");
    setenv("TMPDIR", (folder / "tmp").c_str(), 1);
    std::vector<Item> items = Mxl();
    std::swap(items[0], items[3]);
    const std::string written = sorvel::mxl::Write(Zip(items), "music/score.xml", "<new/>");
    fs::current_path(was);
    tmpdir != nullptr ? setenv("TMPDIR", keptTmpdir.c_str(), 1) : unsetenv("TMPDIR");
    EXPECT_TRUE(fs::is_empty(folder / "work"));
    EXPECT_TRUE(fs::is_empty(folder / "tmp"));
    EXPECT_EQ(List(written).size(), 4U);
    fs::remove_all(folder);
}

TEST(MxlArchiveTest, WritingRefusesWhatReadingRefuses) {
    const std::string archive = Zip(Mxl());
    const sorvel::Failure missing =
        Refusal([&] { sorvel::mxl::Write(archive, "music/other.xml", "<new/>"); });
    EXPECT_EQ(missing.kind, FailureKind::kArchive);
    EXPECT_NE(missing.message.find("music/other.xml"), std::string::npos);
    const sorvel::Failure truncated = Refusal(
        [&] { sorvel::mxl::Write(archive.substr(0, archive.size() - 5), "music/score.xml", ""); });
    EXPECT_EQ(truncated.kind, FailureKind::kArchive);
    EXPECT_NE(truncated.message.find("truncated"), std::string::npos);
}

}  // namespace
