// Harness: command line, plug-in loading and start-up, the script's commands and expectations,
// listings, and the exit code.
#include "host/Harness.h"

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "host/HostCalls.h"
#include "host/HostSession.h"
#include "host/HostWindows.h"
#include "host/RandomUser.h"
#include "host/WinePath.h"

namespace host {
namespace {

std::string Utf8(const std::wstring& text) {
    return HostCalls::Utf8(std::u16string(text.begin(), text.end()));
}

std::wstring Wide(const std::string& text) {
    const auto units = HostCalls::Utf16(text);
    return std::wstring(units.begin(), units.end());
}

bool ReadWholeFile(const std::wstring& path, std::string& text) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        return false;
    }
    char buffer[65536];
    size_t got = 0;
    text.clear();
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
    }
    std::fclose(file);
    return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& text) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return Utf8(text);
}

std::string ClassOf(HWND window) {
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    return Utf8(cls);
}

bool IsClass(HWND window, const char* name) {
    return _stricmp(ClassOf(window).c_str(), name) == 0;
}

std::string Quote(const std::string& text) {
    return HostCalls::Quote(text);
}

std::string ListText(HWND list, int row, int column) {
    wchar_t text[1024] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 1024;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return Utf8(text);
}

int ListChecked(HWND list, int row) {
    const auto state = static_cast<UINT>(
        SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2 ? 1 : 0;
}

std::vector<std::string> PopupEntries(HWND combo) {
    std::vector<std::string> entries;
    const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length > 0 ? length : 0));
        entries.push_back(Utf8(text));
    }
    return entries;
}

// An expectation's outcome: failure names what was found when it did not hold.
bool Held(bool held, const std::string& found, std::string& failure) {
    if (!held) {
        failure = found;
    }
    return held;
}

// PrivateFolder is a settings folder of this run's own when none is given: a new, empty folder
// in the temporary folder, removed when the run ends. A host always names some folder, and a
// run must never write into a folder another run or the user keeps settings in.
class PrivateFolder {
  public:
    PrivateFolder() {
        wchar_t temp[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        if (length == 0 || length > MAX_PATH) {
            return;
        }
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            std::wstring candidate =
                std::wstring(temp) + L"finale-settings-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(attempt);
            if (CreateDirectoryW(candidate.c_str(), nullptr) != 0) {
                path_ = candidate;
            }
        }
    }
    ~PrivateFolder() {
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(std::filesystem::path(path_), ignored);
        }
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    [[nodiscard]] const std::wstring& Path() const { return path_; }

  private:
    std::wstring path_;
};

}  // namespace

void Harness::Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool Harness::ParseArguments(const std::vector<std::wstring>& args, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string name = Utf8(args[i]);
        if (name == "--trace") {
            trace_ = true;
            continue;
        }
        if (name == "--no-settings-folder") {
            noSettingsFolder_ = true;
            continue;
        }
        if (name == "--random-user") {
            if (i + 2 >= args.size() || !HarnessScript::IsInteger({Utf8(args[i + 1])}) ||
                !HarnessScript::IsInteger({Utf8(args[i + 2])}) ||
                HarnessScript::Integer({Utf8(args[i + 2])}) < 0) {
                error = "--random-user takes a seed and a number of rounds";
                return false;
            }
            randomSeed_ = static_cast<uint32_t>(HarnessScript::Integer({Utf8(args[i + 1])}));
            randomRounds_ = HarnessScript::Integer({Utf8(args[i + 2])});
            i += 2;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = name == "--plugin" || name == "--score" || name == "--out" ||
                            name == "--settings" || name == "--host-version" || name == "--script"
                        ? name + " needs a value"
                        : "unknown option " + name;
            return false;
        }
        const std::wstring& value = args[++i];
        if (name == "--plugin") {
            pluginPath_ = value;
        } else if (name == "--score") {
            score_ = value;
            scoreName_ = Utf8(value);
        } else if (name == "--out") {
            out_ = value;
        } else if (name == "--settings") {
            settings_ = value;
        } else if (name == "--script") {
            script_ = value;
            scriptName_ = Utf8(value);
        } else if (name == "--host-version") {
            const std::string text = Utf8(value);
            char* end = nullptr;
            const unsigned long long number = std::strtoull(text.c_str(), &end, 16);
            if (text.size() < 3 || text.compare(0, 2, "0x") != 0 || *end != 0 ||
                number > 0xFFFFFFFFull) {
                error = "--host-version takes a hexadecimal number written 0x..., not " + text;
                return false;
            }
            hostVersion_ = static_cast<uint32_t>(number);
        } else {
            error = "unknown option " + name;
            return false;
        }
    }
    if (pluginPath_.empty() || score_.empty()) {
        error = "--plugin and --score are required";
        return false;
    }
    if (noSettingsFolder_ && !settings_.empty()) {
        error = "--settings and --no-settings-folder exclude each other";
        return false;
    }
    return true;
}

void Harness::ReleaseLocks() {
    for (const auto& [name, file] : locks_) {
        CloseHandle(file);
    }
    locks_.clear();
}

HWND Harness::Dialog(std::string& failure) const {
    HWND dialog = HostWindows::Instance().Dialog();
    if (dialog == nullptr) {
        failure = "the plug-in's dialog is not open";
    }
    return dialog;
}

HWND Harness::DialogItem(int item, std::string& failure) const {
    HWND dialog = Dialog(failure);
    if (dialog == nullptr) {
        return nullptr;
    }
    HWND control = GetDlgItem(dialog, item);
    if (control == nullptr) {
        failure = "the dialog has no item " + std::to_string(item);
    }
    return control;
}

HWND Harness::ListView(std::string& failure) const {
    HWND dialog = Dialog(failure);
    if (dialog == nullptr) {
        return nullptr;
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsClass(child, "SysListView32")) {
            return child;
        }
    }
    failure = "the dialog has no list";
    return nullptr;
}

void Harness::PrintRows() {
    std::string failure;
    HWND list = ListView(failure);
    if (list == nullptr) {
        Print("rows: " + failure);
        return;
    }
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const auto columns = static_cast<int>(SendMessageW(
        reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
    const auto mark = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    Print("rows " + std::to_string(count) + " selection mark " + std::to_string(mark));
    for (int row = 0; row < count; ++row) {
        std::string line = "row " + std::to_string(row);
        for (int column = 0; column < columns; ++column) {
            line += " " + Quote(ListText(list, row, column));
        }
        const auto state =
            SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED);
        line += " checked=" + std::to_string(ListChecked(list, row)) +
                " selected=" + std::to_string((state & LVIS_SELECTED) != 0 ? 1 : 0);
        Print(line);
    }
}

void Harness::PrintFields() {
    std::string failure;
    HWND dialog = Dialog(failure);
    if (dialog == nullptr) {
        Print("fields: " + failure);
        return;
    }
    Print("dialog " + Quote(WindowText(dialog)) +
          " visible=" + std::to_string(IsWindowVisible(dialog) ? 1 : 0) +
          " enabled=" + std::to_string(IsWindowEnabled(dialog) ? 1 : 0));
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = static_cast<int16_t>(GetDlgCtrlID(child));
        std::string line = "item " + std::to_string(id) + " " + ClassOf(child) + " " +
                           Quote(WindowText(child)) +
                           " enabled=" + std::to_string(IsWindowEnabled(child) ? 1 : 0);
        if (IsClass(child, "ComboBox")) {
            const auto choice = SendMessageW(child, CB_GETCURSEL, 0, 0);
            line += " value=" + std::to_string(choice == CB_ERR ? 0 : choice + 1) + " entries";
            for (const auto& entry : PopupEntries(child)) {
                line += " " + Quote(entry);
            }
        } else if (IsClass(child, "Button")) {
            const auto style = GetWindowLongW(child, GWL_STYLE) & 0x0F;
            if (style == BS_AUTOCHECKBOX || style == BS_CHECKBOX) {
                line += " value=" + std::to_string(SendMessageW(child, BM_GETCHECK, 0, 0));
            }
        }
        if (GetFocus() == child) {
            line += " focus";
        }
        Print(line);
    }
}

bool Harness::Expect(const HarnessScript::Command& command, std::string& failure) {
    const auto& a = command.args;
    const std::string& form = a[0].text;
    auto& session = HostSession::Instance();
    auto& windows = HostWindows::Instance();
    auto number = [&](size_t i) { return HarnessScript::Integer(a[i]); };
    if (form == "alert") {
        if (windows.Alerts().empty()) {
            failure = "no alert was shown";
            return false;
        }
        const auto alert = windows.Alerts().front();
        windows.Alerts().pop_front();
        std::string wanted;
        std::string found = Quote(alert.caption) + " " + Quote(alert.text) + " icon=" + alert.icon +
                            " owner=" + alert.owner;
        bool ok = alert.caption == a[1].text;
        for (size_t i = 2; i < a.size(); ++i) {
            if (a[i].quoted) {
                ok = ok && alert.text == a[i].text;
            } else if (a[i].text.rfind("icon=", 0) == 0) {
                ok = ok && alert.icon == a[i].text.substr(5);
            } else {
                ok = ok && alert.owner == a[i].text.substr(6);
            }
        }
        if (!ok) {
            failure = "the alert was " + found;
        }
        return ok;
    }
    if (form == "no-alert") {
        if (!windows.Alerts().empty()) {
            failure = "an alert is left: " + Quote(windows.Alerts().front().caption) + " " +
                      Quote(windows.Alerts().front().text);
            return false;
        }
        return true;
    }
    if (form == "beep") {
        if (windows.Beeps().empty()) {
            failure = "there was no beep";
            return false;
        }
        windows.Beeps().pop_front();
        return true;
    }
    if (form == "no-beep") {
        if (!windows.Beeps().empty()) {
            failure = "a beep is left (" + HostCalls::Hex(windows.Beeps().front()) + ")";
            return false;
        }
        return true;
    }
    if (form == "note") {
        const auto spelling =
            session.NoteSpelling(number(1), number(2), number(3), number(4), number(5));
        if (!spelling) {
            failure = "there is no such note";
            return false;
        }
        std::string found = *spelling;
        if (found.empty()) {
            const auto raw = session.NoteRaw(number(1), number(2), number(3), number(4), number(5));
            found = "{displacement " + std::to_string(raw->displacement) + ", raiseLower " +
                    std::to_string(raw->raiseLower) + "}";
        }
        return Held(found == a[6].text, "the note is " + found, failure);
    }
    if (form == "edits") {
        const auto c = session.GetCounters();
        return Held(!(c.editsOpened != number(1) || c.editsKept != number(2) ||
                      c.editsCancelled != number(3)),
                    "edits opened " + std::to_string(c.editsOpened) + ", kept " +
                        std::to_string(c.editsKept) + ", cancelled " +
                        std::to_string(c.editsCancelled),
                    failure);
    }
    if (form == "respaces" || form == "redraws") {
        const auto c = session.GetCounters();
        const int found = form == "respaces" ? c.respaces : c.redraws;
        return Held(found == number(1), "there were " + std::to_string(found) + " " + form,
                    failure);
    }
    if (form == "visible") {
        HWND dialog = windows.Dialog();
        const int found = dialog != nullptr && IsWindowVisible(dialog) ? 1 : 0;
        return Held(found == number(1),
                    found ? "the dialog is visible" : "the dialog is not visible", failure);
    }
    if (form == "selected") {
        HWND list = ListView(failure);
        if (list == nullptr) {
            return false;
        }
        const auto selected = static_cast<int>(
            SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        const auto mark = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
        return Held(selected == number(1) && mark == number(1),
                    "the selected row is " + std::to_string(selected) + " and the selection mark " +
                        std::to_string(mark),
                    failure);
    }
    if (form == "rows" || form == "row") {
        HWND list = ListView(failure);
        if (list == nullptr) {
            return false;
        }
        const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        if (form == "rows") {
            return Held(count == number(1), "the list has " + std::to_string(count) + " rows",
                        failure);
        }
        const int row = number(1);
        if (row < 0 || row >= count) {
            failure = "the list has " + std::to_string(count) + " rows";
            return false;
        }
        const std::string found =
            Quote(ListText(list, row, 0)) + " " + Quote(ListText(list, row, 1)) + " " +
            Quote(ListText(list, row, 2)) + " " + std::to_string(ListChecked(list, row));
        const std::string wanted =
            Quote(a[2].text) + " " + Quote(a[3].text) + " " + Quote(a[4].text) + " " + a[5].text;
        return Held(found == wanted, "the row is " + found, failure);
    }
    HWND control = DialogItem(number(1), failure);
    if (control == nullptr) {
        return false;
    }
    if (form == "text") {
        const std::string found = WindowText(control);
        return Held(found == a[2].text, "the text is " + Quote(found), failure);
    }
    if (form == "value") {
        int found = 0;
        if (IsClass(control, "ComboBox")) {
            const auto choice = SendMessageW(control, CB_GETCURSEL, 0, 0);
            found = choice == CB_ERR ? 0 : static_cast<int>(choice) + 1;
        } else if (IsClass(control, "Button")) {
            found = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
        } else {
            failure = "item " + a[1].text + " has no value";
            return false;
        }
        return Held(found == number(2), "the value is " + std::to_string(found), failure);
    }
    if (form == "enabled") {
        const int found = IsWindowEnabled(control) ? 1 : 0;
        return Held(found == number(2), found ? "the item is enabled" : "the item is disabled",
                    failure);
    }
    if (form == "focus") {
        HWND focus = GetFocus();
        if (focus != control && (focus == nullptr || GetParent(focus) != control)) {
            const int id = focus != nullptr ? static_cast<int16_t>(GetDlgCtrlID(focus)) : 0;
            failure = focus == nullptr ? "nothing has the focus"
                      : GetAncestor(focus, GA_ROOT) == GetAncestor(control, GA_ROOT)
                          ? "the focus is on item " + std::to_string(id)
                          : "the focus is in another window (" + ClassOf(focus) + " " +
                                Quote(WindowText(focus)) + ")";
            return false;
        }
        return true;
    }
    if (form == "popup") {
        const auto entries = PopupEntries(control);
        std::string found;
        for (const auto& e : entries) {
            found += (found.empty() ? "" : " ") + Quote(e);
        }
        std::string wanted;
        for (size_t i = 2; i < a.size(); ++i) {
            wanted += (wanted.empty() ? "" : " ") + Quote(a[i].text);
        }
        return Held(found == wanted,
                    "the popup holds " + (found.empty() ? std::string("nothing") : found), failure);
    }
    failure = "unknown expectation";
    return false;
}

bool Harness::Execute(const HarnessScript::Command& command, int& exitCode) {
    const auto& a = command.args;
    const std::string& name = command.name;
    auto& session = HostSession::Instance();
    auto& windows = HostWindows::Instance();
    auto number = [&](size_t i) { return HarnessScript::Integer(a[i]); };
    std::string failure;
    auto fail = [&](int code) {
        Print("FAILED " + scriptName_ + " line " + std::to_string(command.line) + ": " +
              command.source + ": " + failure);
        exitCode = code;
        return false;
    };
    // A user can only work controls that are there, shown and enabled.
    auto usable = [&](int item) -> HWND {
        HWND control = DialogItem(item, failure);
        if (control != nullptr && (!IsWindowEnabled(control) || !IsWindowVisible(control))) {
            failure = "item " + std::to_string(item) + " is " +
                      (IsWindowEnabled(control) ? "hidden" : "disabled") +
                      ": a user cannot work it";
            return nullptr;
        }
        return control;
    };

    if (name == "invoke") {
        const bool other = !a.empty() && a[0].text == "other";
        plugin_->Invoke(other ? windows.OtherWindow() : windows.MainWindow());
    } else if (name == "terminate") {
        plugin_->Terminate();
    } else if (name == "set") {
        HWND control = usable(number(0));
        if (control == nullptr) {
            return fail(1);
        }
        SetWindowTextW(control, Wide(a[1].text).c_str());
    } else if (name == "choose") {
        HWND control = usable(number(0));
        if (control == nullptr) {
            return fail(1);
        }
        const auto count = static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
        if (number(1) < 1 || number(1) > count) {
            failure = "the popup has " + std::to_string(count) + " entries";
            return fail(1);
        }
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(number(1) - 1), 0);
        SendMessageW(GetParent(control), WM_COMMAND,
                     MAKEWPARAM(static_cast<WORD>(number(0)), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
    } else if (name == "tick") {
        HWND control = usable(number(0));
        if (control == nullptr) {
            return fail(1);
        }
        const bool checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (checked != (number(1) != 0)) {
            SendMessageW(control, BM_CLICK, 0, 0);
        }
    } else if (name == "click") {
        HWND control = usable(number(0));
        if (control == nullptr) {
            return fail(1);
        }
        SendMessageW(control, BM_CLICK, 0, 0);
    } else if (name == "command") {
        // As a keyboard shortcut or another program may send it: the command reaches the
        // dialog whether or not its control is enabled.
        HWND control = DialogItem(number(0), failure);
        if (control == nullptr) {
            return fail(1);
        }
        SendMessageW(GetParent(control), WM_COMMAND,
                     MAKEWPARAM(static_cast<WORD>(number(0)), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
    } else if (name == "lock" || name == "unlock") {
        // Another program holding a settings file open and letting no one else read or write
        // it (an editor, a backup or a synchronising tool).
        const std::string& file = a[0].text;
        if (session.SettingsFolder().empty()) {
            failure = "the host names no settings folder";
            return fail(2);
        }
        const auto held = locks_.find(file);
        if (name == "unlock") {
            if (held == locks_.end()) {
                failure = file + " is not locked";
                return fail(2);
            }
            CloseHandle(held->second);
            locks_.erase(held);
        } else {
            const std::wstring path = Wide(session.SettingsFolder()) + L"\\" + Wide(file);
            HANDLE handle = held != locks_.end()
                                ? INVALID_HANDLE_VALUE
                                : CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle == INVALID_HANDLE_VALUE) {
                failure = file + " cannot be locked (error " + std::to_string(GetLastError()) + ")";
                return fail(2);
            }
            locks_[file] = handle;
        }
    } else if (name == "row-tick" || name == "row-select") {
        HWND list = ListView(failure);
        if (list == nullptr) {
            return fail(1);
        }
        const int row = number(0);
        const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        if (row < (name == "row-select" ? -1 : 0) || row >= count) {
            failure = "the list has " + std::to_string(count) + " rows";
            return fail(1);
        }
        LVITEMW item{};
        if (name == "row-tick") {
            if (ListChecked(list, row) != number(1)) {
                item.stateMask = LVIS_STATEIMAGEMASK;
                item.state = INDEXTOSTATEIMAGEMASK(number(1) != 0 ? 2 : 1);
                SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                             reinterpret_cast<LPARAM>(&item));
            }
        } else if (row < 0) {
            item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            item.state = 0;
            SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(&item));
            SendMessageW(list, LVM_SETSELECTIONMARK, 0, -1);
        } else {
            // A click on the row's label: the list view moves the selection and its mark.
            RECT label{};
            label.left = LVIR_LABEL;
            SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&label));
            const LPARAM at =
                MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
            PostMessageW(list, WM_LBUTTONUP, 0, at);
            SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
            HostWindows::Pump();
            if ((SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
                 LVIS_SELECTED) == 0) {
                item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                item.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                             reinterpret_cast<LPARAM>(&item));
                SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
            }
        }
    } else if (name == "list-dblclick") {
        HWND list = ListView(failure);
        if (list == nullptr) {
            return fail(1);
        }
        NMITEMACTIVATE note{};
        note.hdr.hwndFrom = list;
        note.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
        note.hdr.code = NM_DBLCLK;
        note.iItem = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
        SendMessageW(GetParent(list), WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
    } else if (name == "answer") {
        windows.QueueAnswer(a[0].text);
    } else if (name == "resize") {
        HWND dialog = Dialog(failure);
        if (dialog == nullptr) {
            return fail(1);
        }
        RECT r{};
        GetWindowRect(dialog, &r);
        SetWindowPos(dialog, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + number(0),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (name == "close") {
        HWND dialog = Dialog(failure);
        if (dialog == nullptr) {
            return fail(1);
        }
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (name == "select") {
        if (a.size() == 1) {
            session.SetSelection(std::nullopt);
        } else {
            const int p1 = a.size() > 4 ? number(4) : 0;
            const int p2 = a.size() > 5 ? number(5) : 2147483647;
            if (number(0) < 1 || number(0) > number(1) || number(1) > session.StaffCount() ||
                number(2) < 1 || number(2) > number(3) || number(3) > session.MeasureCount() ||
                p1 < 0 || p2 < 0) {
                failure = "the selection lies outside the score";
                return fail(2);
            }
            session.Select(number(0), number(1), number(2), number(3), p1, p2);
        }
    } else if (name == "host-modal") {
        const bool modal = number(0) != 0;
        EnableWindow(windows.MainWindow(), modal ? FALSE : TRUE);
        if (HWND dialog = windows.Dialog()) {
            SendMessageW(dialog, WM_ACTIVATE, modal ? WA_INACTIVE : WA_ACTIVE, 0);
        }
    } else if (name == "undo") {
        if (!session.Undo()) {
            session.AddEvent("undo: nothing to undo");
        }
    } else if (name == "print") {
        if (a[0].text == "rows") {
            PrintRows();
        } else if (a[0].text == "fields") {
            PrintFields();
        } else {
            const std::string json = session.ScoreJson();
            std::fwrite(json.data(), 1, json.size(), stdout);
            std::fflush(stdout);
        }
    } else if (name == "expect") {
        if (!Expect(command, failure)) {
            return fail(1);
        }
    }
    HostWindows::Pump();
    return true;
}

int Harness::Run(const std::vector<std::wstring>& args) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::string error;
    auto bad = [&](const std::string& text) {
        std::fprintf(stderr, "finale: %s\n", text.c_str());
        std::fflush(stderr);
        return 2;
    };
    if (!ParseArguments(args, error)) {
        return bad(error +
                   "\nusage: finale.exe --plugin DLL --score FILE [--out FILE] "
                   "[--settings DIR | --no-settings-folder] [--host-version 0xHEX] "
                   "[--script FILE] [--trace] "
                   "[--random-user SEED ROUNDS]");
    }
    std::vector<HarnessScript::Command> commands;
    if (!script_.empty()) {
        std::string text;
        if (!ReadWholeFile(WindowsPath(Utf8(script_)), text)) {
            return bad(scriptName_ + ": cannot be read");
        }
        if (!HarnessScript::Parse(text, scriptName_, commands, error)) {
            return bad(error);
        }
    }
    auto& session = HostSession::Instance();
    session.Reset();
    std::string scoreText;
    if (!ReadWholeFile(WindowsPath(Utf8(score_)), scoreText)) {
        return bad(scoreName_ + ": cannot be read");
    }
    if (!session.LoadScoreJson(scoreText, error, scoreName_)) {
        return bad(error);
    }
    session.SetHostVersion(hostVersion_);
    const std::unique_ptr<PrivateFolder> privateFolder =
        settings_.empty() && !noSettingsFolder_ ? std::make_unique<PrivateFolder>() : nullptr;
    if (!settings_.empty()) {
        session.SetSettingsFolder(Utf8(WindowsPath(Utf8(settings_))));
    } else if (privateFolder) {
        if (privateFolder->Path().empty()) {
            return bad("no private settings folder can be made; name one with --settings");
        }
        session.SetSettingsFolder(Utf8(privateFolder->Path()));
    }
    session.SetTrace(trace_);
    session.SetEventSink([](const std::string& line) { Print(line); });
    auto& windows = HostWindows::Instance();
    windows.MainWindow();
    windows.CurrentWindow();
    const HostWindows::AlertHook alertHook;
    plugin_ = std::make_unique<HostedPlugin>(WindowsPath(Utf8(pluginPath_)));
    if (!plugin_->Complete()) {
        return bad(Utf8(pluginPath_) + ": " + plugin_->Fault());
    }
    plugin_->Start(hostVersion_, Print);

    int exitCode = 0;
    bool going = true;
    for (const auto& command : commands) {
        if (!Execute(command, exitCode)) {
            going = false;
            break;
        }
    }
    if (going && randomRounds_ >= 0) {
        scriptName_ = "random user";  // failures from here on name the random user's lines
        RandomUser user(randomSeed_, randomRounds_, [this](const std::string& line, int& code) {
            std::vector<HarnessScript::Command> parsed;
            std::string fault;
            if (!HarnessScript::Parse(line, "random user", parsed, fault) || parsed.size() != 1) {
                Print("FAILED random user: " + fault);
                code = 2;
                return false;
            }
            return Execute(parsed.front(), code);
        });
        exitCode = user.Play();
    }
    ReleaseLocks();
    session.EndRun();
    if (!out_.empty() && !WriteWholeFile(WindowsPath(Utf8(out_)), session.ScoreJson())) {
        return bad(Utf8(out_) + ": cannot be written");
    }
    const size_t errors = session.ProtocolErrors().size();
    if (errors > 0) {
        Print("protocol errors: " + std::to_string(errors));
        return 3;
    }
    if (exitCode == 0) {
        Print("all held");
    }
    return exitCode;
}

}  // namespace host
