// CallClock: measuring the tick length and the cost of a reading.
#include "host/CallClock.h"

#include <algorithm>
#include <vector>

namespace host {

double CallClock::NanosecondsPerTick() {
    static const double value = [] {
        using Steady = std::chrono::steady_clock;
        const Steady::time_point start = Steady::now();
        const uint64_t first = Now();
        Steady::time_point end = start;
        // Long enough to make the clocks' reading costs vanish in the ratio.
        constexpr auto kCalibration = std::chrono::milliseconds(20);
        while (end - start < kCalibration) {
            end = Steady::now();
        }
        const uint64_t ticks = Now() - first;
        const double nanoseconds = std::chrono::duration<double, std::nano>(end - start).count();
        return ticks == 0 ? 1.0 : nanoseconds / static_cast<double>(ticks);
    }();
    return value;
}

double CallClock::ReadingCost() {
    static const double value = [] {
        // The median of many empty intervals: an interrupt in one of them moves nothing.
        constexpr int kSamples = 20001;
        std::vector<uint64_t> samples(kSamples);
        for (uint64_t& sample : samples) {
            const uint64_t start = Now();
            sample = Now() - start;
        }
        std::nth_element(samples.begin(), samples.begin() + kSamples / 2, samples.end());
        return static_cast<double>(samples[kSamples / 2]);
    }();
    return value;
}

}  // namespace host
