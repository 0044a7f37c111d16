// MxlArchive: libzip reads and writes the container through buffer sources in memory; pugixml
// reads its table of contents.
#include "sorvel/core/MxlArchive.h"

#include <zip.h>

#include <algorithm>
#include <memory>
#include <new>
#include <pugixml.hpp>
#include <unordered_set>

#include "sorvel/core/Failure.h"

namespace sorvel::mxl {
namespace {

constexpr const char* kContainer = "META-INF/container.xml";
constexpr const char* kMimetype = "mimetype";
// A table of contents names a file or two: anything bigger is no container.xml.
constexpr uint64_t kMaxContainerBytes = uint64_t{1} << 20;
// Deflate expands at most 1032-fold (258 bytes from a code of about 2 bits), so a deflated
// entry that declares more than that of its compressed size lies.
constexpr uint64_t kDeflateMostRatio = 1032;
// Entries are read in pieces this big, so that no read goes far past a limit.
constexpr uint64_t kChunk = uint64_t{64} << 10;

struct ArchiveDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveDiscard>;
struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;
struct FileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using File = std::unique_ptr<zip_file_t, FileClose>;

// Opened: an archive and the buffer source it reads through (and, when it is writable, writes
// its new content to). The archive is declared last, so that it goes first.
struct Opened {
    Source source;
    Archive archive;
};

std::string SizeText(uint64_t bytes) {
    constexpr uint64_t kMiB = uint64_t{1} << 20;
    constexpr uint64_t kKiB = uint64_t{1} << 10;
    if (bytes >= kMiB && bytes % kMiB == 0) {
        return std::to_string(bytes / kMiB) + " MiB";
    }
    if (bytes >= kKiB && bytes % kKiB == 0) {
        return std::to_string(bytes / kKiB) + " KiB";
    }
    return std::to_string(bytes) + " bytes";
}

std::string LibzipText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

std::string Lies(const std::string& name) {
    return "the .mxl container lies about its sizes (the entry " + name + ")";
}

// FailZip throws libzip's error code as a failure: memory as memory, damage by what it is.
// doing says what was being done ("reading the entry music/score.xml").
[[noreturn]] void FailZip(int code, const std::string& doing) {
    switch (code) {
        case ZIP_ER_MEMORY:
            Fail(FailureKind::kOutOfMemory, "memory ran out while " + doing);
        case ZIP_ER_EOF:
            Fail(FailureKind::kArchive,
                 "the .mxl container is truncated: it ends before the data it lists (" + doing +
                     ")");
        case ZIP_ER_CRC:
            Fail(FailureKind::kArchive,
                 "the .mxl container is damaged or lies about its sizes: data that does not "
                 "match its checksum (" +
                     doing + ")");
        case ZIP_ER_INCONS:
            Fail(FailureKind::kArchive,
                 "the .mxl container is inconsistent: damaged, or it lies about its entries (" +
                     doing + ")");
        default:
            Fail(FailureKind::kArchive,
                 "not a readable .mxl container: " + LibzipText(code) + " (" + doing + ")");
    }
}

[[noreturn]] void FailArchive(zip_t* archive, const std::string& doing) {
    FailZip(zip_error_code_zip(zip_get_error(archive)), doing);
}

// HasEndRecord: the bytes end with a whole end-of-central-directory record, which a zip
// archive cut short has lost.
bool HasEndRecord(std::string_view bytes) {
    constexpr size_t kRecord = 22;
    constexpr size_t kLongestComment = 0xFFFF;
    const size_t from =
        bytes.size() > kRecord + kLongestComment ? bytes.size() - kRecord - kLongestComment : 0;
    const size_t at = bytes.rfind(std::string_view("PK\x05\x06", 4));
    return at != std::string_view::npos && at >= from && at + kRecord <= bytes.size();
}

// TryOpen opens the archive in bytes, which must outlive it; on failure the archive is null
// and code says why.
Opened TryOpen(std::string_view bytes, int flags, int& code) {
    zip_error_t error;
    zip_error_init(&error);
    Opened opened;
    opened.source.reset(zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error));
    if (opened.source) {
        opened.archive.reset(zip_open_from_source(opened.source.get(), flags, &error));
    }
    code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    if (opened.archive) {
        // The archive now holds the source; a reference of our own keeps it (and what the
        // archive wrote to it) after the archive is closed.
        zip_source_keep(opened.source.get());
    }
    return opened;
}

// CheckSizes refuses sizes that cannot be true of an archive of archiveSize bytes.
void CheckSizes(const zip_stat_t& stat, uint64_t archiveSize) {
    const std::string name = stat.name != nullptr ? stat.name : "";
    constexpr uint64_t kNeeded = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD;
    if ((stat.valid & kNeeded) != kNeeded) {
        Fail(FailureKind::kArchive, "the .mxl container declares no sizes for the entry " + name);
    }
    const bool stored = stat.comp_method == ZIP_CM_STORE;
    const bool deflated = stat.comp_method == ZIP_CM_DEFLATE;
    if (stat.comp_size > archiveSize || (stored && stat.size != stat.comp_size) ||
        (deflated && stat.size / kDeflateMostRatio > stat.comp_size)) {
        Fail(FailureKind::kArchive, Lies(name));
    }
}

// CheckEntries refuses, before anything is read, entries whose declared sizes cannot be true,
// and two entries of one name: other readers take the last, libzip the first, so the score
// would be edited where they do not look.
void CheckEntries(zip_t* archive, uint64_t archiveSize) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    std::unordered_set<std::string_view> names;
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat) != 0) {
            FailArchive(archive, "reading the table of contents");
        }
        if (stat.name == nullptr || !names.insert(stat.name).second) {
            Fail(FailureKind::kArchive, std::string("the .mxl container holds two entries named ") +
                                            (stat.name != nullptr ? stat.name : "") +
                                            " (readers disagree on which is the file)");
        }
        CheckSizes(stat, archiveSize);
    }
}

// FailOpen names why an archive cannot be opened. When its end is whole but the stricter
// checks failed, a second look without them finds lying sizes or twin names, or else refuses
// it for headers that disagree with its table of contents.
[[noreturn]] void FailOpen(std::string_view bytes, int flags, int code) {
    if (code != ZIP_ER_MEMORY && LooksLikeZip(bytes) && !HasEndRecord(bytes)) {
        Fail(FailureKind::kArchive,
             "not a readable .mxl container: it is truncated (the table of contents at the end "
             "of a zip archive is missing)");
    }
    if (code == ZIP_ER_MEMORY || !HasEndRecord(bytes)) {
        FailZip(code, "opening the container");
    }
    int looseCode = 0;
    const Opened loose = TryOpen(bytes, flags, looseCode);
    if (!loose.archive) {
        FailZip(looseCode, "opening the container");
    }
    CheckEntries(loose.archive.get(), bytes.size());
    Fail(FailureKind::kArchive,
         "the .mxl container is inconsistent: the headers of its entries disagree with its "
         "table of contents (" +
             LibzipText(code) + ")");
}

// Open opens the archive in bytes, which must outlive it, and checks its entries.
// ZIP_CHECKCONS has each entry's local header checked against the central directory, so that
// no reader that walks the local headers sees other entries than this one does.
Opened Open(std::string_view bytes, int flags) {
    int code = 0;
    Opened opened = TryOpen(bytes, flags | ZIP_CHECKCONS, code);
    if (!opened.archive) {
        FailOpen(bytes, flags, code);
    }
    CheckEntries(opened.archive.get(), bytes.size());
    return opened;
}

zip_stat_t StatOf(zip_t* archive, const std::string& name) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive, name.c_str(), 0, &stat) != 0) {
        if (zip_error_code_zip(zip_get_error(archive)) == ZIP_ER_NOENT) {
            Fail(FailureKind::kArchive, "the .mxl container has no entry " + name);
        }
        FailArchive(archive, "reading the entry " + name);
    }
    return stat;
}

// Bound: how far an entry may expand, and what it is called when it goes further.
struct Bound {
    uint64_t bytes = 0;
    std::string tooLarge;  // "the score expands to more than 512 MiB, the limit (...)"
};

// CheckBound refuses, before anything is allocated, an entry that declares more than bound.
void CheckBound(const zip_stat_t& stat, const Bound& bound) {
    if (stat.size > bound.bytes) {
        Fail(FailureKind::kTooLarge, bound.tooLarge);
    }
}

// ReadData reads an entry whose declared sizes were checked, in pieces, and stops one byte
// past the declared size: data longer or shorter than declared is refused as a lie, and no
// more than the declared size (within the bound) is ever held.
std::string ReadData(zip_t* archive, const zip_stat_t& stat) {
    const std::string name = stat.name != nullptr ? stat.name : "";
    const File file(zip_fopen_index(archive, stat.index, 0));
    if (!file) {
        FailArchive(archive, "opening the entry " + name);
    }
    std::string bytes;
    // Only sizes checked against the compressed size are trusted with a reservation.
    bytes.reserve(std::min(stat.size, stat.comp_size * kDeflateMostRatio) + 1);
    while (bytes.size() <= stat.size) {
        const size_t done = bytes.size();
        const uint64_t want = std::min(kChunk, stat.size + 1 - done);
        bytes.resize(done + want);
        const zip_int64_t got = zip_fread(file.get(), bytes.data() + done, want);
        if (got < 0) {
            const int code = zip_error_code_zip(zip_file_get_error(file.get()));
            if (code == ZIP_ER_INCONS) {
                Fail(FailureKind::kArchive, Lies(name));
            }
            FailZip(code, "reading the entry " + name);
        }
        bytes.resize(done + static_cast<size_t>(got));
        if (got == 0) {
            break;
        }
    }
    if (bytes.size() != stat.size) {
        Fail(FailureKind::kArchive, Lies(name));
    }
    return bytes;
}

// RootfileOf answers the first rootfile that container.xml names.
std::string RootfileOf(const std::string& container) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(container.data(), container.size());
    if (parsed.status == pugi::status_out_of_memory) {
        Fail(FailureKind::kOutOfMemory, std::string("memory ran out while reading ") + kContainer);
    }
    if (!parsed) {
        Fail(FailureKind::kNotWellFormed, std::string(kContainer) +
                                              " is not well-formed XML: " + parsed.description() +
                                              " (at byte " + std::to_string(parsed.offset) + ")");
    }
    std::string rootfile = document.child("container")
                               .child("rootfiles")
                               .child("rootfile")
                               .attribute("full-path")
                               .value();
    if (rootfile.empty()) {
        Fail(FailureKind::kArchive, std::string(kContainer) + " names no rootfile");
    }
    return rootfile;
}

void Check(int result, zip_t* archive, const std::string& doing) {
    if (result != 0) {
        FailArchive(archive, doing);
    }
}

// CopyAttributes gives the entry added at index to what was the entry from in original its
// time, attributes, comment and extra fields.
void CopyAttributes(zip_t* archive, zip_uint64_t index, zip_t* original, const zip_stat_t& from) {
    const std::string doing = std::string("moving the entry ") + from.name;
    if ((from.valid & ZIP_STAT_MTIME) != 0) {
        Check(zip_file_set_mtime(archive, index, from.mtime, 0), archive, doing);
    }
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    Check(zip_file_get_external_attributes(original, from.index, 0, &system, &attributes), original,
          doing);
    Check(zip_file_set_external_attributes(archive, index, 0, system, attributes), archive, doing);
    zip_uint32_t length = 0;
    const char* comment = zip_file_get_comment(original, from.index, &length, ZIP_FL_ENC_RAW);
    if (comment != nullptr && length > 0) {
        Check(zip_file_set_comment(archive, index, comment, static_cast<zip_uint16_t>(length), 0),
              archive, doing);
    }
    for (const zip_flags_t where : {ZIP_FL_LOCAL, ZIP_FL_CENTRAL}) {
        const zip_int16_t count = zip_file_extra_fields_count(original, from.index, where);
        for (zip_int16_t field = 0; field < count; ++field) {
            zip_uint16_t id = 0;
            zip_uint16_t size = 0;
            const zip_uint8_t* data = zip_file_extra_field_get(
                original, from.index, static_cast<zip_uint16_t>(field), &id, &size, where);
            if (data == nullptr) {
                FailArchive(original, doing);
            }
            Check(zip_file_extra_field_set(archive, index, id, ZIP_EXTRA_FIELD_NEW, data, size,
                                           where),
                  archive, doing);
        }
    }
    if (from.comp_method == ZIP_CM_STORE) {  // else a stored entry added anew is deflated
        Check(zip_set_file_compression(archive, index, ZIP_CM_STORE, 0), archive, doing);
    }
}

// MoveToEnd deletes the entry at index and adds it again at the end, its data copied from
// original as it is (compressed data is not recompressed).
void MoveToEnd(zip_t* archive, zip_t* original, zip_uint64_t index) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    Check(zip_stat_index(original, index, 0, &stat), original, "moving an entry");
    const std::string name = stat.name;
    const Source data(zip_source_zip(archive, original, index, 0, 0, -1));
    if (!data) {
        FailArchive(archive, "moving the entry " + name);
    }
    Check(zip_delete(archive, index), archive, "moving the entry " + name);
    const zip_int64_t added = zip_file_add(archive, name.c_str(), data.get(), ZIP_FL_ENC_UTF_8);
    if (added < 0) {
        FailArchive(archive, "moving the entry " + name);
    }
    zip_source_keep(data.get());  // the archive holds it now, and data lets go of its own
    CopyAttributes(archive, static_cast<zip_uint64_t>(added), original, stat);
}

// PutMimetypeFirst: readers tell an .mxl by its first entry, the mimetype, stored. Entries
// before it move behind the others.
void PutMimetypeFirst(zip_t* archive, zip_t* original) {
    const zip_int64_t found = zip_name_locate(archive, kMimetype, 0);
    if (found < 0) {
        return;
    }
    const auto mimetype = static_cast<zip_uint64_t>(found);
    for (zip_uint64_t index = 0; index < mimetype; ++index) {
        MoveToEnd(archive, original, index);
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    Check(zip_stat_index(archive, mimetype, 0, &stat), archive, "reading the mimetype entry");
    if (stat.comp_method != ZIP_CM_STORE) {
        Check(zip_set_file_compression(archive, mimetype, ZIP_CM_STORE, 0), archive,
              "storing the mimetype entry");
    }
}

void ReplaceScore(zip_t* archive, const std::string& rootfile, std::string_view score) {
    const zip_int64_t found = zip_name_locate(archive, rootfile.c_str(), 0);
    if (found < 0) {
        Fail(FailureKind::kArchive, "the .mxl container has no entry " + rootfile);
    }
    const auto index = static_cast<zip_uint64_t>(found);
    const std::string doing = "writing the entry " + rootfile;
    // The entry keeps its time, so that the same respelling writes the same bytes.
    zip_stat_t before;
    zip_stat_init(&before);
    Check(zip_stat_index(archive, index, 0, &before), archive, doing);
    const Source data(zip_source_buffer(archive, score.data(), score.size(), 0));
    if (!data) {
        FailArchive(archive, doing);
    }
    Check(zip_file_replace(archive, index, data.get(), 0), archive, doing);
    zip_source_keep(data.get());
    Check(zip_set_file_compression(archive, index, ZIP_CM_DEFLATE, 0), archive, doing);
    if ((before.valid & ZIP_STAT_MTIME) != 0) {
        Check(zip_file_set_mtime(archive, index, before.mtime, 0), archive, doing);
    }
}

// Contents answers what a closed archive wrote to its buffer source.
std::string Contents(zip_source_t* source) {
    const std::string doing = "writing the container";
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) != 0 || zip_source_open(source) != 0) {
        FailZip(zip_error_code_zip(zip_source_error(source)), doing);
    }
    std::string bytes(stat.size, '\0');
    const zip_int64_t got = zip_source_read(source, bytes.data(), bytes.size());
    zip_source_close(source);
    if (got < 0 || static_cast<zip_uint64_t>(got) != stat.size) {
        FailZip(zip_error_code_zip(zip_source_error(source)), doing);
    }
    return bytes;
}

}  // namespace

bool LooksLikeZip(std::string_view bytes) {
    return bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4);
}

Entry Read(std::string_view archive, uint64_t maxScoreBytes) {
    try {
        const Opened opened = Open(archive, ZIP_RDONLY);
        zip_t* zip = opened.archive.get();
        const zip_stat_t container = StatOf(zip, kContainer);
        CheckBound(container,
                   {kMaxContainerBytes, std::string(kContainer) + " expands to more than " +
                                            SizeText(kMaxContainerBytes) +
                                            ", more than any table of contents"});
        Entry entry;
        entry.rootfile = RootfileOf(ReadData(zip, container));
        if (zip_name_locate(zip, entry.rootfile.c_str(), 0) < 0) {
            Fail(FailureKind::kArchive, std::string(kContainer) + " names the score " +
                                            entry.rootfile +
                                            ", but the container has no entry of that name");
        }
        const zip_stat_t score = StatOf(zip, entry.rootfile);
        CheckBound(score,
                   {maxScoreBytes, "the score expands to more than " + SizeText(maxScoreBytes) +
                                       ", the limit (raise it with --max-score-size)"});
        entry.score = ReadData(zip, score);
        return entry;
    } catch (const std::bad_alloc&) {
        Fail(FailureKind::kOutOfMemory, "memory ran out while reading the .mxl container");
    }
}

std::string Write(std::string_view archive, const std::string& rootfile, std::string_view score) {
    try {
        // Entries that move are copied from a second, read-only view of the same bytes; it
        // outlives the archive that is written.
        const Opened original = Open(archive, ZIP_RDONLY);
        Opened target = Open(archive, 0);
        PutMimetypeFirst(target.archive.get(), original.archive.get());
        ReplaceScore(target.archive.get(), rootfile, score);
        Check(zip_close(target.archive.get()), target.archive.get(), "writing the container");
        (void)target.archive.release();  // zip_close freed it
        return Contents(target.source.get());
    } catch (const std::bad_alloc&) {
        Fail(FailureKind::kOutOfMemory, "memory ran out while writing the .mxl container");
    }
}

}  // namespace sorvel::mxl
