// FCFileStream: one file in a folder the host names. The folder comes either as the host's
// raw 520-byte folder buffer or as text; the full path is made when the file is opened.
//
// Writing never touches the file itself until the new content is complete: it goes to a
// temporary file beside it, which Close flushes to the disk and then moves over the old file in
// one step. A write that fails anywhere, or that is never closed (the stream is destroyed while
// still writing), leaves the old file as it was and removes the temporary file. A file that is a
// symbolic link is written through to the file it names; a read-only file is not written at all.
// Without a folder (the host named none) nothing is opened: the file would otherwise land in the
// root of the current drive.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>

#include "framework/FCString.h"
#include "settings/__FCBaseStream.h"

class FCFileStream : public __FCBaseStream {
  public:
    static constexpr size_t kFolderBufferSize = 520;

    // The folder as 8-bit text (each byte one unit).
    FCFileStream(const char* folder8, const char* fileName);
    // The folder as the host delivered it: 8-bit or UTF-16 text by the host version, zero-
    // terminated within the buffer or ending with it.
    FCFileStream(const uint8_t* folderBuffer, const char* fileName);
    // The folder as framework text; folderIsUTF16 says whether its units are UTF-16 or the bytes
    // of an 8-bit host path. An empty folder falls back to the (all zero) folder buffer.
    FCFileStream(const FCString& folder, bool folderIsUTF16, const char* fileName);
    ~FCFileStream() override;

    // GetFullPath answers folder, "\" and file name; a folder text that already ends in "\"
    // gets no second one.
    [[nodiscard]] FCString GetFullPath() const;
    // IsPathUTF16 says whether the full path is UTF-16 text (else the bytes of an 8-bit path).
    [[nodiscard]] bool IsPathUTF16() const;
    // HasFolder says whether the stream has a folder at all; without one it opens nothing.
    [[nodiscard]] bool HasFolder() const;
    // FileExists says whether something may be at the full path: false only when the system
    // says nothing is there (or there is no folder), so that a file that exists but cannot be
    // read is never taken for a missing one.
    [[nodiscard]] bool FileExists() const;
    // ReadFailed says whether reading the open file met an error (as against its end).
    [[nodiscard]] bool ReadFailed() const;

    [[nodiscard]] bool IsOpen() const { return file_ != nullptr; }
    // Close closes the open file, if any. For a file opened for writing it answers whether the
    // new content was completely written and has replaced the old file.
    bool Close();

  protected:
    // OpenFile opens the full path for reading, or the temporary file beside it for writing.
    bool OpenFile(bool forWriting);
    [[nodiscard]] std::FILE* GetFile() const { return file_; }
    // NoteWriteFailure makes Close throw the new content away.
    void NoteWriteFailure() { writeFailed_ = true; }

  private:
    std::array<uint8_t, kFolderBufferSize> folderBuffer_{};
    FCString folderText_;
    bool folderTextIsUTF16_ = false;
    FCString fileName_;

    std::FILE* file_ = nullptr;
    bool writing_ = false;
    bool writeFailed_ = false;
    bool openPathIsUTF16_ = false;
    FCString targetPath_;
    FCString temporaryPath_;
};
