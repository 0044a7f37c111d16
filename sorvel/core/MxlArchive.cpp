// MxlArchive: libzip for the container, pugixml for its table of contents.
#include "sorvel/core/MxlArchive.h"

#include <zip.h>

#include <filesystem>
#include <memory>
#include <pugixml.hpp>

namespace {

constexpr const char* kContainer = "META-INF/container.xml";

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

std::string ZipError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

bool ReadEntry(zip_t* archive, const char* name, std::string& bytes, std::string& error) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive, name, 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0) {
        error = std::string("the container has no entry ") + name;
        return false;
    }
    const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen(archive, name, 0),
                                                                 &zip_fclose);
    if (!file) {
        error = std::string("cannot open the entry ") + name + ": " + zip_strerror(archive);
        return false;
    }
    bytes.resize(stat.size);
    zip_uint64_t done = 0;
    while (done < stat.size) {
        const zip_int64_t got = zip_fread(file.get(), bytes.data() + done, stat.size - done);
        if (got <= 0) {
            error =
                std::string("cannot read the entry ") + name + ": " + zip_file_strerror(file.get());
            return false;
        }
        done += static_cast<zip_uint64_t>(got);
    }
    return true;
}

}  // namespace

bool MxlArchive::LooksLikeZip(std::string_view bytes) {
    return bytes.size() >= 4 && bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4);
}

bool MxlArchive::ReadScore(const std::string& path, std::string& rootfile, std::string& score,
                           std::string& error) {
    int code = 0;
    const Archive archive(zip_open(path.c_str(), ZIP_RDONLY, &code));
    if (!archive) {
        error = "not a readable .mxl container: " + ZipError(code);
        return false;
    }
    std::string container;
    if (!ReadEntry(archive.get(), kContainer, container, error)) {
        return false;
    }
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(container.data(), container.size());
    if (!parsed) {
        error = std::string(kContainer) + " is not well-formed XML: " + parsed.description();
        return false;
    }
    rootfile = document.child("container")
                   .child("rootfiles")
                   .child("rootfile")
                   .attribute("full-path")
                   .value();
    if (rootfile.empty()) {
        error = std::string(kContainer) + " names no rootfile";
        return false;
    }
    return ReadEntry(archive.get(), rootfile.c_str(), score, error);
}

bool MxlArchive::WriteScore(const std::string& source, const std::string& temporary,
                            const std::string& rootfile, std::string_view score,
                            std::string& error) {
    std::error_code copyError;
    std::filesystem::copy_file(source, temporary, copyError);
    if (copyError) {
        error = "cannot create " + temporary + ": " + copyError.message();
        return false;
    }
    auto fail = [&](const std::string& why) {
        error = why;
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    };
    int code = 0;
    Archive archive(zip_open(temporary.c_str(), 0, &code));
    if (!archive) {
        return fail("cannot open the copy of the container: " + ZipError(code));
    }
    const zip_int64_t index = zip_name_locate(archive.get(), rootfile.c_str(), 0);
    zip_source_t* data = zip_source_buffer(archive.get(), score.data(), score.size(), 0);
    if (index < 0 || data == nullptr) {
        return fail("cannot replace " + rootfile + ": " + zip_strerror(archive.get()));
    }
    const auto entry = static_cast<zip_uint64_t>(index);
    if (zip_file_replace(archive.get(), entry, data, 0) != 0) {
        zip_source_free(data);
        return fail("cannot replace " + rootfile + ": " + zip_strerror(archive.get()));
    }
    zip_set_file_compression(archive.get(), entry, ZIP_CM_DEFLATE, 0);
    if (zip_close(archive.get()) != 0) {
        return fail("cannot write the container: " + std::string(zip_strerror(archive.get())));
    }
    (void)archive.release();  // zip_close freed it
    return true;
}
