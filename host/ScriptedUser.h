// ScriptedUser: the user a harness script plays, with real windows: runs each command as its
// entry in the language's table says (after checking that a user could reach what it acts
// on), works the plug-in's dialog as a person would, plays the host around it, and reads what
// the screen and the score show for the expectations and listings.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "host/HarnessActions.h"
#include "host/HarnessLanguage.h"
#include "host/HostedPlugin.h"

namespace host {

class ScriptedUser : public HarnessActions {
  public:
    explicit ScriptedUser(HostedPlugin& plugin) : plugin_(plugin) {}

    // Runs one parsed command: 0 when it was done, else the exit code its failure carries,
    // with failure saying what was found.
    int Run(const Command& command, std::string& failure);
    // Lets go of the settings files "lock" holds.
    void ReleaseLocks() { locks_.clear(); }

    // One line of the run's output.
    static void Say(const std::string& line);

    bool Invoke(const Command& command, std::string& failure) override;
    bool Terminate(const Command& command, std::string& failure) override;
    bool Set(const Command& command, std::string& failure) override;
    bool Choose(const Command& command, std::string& failure) override;
    bool Tick(const Command& command, std::string& failure) override;
    bool Click(const Command& command, std::string& failure) override;
    bool SendCommand(const Command& command, std::string& failure) override;
    bool Lock(const Command& command, std::string& failure) override;
    bool Unlock(const Command& command, std::string& failure) override;
    bool RowTick(const Command& command, std::string& failure) override;
    bool RowSelect(const Command& command, std::string& failure) override;
    bool ListDoubleClick(const Command& command, std::string& failure) override;
    bool Answer(const Command& command, std::string& failure) override;
    bool Resize(const Command& command, std::string& failure) override;
    bool Close(const Command& command, std::string& failure) override;
    bool Select(const Command& command, std::string& failure) override;
    bool HostModal(const Command& command, std::string& failure) override;
    bool Undo(const Command& command, std::string& failure) override;
    bool Print(const Command& command, std::string& failure) override;

    bool ExpectAlert(const Command& command, std::string& failure) override;
    bool ExpectNoAlert(const Command& command, std::string& failure) override;
    bool ExpectBeep(const Command& command, std::string& failure) override;
    bool ExpectNoBeep(const Command& command, std::string& failure) override;
    bool ExpectText(const Command& command, std::string& failure) override;
    bool ExpectValue(const Command& command, std::string& failure) override;
    bool ExpectEnabled(const Command& command, std::string& failure) override;
    bool ExpectFocus(const Command& command, std::string& failure) override;
    bool ExpectRowCount(const Command& command, std::string& failure) override;
    bool ExpectRow(const Command& command, std::string& failure) override;
    bool ExpectSelected(const Command& command, std::string& failure) override;
    bool ExpectPopup(const Command& command, std::string& failure) override;
    bool ExpectNote(const Command& command, std::string& failure) override;
    bool ExpectEdits(const Command& command, std::string& failure) override;
    bool ExpectCount(const Command& command, std::string& failure) override;
    bool ExpectVisible(const Command& command, std::string& failure) override;

  private:
    struct CloseFile {
        void operator()(HANDLE file) const { CloseHandle(file); }
    };
    using HeldFile = std::unique_ptr<void, CloseFile>;

    HostedPlugin& plugin_;
    // The window the running command acts on (the dialog, its item or its list), or null.
    HWND target_ = nullptr;
    // Files of the settings folder held open by "lock", as another program may hold them.
    std::map<std::string, HeldFile> locks_;

    static HWND FindTarget(HarnessLanguage::Target target, HWND dialog, int item);
    static HarnessLanguage::Sight SightOf(HWND window);
    static void PrintRows(HWND list);
    static void PrintFields();
};

}  // namespace host
