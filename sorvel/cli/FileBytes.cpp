// FileBytes: reading with the C library, so that read errors are seen and named.
#include "sorvel/cli/FileBytes.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

bool FileBytes::Read(const std::string& path, std::string& bytes, std::string& error) {
    std::error_code code;
    if (std::filesystem::is_directory(path, code)) {
        error = "it is a directory, not a file";
        return false;
    }
    errno = 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file) {
        error = std::string("cannot open it: ") + std::strerror(errno);
        return false;
    }
    // A regular file is read in one go; others (pipes, /proc files) chunk by chunk until the end.
    const uintmax_t expected =
        std::filesystem::is_regular_file(path, code) ? std::filesystem::file_size(path, code) : 0;
    constexpr size_t kChunk = size_t{1} << 20;
    bytes.clear();
    size_t size = 0;
    for (size_t want = code ? kChunk : static_cast<size_t>(expected) + 1;; want = kChunk) {
        bytes.resize(size + want);
        const size_t got = std::fread(bytes.data() + size, 1, want, file.get());
        size += got;
        if (got < want) {
            break;
        }
    }
    bytes.resize(size);
    if (std::ferror(file.get()) != 0) {
        error = std::string("cannot read it: ") + std::strerror(errno);
        return false;
    }
    return true;
}
