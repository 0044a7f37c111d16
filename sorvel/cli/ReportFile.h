// ReportFile: the report of a batch written to a file, in the format its extension names
// (.csv or .json), whole or not at all.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "rules/PitchRow.h"
#include "sorvel/core/ChangeReport.h"

namespace sorvel {

// WriteReport writes the report file (atomically); a failure says why it could not.
std::optional<Failure> WriteReport(const std::string& path, const std::vector<FileResult>& results,
                                   const std::vector<rules::PitchRow>& rows);

}  // namespace sorvel
