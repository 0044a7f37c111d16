// AtomicFile: the target judged, a temporary file made exclusively and listed for removal, the
// parts written, owner and mode kept, synced, renamed.
#include "sorvel/cli/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "sorvel/cli/Descriptor.h"
#include "sorvel/cli/FileTargets.h"
#include "sorvel/cli/TemporaryFiles.h"

namespace fs = std::filesystem;

namespace sorvel {
namespace {

// Target: where a write goes, and the original it replaces when there is one.
struct Target {
    std::string finalPath;
    bool exists = false;
    struct stat original {};
};

Failure WriteFailure(const std::string& what, const std::string& path, int error) {
    return Failure{FailureKind::kWrite,
                   "cannot " + what + " " + path + ": " + std::strerror(error)};
}

std::optional<Failure> Prepare(const std::string& path, const WriteOptions& options,
                               Target& target) {
    if (auto failure = FinalPath(path, target.finalPath)) {
        return failure;
    }
    if (auto failure = options.inPlace ? CheckReplaceable(target.finalPath, options.breakHardLinks)
                                       : CheckOutput(target.finalPath)) {
        return failure;
    }
    target.exists = stat(target.finalPath.c_str(), &target.original) == 0;
    return std::nullopt;
}

// WriteFully writes size bytes from data, through short writes and interruptions.
std::optional<Failure> WriteFully(int fd, const char* data, size_t size, const std::string& path) {
    while (size > 0) {
        const ssize_t wrote = write(fd, data, size);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return WriteFailure("write", path, wrote < 0 ? errno : ENOSPC);
        }
        data += wrote;
        size -= static_cast<size_t>(wrote);
    }
    return std::nullopt;
}

std::optional<Failure> WriteAll(int fd, const PieceSource& pieces, const std::string& path) {
    // A respelled score is millions of small pieces when most notes change (every edit is
    // one, and the text between two edits a few lines): they are gathered into a buffer and
    // written a buffer at a time, which costs less than handing the kernel each piece. A
    // large piece goes out as it is.
    constexpr size_t kGather = size_t{256} << 10;
    std::string gathered;
    gathered.reserve(kGather);
    std::optional<Failure> failure;
    pieces([&](std::string_view part) {
        if (gathered.size() + part.size() > kGather) {
            failure = WriteFully(fd, gathered.data(), gathered.size(), path);
            gathered.clear();
        }
        if (failure) {
            return false;
        }
        if (part.size() >= kGather) {
            failure = WriteFully(fd, part.data(), part.size(), path);
        } else {
            gathered.append(part);
        }
        return !failure;
    });
    return failure ? failure : WriteFully(fd, gathered.data(), gathered.size(), path);
}

void Warn(const WriteOptions& options, const std::string& warning) {
    if (options.warnings != nullptr) {
        options.warnings->push_back(warning);
    } else {
        std::fprintf(stderr, "sorvel: warning: %s\n", warning.c_str());
    }
}

// KeepOwnerAndMode gives the new file the original's owner, group and mode (the mode last, as
// a change of owner clears the set-id bits), then syncs it: it is about to replace the original.
std::optional<Failure> KeepOwnerAndMode(int fd, const Target& target, const std::string& path,
                                        const WriteOptions& options) {
    if (target.exists) {
        const struct stat& original = target.original;
        if (fchown(fd, original.st_uid, original.st_gid) != 0) {
            const int error = errno;
            const bool groupKept = fchown(fd, static_cast<uid_t>(-1), original.st_gid) == 0;
            Warn(options, path + ": cannot keep its owner (user " +
                              std::to_string(original.st_uid) +
                              (groupKept ? "" : ", group " + std::to_string(original.st_gid)) +
                              "): " + std::strerror(error) + "; the new file belongs to you");
        }
        if (fchmod(fd, original.st_mode & 07777) != 0) {
            return WriteFailure("keep the permissions of", path, errno);
        }
    }
    if (fsync(fd) != 0) {
        return WriteFailure("sync to the disk", path, errno);
    }
    return std::nullopt;
}

std::optional<Failure> RenameOver(const TemporaryName& temporary, const Target& target,
                                  const std::string& path) {
    if (std::rename(temporary.Path(), target.finalPath.c_str()) != 0) {
        return WriteFailure("replace", path, errno);
    }
    return std::nullopt;
}

// CreateTemporary makes a fresh temporary file beside the target, listed for removal.
std::optional<Failure> CreateTemporary(const Target& target, const std::string& path,
                                       std::unique_ptr<TemporaryName>& name, int& fd) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = std::make_unique<TemporaryName>(TemporaryPathFor(target.finalPath));
        if (!name->Valid()) {
            return Failure{FailureKind::kWrite,
                           "cannot write " + path + ": too many files are being written at once"};
        }
        fd = open(name->Path(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0) {
            return std::nullopt;
        }
        const int error = errno;
        name->Forget();  // the name is not ours: it must not be removed
        if (error != EEXIST) {
            return WriteFailure("create a temporary file beside", path, error);
        }
    }
    return WriteFailure("create a temporary file beside", path, EEXIST);
}

// ShortenedName cuts a file name to at most limit bytes, at a whole UTF-8 character.
std::string ShortenedName(std::string name, size_t limit) {
    if (name.size() <= limit) {
        return name;
    }
    name.resize(limit);
    while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0U) == 0x80U) {
        name.pop_back();
    }
    if (!name.empty() && static_cast<unsigned char>(name.back()) >= 0xC0U) {
        name.pop_back();
    }
    return name;
}

size_t NameLimit(const fs::path& folder) {
    const long limit = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<size_t>(limit) : size_t{NAME_MAX};
}

}  // namespace

std::string TemporaryPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const fs::path target(path);
    const std::string suffix =
        ".sorvel-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
    const size_t limit = NameLimit(target.parent_path());
    const size_t room = limit > suffix.size() + 1 ? limit - suffix.size() - 1 : 0;
    const std::string name = "." + ShortenedName(target.filename().string(), room) + suffix;
    return (target.parent_path() / name).string();
}

std::optional<Failure> WriteFileParts(const std::string& path, const PieceSource& pieces,
                                      const WriteOptions& options) {
    Target target;
    if (auto failure = Prepare(path, options, target)) {
        return failure;
    }
    std::unique_ptr<TemporaryName> temporary;
    int fd = -1;
    if (auto failure = CreateTemporary(target, path, temporary, fd)) {
        return failure;
    }
    Descriptor file(fd);
    std::optional<Failure> failure = WriteAll(fd, pieces, path);
    if (!failure && options.inPlace) {
        failure = KeepOwnerAndMode(fd, target, path, options);
    }
    if (!failure && !file.Close()) {
        failure = WriteFailure("write", path, errno);
    }
    if (!failure) {
        failure = RenameOver(*temporary, target, path);
    }
    if (failure) {
        temporary->Remove();
    } else {
        temporary->Forget();
    }
    return failure;
}

std::optional<Failure> WriteFileParts(const std::string& path,
                                      const std::vector<std::string_view>& parts,
                                      const WriteOptions& options) {
    return WriteFileParts(
        path,
        [&](const std::function<bool(std::string_view)>& write) {
            return std::all_of(parts.begin(), parts.end(), write);
        },
        options);
}

std::optional<Failure> WriteFile(const std::string& path, std::string_view bytes,
                                 const WriteOptions& options) {
    return WriteFileParts(path, std::vector<std::string_view>{bytes}, options);
}

}  // namespace sorvel
