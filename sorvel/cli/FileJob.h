// FileJob: one file of a batch: read, respell, write (unless it is a dry run). A file that
// fails at any step is left as it was and nothing is written for it; the error says why.
#pragma once

#include <string>

#include "sorvel/core/ScoreRespeller.h"

struct FileResult {
    std::string input;
    std::string output;  // where it was (or would be) written; empty in a dry run
    bool ok = false;
    bool written = false;  // false also when an in-place file had nothing to change
    std::string error;
    RespellOutcome outcome;
};

class FileJob {
  public:
    FileJob() = delete;

    // Run respells input; output is the file to write (the input itself in place), or empty
    // for a dry run.
    static FileResult Run(const std::string& input, const std::string& output,
                          const RespellSettings& settings);
};
