// FileSystem natively: the host's "\" separators become "/", and a UTF-16 path is handed to
// the C library as UTF-8 (an 8-bit path keeps its bytes).
#include <unistd.h>

#include <cstdio>
#include <string>

#include "shell/FileSystem.h"

namespace {

void AppendUTF8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string NativePath(const FCString& path, bool utf16) {
    std::string out;
    const uint32_t n = path.GetLength();
    for (uint32_t i = 0; i < n; ++i) {
        const char16_t unit = path.GetCharAt(i);
        if (unit == u'\\') {
            out += '/';
        } else if (!utf16) {
            out += static_cast<char>(unit & 0xFF);
        } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < n &&
                   path.GetCharAt(i + 1) >= 0xDC00 && path.GetCharAt(i + 1) <= 0xDFFF) {
            const char16_t low = path.GetCharAt(++i);
            AppendUTF8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                (static_cast<char32_t>(low) - 0xDC00));
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUTF8(out, 0xFFFD);  // an unpaired surrogate names no file
        } else {
            AppendUTF8(out, unit);
        }
    }
    return out;
}

}  // namespace

std::FILE* FileSystem::Open(const FCString& path, bool utf16, const char* mode) {
    return std::fopen(NativePath(path, utf16).c_str(), mode);
}

bool FileSystem::Commit(std::FILE* file) {
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    return flushed && fsync(fileno(file)) == 0;
}

bool FileSystem::Replace(const FCString& source, const FCString& target, bool utf16) {
    return std::rename(NativePath(source, utf16).c_str(), NativePath(target, utf16).c_str()) == 0;
}

bool FileSystem::Remove(const FCString& path, bool utf16) {
    return std::remove(NativePath(path, utf16).c_str()) == 0;
}
