// Harness: the program finale.exe: loads a plug-in, plays the host for it with a score file, and
// runs a script that acts as the user and checks what happens. The host names the settings
// folder given with --settings, or a private temporary folder of its own (removed at the end),
// or, with --no-settings-folder, no folder at all. Exit codes: 0 all held, 1 an expectation
// failed (a command a user could not have given, and an answer queued for a message box that
// never came, count as such), 2 a bad command line, score or script, 3 a protocol error (it
// outranks a failed expectation, so that a breach of the host's rules is never hidden).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/HarnessScript.h"
#include "host/HostSession.h"
#include "host/HostedPlugin.h"

namespace host {

class ScriptedUser;

class Harness {
  public:
    int Run(const std::vector<std::wstring>& args);

  private:
    static constexpr int kBadInput = 2;
    static constexpr int kProtocolError = 3;

    std::wstring pluginPath_;
    std::wstring score_;
    std::wstring out_;
    std::wstring settings_;
    bool noSettingsFolder_ = false;
    std::wstring script_;
    std::string scoreName_;
    std::string scriptName_;
    uint32_t hostVersion_ = HostSession::kDefaultHostVersion;
    bool trace_ = false;
    uint32_t randomSeed_ = 0;
    int randomRounds_ = -1;  // -1: no random user

    // Unloaded when the harness goes, after everything the run prints.
    std::unique_ptr<HostedPlugin> plugin_;

    bool ParseArguments(const std::vector<std::wstring>& args, std::string& error);
    // Runs one command; false when the run must stop, with the exit code it ends with.
    bool Execute(ScriptedUser& user, const HarnessScript::Command& command, int& exitCode) const;
    static void Print(const std::string& line);
};

}  // namespace host
