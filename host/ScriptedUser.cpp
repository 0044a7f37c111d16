// ScriptedUser: the script's commands and expectations carried out with real windows, and the
// listings of the dialog's rows and fields.
#include "host/ScriptedUser.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/HostCalls.h"
#include "host/HostSession.h"
#include "host/HostWindows.h"

namespace host {
namespace {

using Target = HarnessLanguage::Target;

// The state image of a list row's check box: 1 unchecked, 2 checked.
constexpr UINT kUncheckedImage = 1;
constexpr UINT kCheckedImage = 2;
constexpr int kClassNameSize = 64;
constexpr int kMostRowTextUnits = 1024;
// "select" without positions takes whole measures: every position from 0 on.
constexpr int kLastPosition = 2147483647;

std::string Utf8(const std::wstring& text) {
    return HostCalls::Utf8(std::u16string(text.begin(), text.end()));
}

std::wstring Wide(const std::string& text) {
    const auto units = HostCalls::Utf16(text);
    return {units.begin(), units.end()};
}

std::string Quote(const std::string& text) {
    return HostCalls::Quote(text);
}

int Number(const HarnessScript::Command& command, size_t index) {
    return HarnessScript::Integer(command.args[index]);
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return Utf8(text);
}

std::string ClassOf(HWND window) {
    wchar_t cls[kClassNameSize] = {};
    GetClassNameW(window, cls, kClassNameSize);
    return Utf8(cls);
}

bool IsClass(HWND window, const char* name) {
    return _stricmp(ClassOf(window).c_str(), name) == 0;
}

unsigned KindOf(HWND window) {
    if (IsClass(window, "Button")) {
        switch (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) {
            case BS_PUSHBUTTON:
            case BS_DEFPUSHBUTTON:
                return HarnessLanguage::kPushButton;
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE:
                return HarnessLanguage::kCheckBox;
            default:
                return HarnessLanguage::kOtherControl;
        }
    }
    if (IsClass(window, "Edit")) {
        return HarnessLanguage::kEdit;
    }
    if (IsClass(window, "ComboBox")) {
        return HarnessLanguage::kComboBox;
    }
    if (IsClass(window, WC_LISTVIEWA)) {
        return HarnessLanguage::kListView;
    }
    return HarnessLanguage::kOtherControl;
}

std::string ListText(HWND list, int row, int column) {
    wchar_t text[kMostRowTextUnits] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = kMostRowTextUnits;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return Utf8(text);
}

int ListChecked(HWND list, int row) {
    const auto state = static_cast<UINT>(
        SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    // The state image index sits above the overlay bits (INDEXTOSTATEIMAGEMASK shifts by 12).
    return ((state & LVIS_STATEIMAGEMASK) >> 12U) == kCheckedImage ? 1 : 0;
}

int ListCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool RowSelected(HWND list, int row) {
    return (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
            LVIS_SELECTED) != 0;
}

void SetRowState(HWND list, int row, UINT mask, UINT state) {
    LVITEMW item{};
    item.stateMask = mask;
    item.state = state;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
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

// A popup's choice counted from 1, 0 for none.
int PopupChoice(HWND combo) {
    const auto choice = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return choice == CB_ERR ? 0 : static_cast<int>(choice) + 1;
}

// An expectation's outcome: failure names what was found when it did not hold.
bool Held(bool held, const std::string& found, std::string& failure) {
    if (!held) {
        failure = found;
    }
    return held;
}

}  // namespace

void ScriptedUser::Say(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

HWND ScriptedUser::FindTarget(Target target, HWND dialog, int item) {
    if (dialog == nullptr) {
        return nullptr;
    }
    switch (target) {
        case Target::kHost:
            return nullptr;
        case Target::kDialog:
            return dialog;
        case Target::kItem:
            return GetDlgItem(dialog, item);
        case Target::kList:
            for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                if (KindOf(child) == HarnessLanguage::kListView) {
                    return child;
                }
            }
            return nullptr;
    }
    return nullptr;
}

HarnessLanguage::Sight ScriptedUser::SightOf(HWND window) {
    HarnessLanguage::Sight sight;
    if (window != nullptr) {
        sight.found = true;
        sight.shown = IsWindowVisible(window) != 0;
        sight.enabled = IsWindowEnabled(window) != 0;
        sight.kind = KindOf(window);
    }
    return sight;
}

int ScriptedUser::Run(const Command& command, std::string& failure) {
    const HarnessLanguage::Form& form = HarnessLanguage::Forms()[command.form];
    HWND dialog = HostWindows::Instance().Dialog();
    const int item = form.reach.target == Target::kItem ? Number(command, 0) : 0;
    target_ = FindTarget(form.reach.target, dialog, item);
    failure = HarnessLanguage::Unreachable(form, item, SightOf(dialog), SightOf(target_));
    if (!failure.empty() || !(this->*form.action)(command, failure)) {
        return form.failureCode;
    }
    HostWindows::Pump();
    return 0;
}

// ---- The user and the host ----

bool ScriptedUser::Invoke(const Command& command, std::string& /*failure*/) {
    auto& windows = HostWindows::Instance();
    const bool other = !command.args.empty() && command.args[0].text == "other";
    plugin_.Invoke(other ? windows.OtherWindow() : windows.MainWindow());
    return true;
}

bool ScriptedUser::Terminate(const Command& /*command*/, std::string& /*failure*/) {
    plugin_.Terminate();
    return true;
}

bool ScriptedUser::Set(const Command& command, std::string& /*failure*/) {
    SetWindowTextW(target_, Wide(command.args[1].text).c_str());
    return true;
}

bool ScriptedUser::Choose(const Command& command, std::string& failure) {
    const int entry = Number(command, 1);
    const auto count = static_cast<int>(SendMessageW(target_, CB_GETCOUNT, 0, 0));
    if (entry < 1 || entry > count) {
        failure = "the popup has " + std::to_string(count) + " entries";
        return false;
    }
    SendMessageW(target_, CB_SETCURSEL, static_cast<WPARAM>(entry - 1), 0);
    SendMessageW(GetParent(target_), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(Number(command, 0)), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(target_));
    return true;
}

bool ScriptedUser::Tick(const Command& command, std::string& /*failure*/) {
    const bool checked = SendMessageW(target_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked != (Number(command, 1) != 0)) {
        SendMessageW(target_, BM_CLICK, 0, 0);
    }
    return true;
}

bool ScriptedUser::Click(const Command& /*command*/, std::string& /*failure*/) {
    SendMessageW(target_, BM_CLICK, 0, 0);
    return true;
}

bool ScriptedUser::SendCommand(const Command& command, std::string& /*failure*/) {
    SendMessageW(GetParent(target_), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(Number(command, 0)), BN_CLICKED),
                 reinterpret_cast<LPARAM>(target_));
    return true;
}

bool ScriptedUser::Lock(const Command& command, std::string& failure) {
    const std::string& file = command.args[0].text;
    const std::string& folder = HostSession::Instance().SettingsFolder();
    if (folder.empty()) {
        failure = "the host names no settings folder";
        return false;
    }
    if (locks_.contains(file)) {
        failure = file + " is already locked";
        return false;
    }
    const std::wstring path = Wide(folder) + L"\\" + Wide(file);
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        failure = file + " cannot be locked (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    locks_[file] = HeldFile(handle);
    return true;
}

bool ScriptedUser::Unlock(const Command& command, std::string& failure) {
    const std::string& file = command.args[0].text;
    if (HostSession::Instance().SettingsFolder().empty()) {
        failure = "the host names no settings folder";
        return false;
    }
    if (locks_.erase(file) == 0) {
        failure = file + " is not locked";
        return false;
    }
    return true;
}

bool ScriptedUser::RowTick(const Command& command, std::string& failure) {
    const int row = Number(command, 0);
    const int count = ListCount(target_);
    if (row < 0 || row >= count) {
        failure = "the list has " + std::to_string(count) + " rows";
        return false;
    }
    if (ListChecked(target_, row) != Number(command, 1)) {
        SetRowState(
            target_, row, LVIS_STATEIMAGEMASK,
            INDEXTOSTATEIMAGEMASK(Number(command, 1) != 0 ? kCheckedImage : kUncheckedImage));
    }
    return true;
}

bool ScriptedUser::RowSelect(const Command& command, std::string& failure) {
    const int row = Number(command, 0);
    const int count = ListCount(target_);
    if (row < -1 || row >= count) {
        failure = "the list has " + std::to_string(count) + " rows";
        return false;
    }
    if (row < 0) {
        SetRowState(target_, -1, LVIS_SELECTED | LVIS_FOCUSED, 0);
        SendMessageW(target_, LVM_SETSELECTIONMARK, 0, -1);
        return true;
    }
    // A click on the row's label: the list view moves the selection and its mark.
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageW(target_, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&label));
    const LPARAM at = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    PostMessageW(target_, WM_LBUTTONUP, 0, at);
    SendMessageW(target_, WM_LBUTTONDOWN, MK_LBUTTON, at);
    HostWindows::Pump();
    if (!RowSelected(target_, row)) {
        SetRowState(target_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SendMessageW(target_, LVM_SETSELECTIONMARK, 0, row);
    }
    return true;
}

bool ScriptedUser::ListDoubleClick(const Command& /*command*/, std::string& /*failure*/) {
    NMITEMACTIVATE note{};
    note.hdr.hwndFrom = target_;
    note.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(target_));
    note.hdr.code = NM_DBLCLK;
    note.iItem = static_cast<int>(SendMessageW(target_, LVM_GETSELECTIONMARK, 0, 0));
    SendMessageW(GetParent(target_), WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
    return true;
}

bool ScriptedUser::Answer(const Command& command, std::string& /*failure*/) {
    HostWindows::Instance().QueueAnswer(command.args[0].text);
    return true;
}

bool ScriptedUser::Resize(const Command& command, std::string& /*failure*/) {
    RECT r{};
    GetWindowRect(target_, &r);
    SetWindowPos(target_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + Number(command, 0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool ScriptedUser::Close(const Command& /*command*/, std::string& /*failure*/) {
    SendMessageW(target_, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

bool ScriptedUser::Select(const Command& command, std::string& failure) {
    auto& session = HostSession::Instance();
    const auto& a = command.args;
    if (a.size() == 1) {
        session.SetSelection(std::nullopt);
        return true;
    }
    const int slot1 = Number(command, 0);
    const int slot2 = Number(command, 1);
    const int measure1 = Number(command, 2);
    const int measure2 = Number(command, 3);
    const int position1 = a.size() > 4 ? Number(command, 4) : 0;
    const int position2 = a.size() > 5 ? Number(command, 5) : kLastPosition;
    if (slot1 < 1 || slot1 > slot2 || slot2 > session.StaffCount() || measure1 < 1 ||
        measure1 > measure2 || measure2 > session.MeasureCount() || position1 < 0 ||
        position2 < 0) {
        failure = "the selection lies outside the score";
        return false;
    }
    session.Select(slot1, slot2, measure1, measure2, position1, position2);
    return true;
}

bool ScriptedUser::HostModal(const Command& command, std::string& /*failure*/) {
    auto& windows = HostWindows::Instance();
    const bool modal = Number(command, 0) != 0;
    EnableWindow(windows.MainWindow(), modal ? FALSE : TRUE);
    if (HWND dialog = windows.Dialog()) {
        SendMessageW(dialog, WM_ACTIVATE, modal ? WA_INACTIVE : WA_ACTIVE, 0);
    }
    return true;
}

bool ScriptedUser::Undo(const Command& /*command*/, std::string& /*failure*/) {
    auto& session = HostSession::Instance();
    if (!session.Undo()) {
        session.AddEvent("undo: nothing to undo");
    }
    return true;
}

bool ScriptedUser::Print(const Command& command, std::string& /*failure*/) {
    const std::string& what = command.args[0].text;
    HWND dialog = HostWindows::Instance().Dialog();
    if (what == "score") {
        const std::string json = HostSession::Instance().ScoreJson();
        std::fwrite(json.data(), 1, json.size(), stdout);
        std::fflush(stdout);
    } else if (dialog == nullptr) {
        Say(what + ": the plug-in's dialog is not open");
    } else if (what == "fields") {
        PrintFields();
    } else if (HWND list = FindTarget(Target::kList, dialog, 0)) {
        PrintRows(list);
    } else {
        Say("rows: the dialog has no list");
    }
    return true;
}

void ScriptedUser::PrintRows(HWND list) {
    const int count = ListCount(list);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the header's handle is the message's answer
    auto* header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const auto columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    const auto mark = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    Say("rows " + std::to_string(count) + " selection mark " + std::to_string(mark));
    for (int row = 0; row < count; ++row) {
        std::string line = "row " + std::to_string(row);
        for (int column = 0; column < columns; ++column) {
            line += ' ';
            line += Quote(ListText(list, row, column));
        }
        line.append(" checked=")
            .append(std::to_string(ListChecked(list, row)))
            .append(" selected=")
            .append(RowSelected(list, row) ? "1" : "0");
        Say(line);
    }
}

void ScriptedUser::PrintFields() {
    HWND dialog = HostWindows::Instance().Dialog();
    Say("dialog " + Quote(WindowText(dialog)) +
        " visible=" + std::to_string(IsWindowVisible(dialog) ? 1 : 0) +
        " enabled=" + std::to_string(IsWindowEnabled(dialog) ? 1 : 0));
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = static_cast<int16_t>(GetDlgCtrlID(child));
        std::string line = "item " + std::to_string(id) + " " + ClassOf(child) + " " +
                           Quote(WindowText(child)) +
                           " enabled=" + std::to_string(IsWindowEnabled(child) ? 1 : 0);
        const unsigned kind = KindOf(child);
        if (kind == HarnessLanguage::kComboBox) {
            line += " value=" + std::to_string(PopupChoice(child)) + " entries";
            for (const auto& entry : PopupEntries(child)) {
                line += ' ';
                line += Quote(entry);
            }
        } else if (kind == HarnessLanguage::kCheckBox) {
            line += " value=" + std::to_string(SendMessageW(child, BM_GETCHECK, 0, 0));
        }
        if (GetFocus() == child) {
            line += " focus";
        }
        Say(line);
    }
}

// ---- The expectations ----

bool ScriptedUser::ExpectAlert(const Command& command, std::string& failure) {
    auto& alerts = HostWindows::Instance().Alerts();
    if (alerts.empty()) {
        failure = "no alert was shown";
        return false;
    }
    const HostWindows::Alert alert = alerts.front();
    alerts.pop_front();
    bool ok = alert.caption == command.args[0].text;
    for (size_t i = 1; i < command.args.size(); ++i) {
        const HarnessScript::Token& detail = command.args[i];
        if (detail.quoted) {
            ok = ok && alert.text == detail.text;
        } else if (detail.text.starts_with("icon=")) {
            ok = ok && "icon=" + alert.icon == detail.text;
        } else {
            ok = ok && "owner=" + alert.owner == detail.text;
        }
    }
    return Held(ok,
                "the alert was " + Quote(alert.caption) + " " + Quote(alert.text) +
                    " icon=" + alert.icon + " owner=" + alert.owner,
                failure);
}

bool ScriptedUser::ExpectNoAlert(const Command& /*command*/, std::string& failure) {
    const auto& alerts = HostWindows::Instance().Alerts();
    if (alerts.empty()) {
        return true;
    }
    failure =
        "an alert is left: " + Quote(alerts.front().caption) + " " + Quote(alerts.front().text);
    return false;
}

bool ScriptedUser::ExpectBeep(const Command& /*command*/, std::string& failure) {
    auto& beeps = HostWindows::Instance().Beeps();
    if (beeps.empty()) {
        failure = "there was no beep";
        return false;
    }
    beeps.pop_front();
    return true;
}

bool ScriptedUser::ExpectNoBeep(const Command& /*command*/, std::string& failure) {
    const auto& beeps = HostWindows::Instance().Beeps();
    if (beeps.empty()) {
        return true;
    }
    failure = "a beep is left (" + HostCalls::Hex(beeps.front()) + ")";
    return false;
}

bool ScriptedUser::ExpectText(const Command& command, std::string& failure) {
    const std::string found = WindowText(target_);
    return Held(found == command.args[1].text, "the text is " + Quote(found), failure);
}

bool ScriptedUser::ExpectValue(const Command& command, std::string& failure) {
    int found = 0;
    if (IsClass(target_, "ComboBox")) {
        found = PopupChoice(target_);
    } else if (IsClass(target_, "Button")) {
        found = static_cast<int>(SendMessageW(target_, BM_GETCHECK, 0, 0));
    } else {
        failure = "item " + command.args[0].text + " has no value";
        return false;
    }
    return Held(found == Number(command, 1), "the value is " + std::to_string(found), failure);
}

bool ScriptedUser::ExpectEnabled(const Command& command, std::string& failure) {
    const int found = IsWindowEnabled(target_) ? 1 : 0;
    return Held(found == Number(command, 1), found ? "the item is enabled" : "the item is disabled",
                failure);
}

bool ScriptedUser::ExpectFocus(const Command& /*command*/, std::string& failure) {
    HWND focus = GetFocus();
    if (focus == target_ || (focus != nullptr && GetParent(focus) == target_)) {
        return true;
    }
    const int id = focus != nullptr ? static_cast<int16_t>(GetDlgCtrlID(focus)) : 0;
    failure = focus == nullptr ? "nothing has the focus"
              : GetAncestor(focus, GA_ROOT) == GetAncestor(target_, GA_ROOT)
                  ? "the focus is on item " + std::to_string(id)
                  : "the focus is in another window (" + ClassOf(focus) + " " +
                        Quote(WindowText(focus)) + ")";
    return false;
}

bool ScriptedUser::ExpectRowCount(const Command& command, std::string& failure) {
    const int count = ListCount(target_);
    return Held(count == Number(command, 0), "the list has " + std::to_string(count) + " rows",
                failure);
}

bool ScriptedUser::ExpectRow(const Command& command, std::string& failure) {
    const auto& a = command.args;
    const int count = ListCount(target_);
    const int row = Number(command, 0);
    if (row < 0 || row >= count) {
        failure = "the list has " + std::to_string(count) + " rows";
        return false;
    }
    const std::string found =
        Quote(ListText(target_, row, 0)) + " " + Quote(ListText(target_, row, 1)) + " " +
        Quote(ListText(target_, row, 2)) + " " + std::to_string(ListChecked(target_, row));
    const std::string wanted =
        Quote(a[1].text) + " " + Quote(a[2].text) + " " + Quote(a[3].text) + " " + a[4].text;
    return Held(found == wanted, "the row is " + found, failure);
}

bool ScriptedUser::ExpectSelected(const Command& command, std::string& failure) {
    const auto selected = static_cast<int>(
        SendMessageW(target_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    const auto mark = static_cast<int>(SendMessageW(target_, LVM_GETSELECTIONMARK, 0, 0));
    const int wanted = Number(command, 0);
    return Held(selected == wanted && mark == wanted,
                "the selected row is " + std::to_string(selected) + " and the selection mark " +
                    std::to_string(mark),
                failure);
}

bool ScriptedUser::ExpectPopup(const Command& command, std::string& failure) {
    std::string found;
    for (const auto& entry : PopupEntries(target_)) {
        found += found.empty() ? "" : " ";
        found += Quote(entry);
    }
    std::string wanted;
    for (size_t i = 1; i < command.args.size(); ++i) {
        wanted += wanted.empty() ? "" : " ";
        wanted += Quote(command.args[i].text);
    }
    return Held(found == wanted,
                "the popup holds " + (found.empty() ? std::string("nothing") : found), failure);
}

bool ScriptedUser::ExpectNote(const Command& command, std::string& failure) {
    auto& session = HostSession::Instance();
    const int staff = Number(command, 0);
    const int measure = Number(command, 1);
    const int layer = Number(command, 2);
    const int entry = Number(command, 3);
    const int note = Number(command, 4);
    const auto spelling = session.NoteSpelling(staff, measure, layer, entry, note);
    if (!spelling) {
        failure = "there is no such note";
        return false;
    }
    std::string found = *spelling;
    if (found.empty()) {
        const auto raw = session.NoteRaw(staff, measure, layer, entry, note);
        found = "{displacement " + std::to_string(raw->displacement) + ", raiseLower " +
                std::to_string(raw->raiseLower) + "}";
    }
    return Held(found == command.args[5].text, "the note is " + found, failure);
}

bool ScriptedUser::ExpectEdits(const Command& command, std::string& failure) {
    const auto c = HostSession::Instance().GetCounters();
    return Held(c.editsOpened == Number(command, 0) && c.editsKept == Number(command, 1) &&
                    c.editsCancelled == Number(command, 2),
                "edits opened " + std::to_string(c.editsOpened) + ", kept " +
                    std::to_string(c.editsKept) + ", cancelled " + std::to_string(c.editsCancelled),
                failure);
}

bool ScriptedUser::ExpectCount(const Command& command, std::string& failure) {
    const auto c = HostSession::Instance().GetCounters();
    const bool respaces = command.name == "expect respaces";
    const int found = respaces ? c.respaces : c.redraws;
    return Held(found == Number(command, 0),
                "there were " + std::to_string(found) + (respaces ? " respaces" : " redraws"),
                failure);
}

bool ScriptedUser::ExpectVisible(const Command& command, std::string& failure) {
    HWND dialog = HostWindows::Instance().Dialog();
    const int found = dialog != nullptr && IsWindowVisible(dialog) ? 1 : 0;
    return Held(found == Number(command, 0),
                found ? "the dialog is visible" : "the dialog is not visible", failure);
}

}  // namespace host
