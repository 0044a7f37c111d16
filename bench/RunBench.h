// RunBench: the pitch run measured. For each generated score and each list length, the
// plug-in's Change Checked run against the stand-in host, repeated; then a separate timing pass
// in which the host times its calls, for the plug-in's share. Prints the table and the growth.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"

class RunBench {
  public:
    struct Cell {
        int entries = 0;
        int notes = 0;
        int rows = 0;
        int runs = 0;
        double wallSeconds = 0;  // median of the runs
        double cpuSeconds = 0;   // mean of the runs
        double pluginShare = 0;  // of the time, outside the host's FX_ calls (timing passes)
        int64_t calls = 0;
        size_t pluginPeakBytes = 0;    // the plug-in's heap above what it held before the run
        size_t pluginAllocations = 0;  // heap blocks the plug-in asked for during the run
        size_t hostPeakBytes = 0;      // the host's heap above the loaded score, frames included
        size_t scoreBytes = 0;         // the host's heap for the loaded score
    };

    static std::vector<Cell> Measure(const BenchOptions& options);
    static void Print(const BenchOptions& options, const std::vector<Cell>& cells);
};
