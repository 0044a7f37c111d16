// HostWindows: host windows, the plug-in's dialog, message boxes and beeps.
#include "host/HostWindows.h"

#include <commctrl.h>

#include <cstring>

#include "host/HostCalls.h"
#include "host/HostSession.h"

namespace host {
namespace {

constexpr wchar_t kMainClass[] = L"VeskHostMain";
constexpr wchar_t kChildClass[] = L"VeskHostChild";
// The class of dialog boxes, message boxes among them.
constexpr wchar_t kMessageBoxClass[] = L"#32770";
constexpr int kClassNameSize = 64;
// A message box's items: its text, and its icon (item 20 on Windows, 1088 under Wine).
constexpr int kMessageTextItem = 0xFFFF;
constexpr int kIconItemWindows = 20;
constexpr int kIconItemWine = 1088;
constexpr int kMostTextUnits = 4096;

void RegisterClasses() {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    WNDCLASSW cls{};
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = kMainClass;
    RegisterClassW(&cls);
    cls.lpszClassName = kChildClass;
    RegisterClassW(&cls);
}

std::string WindowText(HWND window) {
    wchar_t text[kMostTextUnits] = {};
    GetWindowTextW(window, text, kMostTextUnits);
    return HostCalls::Utf8(std::u16string(reinterpret_cast<const char16_t*>(text)));
}

}  // namespace

HostWindows& HostWindows::Instance() {
    static HostWindows windows;
    return windows;
}

HWND HostWindows::MainWindow() {
    return Made(main_, kMainClass, L"Host", WS_OVERLAPPEDWINDOW, {0, 0, 800, 600}, nullptr);
}

HWND HostWindows::CurrentWindow() {
    return Made(child_, kChildClass, L"Document", WS_CHILD, {0, 0, 400, 300}, MainWindow());
}

HWND HostWindows::OtherWindow() {
    return Made(other_, kMainClass, L"Other", WS_OVERLAPPEDWINDOW, {50, 50, 450, 350}, nullptr);
}

HWND HostWindows::Made(HWND& window, const wchar_t* windowClass, const wchar_t* title, DWORD style,
                       RECT place, HWND parent) {
    if (window == nullptr) {
        RegisterClasses();
        window = CreateWindowExW(0, windowClass, title, style, place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, parent,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    return window;
}

void HostWindows::SetPluginModule(HMODULE module) {
    module_ = module;
}

HMODULE HostWindows::PluginModule() const {
    return module_ != nullptr ? module_ : GetModuleHandleW(nullptr);
}

void HostWindows::ForgetPluginModule(HMODULE module) {
    if (module_ == module) {
        module_ = nullptr;
    }
    std::vector<HWND> windows;
    for (const auto& [window, binding] : bindings_) {
        windows.push_back(window);
    }
    bindings_.clear();
    dialog_ = nullptr;
    for (HWND window : windows) {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
}

HWND HostWindows::CreatePluginDialog(int templateNumber, HostDialogProc callback, HWND owner,
                                     void* userData) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    HMODULE module = PluginModule();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(templateNumber), RT_DIALOG);
    if (resource == nullptr) {
        HostSession::Instance().ReportProtocolError(
            "FX_Dialog: the plug-in has no dialog template " + std::to_string(templateNumber));
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(module, resource);
    const auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(loaded));
    if (dialogTemplate == nullptr) {
        return nullptr;
    }
    const Binding binding{callback, userData};
    pending_ = &binding;
    HWND dialog = CreateDialogIndirectParamW(module, dialogTemplate, owner, DialogThunk,
                                             reinterpret_cast<LPARAM>(userData));
    pending_ = nullptr;
    if (dialog != nullptr) {
        dialog_ = dialog;
    }
    return dialog;
}

INT_PTR CALLBACK HostWindows::DialogThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& self = Instance();
    auto it = self.bindings_.find(window);
    if (it == self.bindings_.end()) {
        if (self.pending_ == nullptr) {
            return FALSE;
        }
        it = self.bindings_.emplace(window, *self.pending_).first;
    }
    const Binding binding = it->second;
    const intptr_t result = binding.callback(window, message, wParam, lParam, binding.userData);
    if (message == WM_NCDESTROY) {
        self.bindings_.erase(window);
        if (self.dialog_ == window) {
            self.dialog_ = nullptr;
        }
    }
    // The close box is the plug-in's business: without this the dialog manager would also send
    // a Cancel command of its own.
    if (message == WM_CLOSE) {
        return TRUE;
    }
    return static_cast<INT_PTR>(result);
}

HostWindows::AlertHook::AlertHook() {
    auto& self = Instance();
    if (self.hookHolders_++ == 0) {
        self.hook_ = SetWindowsHookExW(WH_CBT, AnswerHook, nullptr, GetCurrentThreadId());
    }
}

HostWindows::AlertHook::~AlertHook() {
    auto& self = Instance();
    if (--self.hookHolders_ == 0 && self.hook_ != nullptr) {
        UnhookWindowsHookEx(self.hook_);
        self.hook_ = nullptr;
    }
}

LRESULT CALLBACK HostWindows::AnswerHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the hook's argument is the window's handle.
        auto* window = reinterpret_cast<HWND>(wParam);
        wchar_t cls[kClassNameSize] = {};
        GetClassNameW(window, cls, kClassNameSize);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        auto& self = Instance();
        // The hook also hears this thread activating a window of another process (Wine calls
        // it before it refuses), and that box is another host's to answer.
        if (std::wcscmp(cls, kMessageBoxClass) == 0 && process == GetCurrentProcessId() &&
            !self.IsPluginDialog(window)) {
            self.AnswerAlert(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string HostWindows::OwnerName(HWND owner) {
    if (owner == nullptr) {
        return "none";
    }
    if (owner == main_) {
        return "main";
    }
    if (owner == other_) {
        return "other";
    }
    if (IsPluginDialog(owner)) {
        return "dialog";
    }
    return "unknown";
}

void HostWindows::AnswerAlert(HWND box) {
    Alert alert;
    alert.caption = WindowText(box);
    alert.text = WindowText(GetDlgItem(box, kMessageTextItem));
    alert.owner = OwnerName(GetWindow(box, GW_OWNER));
    alert.icon = "none";
    HWND iconWindow = GetDlgItem(box, kIconItemWindows);
    if (iconWindow == nullptr) {
        iconWindow = GetDlgItem(box, kIconItemWine);
    }
    if (iconWindow != nullptr) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the message answers the icon's handle.
        auto* icon = reinterpret_cast<HICON>(SendMessageW(iconWindow, STM_GETICON, 0, 0));
        if (icon == LoadIconW(nullptr, IDI_HAND)) {
            alert.icon = "error";
        } else if (icon == LoadIconW(nullptr, IDI_ASTERISK)) {
            alert.icon = "info";
        } else if (icon == LoadIconW(nullptr, IDI_QUESTION)) {
            alert.icon = "question";
        } else if (icon == LoadIconW(nullptr, IDI_EXCLAMATION)) {
            alert.icon = "warning";
        } else if (icon != nullptr) {
            alert.icon = "other";
        }
    }
    const bool yesNo = GetDlgItem(box, IDYES) != nullptr;
    std::string answer = yesNo ? "no" : "ok";
    if (!answers_.empty()) {
        const std::string queued = answers_.front();
        answers_.pop_front();
        alert.queued = true;
        if ((yesNo && (queued == "yes" || queued == "no")) || (!yesNo && queued == "ok")) {
            answer = queued;
        } else {
            HostSession::Instance().AddEvent("the queued answer " + queued +
                                             " does not fit the message box; answering " + answer);
        }
    }
    alert.answer = answer;
    const int button = answer == "yes" ? IDYES : (answer == "no" ? IDNO : IDOK);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    HostSession::Instance().AddEvent("alert " + alert.icon + " " + HostCalls::Quote(alert.caption) +
                                     " " + HostCalls::Quote(alert.text) + " owner=" + alert.owner +
                                     " answer=" + answer + (alert.queued ? "" : " (unqueued)"));
    alerts_.push_back(alert);
}

BOOL WINAPI HostWindows::HostMessageBeep(UINT type) {
    Instance().beeps_.push_back(type);
    HostSession::Instance().AddEvent("beep " + HostCalls::Hex(type));
    return TRUE;
}

void HostWindows::RouteBeeps(HMODULE module) {
    // Replace the module's import of MessageBeep with the host's, so that every beep is seen.
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) {
        return;
    }
    void* original =
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "MessageBeep"));
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         desc->Name != 0; ++desc) {
        if (_stricmp(reinterpret_cast<const char*>(base + desc->Name), "user32.dll") != 0) {
            continue;
        }
        auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (desc->OriginalFirstThunk != 0 ? desc->OriginalFirstThunk : desc->FirstThunk));
        for (; thunk->u1.Function != 0; ++thunk, ++names) {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): an import slot holds an address.
            bool match = reinterpret_cast<void*>(thunk->u1.Function) == original;
            if (!match && !IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                desc->OriginalFirstThunk != 0) {
                const auto* byName =
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                match =
                    std::strcmp(reinterpret_cast<const char*>(byName->Name), "MessageBeep") == 0;
            }
            if (match) {
                DWORD old = 0;
                VirtualProtect(&thunk->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
                thunk->u1.Function = reinterpret_cast<ULONG_PTR>(&HostMessageBeep);
                VirtualProtect(&thunk->u1.Function, sizeof(void*), old, &old);
            }
        }
    }
}

void HostWindows::Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        HWND dialog = Instance().dialog_;
        if (dialog != nullptr && IsDialogMessageW(dialog, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace host
