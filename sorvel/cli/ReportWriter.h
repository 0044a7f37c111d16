// ReportWriter: what the program tells about a batch: one summary line per file, the changes a
// dry run would make, and a report file in CSV or JSON (chosen by its extension) with every
// respelled note (file, part, measure, beat, staff, voice, before and after in written and
// sounding pitch) and the count per row.
#pragma once

#include <string>
#include <vector>

#include "rules/PitchRow.h"
#include "sorvel/cli/FileJob.h"

class ReportWriter {
  public:
    ReportWriter() = delete;

    enum class Format { kCsv, kJson };

    // FormatOf answers the report format a file name asks for; false for other extensions.
    static bool FormatOf(const std::string& path, Format& format);
    // Summary is the line for one file (without line end).
    static std::string Summary(const FileResult& result, const std::vector<PitchRow>& rows,
                               bool dryRun);
    // ChangeLines lists the file's changes, one line each.
    static std::string ChangeLines(const FileResult& result, const std::vector<PitchRow>& rows);
    // Write writes the report file (atomically).
    static bool Write(const std::string& path, const std::vector<FileResult>& results,
                      const std::vector<PitchRow>& rows, std::string& error);
    // Render answers the report's text.
    static std::string Render(Format format, const std::vector<FileResult>& results,
                              const std::vector<PitchRow>& rows);
};
