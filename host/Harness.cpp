// Harness: the command line, the run (score, settings folder, plug-in, script, random user)
// and its exit code.
#include "host/Harness.h"

#include <fcntl.h>
#include <io.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "host/HarnessLanguage.h"
#include "host/HostSession.h"
#include "host/HostWindows.h"
#include "host/RandomUser.h"
#include "host/ScriptedUser.h"
#include "host/WinePath.h"

namespace host {
namespace {

// How often a private settings folder is tried under a new name before the run gives up.
constexpr int kFolderAttempts = 100;

// A file named as the user wrote it (WinePath), read or written whole.
bool ReadWholeFile(const std::wstring& name, std::string& text) {
    std::ifstream in(std::filesystem::path(WindowsPath(Utf8Path(name))), std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream whole;
    whole << in.rdbuf();
    text = whole.str();
    return !in.bad();
}

bool WriteWholeFile(const std::wstring& name, const std::string& text) {
    std::ofstream out(std::filesystem::path(WindowsPath(Utf8Path(name))),
                      std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
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
        for (int attempt = 0; attempt < kFolderAttempts && path_.empty(); ++attempt) {
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
    ScriptedUser::Say(line);
}

bool Harness::ParseArguments(const std::vector<std::wstring>& args, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string name = Utf8Path(args[i]);
        if (name == "--trace") {
            trace_ = true;
            continue;
        }
        if (name == "--no-settings-folder") {
            noSettingsFolder_ = true;
            continue;
        }
        if (name == "--random-user") {
            if (i + 2 >= args.size() || !HarnessScript::IsInteger({Utf8Path(args[i + 1])}) ||
                !HarnessScript::IsInteger({Utf8Path(args[i + 2])}) ||
                HarnessScript::Integer({Utf8Path(args[i + 2])}) < 0) {
                error = "--random-user takes a seed and a number of rounds";
                return false;
            }
            randomSeed_ = static_cast<uint32_t>(HarnessScript::Integer({Utf8Path(args[i + 1])}));
            randomRounds_ = HarnessScript::Integer({Utf8Path(args[i + 2])});
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
            scoreName_ = Utf8Path(value);
        } else if (name == "--out") {
            out_ = value;
        } else if (name == "--settings") {
            settings_ = value;
        } else if (name == "--script") {
            script_ = value;
            scriptName_ = Utf8Path(value);
        } else if (name == "--host-version") {
            const std::string text = Utf8Path(value);
            uint32_t number = 0;
            const char* end = text.data() + text.size();
            // Out of 32 bits from_chars reads to the end yet answers an error.
            const std::from_chars_result read =
                text.size() > 2 && text.starts_with("0x")
                    ? std::from_chars(text.data() + 2, end, number, 16)
                    : std::from_chars_result{text.data(), std::errc::invalid_argument};
            if (read.ec != std::errc() || read.ptr != end) {
                error = "--host-version takes a hexadecimal number written 0x..., not " + text;
                return false;
            }
            hostVersion_ = number;
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

bool Harness::Execute(ScriptedUser& user, const HarnessScript::Command& command,
                      int& exitCode) const {
    std::string failure;
    const int code = user.Run(command, failure);
    if (code != 0) {
        Print("FAILED " + scriptName_ + " line " + std::to_string(command.line) + ": " +
              command.source + ": " + failure);
        exitCode = code;
    }
    return code == 0;
}

int Harness::Run(const std::vector<std::wstring>& args) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::string error;
    auto bad = [&](const std::string& text) {
        std::fprintf(stderr, "finale: %s\n", text.c_str());
        std::fflush(stderr);
        return kBadInput;
    };
    if (!ParseArguments(args, error)) {
        std::string usage = error +
                            "\nusage: finale.exe --plugin DLL --score FILE [--out FILE] "
                            "[--settings DIR | --no-settings-folder] [--host-version 0xHEX] "
                            "[--script FILE] [--trace] [--random-user SEED ROUNDS]\n"
                            "script commands, one a line:";
        std::istringstream forms(HarnessLanguage::Usage());
        for (std::string form; std::getline(forms, form);) {
            usage += "\n  " + form;
        }
        return bad(usage);
    }
    std::vector<HarnessScript::Command> commands;
    if (!script_.empty()) {
        std::string text;
        if (!ReadWholeFile(script_, text)) {
            return bad(scriptName_ + ": cannot be read");
        }
        if (!HarnessScript::Parse(text, scriptName_, commands, error)) {
            return bad(error);
        }
    }
    auto& session = HostSession::Instance();
    session.Reset();
    std::string scoreText;
    if (!ReadWholeFile(score_, scoreText)) {
        return bad(scoreName_ + ": cannot be read");
    }
    if (!session.LoadScoreJson(scoreText, error, scoreName_)) {
        return bad(error);
    }
    session.SetHostVersion(hostVersion_);
    const std::unique_ptr<PrivateFolder> privateFolder =
        settings_.empty() && !noSettingsFolder_ ? std::make_unique<PrivateFolder>() : nullptr;
    if (!settings_.empty()) {
        session.SetSettingsFolder(Utf8Path(WindowsPath(Utf8Path(settings_))));
    } else if (privateFolder) {
        if (privateFolder->Path().empty()) {
            return bad("no private settings folder can be made; name one with --settings");
        }
        session.SetSettingsFolder(Utf8Path(privateFolder->Path()));
    }
    session.SetTrace(trace_);
    session.SetEventSink([](const std::string& line) { Print(line); });
    auto& windows = HostWindows::Instance();
    windows.MainWindow();
    windows.CurrentWindow();
    const HostWindows::AlertHook alertHook;
    plugin_ = std::make_unique<HostedPlugin>(WindowsPath(Utf8Path(pluginPath_)));
    if (!plugin_->Complete()) {
        return bad(Utf8Path(pluginPath_) + ": " + plugin_->Fault());
    }
    plugin_->Start(hostVersion_, Print);

    ScriptedUser user(*plugin_);
    int exitCode = 0;
    bool going = true;
    for (const auto& command : commands) {
        if (!Execute(user, command, exitCode)) {
            going = false;
            break;
        }
    }
    if (going && randomRounds_ >= 0) {
        scriptName_ = "random user";  // failures from here on name the random user's lines
        RandomUser randomUser(randomSeed_, randomRounds_, [&](const std::string& line, int& code) {
            std::vector<HarnessScript::Command> parsed;
            std::string fault;
            if (!HarnessScript::Parse(line, "random user", parsed, fault) || parsed.size() != 1) {
                Print("FAILED random user: " + fault);
                code = HarnessLanguage::kScriptFault;
                return false;
            }
            return Execute(user, parsed.front(), code);
        });
        exitCode = randomUser.Play();
        going = exitCode == 0;
    }
    // An answer no message box took stands for a box the script waited for in vain.
    const auto& unused = windows.QueuedAnswers();
    if (going && !unused.empty()) {
        std::string answers;
        for (const auto& answer : unused) {
            answers += " " + answer;
        }
        Print("FAILED " + scriptName_ + ": " + std::to_string(unused.size()) +
              " queued answer(s) no message box took:" + answers);
        exitCode = HarnessLanguage::kFailedExpectation;
    }
    user.ReleaseLocks();
    session.EndRun();
    if (!out_.empty() && !WriteWholeFile(out_, session.ScoreJson())) {
        return bad(Utf8Path(out_) + ": cannot be written");
    }
    const size_t errors = session.ProtocolErrors().size();
    if (errors > 0) {
        Print("protocol errors: " + std::to_string(errors));
        return kProtocolError;
    }
    if (exitCode == 0) {
        Print("all held");
    }
    return exitCode;
}

}  // namespace host
