// BenchOptions: the benchmark's command line: which scores and lists the pitch run is measured
// on, how often each cell is repeated, which settings files are measured, and the label.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct BenchOptions {
    // The longest list a run is measured with: the benchmark's rows are made up to this count.
    static constexpr int kMaxRows = 64;
    static constexpr int kMaxEntries = 1000000;
    static constexpr int kMaxRepeat = 1000;
    static constexpr int kMaxPairs = 10000000;

    std::vector<int> entries = {1000, 10000, 100000};
    std::vector<int> rows = {1, 4, 16};
    // Each cell is run at least this often, and more often until it has taken half a second of
    // CPU time (at most 200 times), so that a short cell is not one lucky or unlucky run.
    int repeat = 3;
    // Shared settings files of these many pairs, and a pitch-list file of this many rows.
    std::vector<int> pairs = {1000, 10000, 150000};
    int pitchListRows = 10000;
    bool runs = true;
    bool settings = true;
    std::string label;

    // Parse reads arguments (without the program name). On a fault it answers nullopt and
    // error says what is wrong; "--help" answers nullopt with an empty error.
    static std::optional<BenchOptions> Parse(const std::vector<std::string>& arguments,
                                             std::string& error);
    static const char* Usage();
};
