// TemporaryFiles: a table of slots, each free, being filled, live or taken by the signal
// handler. A slot's path is owned by its TemporaryName; the handler only reads live slots,
// which it first marks as its own, so that their owner never frees a path the handler is
// reading (the process ends right after; the owner then leaves the path allocated).
#include "sorvel/cli/TemporaryFiles.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>

namespace sorvel {
namespace {

enum SlotState : int { kFree = 0, kFilling = 1, kLive = 2, kTaken = 3 };

struct Slot {
    std::atomic<int> state{kFree};
    const char* path = nullptr;
};

static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free slots");

// Constant-initialized, so that the handler never meets it unbuilt.
std::array<Slot, kMaxLiveTemporaries> gSlots;

// SIGPIPE too: the summaries piped into a program that stops reading (head) end sorvel by it.
constexpr std::array<int, 4> kSignals = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// UnlinkLive removes the file of every live slot; async-signal-safe.
void UnlinkLive() {
    for (Slot& slot : gSlots) {
        int live = kLive;
        if (slot.state.compare_exchange_strong(live, kTaken)) {
            (void)unlink(slot.path);
        }
    }
}

extern "C" void OnSignal(int signal) {
    // From here on every one of the signals ends the process at once, this one included.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (const int each : kSignals) {
        (void)sigaction(each, &fallback, nullptr);
    }
    UnlinkLive();
    (void)raise(signal);
}

}  // namespace

TemporaryName::TemporaryName(const std::string& path) {
    path_ = std::make_unique<char[]>(path.size() + 1);
    std::memcpy(path_.get(), path.c_str(), path.size() + 1);
    for (size_t i = 0; i < gSlots.size(); ++i) {
        int free = kFree;
        if (gSlots[i].state.compare_exchange_strong(free, kFilling)) {
            gSlots[i].path = path_.get();
            gSlots[i].state.store(kLive);
            slot_ = i;
            return;
        }
    }
}

TemporaryName::~TemporaryName() {
    Remove();
}

void TemporaryName::Remove() {
    if (slot_ != kNoSlot) {
        (void)unlink(path_.get());
        Forget();
    }
}

void TemporaryName::Forget() {
    if (slot_ == kNoSlot) {
        return;
    }
    Slot& slot = gSlots[slot_];
    slot_ = kNoSlot;
    int live = kLive;
    if (!slot.state.compare_exchange_strong(live, kFree)) {
        // The signal handler is reading the path: it must stay allocated until the end.
        (void)path_.release();
    }
}

void InstallTemporaryCleanup() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = &OnSignal;
        // Not blocked while handled: a second one meets the default action at once.
        action.sa_flags = SA_NODEFER;
        sigemptyset(&action.sa_mask);
        for (const int signal : kSignals) {
            struct sigaction old {};
            // A signal the caller's parent set to be ignored stays ignored (as nohup asks).
            if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) {
                (void)sigaction(signal, &action, nullptr);
            }
        }
    });
}

void RemoveLeftoverTemporaries() {
    for (Slot& slot : gSlots) {
        int live = kLive;
        if (slot.state.compare_exchange_strong(live, kFilling)) {
            (void)unlink(slot.path);
            // The owner still holds the name; it finds the slot no longer live and keeps its
            // path, which is harmless at the end of the run.
            slot.state.store(kTaken);
        }
    }
}

size_t LiveTemporaries() {
    size_t live = 0;
    for (const Slot& slot : gSlots) {
        live += slot.state.load() == kLive ? 1 : 0;
    }
    return live;
}

}  // namespace sorvel
