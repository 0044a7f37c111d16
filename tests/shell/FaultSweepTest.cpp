// The fault-injection sweep under Wine. This program is finale.exe: it is the host, loads the
// fault-injection twin of the module once and plays the same session again and again (invoke,
// Change Checked, Save Current, terminate), each time with one chosen allocation of the plug-in
// failing as a full heap would, swept over the allocations the session makes. Whichever one
// fails, the host process lives on and its rules are kept (no edit left open, every frame given
// back: a protocol error would make finale.exe exit with 3), the score is either untouched or
// changed whole, each settings file holds either what it held or its complete new content, the
// user sees exactly one alert (the out-of-memory one) for a failure while the dialog works and
// none for one during the termination, and the termination leaves no dialog and no plug-in
// object behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/HostSession.h"
#include "host/HostSessionState.h"
#include "host/HostWindows.h"
#include "host/HostedPlugin.h"
#include "host/WinePath.h"

namespace {

using FailFn = int64_t(__cdecl*)(int64_t);
using CountFn = int64_t(__cdecl*)();

// The sweeps' budgets: a session makes about 450 to 550 allocations; this many of them, evenly
// spread, are failed one per session. VS_FAULT_SWEEP_RUNS sets another budget for both (for a
// sweep over every allocation, any number at least as large as a session's).
constexpr int64_t kChangeSweepRuns = 160;
constexpr int64_t kEditingSweepRuns = 90;

int64_t SweepRuns(int64_t budget) {
    const char* runs = std::getenv("VS_FAULT_SWEEP_RUNS");
    return runs != nullptr && std::atoll(runs) > 0 ? std::atoll(runs) : budget;
}

constexpr const char* kOutOfMemoryCaption = "Out of Memory";
constexpr const char* kOutOfMemoryText =
    "There is not enough memory to finish this command. The score has not been changed.";

// The settings the session starts from: another plug-in's key, the options and two ticked rows,
// and one stored pitch set.
constexpr const char* kPrefs =
    "OTHERPLUGIN_KEY=1\n"
    "VESKSORVEL_FROM=C\n"
    "VESKSORVEL_TO=Db\n"
    "VESKSORVEL_UPDIRECTION=1\n"
    "VESKSORVEL_SOUNDINGPITCH=1\n"
    "VESKSORVEL_RESPACE=1\n"
    "VESKSORVEL_LIST_FROM_1=A#\n"
    "VESKSORVEL_LIST_TO_1=Bb\n"
    "VESKSORVEL_LIST_UPDIRECTION_1=2\n"
    "VESKSORVEL_LIST_INUSE_1=1\n"
    "VESKSORVEL_LIST_FROM_2=C\n"
    "VESKSORVEL_LIST_TO_2=D\n"
    "VESKSORVEL_LIST_UPDIRECTION_2=0\n"
    "VESKSORVEL_LIST_INUSE_2=1\n"
    "ZZZ_OTHER=last\n";
constexpr const char* kPitchSets =
    "VESKSORVEL_LIST_NAME_1=Tuba\n"
    "VESKSORVEL_LIST_FROM_1_1=F#\n"
    "VESKSORVEL_LIST_TO_1_1=Gb\n"
    "VESKSORVEL_LIST_UPDIRECTION_1_1=2\n"
    "VESKSORVEL_LIST_INUSE_1_1=1\n";

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::wstring& path, const std::string& text) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out << text;
}

// Pairs answers a settings file's pairs without the window geometry, which depends on whether
// the dialog was shown.
std::map<std::string, std::string> Pairs(const std::string& text) {
    std::map<std::string, std::string> pairs;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();  // the plug-in writes its files with Windows line ends
        }
        const size_t eq = line.find('=');
        const std::string key = line.substr(0, eq);
        if (!key.starts_with("VESKSORVEL_WINDOW")) {
            pairs[key] = eq == std::string::npos ? "" : line.substr(eq + 1);
        }
    }
    return pairs;
}

HWND Item(int item) {
    HWND dialog = host::HostWindows::Instance().Dialog();
    return dialog != nullptr ? GetDlgItem(dialog, item) : nullptr;
}

// What a user can work: an item that is there, shown and enabled.
bool Usable(int item) {
    HWND control = Item(item);
    return control != nullptr && IsWindowVisible(control) && IsWindowEnabled(control);
}

bool Click(int item) {
    if (!Usable(item)) {
        return false;
    }
    HWND control = Item(item);
    SendMessageW(control, BM_CLICK, 0, 0);
    host::HostWindows::Pump();
    return true;
}

void Type(int item, const wchar_t* text) {
    if (HWND control = Item(item)) {
        SetWindowTextW(control, text);
        host::HostWindows::Pump();
    }
}

// What one session left behind.
struct Outcome {
    int64_t beforeTermination = 0;  // allocations made before the termination began
    int64_t allocations = 0;        // all allocations of the session
    int64_t failures = 0;           // calls from the host that ended in a failure
    bool dialogShown = false;
    bool dialogLeft = false;
    std::string score;
    std::string prefs;
    std::string pitchSets;
    std::vector<host::HostWindows::Alert> alerts;
    std::vector<std::string> protocolErrors;
    int outstandingFrames = 0;
    bool editOpen = false;
    int64_t liveObjects = 0;
};

// Choose picks a popup entry as a user does.
void Choose(int item, int entry) {
    if (HWND control = Item(item)) {
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(entry - 1), 0);
        SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(item, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        host::HostWindows::Pump();
    }
}

// RowsAreWhole: every row a settings file holds has all four of its keys.
bool RowsAreWhole(const std::map<std::string, std::string>& pairs) {
    int rows = 0;
    for (const auto& [key, value] : pairs) {
        rows += key.starts_with("VESKSORVEL_LIST_FROM_") ? 1 : 0;
    }
    for (int row = 1; row <= rows; ++row) {
        for (const char* part : {"FROM_", "TO_", "UPDIRECTION_", "INUSE_"}) {
            if (pairs.count("VESKSORVEL_LIST_" + std::string(part) + std::to_string(row)) == 0) {
                return false;
            }
        }
    }
    return true;
}

class FaultSweep : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t here[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, here);
        folder_ = std::wstring(here) + L"\\fault-sweep-settings";
        CreateDirectoryW(folder_.c_str(), nullptr);
        auto& session = host::HostSession::Instance();
        session.SetSettingsFolder(host::Utf8Path(folder_));
        std::string error;
        ASSERT_TRUE(session.LoadScoreFile(host::Utf8Path(host::WindowsPath(VS_SCORE_FILE)), error))
            << error;
        session.Select(1, session.StaffCount(), 1, session.MeasureCount());
        original_ = session.ScoreJson();  // the selection included
        module_ = std::make_unique<host::HostedPlugin>(host::WindowsPath(VS_FAULT_MODULE));
        ASSERT_TRUE(module_->Complete() && module_->CountsObjects())
            << VS_FAULT_MODULE << ": " << module_->Fault();
        fail_ = module_->Proc<FailFn>("VeskSorvelFailAllocation");
        boundaryFailures_ = module_->Proc<CountFn>("VeskSorvelBoundaryFailures");
        ASSERT_NE(fail_, nullptr);
        ASSERT_NE(boundaryFailures_, nullptr);
        module_->Start(host::HostSession::kDefaultHostVersion);
    }
    void TearDown() override {
        if (module_ && module_->Complete()) {
            module_->Terminate();
        }
        module_.reset();
    }

    // Play runs one session (invoke, what the user does, terminate) with the n-th allocation
    // failing (none for n = 0).
    Outcome Play(int64_t n, const std::function<void()>& user) {
        auto& session = host::HostSession::Instance();
        auto& windows = host::HostWindows::Instance();
        WriteFile(folder_ + L"\\veskpluginprefs.txt", kPrefs);
        WriteFile(folder_ + L"\\vesksorvel.txt", kPitchSets);
        std::string error;
        EXPECT_TRUE(session.LoadScoreJson(original_, error)) << error;
        windows.Alerts().clear();
        windows.Beeps().clear();
        const int64_t failuresBefore = boundaryFailures_();

        Outcome outcome;
        fail_(n);
        module_->Invoke(windows.MainWindow());
        HWND dialog = windows.Dialog();
        outcome.dialogShown = dialog != nullptr;
        user();
        // The count so far tells whether the failure falls in the termination; the failing
        // allocation stays armed across.
        outcome.beforeTermination = fail_(0);
        if (n > outcome.beforeTermination) {
            fail_(n - outcome.beforeTermination);
        }
        module_->Terminate();
        outcome.allocations = outcome.beforeTermination + fail_(0);

        outcome.failures = boundaryFailures_() - failuresBefore;
        outcome.dialogLeft = windows.Dialog() != nullptr || (dialog != nullptr && IsWindow(dialog));
        outcome.score = session.ScoreJson();
        outcome.prefs = ReadFile(folder_ + L"\\veskpluginprefs.txt");
        outcome.pitchSets = ReadFile(folder_ + L"\\vesksorvel.txt");
        outcome.alerts.assign(windows.Alerts().begin(), windows.Alerts().end());
        outcome.protocolErrors = session.ProtocolErrors();
        outcome.outstandingFrames = session.OutstandingFrames();
        outcome.editOpen = session.EditOpen();
        // A clean slate for the next session: the plug-in's defaults, the host's error list.
        module_->Init();
        outcome.liveObjects = module_->LiveObjects();
        session.Internal().protocolErrors.clear();
        return outcome;
    }

    // Sweep plays the session without a failure (handed to reference, which checks it), then
    // with an even sample of runs of its allocations failing and once with none past the last;
    // each outcome goes to check beside the checks every session shares. otherAlerts are the
    // captions the session may show besides the out-of-memory alert.
    void Sweep(const char* name, int64_t runs, const std::function<void()>& user,
               const std::function<void(const Outcome&)>& reference,
               const std::function<void(const Outcome&, const Outcome&, bool)>& check,
               const std::vector<std::string>& otherAlerts = {}) {
        const Outcome done = Play(0, user);
        ASSERT_TRUE(done.dialogShown);
        ASSERT_EQ(done.failures, 0);
        ASSERT_TRUE(done.protocolErrors.empty());
        reference(done);
        const int64_t total = done.allocations;
        ASSERT_GT(total, 0);

        std::vector<int64_t> sweep;
        runs = std::min(total, runs);
        for (int64_t i = 1; i <= runs; ++i) {
            sweep.push_back((i * total + runs - 1) / runs);
        }
        sweep.push_back(total + 1);

        const auto start = std::chrono::steady_clock::now();
        int faults = 0;
        int alerted = 0;
        for (const int64_t n : sweep) {
            const Outcome o = Play(n, user);
            const bool failed = n <= o.allocations;
            const bool inTermination = n > o.beforeTermination;
            std::ostringstream where;
            where << name << ": allocation " << n << " of " << o.allocations
                  << (inTermination ? " (termination)" : "");
            SCOPED_TRACE(where.str());
            EXPECT_EQ(o.failures, failed ? 1 : 0) << "the failure reaches the host boundary once";
            for (const auto& error : o.protocolErrors) {
                ADD_FAILURE() << "protocol error: " << error;
            }
            EXPECT_EQ(o.outstandingFrames, 0);
            EXPECT_FALSE(o.editOpen);
            EXPECT_FALSE(o.dialogLeft) << "the termination left the dialog open";
            EXPECT_EQ(o.liveObjects, done.liveObjects) << "plug-in objects were left behind";
            const auto prefs = Pairs(o.prefs);
            EXPECT_EQ(prefs.count("OTHERPLUGIN_KEY") + prefs.count("ZZZ_OTHER"), 2U)
                << "another plug-in's settings were lost";
            EXPECT_TRUE(RowsAreWhole(prefs)) << o.prefs;
            size_t outOfMemory = 0;
            for (const auto& alert : o.alerts) {
                if (alert.caption == kOutOfMemoryCaption) {
                    ++outOfMemory;
                    EXPECT_EQ(alert.text, kOutOfMemoryText);
                    EXPECT_EQ(alert.owner, "main");
                } else {
                    EXPECT_NE(std::find(otherAlerts.begin(), otherAlerts.end(), alert.caption),
                              otherAlerts.end())
                        << "alert \"" << alert.caption << "\": " << alert.text;
                }
            }
            EXPECT_EQ(outOfMemory, failed && !inTermination ? 1U : 0U);
            check(o, done, failed);
            faults += failed ? 1 : 0;
            alerted += outOfMemory > 0 ? 1 : 0;
            if (HasFailure()) {
                break;  // one faulty allocation says enough; the next ones would repeat it
            }
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf(
            "fault sweep, %s: %zu sessions over %lld allocations (%d failed, %d alerted) "
            "in %.1f s\n",
            name, sweep.size(), static_cast<long long>(total), faults, alerted, seconds);
    }

    std::wstring folder_;
    std::string original_;
    const host::HostWindows::AlertHook alertHook_;
    std::unique_ptr<host::HostedPlugin> module_;
    FailFn fail_ = nullptr;
    CountFn boundaryFailures_ = nullptr;
};

// The session that changes music and stores a set: whatever fails, the score and both files are
// either as they were or wholly new.
TEST_F(FaultSweep, ChangeAndSaveAreWholeOrNotAtAll) {
    const auto user = [] {
        Click(107);  // Change Checked
        Type(118, L"Sweep");
        Click(119);  // Save Current
    };
    Sweep(
        "change and save", SweepRuns(kChangeSweepRuns), user,
        [&](const Outcome& done) {
            ASSERT_TRUE(done.alerts.empty());
            ASSERT_NE(done.score, original_) << "the session must change the score";
            ASSERT_NE(done.pitchSets.find("VESKSORVEL_LIST_NAME_2=Sweep"), std::string::npos);
            ASSERT_EQ(Pairs(done.prefs), Pairs(kPrefs));
        },
        [&](const Outcome& o, const Outcome& done, bool failed) {
            EXPECT_TRUE(o.score == original_ || o.score == done.score)
                << "the score was half changed";
            if (!failed) {
                EXPECT_EQ(o.score, done.score);
                EXPECT_EQ(o.pitchSets, done.pitchSets);
            }
            EXPECT_EQ(Pairs(o.prefs), Pairs(kPrefs))
                << "the shared settings file lost or changed pairs";
            EXPECT_TRUE(o.pitchSets == kPitchSets || o.pitchSets == done.pitchSets)
                << "the pitch-list file is neither the old one nor the new one:\n"
                << o.pitchSets;
        });
}

// The session that edits rows and sets: add, add the inverse, update, delete, use a set and
// delete it. A failure may leave any command undone, but never the host broken, another plug-
// in's settings lost, a row cut in half, the score touched or the pitch-list file half written.
TEST_F(FaultSweep, EditingKeepsTheHostAndTheFilesWhole) {
    const auto user = [] {
        Type(102, L"E");
        Type(104, L"F");
        Click(109);  // Add
        Click(110);  // Add Inverse
        Type(104, L"Fb");
        Click(111);  // Update the row just added
        Click(112);  // Delete it
        Choose(117, 1);
        Click(120);  // Use the set
        if (Usable(121)) {
            host::HostWindows::Instance().QueueAnswer("yes");
            Click(121);  // Delete the set
        }
    };
    Sweep(
        "editing", SweepRuns(kEditingSweepRuns), user,
        [&](const Outcome& done) {
            ASSERT_EQ(done.alerts.size(), 1U);
            ASSERT_EQ(done.alerts.front().caption, "Delete Pitch List?");
            ASSERT_EQ(done.score, original_);
            ASSERT_EQ(Pairs(done.pitchSets).size(), 0U) << "the session must delete the set";
            ASSERT_EQ(Pairs(done.prefs).at("VESKSORVEL_LIST_FROM_1"), "F#") << "the set was used";
        },
        [&](const Outcome& o, const Outcome& done, bool /*failed*/) {
            EXPECT_EQ(o.score, original_);
            EXPECT_TRUE(o.pitchSets == kPitchSets || o.pitchSets == done.pitchSets)
                << "the pitch-list file is neither the old one nor the new one:\n"
                << o.pitchSets;
        },
        {"Delete Pitch List?", "Can't add identical pitches", "Can't have identical pitches"});
}

}  // namespace
