// AtomicFile: a file is replaced whole or not at all. The new content goes into a temporary
// file beside the target, is flushed to the disk, and then renamed over the target, so that
// a reader (or a crash) sees either the old file or the new one, never a half-written one.
#pragma once

#include <string>
#include <string_view>

class AtomicFile {
  public:
    AtomicFile() = delete;

    // Write replaces path with bytes. keepModeOf, when not empty, names a file whose
    // permissions the new file takes (the original, when a file is replaced in place).
    static bool Write(const std::string& path, std::string_view bytes, std::string& error,
                      const std::string& keepModeOf = {});
    // TemporaryPathFor answers a fresh name beside path for a file that is renamed over it.
    static std::string TemporaryPathFor(const std::string& path);
    // Commit renames a finished temporary file over path (removing the temporary file when
    // that fails).
    static bool Commit(const std::string& temporary, const std::string& path,
                       const std::string& keepModeOf, std::string& error);
};
