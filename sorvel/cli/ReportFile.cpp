// ReportFile: the report's text, written atomically.
#include "sorvel/cli/ReportFile.h"

#include "sorvel/cli/AtomicFile.h"

namespace sorvel {

std::optional<Failure> WriteReport(const std::string& path, const std::vector<FileResult>& results,
                                   const std::vector<rules::PitchRow>& rows) {
    ReportWriter::Format format = ReportWriter::Format::kCsv;
    if (!ReportWriter::FormatOf(path, format)) {
        return Failure{FailureKind::kWrite, "a report file ends in .csv or .json"};
    }
    return WriteFile(path, ReportWriter::Render(format, results, rows));
}

}  // namespace sorvel
