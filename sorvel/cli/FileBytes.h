// FileBytes: a whole file read into memory once, with a reason the user understands when it
// cannot be read. Only regular files are read: a FIFO, a device, a socket or a directory is
// refused without being read and without blocking (a FIFO with no writer would wait for ever,
// /dev/zero never ends). The file is read up to the size it had when opened, into memory that
// is not cleared first; one that grows or shrinks meanwhile is refused as changing.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "sorvel/core/Failure.h"

namespace sorvel {

// ByteBuffer: bytes owned without a terminating zero and without having been zero-filled.
class ByteBuffer {
  public:
    [[nodiscard]] std::string_view View() const { return {data_.get(), size_}; }
    [[nodiscard]] size_t Size() const { return size_; }
    [[nodiscard]] char* Data() { return data_.get(); }
    // Release hands the memory over (Size() bytes).
    std::unique_ptr<char[]> Release() {
        size_ = 0;
        return std::move(data_);
    }

  private:
    friend std::optional<Failure> ReadWholeFile(const std::string& path, ByteBuffer& bytes);
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
};

// ReadWholeFile reads path; a failure is of kind kRead (or kOutOfMemory for a file larger
// than the memory there is) and says why: missing, no permission, not a regular file, a read
// error, changed while read.
std::optional<Failure> ReadWholeFile(const std::string& path, ByteBuffer& bytes);
// ReadWholeFile into a string, for callers that need one (the string's own allocation clears
// it: a zero-fill more than the buffer above, but no second copy).
std::optional<Failure> ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace sorvel
