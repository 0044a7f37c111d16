// sorvel: the command line. "sorvel respell" applies rows (typed, or a pitch set of the
// plug-in's pitch-list file) to MusicXML files; "sorvel sets" lists the pitch sets of a
// pitch-list file. Exit codes: 0 every file done, 1 a file (or the report) failed, 2 the
// command line is wrong and nothing was done.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "rules/SpellingSyntax.h"
#include "sorvel/cli/BatchRunner.h"
#include "sorvel/cli/ExitCode.h"
#include "sorvel/cli/FileTargets.h"
#include "sorvel/cli/PitchListReader.h"
#include "sorvel/cli/ReportFile.h"
#include "sorvel/cli/TemporaryFiles.h"
#include "sorvel/core/MeasureList.h"
#include "sorvel/core/PitchListFile.h"
#include "sorvel/core/RowOption.h"
#include "sorvel/core/TextEncoding.h"

namespace fs = std::filesystem;

namespace sorvel {
namespace {

struct Arguments {
    std::vector<std::string> scores;
    std::vector<std::string> rows;
    std::string set;
    std::string sets = "vesksorvel.txt";
    bool written = false;
    std::vector<std::string> parts;
    std::string measures;
    std::string output;
    std::string outDir;
    bool inPlace = false;
    bool breakHardLinks = false;
    bool dryRun = false;
    std::string report;
    unsigned jobs = std::max(1U, std::thread::hardware_concurrency());
    uint64_t maxScoreMiB = kDefaultMaxScoreBytes >> 20;
};

int UsageError(const std::string& message) {
    std::cerr << "sorvel: " << message << "\n";
    return kExitUsage;
}

// ReadSets reads the pitch-list file whole, or answers a usage error.
bool ReadSets(const std::string& path, std::vector<PitchSet>& sets) {
    if (const std::optional<Failure> failure = ReadPitchList(path, sets)) {
        std::cerr << "sorvel: the pitch-list file " << failure->Text() << "\n";
        return false;
    }
    return true;
}

bool RowsFromSet(const Arguments& args, std::vector<rules::PitchRow>& rows) {
    std::vector<PitchSet> sets;
    if (!ReadSets(args.sets, sets)) {
        return false;
    }
    const PitchSet* set = FindPitchSet(sets, args.set);
    if (set == nullptr) {
        set = FindPitchSet(sets, Utf8ToLowBytes(args.set));
    }
    if (set == nullptr) {
        std::cerr << "sorvel: " << args.sets << " has no pitch set named \"" << args.set
                  << "\" (sorvel sets --sets " << args.sets << " lists them)\n";
        return false;
    }
    std::vector<std::string> warnings;
    rows = AppliedRows(set->rows, warnings);
    for (const std::string& warning : warnings) {
        std::cerr << "sorvel: warning: " << warning << "\n";
    }
    if (rows.empty()) {
        std::cerr << "sorvel: warning: the set \"" << args.set
                  << "\" has no ticked row that can be applied; nothing will change\n";
    }
    return true;
}

bool RowsFromOptions(const Arguments& args, std::vector<rules::PitchRow>& rows) {
    for (const std::string& text : args.rows) {
        rules::PitchRow row;
        std::string error;
        if (!ParseRowOption(text, row, error)) {
            std::cerr << "sorvel: --row \"" << text << "\": " << error << "\n";
            return false;
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].from == row.from) {
                std::cerr << "sorvel: warning: --row \"" << text << "\" never applies: row "
                          << i + 1 << " already respells " << rules::Narrow(row.from) << "\n";
                break;
            }
        }
        rows.push_back(row);
    }
    return true;
}

std::string OutputFor(const Arguments& args, const std::string& score) {
    if (!args.output.empty()) {
        return args.output;
    }
    if (!args.outDir.empty()) {
        return (fs::path(args.outDir) / fs::path(score).filename()).string();
    }
    return args.inPlace ? score : std::string();
}

// FileKey: one key per file, however its path is spelled (links, "..", hard links).
std::string FileKey(const FileIdentity& identity) {
    return identity.exists
               ? "inode " + std::to_string(identity.device) + ":" + std::to_string(identity.inode)
               : "path " + identity.place;
}

// Plan: the files a command line reads and writes, to refuse one written over another.
struct Plan {
    std::map<std::string, std::string> reads;   // key: what it is, for a message
    std::map<std::string, std::string> writes;  // key: the score written there
};

// AddOutput records where score is written; false (with a message) when it is the place of
// another score's output, of another score, or of the pitch-list file.
bool AddOutput(Plan& plan, const std::string& score, const std::string& output) {
    const std::string key = FileKey(IdentityOf(output));
    if (const auto [it, fresh] = plan.writes.emplace(key, score); !fresh) {
        std::cerr << "sorvel: " << it->second << " and " << score << " would both be written to "
                  << output << "\n";
        return false;
    }
    const auto read = plan.reads.find(key);
    if (read != plan.reads.end() && key != FileKey(IdentityOf(score))) {
        std::cerr << "sorvel: " << score << " would be written to " << output << ", which is "
                  << read->second << "\n";
        return false;
    }
    return true;
}

// CheckReport refuses a report that would be written over a file the command reads or writes.
bool CheckReport(const Plan& plan, const std::string& report) {
    const std::string key = FileKey(IdentityOf(report));
    std::string what;
    if (const auto read = plan.reads.find(key); read != plan.reads.end()) {
        what = read->second;
    } else if (const auto write = plan.writes.find(key); write != plan.writes.end()) {
        what = "the output of " + write->second;
    } else {
        return true;
    }
    std::cerr << "sorvel: --report " << report << " would be written over " << what
              << "; name another file\n";
    return false;
}

// MakeTasks pairs every score with the file it is written to, refusing a command line that
// would write one file over another it reads or writes (compared as files, not as spellings).
bool MakeTasks(const Arguments& args, std::vector<BatchTask>& tasks) {
    Plan plan;
    for (const std::string& score : args.scores) {
        plan.reads.emplace(FileKey(IdentityOf(score)), "the score " + score);
    }
    if (!args.set.empty()) {
        plan.reads.emplace(FileKey(IdentityOf(args.sets)), "the pitch-list file " + args.sets);
    }
    for (const std::string& score : args.scores) {
        const std::string output = OutputFor(args, score);
        if (!output.empty() && !AddOutput(plan, score, output)) {
            return false;
        }
        const bool inPlace = !output.empty() && IdentityOf(score).SameAs(IdentityOf(output));
        tasks.push_back(
            {score, args.dryRun ? std::string() : output, inPlace, args.breakHardLinks});
    }
    if (!args.report.empty() && !CheckReport(plan, args.report)) {
        return false;
    }
    if (!args.outDir.empty() && !args.dryRun) {
        std::error_code code;
        fs::create_directories(args.outDir, code);
        if (!fs::is_directory(args.outDir, code)) {
            std::cerr << "sorvel: --out-dir " << args.outDir << " is not a directory\n";
            return false;
        }
    }
    return true;
}

// CheckedOptions answers what is wrong with the options taken together, or nothing.
std::optional<std::string> CheckedOptions(const Arguments& args) {
    if (args.rows.empty() == args.set.empty()) {
        return "give the rows with --row (one or more) or a pitch set with --set";
    }
    if (!args.dryRun && args.output.empty() && args.outDir.empty() && !args.inPlace) {
        return "say where to write: -o FILE, --out-dir DIR or --in-place (or look first with "
               "--dry-run)";
    }
    if (!args.output.empty() && args.scores.size() > 1) {
        return "-o writes one file; for several scores use --out-dir or --in-place";
    }
    ReportFormat format = ReportFormat::kCsv;
    if (!args.report.empty() && !ReportFormatOf(args.report, format)) {
        return "--report " + args.report + ": a report file ends in .csv or .json";
    }
    return std::nullopt;
}

// RunAndReport respells the tasks, telling each file's result as it comes, and writes the report.
int RunAndReport(const Arguments& args, const std::vector<BatchTask>& tasks,
                 const RespellOptions& settings, const std::vector<rules::PitchRow>& rows) {
    const bool progressBar = tasks.size() > 1 && isatty(STDERR_FILENO) != 0;
    bool allDone = true;
    const std::vector<FileResult> results =
        RunBatch(tasks, settings, args.jobs, progressBar, [&](const FileResult& result) {
            if (args.dryRun) {
                std::cout << ChangeLines(result, rows);
            }
            if (result.ok) {
                std::cout << SummaryLine(result, rows, args.dryRun) << "\n";
            } else {
                std::cout.flush();
                std::cerr << "sorvel: " << result.input << ": " << result.error << "\n";
                allDone = false;
            }
            for (const std::string& warning : result.score.warnings) {
                std::cout.flush();
                std::cerr << "sorvel: " << result.input << ": warning: " << warning << "\n";
            }
        });
    if (!args.report.empty()) {
        if (const std::optional<Failure> failure = WriteReport(args.report, results, rows)) {
            std::cerr << "sorvel: --report: " << failure->Text() << "\n";
            allDone = false;
        }
    }
    return allDone ? kExitDone : kExitFileFailed;
}

int Respell(const Arguments& args) {
    if (const std::optional<std::string> wrong = CheckedOptions(args)) {
        return UsageError(*wrong);
    }
    RespellOptions settings;
    settings.written = args.written;
    settings.parts = args.parts;
    settings.maxScoreBytes = args.maxScoreMiB << 20;
    settings.listChanges = args.dryRun || !args.report.empty();
    std::string error;
    if (!args.measures.empty() && !ParseMeasureList(args.measures, settings.measures, error)) {
        return UsageError("--measures " + args.measures + ": " + error);
    }
    std::vector<rules::PitchRow> rows;
    if (!(args.set.empty() ? RowsFromOptions(args, rows) : RowsFromSet(args, rows))) {
        return kExitUsage;
    }
    std::vector<BatchTask> tasks;
    if (!MakeTasks(args, tasks)) {
        return kExitUsage;
    }
    const rules::PitchRules rules(rows);
    settings.rules = &rules;
    return RunAndReport(args, tasks, settings, rows);
}

int ListSets(const Arguments& args) {
    std::vector<PitchSet> sets;
    if (!ReadSets(args.sets, sets)) {
        return kExitUsage;
    }
    std::cout << args.sets << ": " << sets.size() << " pitch set" << (sets.size() == 1 ? "" : "s")
              << "\n";
    for (const PitchSet& set : sets) {
        std::cout << Latin1ToUtf8(set.name) << " (" << set.rows.size() << " row"
                  << (set.rows.size() == 1 ? "" : "s") << ")\n";
        for (const StoredPitchRow& stored : set.rows) {
            std::cout << "  " << Latin1ToUtf8(stored.row.Text())
                      << (stored.ticked ? "" : " (not ticked)") << "\n";
        }
    }
    return kExitDone;
}

// AddRespell adds the respell command and its options.
CLI::App* AddRespell(CLI::App& app, Arguments& args) {
    CLI::App* respell = app.add_subcommand(
        "respell", "Respell the notes of MusicXML files (.musicxml, .xml, .mxl).");
    respell->add_option("SCORE", args.scores, "MusicXML files")->required();
    CLI::Option* row =
        respell
            ->add_option("--row", args.rows,
                         "A row FROM>TO[:up|down|closest] (closest when left out); repeat "
                         "for more rows, the first matching row applies")
            ->type_name("ROW")
            ->allow_extra_args(false);
    CLI::Option* set = respell->add_option("--set", args.set, "Use the rows of this pitch set");
    row->excludes(set);
    respell->add_option("--sets", args.sets,
                        "The pitch-list file (the plug-in's vesksorvel.txt; default "
                        "./vesksorvel.txt)");
    respell->add_flag("--written", args.written,
                      "Compare and write written pitch (default: sounding pitch); parts whose "
                      "transposition is not a key transposition are left alone");
    respell->add_option("--parts", args.parts, "Only these parts, by id or name")
        ->delimiter(',')
        ->allow_extra_args(false);
    respell->add_option("--measures", args.measures,
                        "Only these measures by number: A-B, A, A- or -B, comma separated");
    CLI::Option* output =
        respell->add_option("-o,--output", args.output, "Write the one score here");
    CLI::Option* outDir =
        respell->add_option("--out-dir", args.outDir, "Write the scores into this directory");
    CLI::Option* inPlace =
        respell->add_flag("--in-place", args.inPlace, "Replace each score (atomically)");
    output->excludes(outDir)->excludes(inPlace);
    outDir->excludes(inPlace);
    respell->add_flag("--break-hard-links", args.breakHardLinks,
                      "In place: replace a score that has other hard links too (they keep the "
                      "old score); without it such a score is refused");
    respell->add_flag("--dry-run", args.dryRun, "List what would change; write nothing");
    respell->add_option("--report", args.report, "Write a report of the changes (.csv or .json)");
    respell->add_option("--jobs", args.jobs, "Files respelled at once (default: the cores)")
        ->check(CLI::Range(1U, 1024U));
    respell
        ->add_option("--max-score-size", args.maxScoreMiB,
                     "The largest score an .mxl may expand to, in MiB (default " +
                         std::to_string(kDefaultMaxScoreBytes >> 20) + ")")
        ->check(CLI::Range(uint64_t{1}, uint64_t{1} << 24));
    return respell;
}

// Main reads the command line and runs the command.
int Main(int argc, char** argv) {
    InstallTemporaryCleanup();
    Arguments args;
    CLI::App app{
        "sorvel: respells the notes of MusicXML files by rows such as A#>Bb:closest, "
        "with the rules of the Vesk Sorvel plug-in.\n"
        "Exit codes: 0 every file done, 1 a file or the report failed (the others were "
        "done), 2 the command line is wrong (nothing was done)."};
    app.require_subcommand(1);

    CLI::App* respell = AddRespell(app, args);
    CLI::App* sets = app.add_subcommand("sets", "List the pitch sets of a pitch-list file.");
    sets->add_option("--sets", args.sets, "The pitch-list file (default ./vesksorvel.txt)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? kExitDone : kExitUsage;
    }
    return respell->parsed() ? Respell(args) : ListSets(args);
}

}  // namespace
}  // namespace sorvel

int main(int argc, char** argv) {
    try {
        const int code = sorvel::Main(argc, argv);
        sorvel::RemoveLeftoverTemporaries();
        return code;
    } catch (const std::exception& e) {
        // Each file's failures are its own; what is left is the batch itself (memory, threads).
        std::cerr << "sorvel: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "sorvel: an unknown failure\n";
    }
    sorvel::RemoveLeftoverTemporaries();
    return sorvel::kExitFileFailed;
}
