// FileSystem on Windows: a UTF-16 path goes to the wide functions, so that folders named in
// any script work; an 8-bit path from an older host goes to the ANSI functions as it is.
#include <windows.h>

#include <io.h>

#include <cstdio>
#include <string>

#include "shell/FileSystem.h"

namespace {

std::wstring WidePath(const FCString& path) {
    return {reinterpret_cast<const wchar_t*>(path.GetUTF16()), path.GetLength()};
}

std::string BytePath(const FCString& path) {
    FCString copy(path);
    return copy.GetCString();
}

}  // namespace

std::FILE* FileSystem::Open(const FCString& path, bool utf16, const char* mode) {
    if (!utf16) {
        return std::fopen(BytePath(path).c_str(), mode);
    }
    std::wstring wideMode;
    for (const char* m = mode; *m != 0; ++m) {
        wideMode += static_cast<wchar_t>(*m);
    }
    return _wfopen(WidePath(path).c_str(), wideMode.c_str());
}

bool FileSystem::Commit(std::FILE* file) {
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    return flushed && _commit(_fileno(file)) == 0;
}

bool FileSystem::Replace(const FCString& source, const FCString& target, bool utf16) {
    constexpr DWORD kFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!utf16) {
        return MoveFileExA(BytePath(source).c_str(), BytePath(target).c_str(), kFlags) != 0;
    }
    return MoveFileExW(WidePath(source).c_str(), WidePath(target).c_str(), kFlags) != 0;
}

bool FileSystem::Remove(const FCString& path, bool utf16) {
    if (!utf16) {
        return DeleteFileA(BytePath(path).c_str()) != 0;
    }
    return DeleteFileW(WidePath(path).c_str()) != 0;
}
