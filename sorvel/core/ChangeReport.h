// ChangeReport: what the program tells about a batch: one summary line per file, the changes a
// dry run would make, and a report in CSV or JSON with every respelled note (file, part,
// measure, beat, staff, voice, before and after in written and sounding pitch) and the count
// per row. The texts are made here only, when they are asked for; the command line and the
// browser page both show these.
#pragma once

#include <string>
#include <vector>

#include "rules/PitchRow.h"
#include "sorvel/core/RespellScore.h"

namespace sorvel {

// FileResult: one file of a batch, as the reports tell it.
struct FileResult {
    std::string input;
    std::string output;  // where it was (or would be) written; empty in a dry run
    bool ok = false;
    bool written = false;  // false also when an in-place file had nothing to change
    std::string error;
    RespelledScore score;  // its changes, counts and warnings
};

enum class ReportFormat { kCsv, kJson };

// ReportFormatOf answers the report format a file name asks for; false for other extensions.
bool ReportFormatOf(const std::string& path, ReportFormat& format);
// SummaryLine is the line for one file (without line end).
std::string SummaryLine(const FileResult& result, const std::vector<rules::PitchRow>& rows,
                        bool dryRun);
// ChangeLines lists the file's changes, one line each.
std::string ChangeLines(const FileResult& result, const std::vector<rules::PitchRow>& rows);
// RenderReport answers the report's text.
std::string RenderReport(ReportFormat format, const std::vector<FileResult>& results,
                         const std::vector<rules::PitchRow>& rows);

}  // namespace sorvel
