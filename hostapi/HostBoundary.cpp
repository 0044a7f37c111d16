// HostBoundary: the count of failed calls.
#include "hostapi/HostBoundary.h"

namespace {
int64_t g_failures = 0;
}  // namespace

int64_t HostBoundary::Failures() {
    return g_failures;
}

void HostBoundary::CountFailure() noexcept {
    ++g_failures;
}
