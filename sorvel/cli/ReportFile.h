// ReportFile: the report of a batch written to a file, in the format its extension names
// (.csv or .json), whole or not at all.
#pragma once

#include <string>
#include <vector>

#include "rules/PitchRow.h"
#include "sorvel/core/ChangeReport.h"

namespace sorvel {

// WriteReport writes the report file (atomically); false with a reason in error.
bool WriteReport(const std::string& path, const std::vector<FileResult>& results,
                 const std::vector<PitchRow>& rows, std::string& error);

}  // namespace sorvel
