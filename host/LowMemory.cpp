// LowMemory: arenas mapped below 4 GiB (Linux: MAP_32BIT; Windows: VirtualAlloc at explicit
// addresses from 0x10000000 upward), handed out in 16-byte steps.
#include "host/LowMemory.h"

#include <cassert>
#include <cstdint>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace host {
namespace {

constexpr size_t kArenaSize = size_t{1} << 20;
constexpr uint64_t kFourGiB = uint64_t{1} << 32;

// Blocks are handed out in 16-byte steps.
constexpr size_t kStep = 16;

size_t Rounded(size_t size) {
    return (size + kStep - 1) & ~(kStep - 1);
}

}  // namespace

LowMemory::~LowMemory() {
    Release();
}

void* LowMemory::MapLow(size_t size) {
#if defined(_WIN32)
    if constexpr (sizeof(void*) == 4) {
        return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    } else {
        // Walk upward in arena steps until an address is free, starting where the last arena
        // was found and wrapping round once, so that released arenas are found again.
        constexpr uint64_t kFirst = 0x10000000;
        static uint64_t next = kFirst;
        for (int pass = 0; pass < 2; ++pass) {
            const uint64_t from = pass == 0 ? next : kFirst;
            const uint64_t to = pass == 0 ? kFourGiB : next;
            for (uint64_t address = from; address + size <= to; address += kArenaSize) {
                void* block = VirtualAlloc(reinterpret_cast<void*>(static_cast<uintptr_t>(address)),
                                           size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
                if (block != nullptr) {
                    next = address + kArenaSize;
                    return block;
                }
            }
        }
        return nullptr;
    }
#else
    void* block =
        mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
#endif
}

void LowMemory::Unmap(void* base, size_t size) {
#if defined(_WIN32)
    (void)size;
    VirtualFree(base, 0, MEM_RELEASE);
#else
    munmap(base, size);
#endif
}

void* LowMemory::Allocate(size_t size) {
    size = Rounded(size);
    if (size > kArenaSize) {
        return nullptr;
    }
    if (const auto it = free_.find(size); it != free_.end() && !it->second.empty()) {
        unsigned char* block = it->second.back();
        it->second.pop_back();
        std::memset(block, 0, size);
        return block;
    }
    if (arenas_.empty() || arenas_.back().size - arenas_.back().used < size) {
        void* base = MapLow(kArenaSize);
        if (base == nullptr) {
            return nullptr;
        }
        arenas_.push_back({static_cast<unsigned char*>(base), kArenaSize, 0});
    }
    Arena& arena = arenas_.back();
    unsigned char* block = arena.base + arena.used;
    arena.used += size;
    std::memset(block, 0, size);
    assert(reinterpret_cast<uintptr_t>(block) + size <= kFourGiB);
    return block;
}

void LowMemory::Free(void* block, size_t size) {
    if (block != nullptr) {
        free_[Rounded(size)].push_back(static_cast<unsigned char*>(block));
    }
}

void LowMemory::Release() {
    for (const auto& arena : arenas_) {
        Unmap(arena.base, arena.size);
    }
    arenas_.clear();
    free_.clear();
}

size_t LowMemory::MappedBytes() const {
    size_t bytes = 0;
    for (const auto& arena : arenas_) {
        bytes += arena.size;
    }
    return bytes;
}

}  // namespace host
