// FileSystem: the few file operations the settings streams need, one implementation per
// platform (FileSystemWin32.cpp, FileSystemPosix.cpp). A path comes as the units of a host
// text, either UTF-16 (what newer hosts report) or 8-bit (each unit one byte of an older host's
// path, used as it is); the host's "\" separators are its own, and each platform maps them. The
// paths are plain units rather than framework texts, since the framework stands on this layer.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

class FileSystem {
  public:
    // Open opens path with an fopen mode ("rb" to read, "w" to write in text mode); null when
    // it can't.
    static std::FILE* Open(std::u16string_view path, bool utf16, const char* mode);
    // Exists answers whether anything (a file, a folder, a link) is at path; a file that cannot
    // be opened but exists is not to be taken for a missing one.
    static bool Exists(std::u16string_view path, bool utf16);
    // ReplaceTarget answers in target the file that a new content for path must replace: path
    // itself, or the file a symbolic link at path finally names, so that the link survives and
    // its file gets the content. False when what is there must not be replaced: a read-only
    // file (it is never made writable behind the user's back), a folder, or a link that leads
    // nowhere it can follow.
    static bool ReplaceTarget(std::u16string_view path, bool utf16, std::u16string& target);
    // Commit pushes everything written so far to the disk; false when any write failed.
    static bool Commit(std::FILE* file);
    // Replace moves source onto target in one step, replacing a file already there.
    static bool Replace(std::u16string_view source, std::u16string_view target, bool utf16);
    // Remove deletes the file at path; false when there was none or it can't be deleted.
    static bool Remove(std::u16string_view path, bool utf16);
};
