// FileBytes: reading with the C library, so that read errors are seen and named.
#include "sorvel/FileBytes.h"

#include <cerrno>
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
    bytes.clear();
    constexpr size_t kChunk = size_t{1} << 20;
    size_t size = 0;
    for (;;) {
        bytes.resize(size + kChunk);
        const size_t got = std::fread(bytes.data() + size, 1, kChunk, file.get());
        size += got;
        if (got < kChunk) {
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
