// BatchRunner: a shared counter hands out files; the calling thread reports and draws.
#include "sorvel/cli/BatchRunner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

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

}  // namespace

std::vector<sorvel::FileResult> BatchRunner::Run(
    const std::vector<Task>& tasks, const sorvel::RespellOptions& settings, unsigned jobs,
    bool progressBar, const std::function<void(const sorvel::FileResult&)>& done) {
    std::vector<sorvel::FileResult> results(tasks.size());
    std::vector<char> finished(tasks.size(), 0);
    std::atomic<size_t> next{0};
    std::mutex mutex;
    std::condition_variable changed;
    size_t finishedCount = 0;

    const auto work = [&] {
        for (size_t i = next++; i < tasks.size(); i = next++) {
            sorvel::FileResult result =
                sorvel::RunFileJob(tasks[i].input, tasks[i].output, settings);
            const std::lock_guard<std::mutex> lock(mutex);
            results[i] = std::move(result);
            finished[i] = 1;
            ++finishedCount;
            changed.notify_one();
        }
    };
    const unsigned threads =
        std::max(1U, std::min<unsigned>(jobs, static_cast<unsigned>(tasks.size())));
    std::vector<std::thread> workers;
    workers.reserve(threads);
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back(work);
    }

    size_t reported = 0;
    size_t failed = 0;
    std::unique_lock<std::mutex> lock(mutex);
    while (reported < tasks.size()) {
        changed.wait_for(lock, std::chrono::milliseconds(100));
        const size_t finishedNow = finishedCount;
        std::vector<size_t> ready;
        while (reported < tasks.size() && finished[reported] != 0) {
            ready.push_back(reported++);
        }
        lock.unlock();
        if (progressBar && !ready.empty()) {
            ClearBar();
        }
        for (const size_t i : ready) {
            failed += results[i].ok ? 0 : 1;
            done(results[i]);
        }
        if (progressBar) {
            std::fflush(stdout);
            DrawBar(finishedNow, tasks.size(), failed);
        }
        lock.lock();
    }
    lock.unlock();
    for (std::thread& worker : workers) {
        worker.join();
    }
    if (progressBar) {
        ClearBar();
    }
    return results;
}
