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
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/HostSession.h"
#include "host/HostSessionState.h"
#include "host/HostWindows.h"
#include "tests/shell/PluginModule.h"

namespace {

using FailFn = int64_t(__cdecl*)(int64_t);
using CountFn = int64_t(__cdecl*)();

// The sweep's budget: a session makes about 1 500 allocations; this many of them, evenly
// spread, are failed one per session. VS_FAULT_SWEEP_RUNS sets another budget (for a sweep over
// every allocation, any number at least as large as the session's).
constexpr int64_t kSweepRuns = 300;

int64_t SweepRuns() {
    const char* runs = std::getenv("VS_FAULT_SWEEP_RUNS");
    return runs != nullptr && std::atoll(runs) > 0 ? std::atoll(runs) : kSweepRuns;
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
    std::ifstream in(Narrow(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::wstring& path, const std::string& text) {
    std::ofstream out(Narrow(path), std::ios::binary | std::ios::trunc);
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
        if (key.rfind("VESKSORVEL_WINDOW", 0) != 0) {
            pairs[key] = eq == std::string::npos ? "" : line.substr(eq + 1);
        }
    }
    return pairs;
}

HWND Item(int item) {
    HWND dialog = host::HostWindows::Instance().Dialog();
    return dialog != nullptr ? GetDlgItem(dialog, item) : nullptr;
}

// What a user can click: an item that is there, shown and enabled.
bool Click(int item) {
    HWND control = Item(item);
    if (control == nullptr || !IsWindowVisible(control) || !IsWindowEnabled(control)) {
        return false;
    }
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

class FaultSweep : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t here[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, here);
        folder_ = std::wstring(here) + L"\\fault-sweep-settings";
        CreateDirectoryW(folder_.c_str(), nullptr);
        auto& session = host::HostSession::Instance();
        session.SetSettingsFolder(Narrow(folder_));
        std::string error;
        ASSERT_TRUE(session.LoadScoreFile(Narrow(WindowsPath(VS_SCORE_FILE)), error)) << error;
        session.Select(1, session.StaffCount(), 1, session.MeasureCount());
        original_ = session.ScoreJson();  // the selection included
        host::HostWindows::Instance().InstallAlertHook();
    }

    // Play runs one session with the n-th allocation failing (none for n = 0).
    Outcome Play(PluginModule& module, int64_t n) {
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
        module.Invoke();
        HWND dialog = windows.Dialog();
        outcome.dialogShown = dialog != nullptr;
        Click(107);  // Change Checked
        Type(118, L"Sweep");
        Click(119);  // Save Current
        // The count so far tells whether the failure falls in the termination; the failing
        // allocation stays armed across.
        outcome.beforeTermination = fail_(0);
        if (n > outcome.beforeTermination) {
            fail_(n - outcome.beforeTermination);
        }
        module.Terminate();
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
        module.Init();
        outcome.liveObjects = module.LiveObjects();
        session.Internal().protocolErrors.clear();
        return outcome;
    }

    std::wstring folder_;
    std::string original_;
    FailFn fail_ = nullptr;
    CountFn boundaryFailures_ = nullptr;
};

TEST_F(FaultSweep, NoFailedAllocationReachesTheHost) {
    PluginModule module(WindowsPath(VS_FAULT_MODULE));
    ASSERT_TRUE(module.Complete()) << "cannot load " << VS_FAULT_MODULE;
    fail_ = module.Proc<FailFn>("VeskSorvelFailAllocation");
    boundaryFailures_ = module.Proc<CountFn>("VeskSorvelBoundaryFailures");
    ASSERT_NE(fail_, nullptr);
    ASSERT_NE(boundaryFailures_, nullptr);
    module.Start();

    // The session without a failure: what a whole change and a whole save leave.
    const Outcome done = Play(module, 0);
    ASSERT_TRUE(done.dialogShown);
    ASSERT_EQ(done.failures, 0);
    ASSERT_TRUE(done.alerts.empty());
    ASSERT_NE(done.score, original_) << "the session must change the score";
    ASSERT_NE(done.pitchSets, kPitchSets) << "the session must save a pitch set";
    ASSERT_NE(done.pitchSets.find("VESKSORVEL_LIST_NAME_2=Sweep"), std::string::npos);
    ASSERT_EQ(Pairs(done.prefs), Pairs(kPrefs));
    ASSERT_TRUE(done.protocolErrors.empty());
    const int64_t total = done.allocations;
    ASSERT_GT(total, 0);

    // Every allocation up to the budget, or an even sample of them, and one past the last.
    std::vector<int64_t> sweep;
    const int64_t runs = std::min(total, SweepRuns());
    for (int64_t i = 1; i <= runs; ++i) {
        sweep.push_back((i * total + runs - 1) / runs);
    }
    sweep.push_back(total + 1);

    const auto start = std::chrono::steady_clock::now();
    int faults = 0;
    int alerted = 0;
    for (const int64_t n : sweep) {
        const Outcome o = Play(module, n);
        const bool failed = n <= o.allocations;
        const bool inTermination = n > o.beforeTermination;
        std::ostringstream where;
        where << "allocation " << n << " of " << o.allocations
              << (inTermination ? " (termination)" : "");
        SCOPED_TRACE(where.str());
        EXPECT_EQ(o.failures, failed ? 1 : 0) << "the failure reaches the host boundary once";
        for (const auto& error : o.protocolErrors) {
            ADD_FAILURE() << "protocol error: " << error;
        }
        EXPECT_EQ(o.outstandingFrames, 0);
        EXPECT_FALSE(o.editOpen);
        EXPECT_TRUE(o.score == original_ || o.score == done.score) << "the score was half changed";
        if (!failed) {
            EXPECT_EQ(o.score, done.score);
            EXPECT_EQ(o.pitchSets, done.pitchSets);
        }
        EXPECT_EQ(Pairs(o.prefs), Pairs(kPrefs))
            << "the shared settings file lost or changed pairs";
        EXPECT_TRUE(o.pitchSets == kPitchSets || o.pitchSets == done.pitchSets)
            << "the pitch-list file is neither the old one nor the new one:\n"
            << o.pitchSets;
        EXPECT_FALSE(o.dialogLeft) << "the termination left the dialog open";
        EXPECT_EQ(o.liveObjects, done.liveObjects) << "plug-in objects were left behind";
        const size_t wanted = failed && !inTermination ? 1 : 0;
        EXPECT_EQ(o.alerts.size(), wanted);
        for (const auto& alert : o.alerts) {
            EXPECT_EQ(alert.caption, kOutOfMemoryCaption);
            EXPECT_EQ(alert.text, kOutOfMemoryText);
            EXPECT_EQ(alert.owner, "main");
        }
        faults += failed ? 1 : 0;
        alerted += o.alerts.empty() ? 0 : 1;
        if (HasFailure()) {
            break;  // one faulty allocation says enough; the next ones would repeat it
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "fault sweep: %zu sessions over %lld allocations (%d failed, %d alerted) in %.1f s\n",
        sweep.size(), static_cast<long long>(total), faults, alerted, seconds);
    module.Terminate();
}

}  // namespace
