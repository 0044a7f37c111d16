// FileSystem on Windows: a UTF-16 path goes to the wide functions, so that folders named in
// any script work; an 8-bit path from an older host goes to the ANSI functions as it is.
#include <windows.h>

#include <io.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "hostapi/FileSystem.h"

namespace {

std::wstring WidePath(std::u16string_view path) {
    return {reinterpret_cast<const wchar_t*>(path.data()), path.size()};
}

// BytePath keeps the low byte of each unit, up to the first zero byte.
std::string BytePath(std::u16string_view path) {
    std::string bytes;
    for (const char16_t unit : path) {
        const auto octet = static_cast<char>(unit & 0xFF);
        if (octet == 0) {
            break;
        }
        bytes += octet;
    }
    return bytes;
}

DWORD Attributes(std::u16string_view path, bool utf16) {
    return utf16 ? GetFileAttributesW(WidePath(path).c_str())
                 : GetFileAttributesA(BytePath(path).c_str());
}

// IsAbsence: the error says that nothing is at the path (not that something there is out of
// reach).
bool IsAbsence(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_INVALID_DRIVE;
}

// FinalPath answers the name of the file that the path finally reaches, links followed, as
// the system reports it ("\\?\C:\..." or "\\?\UNC\server\..."), or an empty text.
template <typename Char>
std::basic_string<Char> FinalPath(HANDLE file) {
    std::vector<Char> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD length = 0;
        if constexpr (sizeof(Char) == sizeof(wchar_t)) {
            length = GetFinalPathNameByHandleW(file, buffer.data(),
                                               static_cast<DWORD>(buffer.size()), VOLUME_NAME_DOS);
        } else {
            length = GetFinalPathNameByHandleA(file, buffer.data(),
                                               static_cast<DWORD>(buffer.size()), VOLUME_NAME_DOS);
        }
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return {buffer.data(), length};
        }
        buffer.resize(length + 1);
    }
    return {};
}

// PlainPath drops the "\\?\" the final name comes with, so that the path reads as the user's.
template <typename Char>
std::basic_string<Char> PlainPath(const std::basic_string<Char>& path) {
    auto starts = [&path](const char* prefix) {
        size_t i = 0;
        for (; prefix[i] != 0; ++i) {
            if (i >= path.size() || path[i] != static_cast<Char>(prefix[i])) {
                return false;
            }
        }
        return true;
    };
    if (starts(R"(\\?\UNC\)")) {
        return std::basic_string<Char>(2, static_cast<Char>('\\')) + path.substr(8);
    }
    if (starts(R"(\\?\)")) {
        return path.substr(4);
    }
    return path;
}

// FileHandle closes the handle it holds whatever happens while it is used: learning a file's
// final name allocates, and a handle left open would keep the file from being replaced later.
class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    [[nodiscard]] HANDLE Get() const { return handle_; }
    [[nodiscard]] bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

}  // namespace

std::FILE* FileSystem::Open(std::u16string_view path, bool utf16, const char* mode) {
    if (!utf16) {
        return std::fopen(BytePath(path).c_str(), mode);
    }
    std::wstring wideMode;
    for (const char* m = mode; *m != 0; ++m) {
        wideMode += static_cast<wchar_t>(*m);
    }
    return _wfopen(WidePath(path).c_str(), wideMode.c_str());
}

bool FileSystem::Exists(std::u16string_view path, bool utf16) {
    return Attributes(path, utf16) != INVALID_FILE_ATTRIBUTES || !IsAbsence(GetLastError());
}

bool FileSystem::ReplaceTarget(std::u16string_view path, bool utf16, std::u16string& target) {
    if (Attributes(path, utf16) == INVALID_FILE_ATTRIBUTES) {
        if (!IsAbsence(GetLastError())) {
            return false;
        }
        target = path;
        return true;
    }
    // The file is opened without asking for any access (so no other program's sharing is in
    // the way) only to learn where it finally lies: a symbolic link is followed to its file.
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    std::u16string finalPath;
    {
        const FileHandle file(
            utf16 ? CreateFileW(WidePath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr)
                  : CreateFileA(BytePath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file.IsOpen()) {
            return false;
        }
        if (utf16) {
            const std::wstring name = PlainPath(FinalPath<wchar_t>(file.Get()));
            finalPath.assign(name.begin(), name.end());
        } else {
            // Each byte of the name becomes the unit of its value, up to the first zero.
            const std::string name = PlainPath(FinalPath<char>(file.Get()));
            for (const char octet : std::string_view(name.c_str())) {
                finalPath += static_cast<char16_t>(static_cast<unsigned char>(octet));
            }
        }
    }
    if (finalPath.empty()) {
        return false;
    }
    const DWORD attributes = Attributes(finalPath, utf16);
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return false;
    }
    target = finalPath;
    return true;
}

bool FileSystem::Commit(std::FILE* file) {
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    return flushed && _commit(_fileno(file)) == 0;
}

bool FileSystem::Replace(std::u16string_view source, std::u16string_view target, bool utf16) {
    constexpr DWORD kFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!utf16) {
        return MoveFileExA(BytePath(source).c_str(), BytePath(target).c_str(), kFlags) != 0;
    }
    return MoveFileExW(WidePath(source).c_str(), WidePath(target).c_str(), kFlags) != 0;
}

bool FileSystem::Remove(std::u16string_view path, bool utf16) {
    if (!utf16) {
        return DeleteFileA(BytePath(path).c_str()) != 0;
    }
    return DeleteFileW(WidePath(path).c_str()) != 0;
}
