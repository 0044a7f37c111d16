// SettingsBench: the files are written by the benchmark itself into a folder of its own, which
// the stand-in host names as its settings folder, and read and written by the plug-in's
// StoredOptions and StoredPitchSets exactly as the dialog's opening and the host's termination
// do.
//
// A shared file of N pairs holds, in this order: other plug-ins' pairs, the nine option keys and
// a working list of N / 8 rows (half the pairs), so that both the rows read back and the pairs
// kept for others grow with N. The pitch-list file holds sets of 20 rows.
#include "bench/SettingsBench.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "bench/BenchClock.h"
#include "host/HostSession.h"
#include "settings/SettingsFiles.h"
#include "settings/StoredOptions.h"
#include "settings/StoredPitchSets.h"
#include "settings/WindowGeometry.h"
#include "state/PluginState.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRowsPerSet = 20;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "vs_bench: %s\n", what.c_str());
    std::exit(1);
}

// A fresh folder under the system's temporary folder, removed again at the end.
class Folder {
  public:
    Folder() {
        std::random_device seed;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const fs::path candidate =
                fs::temp_directory_path() / ("vs_bench_" + std::to_string(seed()));
            std::error_code error;
            if (fs::create_directory(candidate, error)) {
                path_ = candidate;
            }
        }
        if (path_.empty()) {
            Fail("no temporary folder for the settings files");
        }
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    [[nodiscard]] const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

const char* const kRowPitches[] = {"A#", "Bb", "C#", "Db", "E#", "F", "Gb", "F#"};

void WriteRow(std::ofstream& out, const std::string& suffix, int row) {
    out << "VESKSORVEL_LIST_FROM_" << suffix << "=" << kRowPitches[row % 8] << "\n"
        << "VESKSORVEL_LIST_TO_" << suffix << "=" << kRowPitches[(row + 1) % 8] << "\n"
        << "VESKSORVEL_LIST_UPDIRECTION_" << suffix << "=" << row % 3 << "\n"
        << "VESKSORVEL_LIST_INUSE_" << suffix << "=" << (row % 5 != 0 ? 1 : 0) << "\n";
}

// WriteSharedFile writes a shared settings file of pairs pairs; answers the working list's rows.
int WriteSharedFile(const fs::path& file, int pairs) {
    const int rows = pairs / 8;
    const int options = std::min(9, pairs - 4 * rows);
    const int others = pairs - 4 * rows - options;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < others; ++i) {
        out << "OTHERPLUGIN" << i % 7 << "_SETTING_" << i << "=value " << i * 7919 % 100000 << "\n";
    }
    const char* const kOptions[] = {
        "VESKSORVEL_WINDOWX2=120",      "VESKSORVEL_WINDOWY2=80",     "VESKSORVEL_WINDOWWIDTH2=640",
        "VESKSORVEL_WINDOWHEIGHT2=480", "VESKSORVEL_FROM=C#",         "VESKSORVEL_TO=Db",
        "VESKSORVEL_UPDIRECTION=2",     "VESKSORVEL_SOUNDINGPITCH=1", "VESKSORVEL_RESPACE=0"};
    for (int i = 0; i < options; ++i) {
        out << kOptions[i] << "\n";
    }
    for (int row = 1; row <= rows; ++row) {
        WriteRow(out, std::to_string(row), row);
    }
    if (!out.flush()) {
        Fail("cannot write " + file.string());
    }
    return rows;
}

void WritePitchListFile(const fs::path& file, int rows) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    const int sets = (rows + kRowsPerSet - 1) / kRowsPerSet;
    for (int set = 1; set <= sets; ++set) {
        out << "VESKSORVEL_LIST_NAME_" << set << "=Set " << set << "\n";
        for (int row = 1; row <= kRowsPerSet && (set - 1) * kRowsPerSet + row <= rows; ++row) {
            WriteRow(out, std::to_string(set) + "_" + std::to_string(row), row);
        }
    }
    if (!out.flush()) {
        Fail("cannot write " + file.string());
    }
}

int CountLines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return static_cast<int>(
        std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Timed runs a step and adds its wall and CPU time to the lists.
template <typename Step>
void Timed(Step step, std::vector<double>& walls, double& cpuTotal) {
    const double wall = BenchClock::WallSeconds();
    const double cpu = BenchClock::CpuSeconds();
    step();
    cpuTotal += BenchClock::CpuSeconds() - cpu;
    walls.push_back(BenchClock::WallSeconds() - wall);
}

// Repeat runs load and save at least repeat times, and more until 0.5 s of CPU time (at most
// 200 times).
template <typename Load, typename Save>
void Repeat(int repeat, Load load, Save save, SettingsBench::Cell& cell) {
    std::vector<double> loadWalls;
    std::vector<double> saveWalls;
    double loadCpu = 0;
    double saveCpu = 0;
    while (cell.runs < repeat || (loadCpu + saveCpu < 0.5 && cell.runs < 200)) {
        Timed(load, loadWalls, loadCpu);
        Timed(save, saveWalls, saveCpu);
        ++cell.runs;
    }
    cell.loadWall = Median(loadWalls);
    cell.saveWall = Median(saveWalls);
    cell.loadCpu = loadCpu / cell.runs;
    cell.saveCpu = saveCpu / cell.runs;
}

SettingsBench::Cell MeasureShared(const fs::path& folder, int pairs, int repeat) {
    const fs::path file = folder / SettingsFiles::kSharedFileName;
    SettingsBench::Cell cell;
    cell.file = "shared";
    cell.pairs = pairs;
    cell.rows = WriteSharedFile(file, pairs);
    PluginState state;
    WindowGeometry geometry;
    auto load = [&] {
        state.SetDefaults();
        geometry = WindowGeometry{};
        StoredOptions::LoadOptions(geometry, state);
    };
    auto save = [&] {
        if (!StoredOptions::SaveOptions(geometry, state)) {
            Fail("the shared settings file was not saved");
        }
    };
    Repeat(repeat, load, save, cell);
    if (state.workingList.GetCount() != cell.rows || !geometry.hasSavedPosition ||
        CountLines(file) != std::max(pairs, 9 + 4 * cell.rows)) {
        Fail("the shared settings file of " + std::to_string(pairs) +
             " pairs did not come back as written");
    }
    fs::remove(file);
    return cell;
}

SettingsBench::Cell MeasurePitchList(const fs::path& folder, int rows, int repeat) {
    const fs::path file = folder / SettingsFiles::kPitchListFileName;
    WritePitchListFile(file, rows);
    SettingsBench::Cell cell;
    cell.file = "pitch list";
    cell.rows = rows;
    cell.sets = (rows + kRowsPerSet - 1) / kRowsPerSet;
    cell.pairs = cell.sets + 4 * rows;
    PluginState state;
    auto load = [&] { StoredPitchSets::LoadPitchSets(state); };
    auto save = [&] {
        if (!StoredPitchSets::SavePitchSets(state)) {
            Fail("the pitch-list file was not saved");
        }
    };
    Repeat(repeat, load, save, cell);
    if (state.pitchSets.GetCount() != cell.sets || CountLines(file) != cell.pairs) {
        Fail("the pitch-list file did not come back as written");
    }
    fs::remove(file);
    return cell;
}

}  // namespace

std::vector<SettingsBench::Cell> SettingsBench::Measure(const BenchOptions& options) {
    Folder folder;
    auto& host = host::HostSession::Instance();
    host.Reset();
    host.SetSettingsFolder(folder.Path().string());
    std::vector<Cell> cells;
    for (const int pairs : options.pairs) {
        cells.push_back(MeasureShared(folder.Path(), pairs, options.repeat));
    }
    cells.push_back(MeasurePitchList(folder.Path(), options.pitchListRows, options.repeat));
    host.Reset();
    return cells;
}

void SettingsBench::Print(const std::vector<Cell>& cells) {
    std::printf(
        "| file | pairs | rows | runs | load wall ms | load CPU ms | save wall ms | save CPU ms "
        "|\n|---|--:|--:|--:|--:|--:|--:|--:|\n");
    for (const Cell& c : cells) {
        std::printf("| %s | %d | %d | %d | %.1f | %.1f | %.1f | %.1f |\n", c.file.c_str(), c.pairs,
                    c.rows, c.runs, c.loadWall * 1e3, c.loadCpu * 1e3, c.saveWall * 1e3,
                    c.saveCpu * 1e3);
    }
    // Growth between the shared files: linear when the CPU time grows as the pairs do.
    std::vector<const Cell*> shared;
    for (const Cell& c : cells) {
        if (c.file == "shared") {
            shared.push_back(&c);
        }
    }
    for (size_t i = 1; i < shared.size(); ++i) {
        const Cell& a = *shared[i - 1];
        const Cell& b = *shared[i];
        std::printf("\n%d to %d pairs (x%.1f): load x%.1f, save x%.1f (CPU time)", a.pairs, b.pairs,
                    double(b.pairs) / a.pairs, a.loadCpu > 0 ? b.loadCpu / a.loadCpu : 0,
                    a.saveCpu > 0 ? b.saveCpu / a.saveCpu : 0);
    }
    std::printf("\n");
}
