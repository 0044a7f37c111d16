// BatchRunner: the files of a batch on several threads. Each file is one job, independent of
// the others; results are handed back in the order the files were given, as soon as each one
// and all before it are done. With a terminal on stderr a progress bar shows how far it got.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sorvel/cli/FileJob.h"

class BatchRunner {
  public:
    BatchRunner() = delete;

    struct Task {
        std::string input;
        std::string output;  // empty in a dry run
    };

    // Run runs every task on up to jobs threads; done is called on the calling thread, once
    // per task, in task order.
    static std::vector<sorvel::FileResult> Run(
        const std::vector<Task>& tasks, const sorvel::RespellOptions& settings, unsigned jobs,
        bool progressBar, const std::function<void(const sorvel::FileResult&)>& done);
};
