// Descriptor: a POSIX file descriptor owned, closed when it goes.
#pragma once

#include <unistd.h>

namespace sorvel {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { (void)Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    [[nodiscard]] int Get() const { return fd_; }
    [[nodiscard]] bool Valid() const { return fd_ >= 0; }
    // Reset closes the descriptor held and takes fd.
    void Reset(int fd) {
        (void)Close();
        fd_ = fd;
    }
    // Close answers false when the system reports an error at closing (a late write error).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || close(fd) == 0;
    }

  private:
    int fd_;
};

}  // namespace sorvel
