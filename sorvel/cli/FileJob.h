// FileJob: one file of a batch: read, respell, write (unless it is a dry run). A file that
// fails at any step is left as it was and nothing is written for it; the error says why.
#pragma once

#include <string>

#include "sorvel/cli/AtomicFile.h"
#include "sorvel/core/ChangeReport.h"
#include "sorvel/core/RespellScore.h"

namespace sorvel {

// RunFileJob respells input; output is the file to write (the input itself in place, as
// write says), or empty for a dry run.
FileResult RunFileJob(const std::string& input, const std::string& output,
                      const RespellOptions& options, const WriteOptions& write = {});

}  // namespace sorvel
