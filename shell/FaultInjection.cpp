// The fault-injection twin of the 64-bit test module (VeskSorvelFaultTest.dll) adds two exports
// to the six: VeskSorvelFailAllocation makes one chosen allocation of the module fail with
// std::bad_alloc, as a full heap would, and VeskSorvelBoundaryFailures counts the calls from the
// host that ended in a failure. A test host sweeps the failing allocation over a whole session to
// show that no failure reaches the host. Neither the shipping module nor the ordinary test
// module has these.
#include <cstdint>
#include <cstdlib>
#include <new>

#include "hostapi/CallingConvention.h"
#include "hostapi/HostBoundary.h"

namespace {

int64_t g_allocations = 0;  // since the last VeskSorvelFailAllocation
int64_t g_failing = 0;      // the allocation that fails, counted the same way; 0: none

}  // namespace

// Every operator new of the module (the C++ runtime's own containers and strings included: it is
// linked into the module) comes here; delete stays the runtime's, which frees what malloc gave.
void* operator new(std::size_t size) {
    if (++g_allocations == g_failing) {
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

// VeskSorvelFailAllocation answers how many allocations were made since its last call and makes
// the n-th allocation from now fail (none when n is 0 or less).
VS_EXPORT int64_t VS_CALL VeskSorvelFailAllocation(int64_t n) {
    const int64_t made = g_allocations;
    g_allocations = 0;
    g_failing = n > 0 ? n : 0;
    return made;
}

VS_EXPORT int64_t VS_CALL VeskSorvelBoundaryFailures() {
    return HostBoundary::Failures();
}
