// Many openings in one host process: invoking and closing the dialog 200 times, invoking and
// terminating 50 times, and loading and unloading a copy of the module 50 times leave no window
// of the thread, no heap, no live plug-in object and no frame behind, and break no rule of the
// host. This program is finale.exe: it is the host, loads the module and calls its entry points.
#include <windows.h>

#include <gtest/gtest.h>
#include <malloc.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/HostSession.h"
#include "host/HostSessionState.h"
#include "host/HostWindows.h"
#include "host/HostedPlugin.h"
#include "host/WinePath.h"

namespace {

// Heap growth tolerated over a whole loop: the host's own bookkeeping and the system's caches
// may settle a little, while one leaked row or string per cycle would pass it within the loop.
constexpr int64_t kHeapTolerance = 16 * 1024;
// Private bytes are page-grained and move with the system's caches (Wine reports none at all,
// so there the check holds trivially and the heap walk carries the weight).
constexpr int64_t kPrivateTolerance = 2 * 1024 * 1024;

using Module = host::HostedPlugin;
using host::WindowsPath;

// The 64-bit test modules answer their live object count; the shipping module exports the six
// entry points alone, and then the windows and the heap carry the checks.
#if defined(VS_MODULE_COUNTS_OBJECTS)
constexpr bool kModuleCountsObjects = true;
#else
constexpr bool kModuleCountsObjects = false;
#endif

// The module loaded and started as the host starts a plug-in; empty when it is, else why not.
std::string Load(Module& module) {
    if (!module.Complete()) {
        return module.Fault();
    }
    if (kModuleCountsObjects && !module.CountsObjects()) {
        return "the module does not count its objects";
    }
    module.Start(host::HostSession::kDefaultHostVersion);
    return {};
}

void Invoke(Module& module) {
    module.Invoke(host::HostWindows::Instance().MainWindow());
}

BOOL CALLBACK CountChild(HWND /*window*/, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

// Every window of this thread, top-level and child.
int ThreadWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Bytes in use in every heap of the process (the C runtime's included).
int64_t HeapInUse() {
    _heapmin();
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    int64_t total = 0;
    for (DWORD i = 0; i < count && i < 256; ++i) {
        if (!HeapLock(heaps[i])) {
            continue;
        }
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
                total += static_cast<int64_t>(entry.cbData);
            }
        }
        HeapUnlock(heaps[i]);
    }
    return total;
}

int64_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return static_cast<int64_t>(counters.PrivateUsage);
}

struct Footprint {
    int windows = 0;
    int64_t heap = 0;
    int64_t privateBytes = 0;
    int64_t liveObjects = 0;
};

Footprint Measure(const Module* module) {
    host::HostWindows::Pump();
    // The host's transcript of alerts and edits is the host's own record, not the plug-in's.
    std::vector<std::string>().swap(host::HostSession::Instance().Internal().transcript);
    Footprint f;
    f.windows = ThreadWindows();
    f.heap = HeapInUse();
    f.privateBytes = PrivateBytes();
    f.liveObjects = module != nullptr ? module->LiveObjects() : 0;
    return f;
}

void ExpectNoGrowth(const Footprint& before, const Footprint& after, bool objects) {
    std::printf("windows %d -> %d, heap %lld -> %lld, private %lld -> %lld, objects %lld -> %lld\n",
                before.windows, after.windows, static_cast<long long>(before.heap),
                static_cast<long long>(after.heap), static_cast<long long>(before.privateBytes),
                static_cast<long long>(after.privateBytes),
                static_cast<long long>(before.liveObjects),
                static_cast<long long>(after.liveObjects));
    EXPECT_EQ(after.windows, before.windows) << "windows of the thread";
    EXPECT_LE(after.heap - before.heap, kHeapTolerance) << "heap in use";
    EXPECT_LE(after.privateBytes - before.privateBytes, kPrivateTolerance) << "private bytes";
    if (objects) {
        EXPECT_EQ(after.liveObjects, before.liveObjects) << "live plug-in objects";
    }
}

HWND Dialog() {
    return host::HostWindows::Instance().Dialog();
}

void Click(int item) {
    SendMessageW(GetDlgItem(Dialog(), item), BM_CLICK, 0, 0);
    host::HostWindows::Pump();
}

void Type(int item, const wchar_t* text) {
    SetWindowTextW(GetDlgItem(Dialog(), item), text);
    host::HostWindows::Pump();
}

int Rows() {
    return static_cast<int>(
        SendMessageW(GetDlgItem(Dialog(), 108), 0x1004 /* LVM_GETITEMCOUNT */, 0, 0));
}

// What a user does in one opening: adds a row (selected as it is added), saves it as a set,
// deletes the set and the row again, so that every opening ends where it began.
void WorkInDialog() {
    ASSERT_NE(Dialog(), nullptr);
    ASSERT_EQ(Rows(), 0);
    Type(102, L"C");
    Type(104, L"Db");
    Click(109);
    ASSERT_EQ(Rows(), 1);
    Type(118, L"Stress");
    Click(119);
    host::HostWindows::Instance().QueueAnswer("yes");
    Click(121);
    Click(112);
    ASSERT_EQ(Rows(), 0);
    auto& alerts = host::HostWindows::Instance().Alerts();
    std::string shown;
    for (const auto& alert : alerts) {
        shown += " \"" + alert.caption + "\" (" + alert.answer + ")";
    }
    EXPECT_EQ(shown, " \"Delete Pitch List?\" (yes)");
    alerts.clear();
}

class Stress : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t here[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, here);
        here_ = here;
        const std::wstring folder = here_ + L"\\stress-settings";
        CreateDirectoryW(folder.c_str(), nullptr);
        DeleteFileW((folder + L"\\veskpluginprefs.txt").c_str());
        DeleteFileW((folder + L"\\vesksorvel.txt").c_str());
        auto& session = host::HostSession::Instance();
        session.SetSettingsFolder(host::Utf8Path(folder));
    }
    void TearDown() override {
        auto& session = host::HostSession::Instance();
        EXPECT_EQ(session.OutstandingFrames(), 0);
        for (const auto& error : session.ProtocolErrors()) {
            ADD_FAILURE() << "protocol error: " << error;
        }
        EXPECT_TRUE(host::HostWindows::Instance().Beeps().empty());
    }
    std::wstring here_;
    const host::HostWindows::AlertHook alertHook_;
};

TEST_F(Stress, InvokeAndClose200Times) {
    Module module(WindowsPath(VS_PLUGIN_MODULE));
    ASSERT_EQ(Load(module), "") << VS_PLUGIN_MODULE;
    // A few openings first, so that the first window's one-time costs are paid.
    for (int i = 0; i < 10; ++i) {
        Invoke(module);
        WorkInDialog();
        SendMessageW(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
        host::HostWindows::Pump();
    }
    const Footprint before = Measure(&module);
    for (int i = 0; i < 200 && !HasFatalFailure(); ++i) {
        Invoke(module);
        WorkInDialog();
        if (i % 2 == 0) {
            SendMessageW(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            Click(2);
        }
        host::HostWindows::Pump();
        ASSERT_FALSE(IsWindowVisible(Dialog())) << "opening " << i;
    }
    ExpectNoGrowth(before, Measure(&module), true);
    module.Terminate();
}

TEST_F(Stress, InvokeAndTerminate50Times) {
    Module module(WindowsPath(VS_PLUGIN_MODULE));
    ASSERT_EQ(Load(module), "") << VS_PLUGIN_MODULE;
    for (int i = 0; i < 5; ++i) {
        Invoke(module);
        WorkInDialog();
        module.Terminate();
    }
    const Footprint before = Measure(&module);
    for (int i = 0; i < 50 && !HasFatalFailure(); ++i) {
        Invoke(module);
        WorkInDialog();
        module.Terminate();
        ASSERT_EQ(Dialog(), nullptr) << "termination " << i << " left the dialog open";
    }
    ExpectNoGrowth(before, Measure(&module), true);
}

TEST_F(Stress, LoadAndUnloadACopy50Times) {
    const std::wstring copy = here_ + L"\\VeskSorvelStressCopy.dll";
    ASSERT_TRUE(CopyFileW(WindowsPath(VS_PLUGIN_MODULE).c_str(), copy.c_str(), FALSE));
    auto cycle = [&](int64_t& liveAfterTerminate) {
        Module module(copy);
        ASSERT_EQ(Load(module), "");
        Invoke(module);
        WorkInDialog();
        module.Terminate();
        ASSERT_EQ(Dialog(), nullptr);
        liveAfterTerminate = module.LiveObjects();
    };
    // What any module with these runtimes leaves per load in this system, measured the same way.
    const std::wstring empty = here_ + L"\\StressEmptyCopy.dll";
    ASSERT_TRUE(CopyFileW(WindowsPath(VS_EMPTY_MODULE).c_str(), empty.c_str(), FALSE));
    auto emptyCycle = [&] {
        const Module module(empty);
        using WorkFn = size_t(__cdecl*)(size_t);
        const auto work = module.Proc<WorkFn>("EmptyModuleWork");
        ASSERT_NE(work, nullptr);
        EXPECT_EQ(work(100), 100u);
    };
    for (int i = 0; i < 5; ++i) {
        emptyCycle();
    }
    const Footprint emptyBefore = Measure(nullptr);
    for (int i = 0; i < 50; ++i) {
        emptyCycle();
    }
    const int64_t runtimeShare = Measure(nullptr).heap - emptyBefore.heap;

    int64_t first = 0;
    for (int i = 0; i < 5; ++i) {
        cycle(first);
    }
    Footprint before = Measure(nullptr);
    for (int i = 0; i < 50 && !HasFatalFailure(); ++i) {
        int64_t live = 0;
        cycle(live);
        EXPECT_EQ(live, first) << "cycle " << i;
    }
    std::printf("50 loads of the runtimes alone keep %lld bytes of heap\n",
                static_cast<long long>(runtimeShare));
    before.heap += runtimeShare;
    ExpectNoGrowth(before, Measure(nullptr), false);
    EXPECT_EQ(GetModuleHandleW(copy.c_str()), nullptr) << "the copy is still loaded";
}

// Every opening also changes the music and the host undoes it: each run's frames are all freed,
// the score comes back byte for byte, and the plug-in's objects stay as many as before.
TEST_F(Stress, ChangeAndUndo50Times) {
    auto& session = host::HostSession::Instance();
    std::string error;
    ASSERT_TRUE(session.LoadScoreFile(host::Utf8Path(WindowsPath(VS_SCORE_FILE)), error)) << error;
    session.Select(1, session.StaffCount(), 1, session.MeasureCount());
    const std::string original = session.ScoreJson();
    Module module(WindowsPath(VS_PLUGIN_MODULE));
    ASSERT_EQ(Load(module), "") << VS_PLUGIN_MODULE;
    int64_t objects = -1;
    for (int i = 0; i < 50 && !HasFatalFailure(); ++i) {
        Invoke(module);
        ASSERT_NE(Dialog(), nullptr);
        Type(102, L"A#");
        Type(104, L"Bb");
        Click(1);
        EXPECT_EQ(session.OutstandingFrames(), 0) << "run " << i;
        ASSERT_NE(session.ScoreJson(), original) << "run " << i << " changed nothing";
        ASSERT_TRUE(session.Undo());
        EXPECT_EQ(session.ScoreJson(), original) << "run " << i;
        Click(2);
        if (objects < 0) {
            objects = module.LiveObjects();
        }
        EXPECT_EQ(module.LiveObjects(), objects) << "run " << i;
    }
    EXPECT_TRUE(host::HostWindows::Instance().Alerts().empty());
    module.Terminate();
}

}  // namespace
