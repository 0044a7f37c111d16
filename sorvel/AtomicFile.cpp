// AtomicFile: temporary file, flush, rename.
#include "sorvel/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace fs = std::filesystem;

std::string AtomicFile::TemporaryPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const fs::path target(path);
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string name = "." + target.filename().string() + ".sorvel-";
#if defined(__unix__) || defined(__APPLE__)
    name += std::to_string(getpid()) + "-";
#endif
    name += std::to_string(stamp) + "-" + std::to_string(counter++) + ".tmp";
    return (target.parent_path() / name).string();
}

bool AtomicFile::Commit(const std::string& temporary, const std::string& path,
                        const std::string& keepModeOf, std::string& error) {
    std::error_code code;
    if (!keepModeOf.empty()) {
        const fs::perms mode = fs::status(keepModeOf, code).permissions();
        if (!code) {
            fs::permissions(temporary, mode, code);
        }
    }
    fs::rename(temporary, path, code);
    if (code) {
        error = "cannot replace " + path + ": " + code.message();
        fs::remove(temporary, code);
        return false;
    }
    return true;
}

bool AtomicFile::Write(const std::string& path, std::string_view bytes, std::string& error,
                       const std::string& keepModeOf) {
    const std::string temporary = TemporaryPathFor(path);
    errno = 0;
    std::FILE* file = std::fopen(temporary.c_str(), "wbx");
    if (file == nullptr) {
        error = "cannot create " + temporary + ": " + std::strerror(errno);
        return false;
    }
    bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
#if defined(__unix__) || defined(__APPLE__)
    written = written && fsync(fileno(file)) == 0;
#endif
    const int savedErrno = errno;
    written = std::fclose(file) == 0 && written;
    if (!written) {
        error = "cannot write " + temporary + ": " + std::strerror(savedErrno);
        std::error_code code;
        fs::remove(temporary, code);
        return false;
    }
    return Commit(temporary, path, keepModeOf, error);
}
