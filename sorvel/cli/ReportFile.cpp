// ReportFile: the report's text, written atomically.
#include "sorvel/cli/ReportFile.h"

#include "sorvel/cli/AtomicFile.h"

namespace sorvel {

bool WriteReport(const std::string& path, const std::vector<FileResult>& results,
                 const std::vector<PitchRow>& rows, std::string& error) {
    ReportWriter::Format format = ReportWriter::Format::kCsv;
    if (!ReportWriter::FormatOf(path, format)) {
        error = "a report file ends in .csv or .json";
        return false;
    }
    if (const std::optional<Failure> failure =
            WriteFile(path, ReportWriter::Render(format, results, rows))) {
        error = failure->Text();
        return false;
    }
    return true;
}

}  // namespace sorvel
