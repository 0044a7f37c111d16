// LowMemory: zero-filled blocks whose addresses fit 32 bits, for the frames the host hands out
// (a frame stores its entry array's address in a 32-bit field). Blocks live until Release; a
// freed frame's block is not reused within a run, so a late use of it can still be recognised.
#pragma once

#include <cstddef>
#include <vector>

namespace host {

class LowMemory {
  public:
    LowMemory() = default;
    ~LowMemory();
    LowMemory(const LowMemory&) = delete;
    LowMemory& operator=(const LowMemory&) = delete;

    // A zero-filled block of size bytes below 4 GiB, aligned to 16 bytes; null when none can be
    // had.
    void* Allocate(size_t size);
    // Gives every block back.
    void Release();

  private:
    struct Arena {
        unsigned char* base = nullptr;
        size_t size = 0;
        size_t used = 0;
    };
    std::vector<Arena> arenas_;

    static void* MapLow(size_t size);
    static void Unmap(void* base, size_t size);
};

}  // namespace host
