// AtomicFile: a file is replaced whole or not at all. The new content goes into a temporary
// file beside the target and is then renamed over it, so that a reader sees either the old
// file or the new one, never a half-written one. The target is followed through symbolic
// links (the link stays a link; the file it names is replaced) and must be a regular file or
// not exist yet. A file replaced in place keeps its owner, group and mode and is synced to the
// disk before it takes its name, so that not even a crash of the machine can lose the
// original; one the user could not write, or one with other hard links (unless told to break
// them), is refused. The temporary file is removed on every failure and on SIGINT, SIGTERM and
// SIGHUP (TemporaryFiles.h).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sorvel/core/Failure.h"

namespace sorvel {

struct WriteOptions {
    bool inPlace = false;         // the target is the user's original, replaced
    bool breakHardLinks = false;  // in place: replace a file with other hard links all the same
    // Where a warning goes (in place: the owner could not be kept); stderr when null.
    std::vector<std::string>* warnings = nullptr;
};

// PieceSource hands the content to the function it is given, piece after piece, and stops
// when that function answers false.
using PieceSource = std::function<bool(const std::function<bool(std::string_view)>&)>;

// WriteFileParts replaces path with the pieces written one after the other; a failure is of
// kind kWrite and names the file, and leaves nothing behind.
std::optional<Failure> WriteFileParts(const std::string& path, const PieceSource& pieces,
                                      const WriteOptions& options = {});
std::optional<Failure> WriteFileParts(const std::string& path,
                                      const std::vector<std::string_view>& parts,
                                      const WriteOptions& options = {});
// WriteFile is WriteFileParts for content in one piece.
std::optional<Failure> WriteFile(const std::string& path, std::string_view bytes,
                                 const WriteOptions& options = {});
// TemporaryPathFor answers a fresh name beside path (in its folder) for a file that is renamed
// over it, within the file system's limit on a name's length: a long name is shortened.
std::string TemporaryPathFor(const std::string& path);

}  // namespace sorvel
