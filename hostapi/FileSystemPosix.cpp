// FileSystem natively: the host's "\" separators become "/", and a UTF-16 path is handed to
// the C library as UTF-8 (an 8-bit path keeps its bytes).
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "hostapi/FileSystem.h"

namespace {

// Links are followed at most this many hops, as the system itself gives up on longer chains.
constexpr int kMostLinks = 40;

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

void AppendUTF16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

std::string NativePath(std::u16string_view path, bool utf16) {
    std::string out;
    const size_t n = path.size();
    for (size_t i = 0; i < n; ++i) {
        const char16_t unit = path[i];
        if (unit == u'\\') {
            out += '/';
        } else if (!utf16) {
            out += static_cast<char>(unit & 0xFF);
        } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < n && path[i + 1] >= 0xDC00 &&
                   path[i + 1] <= 0xDFFF) {
            const char16_t low = path[++i];
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

// HostPath is the way back: the bytes of a native path as UTF-16 units (from UTF-8; a byte that
// is no part of a UTF-8 sequence becomes U+FFFD) or as 8-bit units.
std::u16string HostPath(const std::string& native, bool utf16) {
    std::u16string units;
    for (size_t i = 0; i < native.size();) {
        const auto lead = static_cast<unsigned char>(native[i]);
        if (!utf16 || lead < 0x80) {
            units += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        char32_t c = length == 4 ? lead & 0x07 : length == 3 ? lead & 0x0F : lead & 0x1F;
        bool whole = length > 0 && i + length <= native.size();
        for (size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(native[i + k]);
            whole = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!whole) {
            units += u'\uFFFD';
            ++i;
            continue;
        }
        AppendUTF16(units, c);
        i += length;
    }
    return units;
}

}  // namespace

std::FILE* FileSystem::Open(std::u16string_view path, bool utf16, const char* mode) {
    return std::fopen(NativePath(path, utf16).c_str(), mode);
}

bool FileSystem::Exists(std::u16string_view path, bool utf16) {
    struct stat status {};
    if (stat(NativePath(path, utf16).c_str(), &status) == 0) {
        return true;
    }
    // Only "no such file" means nothing is there; a loop of links or a folder that may not be
    // searched hides what may well be a file.
    return errno != ENOENT && errno != ENOTDIR;
}

bool FileSystem::ReplaceTarget(std::u16string_view path, bool utf16, std::u16string& target) {
    std::string native = NativePath(path, utf16);
    // Links are followed hop by hop, so that a link to a file not made yet names the file to
    // make.
    for (int hop = 0;; ++hop) {
        struct stat status {};
        if (lstat(native.c_str(), &status) != 0) {
            if (errno != ENOENT) {
                return false;
            }
            break;
        }
        if (!S_ISLNK(status.st_mode)) {
            if (!S_ISREG(status.st_mode)) {
                return false;
            }
            // Root may write any file, so the permission bits alone also say "read-only".
            if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                access(native.c_str(), W_OK) != 0) {
                return false;
            }
            break;
        }
        std::error_code error;
        const std::filesystem::path link = std::filesystem::read_symlink(native, error);
        if (error || link.empty() || hop == kMostLinks) {
            return false;
        }
        native = link.is_absolute() ? link.string()
                                    : (std::filesystem::path(native).parent_path() / link).string();
    }
    target = HostPath(native, utf16);
    return true;
}

bool FileSystem::Commit(std::FILE* file) {
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    return flushed && fsync(fileno(file)) == 0;
}

bool FileSystem::Replace(std::u16string_view source, std::u16string_view target, bool utf16) {
    return std::rename(NativePath(source, utf16).c_str(), NativePath(target, utf16).c_str()) == 0;
}

bool FileSystem::Remove(std::u16string_view path, bool utf16) {
    return std::remove(NativePath(path, utf16).c_str()) == 0;
}
