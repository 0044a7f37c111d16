// RunBench: one run is "Change Checked" with Respace on a freshly loaded score, everything
// selected, as the dialog starts it; the run is timed from outside and the host only counts
// its calls. The timing pass repeats the same run with the host timing every call.
#include "bench/RunBench.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "bench/BenchClock.h"
#include "bench/BenchScore.h"
#include "bench/HeapMeter.h"
#include "framework/FCString.h"
#include "host/CallClock.h"
#include "host/HostSession.h"
#include "pitch/FCPitchChangeNodes.h"
#include "pitch/FCPitchChangerBlockHandler.h"
#include "pitch/FCUndoBlock.h"
#include "ui/FCUI.h"

namespace {

using Account = HeapMeter::Account;

host::HostSession& Host() {
    return host::HostSession::Instance();
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "vs_bench: %s\n", what.c_str());
    std::exit(1);
}

struct Run {
    double wall = 0;
    double cpu = 0;
    double host = 0;   // timing pass: inside the host's calls
    double timed = 0;  // timing pass: the whole run on the same clock, its readings taken off
    int64_t calls = 0;
    size_t pluginPeak = 0;
    size_t pluginAllocations = 0;
    size_t hostPeak = 0;
    size_t score = 0;
};

Run RunOnce(const std::string& json, const std::vector<BenchScore::Row>& rows, bool timing) {
    Host().Reset();
    Host().SetHostVersion(host::HostSession::kDefaultHostVersion);
    std::string error;
    const size_t empty = HeapMeter::InUse();
    if (!Host().LoadScoreJson(json, error)) {
        Fail("the generated score does not load: " + error);
    }
    Run run;
    run.score = HeapMeter::InUse() - empty;
    FCPitchChangeNodes nodes;
    for (const BenchScore::Row& row : rows) {
        FCString from(row.from.c_str());
        FCString to(row.to.c_str());
        nodes.AddItem(new FCPitchChangeNode(&from, &to, row.direction));
    }
    FCUI ui(nullptr);
    FCPitchChangerBlockHandler handler(&nodes, true, true, &ui);
    FCUndoBlock block;
    FCString title("Sorvel");

    Host().ResetCallStats();
    Host().SetCallTiming(timing);
    HeapMeter::StartPeak();
    const size_t pluginBefore = HeapMeter::InUse(Account::kPlugin);
    const size_t hostBefore = HeapMeter::InUse(Account::kHost);
    const size_t framesBefore = Host().FrameMemory();
    const size_t allocationsBefore = HeapMeter::Allocations(Account::kPlugin);
    const double wall = BenchClock::WallSeconds();
    const double cpu = BenchClock::CpuSeconds();
    const uint64_t ticks = host::CallClock::Now();
    const bool ran = block.Execute(&handler, &title);
    const uint64_t runTicks = host::CallClock::Now() - ticks;
    run.cpu = BenchClock::CpuSeconds() - cpu;
    run.wall = BenchClock::WallSeconds() - wall;
    Host().SetCallTiming(false);

    const host::HostSession::CallStats stats = Host().GetCallStats();
    run.host = static_cast<double>(stats.nanoseconds) * 1e-9;
    if (timing) {
        // Each timed call read the clock twice; both readings are taken off the run.
        const double readings =
            2.0 * static_cast<double>(stats.calls) * host::CallClock::ReadingCost();
        run.timed = std::max(static_cast<double>(runTicks) - readings, 0.0) *
                    host::CallClock::NanosecondsPerTick() * 1e-9;
    }
    run.calls = stats.calls;
    run.pluginPeak = HeapMeter::Peak(Account::kPlugin) - pluginBefore;
    run.pluginAllocations = HeapMeter::Allocations(Account::kPlugin) - allocationsBefore;
    run.hostPeak =
        HeapMeter::Peak(Account::kHost) - hostBefore + Host().FrameMemory() - framesBefore;
    if (!ran || Host().GetCounters().editsKept != 1) {
        Fail("the run did not keep its edit");
    }
    if (!Host().ProtocolErrors().empty()) {
        Fail("protocol error: " + Host().ProtocolErrors().front());
    }
    if (Host().OutstandingFrames() != 0) {
        Fail("frames left unfreed");
    }
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

RunBench::Cell MeasureCell(const std::string& json, int entries, int notes, int rowCount,
                           int repeat) {
    const std::vector<BenchScore::Row> rows = BenchScore::Rows(rowCount);
    RunBench::Cell cell;
    cell.entries = entries;
    cell.notes = notes;
    cell.rows = rowCount;
    std::vector<double> walls;
    double cpu = 0;
    constexpr int kMostRuns = 200;
    constexpr double kEnoughCpu = 0.5;
    while (cell.runs < repeat || (cpu < kEnoughCpu && cell.runs < kMostRuns)) {
        const Run run = RunOnce(json, rows, false);
        walls.push_back(run.wall);
        cpu += run.cpu;
        ++cell.runs;
        cell.calls = run.calls;
        cell.pluginPeakBytes = std::max(cell.pluginPeakBytes, run.pluginPeak);
        cell.pluginAllocations = run.pluginAllocations;
        cell.hostPeakBytes = std::max(cell.hostPeakBytes, run.hostPeak);
        cell.scoreBytes = run.score;
    }
    cell.wallSeconds = Median(walls);
    cell.cpuSeconds = cpu / cell.runs;
    // The timing passes: the host's share of each pass, on one clock, so that whatever else
    // the machine does takes the plug-in and the host alike; the median of a few passes.
    const int passes = std::min(cell.runs, 5);
    std::vector<double> shares;
    for (int pass = 0; pass < passes; ++pass) {
        const Run run = RunOnce(json, rows, true);
        if (run.calls != cell.calls) {
            Fail("the timing pass made other calls than the measured runs");
        }
        shares.push_back(run.timed > 0 ? 1.0 - run.host / run.timed : 0);
    }
    cell.pluginShare = Median(shares);
    return cell;
}

// Grouped writes a count with a space between groups of three digits.
std::string Grouped(double value) {
    const std::string digits = std::to_string(std::llround(value));
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0 && digits[i - 1] != '-') {
            grouped += ' ';
        }
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace

std::vector<RunBench::Cell> RunBench::Measure(const BenchOptions& options) {
    std::vector<Cell> cells;
    for (const int entries : options.entries) {
        int notes = 0;
        int measures = 0;
        const std::string json = BenchScore::Json(entries, 20261208, notes, measures);
        for (const int rows : options.rows) {
            cells.push_back(MeasureCell(json, entries, notes, rows, options.repeat));
        }
    }
    Host().Reset();
    return cells;
}

void RunBench::Print(const BenchOptions& options, const std::vector<Cell>& cells) {
    if (cells.empty()) {
        return;
    }
    std::printf(
        "| entries | notes | rows | runs | wall ms | CPU ms | pairs/s (CPU) | host calls/note | "
        "plug-in share | plug-in blocks/note | plug-in peak KB | host peak MB | score MB |\n");
    std::printf("|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n");
    for (const Cell& c : cells) {
        const double pairs = double(c.notes) * c.rows;
        std::printf(
            "| %s | %s | %d | %d | %.1f | %.1f | %s | %.2f | %.0f %% | %.2f | %.1f | %.1f | %.1f "
            "|\n",
            Grouped(c.entries).c_str(), Grouped(c.notes).c_str(), c.rows, c.runs,
            c.wallSeconds * 1e3, c.cpuSeconds * 1e3,
            Grouped(c.cpuSeconds > 0 ? pairs / c.cpuSeconds : 0).c_str(), double(c.calls) / c.notes,
            100.0 * c.pluginShare, double(c.pluginAllocations) / c.notes,
            double(c.pluginPeakBytes) / 1024.0, double(c.hostPeakBytes) / (1024.0 * 1024.0),
            double(c.scoreBytes) / (1024.0 * 1024.0));
    }

    // Per note: a fixed part (reading the frames and records once) and a part for each row,
    // fitted by least squares over the lists of each score, in CPU time.
    std::map<std::pair<int, int>, const Cell*> byKey;
    for (const Cell& c : cells) {
        byKey[{c.entries, c.rows}] = &c;
    }
    if (options.rows.size() < 2) {
        return;
    }
    std::printf("\nCPU time per note = fixed + per row x rows (least squares over the lists)\n\n");
    std::printf("| entries | fixed ns/note | ns per (note, row) |\n|--:|--:|--:|\n");
    for (const int entries : options.entries) {
        double sx = 0;
        double sy = 0;
        double sxx = 0;
        double sxy = 0;
        const auto n = static_cast<double>(options.rows.size());
        for (const int rows : options.rows) {
            const Cell& c = *byKey[{entries, rows}];
            const double y = c.cpuSeconds * 1e9 / c.notes;
            sx += rows;
            sy += y;
            sxx += double(rows) * rows;
            sxy += rows * y;
        }
        const double denominator = n * sxx - sx * sx;
        const double slope = denominator != 0 ? (n * sxy - sx * sy) / denominator : 0;
        const double fixed = (sy - slope * sx) / n;
        std::printf("| %s | %.0f | %.0f |\n", Grouped(entries).c_str(), fixed, slope);
    }
}
