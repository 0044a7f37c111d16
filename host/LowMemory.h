// LowMemory: zero-filled blocks whose addresses fit 32 bits, for the frames the host hands out
// (a frame stores its entry array's address in a 32-bit field). A block given back with Free is
// handed out again for the next block of its size, so a long run keeps reusing the same few
// arenas; the frames keep a freed block out of use for a while first (HostFrames), so that a late
// use of it can still be recognised.
#pragma once

#include <cstddef>
#include <unordered_map>
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
    // Free takes a block of Allocate back (size as it was asked for) for a later Allocate.
    void Free(void* block, size_t size);
    // Gives every block back.
    void Release();
    // MappedBytes answers the bytes of all arenas mapped so far.
    size_t MappedBytes() const;

  private:
    struct Arena {
        unsigned char* base = nullptr;
        size_t size = 0;
        size_t used = 0;
    };
    std::vector<Arena> arenas_;
    std::unordered_map<size_t, std::vector<unsigned char*>> free_;  // by rounded size

    static void* MapLow(size_t size);
    static void Unmap(void* base, size_t size);
};

}  // namespace host
