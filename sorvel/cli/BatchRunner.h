// BatchRunner: the files of a batch on several threads. Each file is one job, independent of
// the others; results are handed back in the order the files were given, as soon as each one
// and all before it are done. With a terminal on stderr a progress bar shows how far it got.
// Before a file is read its output is judged (a regular file, or for a file replaced in place
// one its user could write, without other hard links unless they may be broken); a file
// refused there fails alone. A worker thread that cannot start leaves its share to those that
// did, or to the calling thread; a job's failure of any kind is that file's result.
#pragma once

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "sorvel/cli/FileJob.h"

namespace sorvel {

// BatchTask: one file of a batch and where its result goes.
struct BatchTask {
    std::string input;
    std::string output;           // empty in a dry run
    bool inPlace = false;         // output is the input itself
    bool breakHardLinks = false;  // in place: replace a file with other hard links too
};

// ThreadStarter starts a thread running work (std::thread's constructor by default); it may
// throw std::system_error, as std::thread does when the system has no thread to give.
using ThreadStarter = std::function<std::thread(std::function<void()> work)>;

// RunBatch runs every task on up to jobs threads; done is called on the calling thread, once
// per task, in task order.
std::vector<FileResult> RunBatch(const std::vector<BatchTask>& tasks,
                                 const RespellOptions& settings, unsigned jobs, bool progressBar,
                                 const std::function<void(const FileResult&)>& done,
                                 const ThreadStarter& startThread = {});

// RunBatchTask judges the task's output, then runs its job; it never throws.
FileResult RunBatchTask(const BatchTask& task, const RespellOptions& settings);

}  // namespace sorvel
