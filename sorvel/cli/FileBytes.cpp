// FileBytes: open without blocking, judge the opened file by fstat, read exactly its size.
#include "sorvel/cli/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "sorvel/cli/Descriptor.h"
#include "sorvel/cli/FileTargets.h"

namespace sorvel {
namespace {

Failure ReadFailure(const std::string& message) {
    return Failure{FailureKind::kRead, message};
}

std::optional<Failure> CheckRegular(mode_t mode) {
    if (S_ISREG(mode)) {
        return std::nullopt;
    }
    if (S_ISDIR(mode)) {
        return ReadFailure("it is a directory, not a file");
    }
    return ReadFailure("it is " + KindOfFile(mode) +
                       ", not a regular file: sorvel reads only files");
}

// Open opens a regular file. A FIFO, device or socket is refused by its path first, so that it
// is never opened at all, and again by the opened descriptor (the path may have changed);
// O_NONBLOCK keeps the open of a FIFO from waiting for a writer.
std::optional<Failure> Open(const std::string& path, Descriptor& file, struct stat& status) {
    if (stat(path.c_str(), &status) == 0) {
        if (auto failure = CheckRegular(status.st_mode)) {
            return failure;
        }
    }
    file.Reset(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.Valid()) {
        return ReadFailure(std::string("cannot open it: ") + std::strerror(errno));
    }
    if (fstat(file.Get(), &status) != 0) {
        return ReadFailure(std::string("cannot read it: ") + std::strerror(errno));
    }
    return CheckRegular(status.st_mode);
}

// ReadExactly reads size bytes into data, then makes sure the file ends there.
std::optional<Failure> ReadExactly(int fd, char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, data + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return ReadFailure(std::string("cannot read it: ") + std::strerror(errno));
        }
        if (got == 0) {
            return ReadFailure(
                "it became shorter while it was read (is another program writing "
                "it?)");
        }
        done += static_cast<size_t>(got);
    }
    char extra = 0;
    ssize_t got = 0;
    do {
        got = read(fd, &extra, 1);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        return ReadFailure(std::string("cannot read it: ") + std::strerror(errno));
    }
    if (got > 0) {
        return ReadFailure("it grew while it was read (is another program writing it?)");
    }
    return std::nullopt;
}

// ReadInto opens path and reads it whole into the memory allocate(size) answers.
template <typename Allocate>
std::optional<Failure> ReadInto(const std::string& path, Allocate allocate) {
    Descriptor file(-1);
    struct stat status {};
    if (auto failure = Open(path, file, status)) {
        return failure;
    }
    const auto size = static_cast<uintmax_t>(status.st_size);
    if (status.st_size < 0 || size > std::numeric_limits<size_t>::max() / 2) {
        return Failure{FailureKind::kTooLarge,
                       "it is too large to read (" + std::to_string(size) + " bytes)"};
    }
    char* data = nullptr;
    try {
        data = allocate(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return Failure{FailureKind::kOutOfMemory,
                       "not enough memory to read it (" + std::to_string(size) + " bytes)"};
    }
    return ReadExactly(file.Get(), data, static_cast<size_t>(size));
}

}  // namespace

std::optional<Failure> ReadWholeFile(const std::string& path, ByteBuffer& bytes) {
    bytes = ByteBuffer();
    std::unique_ptr<char[]> data;
    size_t size = 0;
    std::optional<Failure> failure = ReadInto(path, [&](size_t wanted) {
        // Not value-initialized: read() writes every byte, no zero-fill is needed first.
        data = std::make_unique_for_overwrite<char[]>(wanted);
        size = wanted;
        return data.get();
    });
    if (!failure) {
        bytes.data_ = std::move(data);
        bytes.size_ = size;
    }
    return failure;
}

std::optional<Failure> ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::optional<Failure> failure = ReadInto(path, [&](size_t wanted) {
        bytes.resize(wanted);
        return bytes.data();
    });
    if (failure) {
        bytes.clear();
        bytes.shrink_to_fit();
    }
    return failure;
}

}  // namespace sorvel
