// HostBoundary: where the host's calls enter the plug-in. Nothing thrown below may unwind into
// the host's frames: the host would die with the user's unsaved score. So every function the
// host calls (the six entry points, the dialog callback and, through it, the list view's text
// callback) runs its work through Call, which catches everything and answers the value that
// means "nothing happened". What was begun below is undone on the way out by the objects that
// began it (an open edit is cancelled, frames are given back, a file being written is thrown
// away), so Call itself only reports the failure.
#pragma once

#include <cstdint>
#include <utility>

class HostBoundary {
  public:
    // Call answers work(), or nothingHappened when work throws; then failed() runs (with
    // whatever it throws swallowed too).
    template <typename Result, typename Work, typename Failed>
    static Result Call(Result nothingHappened, Work&& work, Failed&& failed) noexcept {
        try {
            return std::forward<Work>(work)();
        } catch (...) {
            Fail(failed);
            return nothingHappened;
        }
    }

    template <typename Result, typename Work>
    static Result Call(Result nothingHappened, Work&& work) noexcept {
        return Call(nothingHappened, std::forward<Work>(work), [] {});
    }

    // Failures counts the calls that ended in a failure since the module was loaded (for
    // tests).
    [[nodiscard]] static int64_t Failures();

  private:
    template <typename Failed>
    static void Fail(Failed& failed) noexcept {
        CountFailure();
        try {
            failed();
        } catch (...) {  // NOLINT(bugprone-empty-catch): nothing more can be done here
        }
    }
    static void CountFailure() noexcept;
};
