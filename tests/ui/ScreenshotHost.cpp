// A host for the dialog's picture (scripts/screenshot-dialog.sh): loads the module, opens the
// dialog, fills it as a user would, prints the dialog's screen rectangle and keeps the dialog on
// screen for the given number of seconds. It is named finale.exe so that the module finds it;
// paths may be Unix paths (Wine maps them).
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/HostSession.h"
#include "host/HostWindows.h"
#include "host/HostedPlugin.h"
#include "host/WinePath.h"

namespace {

void Type(HWND dialog, int item, const wchar_t* text) {
    SetDlgItemTextW(dialog, item, text);
    host::HostWindows::Pump();
}

void Choose(HWND dialog, int item, int entry) {
    HWND popup = GetDlgItem(dialog, item);
    SendMessageW(popup, CB_SETCURSEL, static_cast<WPARAM>(entry - 1), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(item, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(popup));
    host::HostWindows::Pump();
}

void Click(HWND dialog, int item) {
    SendMessageW(GetDlgItem(dialog, item), BM_CLICK, 0, 0);
    host::HostWindows::Pump();
}

void AddRow(HWND dialog, const wchar_t* from, const wchar_t* to, int direction) {
    Type(dialog, 102, from);
    Type(dialog, 104, to);
    Choose(dialog, 106, direction);
    Click(dialog, 109);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: finale.exe MODULE SETTINGS-FOLDER SECONDS\n");
        return 2;
    }
    const host::HostWindows::AlertHook alertHook;
    host::HostedPlugin module(host::WindowsPath(argv[1]));
    if (!module.Complete()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], module.Fault().c_str());
        return 2;
    }
    host::HostSession::Instance().SetSettingsFolder(host::Utf8Path(host::WindowsPath(argv[2])));
    auto& windows = host::HostWindows::Instance();
    module.Start(host::HostSession::kDefaultHostVersion);
    module.Invoke(windows.MainWindow());
    HWND dialog = windows.Dialog();
    if (dialog == nullptr) {
        std::fprintf(stderr, "no dialog\n");
        return 1;
    }

    AddRow(dialog, L"A#", L"Bb", 3);
    AddRow(dialog, L"D#", L"Eb", 3);
    AddRow(dialog, L"G#", L"Ab", 1);
    AddRow(dialog, L"Cb", L"B", 2);
    Type(dialog, 118, L"Flat keys");
    Click(dialog, 119);
    HWND list = GetDlgItem(dialog, 108);
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(1);
    SendMessageW(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&item));
    AddRow(dialog, L"F#", L"Gb", 3);
    Click(dialog, 112);  // the new row goes again: the list shows what the set holds
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    item.state = INDEXTOSTATEIMAGEMASK(2);
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, 0);
    SetForegroundWindow(dialog);
    host::HostWindows::Pump();

    RECT r{};
    GetWindowRect(dialog, &r);
    std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    std::fflush(stdout);
    const DWORD until = GetTickCount() + static_cast<DWORD>(std::atoi(argv[3]) * 1000);
    while (GetTickCount() < until) {
        host::HostWindows::Pump();
        Sleep(50);
    }
    module.Terminate();
    return 0;
}
