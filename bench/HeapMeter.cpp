// HeapMeter: a size header in front of every block from operator new, and two counters. The
// benchmark runs on one thread, so plain counters do.
#include "bench/HeapMeter.h"

#include <cstdlib>
#include <new>

namespace {

// The header keeps the block's size and the blocks' alignment.
constexpr size_t kHeader = alignof(std::max_align_t);

size_t inUse = 0;
size_t peak = 0;

void* Allocate(size_t size) {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    *static_cast<size_t*>(block) = size;
    inUse += size;
    if (inUse > peak) {
        peak = inUse;
    }
    return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) noexcept {
    if (pointer == nullptr) {
        return;
    }
    void* block = static_cast<char*>(pointer) - kHeader;
    inUse -= *static_cast<size_t*>(block);
    std::free(block);
}

}  // namespace

size_t HeapMeter::InUse() {
    return inUse;
}

size_t HeapMeter::Peak() {
    return peak;
}

void HeapMeter::StartPeak() {
    peak = inUse;
}

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t& /*tag*/) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& /*tag*/) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* pointer) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer) noexcept {
    Release(pointer);
}
void operator delete(void* pointer, size_t /*size*/) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer, size_t /*size*/) noexcept {
    Release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t& /*tag*/) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t& /*tag*/) noexcept {
    Release(pointer);
}
