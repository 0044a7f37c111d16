// The host's windows on a Wine desktop: the message box hook answers and records this process's
// boxes only, never a box of another program on the same desktop (here a second copy of this
// program), and it is gone with the last guard that holds it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/HostWindows.h"

namespace {

constexpr char kShowBox[] = "--show-box";
constexpr wchar_t kOtherCaption[] = L"Other Process";
constexpr DWORD kWaitMilliseconds = 10000;

// A second copy of this program showing a message box until it is told to close it.
class OtherProcess {
  public:
    OtherProcess() {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(self) + L"\" --show-box";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process_) == 0) {
            return;
        }
        for (DWORD waited = 0; box_ == nullptr && waited < kWaitMilliseconds; waited += 50) {
            Sleep(50);
            box_ = FindWindowW(L"#32770", kOtherCaption);
        }
    }
    ~OtherProcess() {
        if (process_.hProcess == nullptr) {
            return;
        }
        if (box_ != nullptr && IsWindow(box_)) {
            PostMessageW(box_, WM_CLOSE, 0, 0);
        }
        if (WaitForSingleObject(process_.hProcess, kWaitMilliseconds) != WAIT_OBJECT_0) {
            TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    OtherProcess(const OtherProcess&) = delete;
    OtherProcess& operator=(const OtherProcess&) = delete;

    [[nodiscard]] HWND Box() const { return box_; }

  private:
    PROCESS_INFORMATION process_{};
    HWND box_ = nullptr;
};

INT_PTR CALLBACK HandleNothing(HWND /*window*/, UINT /*message*/, WPARAM /*w*/, LPARAM /*l*/) {
    return FALSE;
}

// A dialog box of this thread that is not the plug-in's: to the hook it looks like an alert.
HWND OwnBox() {
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } empty{};
    empty.header.style = WS_POPUP | WS_CAPTION;
    empty.header.cx = 100;
    empty.header.cy = 40;
    return CreateDialogIndirectParamW(nullptr, &empty.header, nullptr, HandleNothing, 0);
}

class HostWindowsTest : public testing::Test {
  protected:
    void SetUp() override { host::HostWindows::Instance().Alerts().clear(); }
    void TearDown() override { host::HostWindows::Instance().Alerts().clear(); }
};

TEST_F(HostWindowsTest, AnotherProcessMessageBoxIsNeitherAnsweredNorCounted) {
    auto& windows = host::HostWindows::Instance();
    const host::HostWindows::AlertHook hook;
    const OtherProcess other;
    ASSERT_NE(other.Box(), nullptr) << "the other process shows no message box";
    // Activating a window of another process from this thread runs this thread's hook (Wine
    // calls it before it refuses the activation).
    SetActiveWindow(other.Box());
    host::HostWindows::Pump();
    Sleep(200);
    EXPECT_TRUE(windows.Alerts().empty())
        << "recorded \"" << windows.Alerts().front().caption << "\"";
    EXPECT_TRUE(IsWindow(other.Box())) << "the other process's message box was answered";

    // This process's own message box is answered and recorded as ever.
    windows.QueueAnswer("ok");
    MessageBoxW(windows.MainWindow(), L"Text", L"Own", MB_OK | MB_ICONINFORMATION);
    ASSERT_EQ(windows.Alerts().size(), 1U);
    EXPECT_EQ(windows.Alerts().front().caption, "Own");
    EXPECT_EQ(windows.Alerts().front().answer, "ok");
}

TEST_F(HostWindowsTest, TheHookGoesWithItsLastGuard) {
    auto& windows = host::HostWindows::Instance();
    {
        const host::HostWindows::AlertHook outer;
        { const host::HostWindows::AlertHook inner; }
        HWND box = OwnBox();
        ASSERT_NE(box, nullptr);
        SetActiveWindow(box);
        host::HostWindows::Pump();
        EXPECT_EQ(windows.Alerts().size(), 1U) << "the hook went with the inner guard";
        DestroyWindow(box);
    }
    windows.Alerts().clear();
    HWND box = OwnBox();
    ASSERT_NE(box, nullptr);
    SetActiveWindow(box);
    host::HostWindows::Pump();
    EXPECT_TRUE(windows.Alerts().empty()) << "the hook outlived its guards";
    DestroyWindow(box);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == kShowBox) {
        MessageBoxW(nullptr, L"A message box of another program", kOtherCaption, MB_OK);
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
