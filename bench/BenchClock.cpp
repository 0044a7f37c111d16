// BenchClock: steady clock and thread CPU time, on POSIX and on Windows.
#include "bench/BenchClock.h"

#include <chrono>

#if defined(_WIN32)
#include <windows.h>
#else
#include <ctime>
#endif

double BenchClock::WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double BenchClock::CpuSeconds() {
#if defined(_WIN32)
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    if (GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user) == 0) {
        return 0;
    }
    auto seconds = [](const FILETIME& time) {
        const auto units =
            (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
        return static_cast<double>(units) * 1e-7;  // 100-ns units
    };
    return seconds(kernel) + seconds(user);
#else
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
#endif
}
