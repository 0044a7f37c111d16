// The real module's dialog in the stand-in host, measured: resizing moves and stretches exactly
// the controls below the list, the width and the minimum size hold, and the window comes back
// where it was, except at a position no monitor shows any more. This program is finale.exe: it
// is the host, loads the module and calls its entry points itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "host/HostSession.h"
#include "host/HostWindows.h"
#include "host/HostedPlugin.h"
#include "host/WinePath.h"

namespace {

// The items below the list that follow its lower edge, and those that stay.
const int kFollowing[] = {115, 116, 117, 120, 121, 118, 119};
const int kStaying[] = {101, 102, 103, 104, 105, 106, 1, 109, 110, 112, 111, 113, 114, 107, 2};
constexpr int kList = 108;

// The module is loaded once for the whole program, as the host loads a plug-in once.
class Plugin {
  public:
    static host::HostedPlugin& Instance() {
        static Plugin plugin;
        return plugin.module_;
    }

  private:
    Plugin() {
        if (module_.Complete()) {
            module_.Start(host::HostSession::kDefaultHostVersion);
        }
    }
    const host::HostWindows::AlertHook alertHook_;
    host::HostedPlugin module_{host::WindowsPath(VS_PLUGIN_MODULE)};
};

class DialogGeometry : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Plugin::Instance().Complete())
            << VS_PLUGIN_MODULE << ": " << Plugin::Instance().Fault();
        wchar_t here[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, here);
        folder_ = std::wstring(here) + L"\\geometry-settings";
        CreateDirectoryW(folder_.c_str(), nullptr);
        DeleteFileW((folder_ + L"\\veskpluginprefs.txt").c_str());
        DeleteFileW((folder_ + L"\\vesksorvel.txt").c_str());
        host::HostSession::Instance().SetSettingsFolder(host::Utf8Path(folder_));
    }
    void TearDown() override { Plugin::Instance().Terminate(); }

    static HWND Dialog() { return host::HostWindows::Instance().Dialog(); }
    static RECT WindowRect() {
        RECT r{};
        GetWindowRect(Dialog(), &r);
        return r;
    }
    // ItemRect answers an item's rectangle in the dialog's client coordinates.
    static RECT ItemRect(int item) {
        RECT r{};
        GetWindowRect(GetDlgItem(Dialog(), item), &r);
        MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static std::map<int, RECT> AllItems() {
        std::map<int, RECT> rects;
        for (int item : kFollowing) {
            rects[item] = ItemRect(item);
        }
        for (int item : kStaying) {
            rects[item] = ItemRect(item);
        }
        rects[kList] = ItemRect(kList);
        return rects;
    }
    static void SetSize(int width, int height) {
        SetWindowPos(Dialog(), nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        host::HostWindows::Pump();
    }
    void WritePrefs(int x, int y, int width, int height) const {
        std::ofstream out(std::filesystem::path(folder_ + L"\\veskpluginprefs.txt"));
        out << "VESKSORVEL_WINDOWX2=" << x << "\nVESKSORVEL_WINDOWY2=" << y
            << "\nVESKSORVEL_WINDOWWIDTH2=" << width << "\nVESKSORVEL_WINDOWHEIGHT2=" << height
            << "\n";
    }
    std::string ReadPrefs() const {
        std::ifstream in(std::filesystem::path(folder_ + L"\\veskpluginprefs.txt"));
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::wstring folder_;
};

void ExpectSameRect(const RECT& a, const RECT& b, int dy, int dh, const std::string& what) {
    EXPECT_EQ(a.left, b.left) << what;
    EXPECT_EQ(a.top + dy, b.top) << what;
    EXPECT_EQ(a.right, b.right) << what;
    EXPECT_EQ(a.bottom + dy + dh, b.bottom) << what;
}

TEST_F(DialogGeometry, GrowingByDMovesTheLowerControlsAndStretchesTheList) {
    Plugin::Instance().Invoke(host::HostWindows::Instance().MainWindow());
    ASSERT_NE(Dialog(), nullptr);
    const RECT start = WindowRect();
    const std::map<int, RECT> before = AllItems();
    for (int d : {40, 97, -60}) {
        SCOPED_TRACE("d = " + std::to_string(d));
        const RECT now = WindowRect();
        const std::map<int, RECT> was = AllItems();
        SetSize(now.right - now.left, now.bottom - now.top + d);
        ASSERT_EQ(WindowRect().bottom - WindowRect().top, now.bottom - now.top + d);
        const std::map<int, RECT> after = AllItems();
        ExpectSameRect(was.at(kList), after.at(kList), 0, d, "list");
        for (int item : kFollowing) {
            ExpectSameRect(was.at(item), after.at(item), d, 0, "item " + std::to_string(item));
        }
        for (int item : kStaying) {
            ExpectSameRect(was.at(item), after.at(item), 0, 0, "item " + std::to_string(item));
        }
    }
    // Back to the template size: every control is where it started.
    SetSize(start.right - start.left, start.bottom - start.top);
    const std::map<int, RECT> back = AllItems();
    for (const auto& [item, rect] : before) {
        ExpectSameRect(rect, back.at(item), 0, 0, "item " + std::to_string(item));
    }
}

TEST_F(DialogGeometry, WidthIsFixedAndTheTemplateSizeIsTheMinimum) {
    Plugin::Instance().Invoke(host::HostWindows::Instance().MainWindow());
    ASSERT_NE(Dialog(), nullptr);
    const RECT start = WindowRect();
    const int width = start.right - start.left;
    const int height = start.bottom - start.top;
    const std::map<int, RECT> before = AllItems();
    SetSize(width + 80, height);
    EXPECT_EQ(WindowRect().right - WindowRect().left, width);
    SetSize(width - 80, height - 100);
    EXPECT_EQ(WindowRect().right - WindowRect().left, width);
    EXPECT_EQ(WindowRect().bottom - WindowRect().top, height);
    const std::map<int, RECT> after = AllItems();
    for (const auto& [item, rect] : before) {
        ExpectSameRect(rect, after.at(item), 0, 0, "item " + std::to_string(item));
    }
    // Growth stops at 80 % of the screen's full height (or the template height if larger).
    const int tallest = std::max(height, GetSystemMetrics(SM_CYFULLSCREEN) * 8 / 10);
    SetSize(width, tallest + 200);
    EXPECT_EQ(WindowRect().bottom - WindowRect().top, tallest);
}

TEST_F(DialogGeometry, ClosingAndInvokingAgainKeepsPlaceAndSize) {
    Plugin::Instance().Invoke(host::HostWindows::Instance().MainWindow());
    ASSERT_NE(Dialog(), nullptr);
    const RECT start = WindowRect();
    SetWindowPos(Dialog(), nullptr, 130, 90, start.right - start.left,
                 start.bottom - start.top + 50, SWP_NOZORDER | SWP_NOACTIVATE);
    host::HostWindows::Pump();
    const RECT moved = WindowRect();
    const std::map<int, RECT> items = AllItems();
    SendMessageW(Dialog(), WM_CLOSE, 0, 0);
    host::HostWindows::Pump();
    EXPECT_EQ(Dialog(), nullptr);
    Plugin::Instance().Invoke(host::HostWindows::Instance().OtherWindow());
    ASSERT_NE(Dialog(), nullptr);
    const RECT again = WindowRect();
    EXPECT_EQ(again.left, moved.left);
    EXPECT_EQ(again.top, moved.top);
    EXPECT_EQ(again.right, moved.right);
    EXPECT_EQ(again.bottom, moved.bottom);
    // The stretched layout is rebuilt from the template: the lower controls follow again.
    const std::map<int, RECT> reopened = AllItems();
    for (const auto& [item, rect] : items) {
        ExpectSameRect(rect, reopened.at(item), 0, 0, "item " + std::to_string(item));
    }
    // Termination writes where the window is.
    Plugin::Instance().Terminate();
    const std::string prefs = ReadPrefs();
    EXPECT_NE(prefs.find("VESKSORVEL_WINDOWX2=" + std::to_string(moved.left) + "\n"),
              std::string::npos)
        << prefs;
    EXPECT_NE(
        prefs.find("VESKSORVEL_WINDOWHEIGHT2=" + std::to_string(moved.bottom - moved.top) + "\n"),
        std::string::npos)
        << prefs;
}

TEST_F(DialogGeometry, StoredGeometryIsAppliedWithItsSizeRaisedToTheMinimum) {
    Plugin::Instance().Invoke(host::HostWindows::Instance().MainWindow());
    const RECT fresh = WindowRect();
    Plugin::Instance().Terminate();
    const int width = fresh.right - fresh.left;
    const int height = fresh.bottom - fresh.top;

    WritePrefs(-40, 60, width - 30, height + 70);  // partly off screen still shows
    Plugin::Instance().Invoke(host::HostWindows::Instance().MainWindow());
    ASSERT_NE(Dialog(), nullptr);
    RECT r = WindowRect();
    EXPECT_EQ(r.left, -40);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, width);  // raised to the minimum (and fixed) width
    EXPECT_EQ(r.bottom - r.top, height + 70);
    Plugin::Instance().Terminate();

    WritePrefs(200, 100, 10, 10);
    Plugin::Instance().Invoke(host::HostWindows::Instance().MainWindow());
    r = WindowRect();
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
}

// A position on a monitor since unplugged: the dialog opens where the template puts it, with
// the saved size.
TEST_F(DialogGeometry, PositionOutsideEveryMonitorIsNotApplied) {
    Plugin::Instance().Invoke(host::HostWindows::Instance().MainWindow());
    const RECT fresh = WindowRect();
    Plugin::Instance().Terminate();
    const int width = fresh.right - fresh.left;
    const int height = fresh.bottom - fresh.top;
    const RECT screen{0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN),
                      GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    for (const POINT at : {POINT{screen.right + 500, 100}, POINT{-width - 300, 100},
                           POINT{100, screen.bottom + 400}}) {
        SCOPED_TRACE("saved at " + std::to_string(at.x) + "," + std::to_string(at.y));
        WritePrefs(at.x, at.y, width, height + 40);
        Plugin::Instance().Invoke(host::HostWindows::Instance().MainWindow());
        ASSERT_NE(Dialog(), nullptr);
        const RECT r = WindowRect();
        EXPECT_EQ(r.left, fresh.left);
        EXPECT_EQ(r.top, fresh.top);
        EXPECT_EQ(r.right - r.left, width);
        EXPECT_EQ(r.bottom - r.top, height + 40);
        Plugin::Instance().Terminate();
    }
}

}  // namespace
