// FileTargets: what sorvel may read and write, judged on the files themselves rather than on
// how their paths are spelled. A path is followed through its symbolic links to the file it
// names; two paths name one file when they reach one inode (or, for files not yet made, one
// place); outputs are regular files; a file replaced in place must be one its user could write
// and, unless told otherwise, one without other hard links (they would keep the old content).
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "sorvel/core/Failure.h"

namespace sorvel {

// FinalPath follows path through symbolic links (a chain of them, relative or absolute) to the
// name its data is stored under, which need not exist yet; a path that is no link is answered
// as given. Fails on a loop of links.
std::optional<Failure> FinalPath(const std::string& path, std::string& finalPath);

// KindOfFile names a file type for a message: "a directory", "a FIFO (named pipe)" ...
std::string KindOfFile(mode_t mode);

// CheckOutput: an output either does not exist yet or is a regular file (links followed).
std::optional<Failure> CheckOutput(const std::string& path);

// CheckReplaceable: a file about to be replaced in place is one the user may write (for root:
// one with a write permission bit) and, unless breakHardLinks, has no other hard link.
std::optional<Failure> CheckReplaceable(const std::string& path, bool breakHardLinks);

// FileIdentity: the file a path names, to compare paths: its device and inode when it exists,
// else its place with links and ".." resolved.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    std::string place;

    [[nodiscard]] bool SameAs(const FileIdentity& other) const;
};

FileIdentity IdentityOf(const std::string& path);

}  // namespace sorvel
