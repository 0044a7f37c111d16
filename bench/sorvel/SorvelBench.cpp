// sorvel_bench: the tools of the whole-process benchmark (scripts/bench-sorvel.py: a generated
// score written to a file, pugixml's own load and save of a file), and a batch of small files
// respelled on 1, 2 and 4 threads, each figure the best of three runs. Not a test.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "bench/sorvel/BenchScores.h"
#include "sorvel/cli/BatchRunner.h"
#include "sorvel/cli/FileJob.h"
#include "sorvel/core/RowOption.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

const std::vector<std::vector<std::string>> kRowLists = {
    {"A#>Bb"},
    {"A#>Bb", "Db>C#", "E>Fb:up", "G>F##:down"},
    {"A#>Bb", "Db>C#", "E>Fb:up", "G>F##:down", "C>B#:closest", "F#>Gb", "Ab>G#", "D#>Eb", "B>Cb",
     "Eb>D#:up", "Gb>F#", "F>E#", "C#>Db", "Bb>A#:down", "G#>Ab", "A>Bbb"},
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Timing: the best wall-clock time and the best processor time (all threads) of three runs;
// the processor time shows the program's own cost on a machine others share.
struct Timing {
    double wall = 1e30;
    double cpu = 1e30;
};

template <class Work>
Timing Best(Work work) {
    Timing best;
    for (int run = 0; run < 3; ++run) {
        const std::clock_t cpu = std::clock();
        const auto start = Clock::now();
        work();
        best.wall = std::min(best.wall, Seconds(Clock::now() - start));
        best.cpu = std::min(best.cpu, static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
    }
    return best;
}

rules::PitchRules Rules(const std::vector<std::string>& texts) {
    std::vector<rules::PitchRow> rows;
    for (const std::string& text : texts) {
        rules::PitchRow row;
        std::string error;
        sorvel::ParseRowOption(text, row, error);
        rows.push_back(row);
    }
    return rules::PitchRules(rows);
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one;
    std::string five;
    std::string fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

void Batch(const fs::path& folder, size_t files, size_t notesPerFile) {
    const fs::path inputs = folder / "batch";
    fs::create_directories(inputs);
    std::vector<sorvel::BatchTask> tasks;
    for (size_t i = 0; i < files; ++i) {
        const fs::path path = inputs / ("score" + std::to_string(i) + ".musicxml");
        std::ofstream(path, std::ios::binary)
            << BenchScores::Make(notesPerFile, static_cast<unsigned>(i));
        tasks.push_back({path.string(), (folder / "batch-out" / path.filename()).string()});
    }
    fs::create_directories(folder / "batch-out");
    const rules::PitchRules rules = Rules(kRowLists[1]);
    sorvel::RespellOptions settings;
    settings.rules = &rules;
    std::printf("\nBatch of %zu files of %zu notes, 4 rows (load average before: %s)\n\n", files,
                notesPerFile, LoadAverage().c_str());
    std::printf(
        "| threads | files/s | speed-up | processor ms per file | load average after |\n"
        "|---:|---:|---:|---:|---|\n");
    double single = 0;
    for (const unsigned jobs : {1U, 2U, 4U}) {
        const Timing timing = Best([&] {
            sorvel::RunBatch(tasks, settings, jobs, false, [](const sorvel::FileResult& r) {
                if (!r.ok) {
                    std::fprintf(stderr, "%s: %s\n", r.input.c_str(), r.error.c_str());
                }
            });
        });
        if (jobs == 1) {
            single = timing.wall;
        }
        const auto count = static_cast<double>(files);
        std::printf("| %u | %.0f | %.2f | %.2f | %s |\n", jobs, count / timing.wall,
                    single / timing.wall, timing.cpu / count * 1e3, LoadAverage().c_str());
        std::fflush(stdout);
    }
}

}  // namespace

// Tool runs one step of the whole-process benchmark (scripts/bench-sorvel.py), so that every
// tool it compares is a process of its own: "make NOTES FILE [one-measure]" writes a generated
// score, "floor IN OUT" is pugixml's own load and save of a file.
int Tool(int argc, char** argv) {
    const std::string command = argv[1];
    if (command == "make" && (argc == 4 || argc == 5)) {
        std::string text = BenchScores::Make(std::stoul(argv[2]), 15);
        if (argc == 5) {
            text = BenchScores::OneMeasure(text);
        }
        std::ofstream(argv[3], std::ios::binary) << text;
        return 0;
    }
    if (command == "floor" && argc == 4) {
        pugi::xml_document document;
        return document.load_file(argv[2]) && document.save_file(argv[3]) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: sorvel_bench [make NOTES FILE [one-measure] | floor IN OUT]\n");
    return 2;
}

int main(int argc, char** argv) {
    if (argc > 1 && argv[1][0] != '-') {
        return Tool(argc, argv);
    }
    size_t files = 1000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--files") == 0) {
            files = std::stoul(argv[i + 1]);
        }
    }
    const fs::path folder =
        fs::temp_directory_path() / ("sorvel-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    Batch(folder, files, 200);
    fs::remove_all(folder);
    return 0;
}
