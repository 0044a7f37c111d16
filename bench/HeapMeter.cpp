// HeapMeter: a header in front of every block from operator new (its size and account), and two
// counters per account. The benchmark runs on one thread, so plain counters do.
#include "bench/HeapMeter.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#include "host/HostCalls.h"

namespace {

// The header keeps the block's size and account, and the blocks' alignment.
constexpr size_t kHeader = alignof(std::max_align_t);
static_assert(kHeader >= 2 * sizeof(size_t));

size_t inUse[2] = {0, 0};
size_t peak[2] = {0, 0};
size_t allocations[2] = {0, 0};

void* Allocate(size_t size) {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    const size_t account = host::HostCalls::Depth() > 0 ? 1 : 0;
    static_cast<size_t*>(block)[0] = size;
    static_cast<size_t*>(block)[1] = account;
    inUse[account] += size;
    ++allocations[account];
    if (inUse[account] > peak[account]) {
        peak[account] = inUse[account];
    }
    return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) noexcept {
    if (pointer == nullptr) {
        return;
    }
    void* block = static_cast<char*>(pointer) - kHeader;
    inUse[static_cast<size_t*>(block)[1]] -= static_cast<size_t*>(block)[0];
    std::free(block);
}

size_t Index(HeapMeter::Account account) {
    return static_cast<size_t>(account);
}

}  // namespace

size_t HeapMeter::InUse() {
    return inUse[0] + inUse[1];
}

size_t HeapMeter::InUse(Account account) {
    return inUse[Index(account)];
}

size_t HeapMeter::Peak(Account account) {
    return peak[Index(account)];
}

size_t HeapMeter::Allocations(Account account) {
    return allocations[Index(account)];
}

void HeapMeter::StartPeak() {
    peak[0] = inUse[0];
    peak[1] = inUse[1];
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
