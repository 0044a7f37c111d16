// AtomicFile: a file is replaced whole or not at all. The new content goes into a temporary
// file beside the target and is then renamed over it, so that a reader sees either the old
// file or the new one, never a half-written one. When the target is the user's original (a
// file replaced in place), the new content is first synced to the disk, so that not even a
// crash of the machine can leave the original lost.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class AtomicFile {
  public:
    AtomicFile() = delete;

    // Write replaces path with bytes. keepModeOf, when not empty, names the original a file
    // replaces in place: the new file takes its permissions and is synced to the disk first.
    static bool Write(const std::string& path, std::string_view bytes, std::string& error,
                      const std::string& keepModeOf = {});
    // WriteParts is Write for a content given in pieces, written one after the other.
    static bool WriteParts(const std::string& path, const std::vector<std::string_view>& parts,
                           std::string& error, const std::string& keepModeOf = {});
    // TemporaryPathFor answers a fresh name beside path for a file that is renamed over it.
    static std::string TemporaryPathFor(const std::string& path);
    // Commit renames a finished temporary file over path (removing the temporary file when
    // that fails); with keepModeOf as in Write.
    static bool Commit(const std::string& temporary, const std::string& path,
                       const std::string& keepModeOf, std::string& error);
};
