// FileTargets: stat, lstat and faccessat, with messages that say what was found.
#include "sorvel/cli/FileTargets.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace sorvel {
namespace {

// As many links as the kernel follows in one path before it answers ELOOP.
constexpr int kMaxLinkHops = 40;

// ReadOnly: the user could not write the file: for root, whom permissions do not stop, a file
// without any write bit is taken as read-only on purpose.
bool ReadOnly(const std::string& path, const struct stat& status) {
    if (geteuid() == 0) {
        return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    }
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 &&
           (errno == EACCES || errno == EPERM || errno == EROFS);
}

}  // namespace

std::optional<Failure> FinalPath(const std::string& path, std::string& finalPath) {
    fs::path current(path);
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat status {};
        if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            finalPath = current.string();
            return std::nullopt;
        }
        std::error_code code;
        const fs::path target = fs::read_symlink(current, code);
        if (code) {
            return Failure{FailureKind::kWrite,
                           "cannot follow the link " + current.string() + ": " + code.message()};
        }
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return Failure{FailureKind::kWrite, "too many levels of symbolic links in " + path};
}

std::string KindOfFile(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO (named pipe)";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return S_ISREG(mode) ? "a regular file" : "not a regular file";
}

std::optional<Failure> CheckOutput(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) {
        return std::nullopt;  // not there yet (or unreachable: the write says why)
    }
    return Failure{FailureKind::kWrite, path + " is " + KindOfFile(status.st_mode) +
                                            ", not a regular file: sorvel writes only files"};
}

std::optional<Failure> CheckReplaceable(const std::string& path, bool breakHardLinks) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return CheckOutput(path);
    }
    if (ReadOnly(path, status)) {
        return Failure{FailureKind::kWrite,
                       "it is read-only: sorvel does not replace a file that you could not "
                       "write (give it write permission first)"};
    }
    if (status.st_nlink > 1 && !breakHardLinks) {
        return Failure{FailureKind::kWrite,
                       "it has " + std::to_string(status.st_nlink) +
                           " hard links: replaced, it would leave the other names with the old "
                           "score (--break-hard-links replaces it all the same)"};
    }
    return std::nullopt;
}

bool FileIdentity::SameAs(const FileIdentity& other) const {
    if (exists && other.exists) {
        return device == other.device && inode == other.inode;
    }
    return !exists && !other.exists && place == other.place;
}

FileIdentity IdentityOf(const std::string& path) {
    FileIdentity identity;
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) {
        identity.exists = true;
        identity.device = status.st_dev;
        identity.inode = status.st_ino;
    }
    std::string finalPath = path;
    (void)FinalPath(path, finalPath);
    std::error_code code;
    const fs::path place = fs::weakly_canonical(finalPath, code);
    identity.place =
        code ? fs::absolute(finalPath, code).lexically_normal().string() : place.string();
    return identity;
}

}  // namespace sorvel
