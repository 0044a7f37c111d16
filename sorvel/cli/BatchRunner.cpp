// BatchRunner: a shared counter hands out files; the calling thread reports and draws (and
// works too, when no worker could start).
#include "sorvel/cli/BatchRunner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <system_error>

#include "sorvel/cli/FileTargets.h"

namespace sorvel {

namespace {

constexpr int kBarWidth = 30;

void DrawBar(size_t finished, size_t total, size_t failed) {
    const auto filled = static_cast<int>(total == 0 ? kBarWidth : finished * kBarWidth / total);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(kBarWidth, '.');
    std::fprintf(stderr, "\r[%s] %zu/%zu files%s", bar.c_str(), finished, total,
                 failed > 0 ? (", " + std::to_string(failed) + " failed").c_str() : "");
    std::fflush(stderr);
}

void ClearBar() {
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
}

// Batch: the state the workers and the reporting thread share.
class Batch {
  public:
    Batch(const std::vector<BatchTask>& tasks, const RespellOptions& settings)
        : tasks_(tasks), settings_(settings), results_(tasks.size()), finished_(tasks.size(), 0) {}

    // Work runs tasks until none is left; once is true for one task only.
    void Work(bool once = false) {
        for (size_t i = next_++; i < tasks_.size(); i = next_++) {
            FileResult result = RunBatchTask(tasks_[i], settings_);
            const std::lock_guard<std::mutex> lock(mutex_);
            results_[i] = std::move(result);
            finished_[i] = 1;
            ++finishedCount_;
            changed_.notify_one();
            if (once) {
                return;
            }
        }
    }

    // Report hands out every result that is ready, in order; answers false when all are out.
    bool Report(bool wait, bool progressBar, const std::function<void(const FileResult&)>& done) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wait) {
            changed_.wait_for(lock, std::chrono::milliseconds(100));
        }
        const size_t finishedNow = finishedCount_;
        std::vector<size_t> ready;
        while (reported_ < tasks_.size() && finished_[reported_] != 0) {
            ready.push_back(reported_++);
        }
        lock.unlock();
        if (progressBar && !ready.empty()) {
            ClearBar();
        }
        for (const size_t i : ready) {
            failed_ += results_[i].ok ? 0 : 1;
            done(results_[i]);
        }
        if (progressBar) {
            std::fflush(stdout);
            DrawBar(finishedNow, tasks_.size(), failed_);
        }
        return reported_ < tasks_.size();
    }

    std::vector<FileResult> TakeResults() { return std::move(results_); }

  private:
    const std::vector<BatchTask>& tasks_;
    const RespellOptions& settings_;
    std::vector<FileResult> results_;
    std::vector<char> finished_;
    std::atomic<size_t> next_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    size_t finishedCount_ = 0;
    size_t reported_ = 0;  // the reporting thread's own
    size_t failed_ = 0;
};

// StartWorkers starts up to count threads; those the system refuses are left out, with a word.
std::vector<std::thread> StartWorkers(unsigned count, Batch& batch,
                                      const ThreadStarter& startThread) {
    std::vector<std::thread> workers;
    workers.reserve(count);
    for (unsigned t = 0; t < count; ++t) {
        try {
            std::function<void()> work = [&batch] { batch.Work(); };
            workers.push_back(startThread ? startThread(std::move(work)) : std::thread(work));
        } catch (const std::system_error& error) {
            std::fprintf(stderr, "sorvel: warning: %u of %u threads could start (%s); the %s\n", t,
                         count, error.what(),
                         t == 0 ? "files are respelled one at a time" : "others do the work");
            break;
        }
    }
    return workers;
}

}  // namespace

FileResult RunBatchTask(const BatchTask& task, const RespellOptions& settings) {
    FileResult result;
    result.input = task.input;
    result.output = task.output;
    try {
        std::optional<Failure> refused;
        if (!task.output.empty()) {
            refused = task.inPlace ? CheckReplaceable(task.output, task.breakHardLinks)
                                   : CheckOutput(task.output);
        }
        if (refused) {
            result.error = refused->Text();
            return result;
        }
        return RunFileJob(task.input, task.output, settings,
                          {task.inPlace, task.breakHardLinks, nullptr});
    } catch (const std::exception& fault) {
        result.error = std::string("cannot respell it: ") + fault.what();
    } catch (...) {
        result.error = "cannot respell it: an unknown failure";
    }
    result.ok = false;
    return result;
}

std::vector<FileResult> RunBatch(const std::vector<BatchTask>& tasks,
                                 const RespellOptions& settings, unsigned jobs, bool progressBar,
                                 const std::function<void(const FileResult&)>& done,
                                 const ThreadStarter& startThread) {
    Batch batch(tasks, settings);
    const unsigned threads =
        std::max(1U, std::min<unsigned>(jobs, static_cast<unsigned>(tasks.size())));
    std::vector<std::thread> workers = StartWorkers(threads, batch, startThread);
    // Without a worker the calling thread takes the files one by one, reporting each.
    for (bool more = true; more;) {
        if (workers.empty()) {
            batch.Work(true);
        }
        more = batch.Report(!workers.empty(), progressBar, done);
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    if (progressBar) {
        ClearBar();
    }
    return batch.TakeResults();
}

}  // namespace sorvel
