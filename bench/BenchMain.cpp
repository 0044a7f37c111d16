// The benchmark: the plug-in's Change Checked run against the stand-in host on generated scores
// (1 000, 10 000 and 100 000 note entries by default) with lists of 1, 4 and 16 rows, and the
// settings files loaded and saved at a few sizes. Each cell is repeated; wall time and the
// thread's CPU time are reported side by side. Not a test: the figures depend on the machine and
// on what else runs on it.
//
// vs_bench [--entries N,N,...] [--rows N,N,...] [--repeat N] [--pairs N,N,...]
//          [--pitch-list-rows N] [--runs-only | --settings-only] [--label TEXT]
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"
#include "bench/RunBench.h"
#include "bench/SettingsBench.h"
#include "host/HostSession.h"
#include "hostapi/HostVersion.h"

int main(int argc, char** argv) {
    std::string error;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::optional<BenchOptions> options = BenchOptions::Parse(arguments, error);
    if (!options) {
        if (!error.empty()) {
            std::fprintf(stderr, "vs_bench: %s\n", error.c_str());
        }
        std::fputs(BenchOptions::Usage(), error.empty() ? stdout : stderr);
        return error.empty() ? 0 : 2;
    }
    HostVersion::Set(host::HostSession::kDefaultHostVersion);

    if (!options->label.empty()) {
        std::printf("%s\n\n", options->label.c_str());
    }
    if (options->runs) {
        std::printf("Pitch runs (Change Checked with Respace, everything selected)\n\n");
        RunBench::Print(*options, RunBench::Measure(*options));
        std::fflush(stdout);
    }
    if (options->settings) {
        std::printf("%sSettings files (load: dialog opening; save: host termination)\n\n",
                    options->runs ? "\n" : "");
        SettingsBench::Print(SettingsBench::Measure(*options));
    }
    return 0;
}
