// HarnessActions: the action of each entry of the script language's table (HarnessLanguage).
// The harness carries them out with real windows (ScriptedUser); the table refers to them here,
// where no Windows header is needed, so that the language is checked in every build. Each
// answers false with what it found when it cannot do what it says; the command's target has
// been checked against what a user can reach before it runs.
#pragma once

#include <string>

#include "host/HarnessScript.h"

namespace host {

class HarnessActions {
  public:
    using Command = HarnessScript::Command;

    HarnessActions() = default;
    virtual ~HarnessActions() = default;
    HarnessActions(const HarnessActions&) = delete;
    HarnessActions& operator=(const HarnessActions&) = delete;

    // The user and the host.
    virtual bool Invoke(const Command& command, std::string& failure) = 0;
    virtual bool Terminate(const Command& command, std::string& failure) = 0;
    virtual bool Set(const Command& command, std::string& failure) = 0;
    virtual bool Choose(const Command& command, std::string& failure) = 0;
    virtual bool Tick(const Command& command, std::string& failure) = 0;
    virtual bool Click(const Command& command, std::string& failure) = 0;
    virtual bool SendCommand(const Command& command, std::string& failure) = 0;
    virtual bool Lock(const Command& command, std::string& failure) = 0;
    virtual bool Unlock(const Command& command, std::string& failure) = 0;
    virtual bool RowTick(const Command& command, std::string& failure) = 0;
    virtual bool RowSelect(const Command& command, std::string& failure) = 0;
    virtual bool ListDoubleClick(const Command& command, std::string& failure) = 0;
    virtual bool Answer(const Command& command, std::string& failure) = 0;
    virtual bool Resize(const Command& command, std::string& failure) = 0;
    virtual bool Close(const Command& command, std::string& failure) = 0;
    virtual bool Select(const Command& command, std::string& failure) = 0;
    virtual bool HostModal(const Command& command, std::string& failure) = 0;
    virtual bool Undo(const Command& command, std::string& failure) = 0;
    virtual bool Print(const Command& command, std::string& failure) = 0;

    // The expectations.
    virtual bool ExpectAlert(const Command& command, std::string& failure) = 0;
    virtual bool ExpectNoAlert(const Command& command, std::string& failure) = 0;
    virtual bool ExpectBeep(const Command& command, std::string& failure) = 0;
    virtual bool ExpectNoBeep(const Command& command, std::string& failure) = 0;
    virtual bool ExpectText(const Command& command, std::string& failure) = 0;
    virtual bool ExpectValue(const Command& command, std::string& failure) = 0;
    virtual bool ExpectEnabled(const Command& command, std::string& failure) = 0;
    virtual bool ExpectFocus(const Command& command, std::string& failure) = 0;
    virtual bool ExpectRowCount(const Command& command, std::string& failure) = 0;
    virtual bool ExpectRow(const Command& command, std::string& failure) = 0;
    virtual bool ExpectSelected(const Command& command, std::string& failure) = 0;
    virtual bool ExpectPopup(const Command& command, std::string& failure) = 0;
    virtual bool ExpectNote(const Command& command, std::string& failure) = 0;
    virtual bool ExpectEdits(const Command& command, std::string& failure) = 0;
    virtual bool ExpectCount(const Command& command, std::string& failure) = 0;
    virtual bool ExpectVisible(const Command& command, std::string& failure) = 0;
};

}  // namespace host
