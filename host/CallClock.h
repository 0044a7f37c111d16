// CallClock: the clock a timing pass measures the host's FX_ calls with. On x86 it is the
// processor's time-stamp counter, which is read without a system call (natively and under Wine
// alike), so timing every call disturbs the run far less than a system clock would; elsewhere it
// is the steady clock in nanoseconds. Reading it has a cost of its own, part of which falls
// inside every interval it measures; that part is measured once and taken off again.
#pragma once

#include <chrono>
#include <cstdint>

// The fenced counter needs SSE2, which every x86-64 has; a 32-bit build made without it uses the
// steady clock.
#if defined(__x86_64__) || (defined(__i386__) && defined(__SSE2__))
#define VS_HOST_CYCLE_COUNTER 1
#include <x86intrin.h>
#endif

namespace host {

class CallClock {
  public:
    CallClock() = delete;

    // Now answers the clock in ticks.
    static uint64_t Now() {
#if defined(VS_HOST_CYCLE_COUNTER)
        // The fences keep the work before and after a reading on its own side of it, so that an
        // interval holds the call's work and a fixed cost of the clock, never a varying part of
        // the caller's.
        _mm_lfence();
        const uint64_t ticks = __rdtsc();
        _mm_lfence();
        return ticks;
#else
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
#endif
    }

    // NanosecondsPerTick is measured against the steady clock the first time it is asked for
    // (about 20 ms).
    static double NanosecondsPerTick();
    // ReadingCost answers the ticks an empty interval measures: what one reading of the clock
    // adds to every interval timed with it (measured the first time it is asked for).
    static double ReadingCost();
};

}  // namespace host
