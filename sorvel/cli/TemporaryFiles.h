// TemporaryFiles: every temporary file sorvel has created and not yet renamed into place, so
// that none outlives the run: a failure removes its own, SIGINT, SIGTERM and SIGHUP (and SIGPIPE)
// remove all of them before the process ends by the signal (a second signal ends it at once), and
// the end of the run removes any a failure path left behind. The list is a fixed table that a
// signal handler can walk without taking a lock or allocating.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace sorvel {

// The most temporary files alive at once: one per worker thread (at most 1024) and the report.
constexpr size_t kMaxLiveTemporaries = 2048;

// TemporaryName registers a temporary path for as long as it lives (or until Forget). Valid()
// is false when the table is full; the caller must then not create the file.
class TemporaryName {
  public:
    explicit TemporaryName(const std::string& path);
    ~TemporaryName();
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;

    [[nodiscard]] bool Valid() const { return slot_ != kNoSlot; }
    [[nodiscard]] const char* Path() const { return path_.get(); }
    // Remove deletes the file (if it was created) and forgets the name.
    void Remove();
    // Forget takes the name off the list: the file has been renamed into place.
    void Forget();

  private:
    static constexpr size_t kNoSlot = static_cast<size_t>(-1);
    std::unique_ptr<char[]> path_;
    size_t slot_ = kNoSlot;
};

// InstallTemporaryCleanup sets the handlers for SIGINT, SIGTERM, SIGHUP and SIGPIPE (once per
// process); a signal the process was started to ignore stays ignored.
void InstallTemporaryCleanup();
// RemoveLeftoverTemporaries deletes every temporary file still on the list; for the end of the
// run, when no write is under way.
void RemoveLeftoverTemporaries();
// LiveTemporaries answers how many names are on the list (for tests).
size_t LiveTemporaries();

}  // namespace sorvel
