// ReportFile: the report's text, written atomically.
#include "sorvel/cli/ReportFile.h"

#include "sorvel/cli/AtomicFile.h"

namespace sorvel {

std::optional<Failure> WriteReport(const std::string& path, const std::vector<FileResult>& results,
                                   const std::vector<rules::PitchRow>& rows) {
    ReportFormat format = ReportFormat::kCsv;
    if (!ReportFormatOf(path, format)) {
        return Failure{FailureKind::kWrite, "a report file ends in .csv or .json"};
    }
    return WriteFile(path, RenderReport(format, results, rows));
}

}  // namespace sorvel
