// AtomicFile: temporary file, flush, rename.
#include "sorvel/cli/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

std::string AtomicFile::TemporaryPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const fs::path target(path);
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string name(".");
    name += target.filename().string();
    name += ".sorvel-";
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
#if defined(__unix__) || defined(__APPLE__)
        // The original is replaced: the new file reaches the disk before it takes its name.
        const int file = open(temporary.c_str(), O_RDONLY);
        const bool synced = file >= 0 && fsync(file) == 0;
        if (file >= 0) {
            close(file);
        }
        if (!synced) {
            error = "cannot sync " + temporary + " to the disk";
            fs::remove(temporary, code);
            return false;
        }
#endif
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
    return WriteParts(path, {bytes}, error, keepModeOf);
}

bool AtomicFile::WriteParts(const std::string& path, const std::vector<std::string_view>& parts,
                            std::string& error, const std::string& keepModeOf) {
    const std::string temporary = TemporaryPathFor(path);
    errno = 0;
    std::FILE* file = std::fopen(temporary.c_str(), "wbx");
    if (file == nullptr) {
        error = "cannot create " + temporary + ": " + std::strerror(errno);
        return false;
    }
    bool written = true;
    for (const std::string_view part : parts) {
        written = written && std::fwrite(part.data(), 1, part.size(), file) == part.size();
    }
    written = written && std::fflush(file) == 0;
    const int savedErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        error = "cannot write " + temporary + ": " + std::strerror(savedErrno);
        std::error_code code;
        fs::remove(temporary, code);
        return false;
    }
    return Commit(temporary, path, keepModeOf, error);
}
