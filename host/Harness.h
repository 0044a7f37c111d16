// Harness: the program finale.exe: loads a plug-in, plays the host for it with a score file, and
// runs a script that acts as the user and checks what happens. The host names the settings
// folder given with --settings, or a private temporary folder of its own (removed at the end),
// or, with --no-settings-folder, no folder at all. Exit codes: 0 all held, 1 an
// expectation failed, 2 a bad command line, score or script, 3 a protocol error (it outranks a
// failed expectation, so that a breach of the host's rules is never hidden).
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/HarnessScript.h"
#include "host/HostSession.h"

namespace host {

class Harness {
  public:
    int Run(const std::vector<std::wstring>& args);

  private:
    using VersionFn = uint32_t(__cdecl*)(uint32_t);
    using InitFn = uint32_t(__cdecl*)(uint32_t, uint32_t*);
    using EnumerateFn = uint32_t(__cdecl*)(uint32_t, uint32_t, void*);
    using StatusFn = uint32_t(__cdecl*)(uint32_t);
    using InvokeFn = uint32_t(__cdecl*)(void*, uint32_t, uint32_t, uint32_t);
    using TerminateFn = uint32_t(__cdecl*)(uint32_t);

    std::wstring plugin_;
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

    // Files of the settings folder held open by "lock", as another program may hold them.
    std::map<std::string, HANDLE> locks_;

    HMODULE module_ = nullptr;
    VersionFn version_ = nullptr;
    InitFn init_ = nullptr;
    EnumerateFn enumerate_ = nullptr;
    StatusFn status_ = nullptr;
    InvokeFn invoke_ = nullptr;
    TerminateFn terminate_ = nullptr;

    bool ParseArguments(const std::vector<std::wstring>& args, std::string& error);
    bool LoadPlugin(std::string& error);
    void ReleaseLocks();
    void StartPlugin();
    // Runs one command; false when the run must stop, with the exit code it ends with.
    bool Execute(const HarnessScript::Command& command, int& exitCode);
    bool Expect(const HarnessScript::Command& command, std::string& failure);

    HWND Dialog(std::string& failure) const;
    HWND DialogItem(int item, std::string& failure) const;
    HWND ListView(std::string& failure) const;
    void PrintRows();
    void PrintFields();
    static void Print(const std::string& line);
};

}  // namespace host
