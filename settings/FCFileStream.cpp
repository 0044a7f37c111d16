// FCFileStream: paths, opening and the replace-on-close of written files.
#include "settings/FCFileStream.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "hostapi/FileSystem.h"
#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"

namespace {
// The new content is written beside the file under this suffix, so that the final move stays
// within one folder and one volume.
constexpr const char* kTemporarySuffix = ".tmp";

// Units answers the units of a path as the file system takes them.
std::u16string_view Units(const FCString& path) {
    return {path.GetUTF16(), path.GetLength()};
}

}  // namespace

FCFileStream::FCFileStream(const char* folder8, const char* fileName)
    : folderText_(folder8 != nullptr ? folder8 : ""), fileName_(fileName) {}

FCFileStream::FCFileStream(const uint8_t* folderBuffer, const char* fileName)
    : fileName_(fileName) {
    if (folderBuffer != nullptr) {
        std::copy_n(folderBuffer, kFolderBufferSize, folderBuffer_.begin());
    }
    folderText_.SetCString("");
}

FCFileStream::FCFileStream(const FCString& folder, bool folderIsUTF16, const char* fileName)
    : folderText_(folder), folderTextIsUTF16_(folderIsUTF16), fileName_(fileName) {}

FCFileStream::~FCFileStream() {
    // A write that was never closed was interrupted (a failure on its way to the host
    // boundary): its content may be incomplete, so it never replaces the file.
    if (writing_) {
        writeFailed_ = true;
    }
    try {
        Close();
    } catch (...) {  // NOLINT(bugprone-empty-catch): memory ran out even for the clean-up; the
                     // temporary file may stay, the file itself is untouched
    }
}

bool FCFileStream::IsPathUTF16() const {
    return folderText_.GetLength() > 0 ? folderTextIsUTF16_ : HostVersion::UsesUTF16();
}

bool FCFileStream::HasFolder() const {
    if (folderText_.GetLength() > 0) {
        return true;
    }
    return HostVersion::UsesUTF16() ? le::U16(folderBuffer_.data(), 0) != 0 : folderBuffer_[0] != 0;
}

bool FCFileStream::FileExists() const {
    return HasFolder() && FileSystem::Exists(Units(GetFullPath()), IsPathUTF16());
}

bool FCFileStream::ReadFailed() const {
    return file_ != nullptr && !writing_ && std::ferror(file_) != 0;
}

FCString FCFileStream::GetFullPath() const {
    FCString path;
    if (folderText_.GetLength() > 0) {
        path.SetString(&folderText_);
        // The unit itself is compared, not its low byte: a UTF-16 folder may end in a character
        // such as U+305C whose low byte is "\".
        if (path.GetCharAt(path.GetLength() - 1) != u'\\') {
            path.AppendCharacter(u'\\');
        }
    } else {
        // A buffer the host did not terminate is read up to its end and no further.
        if (HostVersion::UsesUTF16()) {
            for (size_t offset = 0; offset + 1 < kFolderBufferSize; offset += 2) {
                const uint16_t unit = le::U16(folderBuffer_.data(), offset);
                if (unit == 0) {
                    break;
                }
                path.AppendCharacter(static_cast<char16_t>(unit));
            }
        } else {
            for (const uint8_t byte : folderBuffer_) {
                if (byte == 0) {
                    break;
                }
                path.AppendCharacter(byte);
            }
        }
        path.AppendCharacter(u'\\');
    }
    path.AppendString(&fileName_);
    return path;
}

bool FCFileStream::OpenFile(bool forWriting) {
    if (file_ != nullptr || !HasFolder()) {
        return false;
    }
    targetPath_ = GetFullPath();
    openPathIsUTF16_ = IsPathUTF16();
    if (!forWriting) {
        // Read as bytes: line ends are split by ReadLine itself, and a text-mode read would stop
        // at a stray Ctrl-Z and lose every pair after it at the next save.
        file_ = FileSystem::Open(Units(targetPath_), openPathIsUTF16_, "rb");
        return file_ != nullptr;
    }
    // The new content replaces the file a link names, not the link; a read-only file stays.
    std::u16string replaced;
    if (!FileSystem::ReplaceTarget(Units(targetPath_), openPathIsUTF16_, replaced)) {
        return false;
    }
    targetPath_.SetUTF16Units(replaced.data(), static_cast<uint32_t>(replaced.size()));
    temporaryPath_ = targetPath_;
    temporaryPath_.AppendCString(kTemporarySuffix);
    file_ = FileSystem::Open(Units(temporaryPath_), openPathIsUTF16_, "w");
    writing_ = file_ != nullptr;
    writeFailed_ = false;
    return writing_;
}

bool FCFileStream::Close() {
    if (file_ == nullptr) {
        return true;
    }
    std::FILE* file = file_;
    file_ = nullptr;
    if (!writing_) {
        std::fclose(file);
        return true;
    }
    writing_ = false;
    bool complete = !writeFailed_ && FileSystem::Commit(file);
    complete = std::fclose(file) == 0 && complete;
    if (complete) {
        // Should the move itself fail on the way (no memory for the paths), the temporary file
        // still goes.
        try {
            complete =
                FileSystem::Replace(Units(temporaryPath_), Units(targetPath_), openPathIsUTF16_);
        } catch (...) {
            FileSystem::Remove(Units(temporaryPath_), openPathIsUTF16_);
            throw;
        }
    }
    if (!complete) {
        FileSystem::Remove(Units(temporaryPath_), openPathIsUTF16_);
    }
    return complete;
}
