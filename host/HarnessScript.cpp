// HarnessScript: tokenizing and the form of every command and expectation.
#include "host/HarnessScript.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace host {
namespace {

using Token = HarnessScript::Token;

bool IsWord(const Token& t, std::initializer_list<const char*> words) {
    if (t.quoted) {
        return false;
    }
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return t.text == w; });
}

// A small checker over the arguments after the command name.
class Form {
  public:
    Form(const std::vector<Token>& args, size_t first) : args_(args), at_(first) {}

    Form& Int(const char* what) {
        if (!error_.empty()) {
            return *this;
        }
        if (at_ >= args_.size() || !HarnessScript::IsInteger(args_[at_])) {
            error_ = std::string("expected a number (") + what + ")";
        }
        ++at_;
        return *this;
    }
    Form& Flag(const char* what) {
        if (!error_.empty()) {
            return *this;
        }
        if (at_ >= args_.size() || !IsWord(args_[at_], {"0", "1"})) {
            error_ = std::string("expected 0 or 1 (") + what + ")";
        }
        ++at_;
        return *this;
    }
    Form& Text(const char* what) {
        if (!error_.empty()) {
            return *this;
        }
        if (at_ >= args_.size() || !args_[at_].quoted) {
            error_ = std::string("expected a quoted text (") + what + ")";
        }
        ++at_;
        return *this;
    }
    Form& Word(std::initializer_list<const char*> words, const char* what) {
        if (!error_.empty()) {
            return *this;
        }
        if (at_ >= args_.size() || !IsWord(args_[at_], words)) {
            error_ = std::string("expected ") + what;
        }
        ++at_;
        return *this;
    }
    std::string End() {
        if (error_.empty() && at_ < args_.size()) {
            error_ = "unexpected \"" + args_[at_].text + "\"";
        }
        return error_;
    }

  private:
    const std::vector<Token>& args_;
    size_t at_;
    std::string error_;
};

std::string CheckExpect(const std::vector<Token>& args) {
    if (args.empty() || args[0].quoted) {
        return "expect needs a form (alert, no-alert, beep, no-beep, text, value, enabled, focus, "
               "rows, row, selected, popup, note, edits, respaces, redraws, visible)";
    }
    const std::string& form = args[0].text;
    if (form == "alert") {
        if (args.size() < 2 || !args[1].quoted) {
            return "expected a quoted text (caption)";
        }
        for (size_t i = 2; i < args.size(); ++i) {
            const auto& t = args[i];
            if (t.quoted && i == 2) {
                continue;
            }
            if (IsWord(t, {"icon=error", "icon=info", "icon=question", "icon=none", "icon=warning",
                           "owner=main", "owner=other", "owner=dialog", "owner=none"})) {
                continue;
            }
            return "unexpected \"" + t.text +
                   "\" (expect alert \"CAPTION\" [\"TEXT\"] [icon=error|info|question|none] "
                   "[owner=main|other])";
        }
        return {};
    }
    if (form == "no-alert" || form == "beep" || form == "no-beep") {
        return Form(args, 1).End();
    }
    if (form == "text") {
        return Form(args, 1).Int("item").Text("text").End();
    }
    if (form == "value") {
        return Form(args, 1).Int("item").Int("value").End();
    }
    if (form == "enabled") {
        return Form(args, 1).Int("item").Flag("enabled").End();
    }
    if (form == "focus") {
        return Form(args, 1).Int("item").End();
    }
    if (form == "rows" || form == "respaces" || form == "redraws") {
        return Form(args, 1).Int("count").End();
    }
    if (form == "selected") {
        return Form(args, 1).Int("row").End();
    }
    if (form == "row") {
        return Form(args, 1)
            .Int("row")
            .Text("from")
            .Text("to")
            .Text("direction")
            .Flag("checked")
            .End();
    }
    if (form == "popup") {
        Form f(args, 1);
        f.Int("item");
        for (size_t i = 2; i < args.size(); ++i) {
            f.Text("entry");
        }
        return f.End();
    }
    if (form == "note") {
        return Form(args, 1)
            .Int("staff")
            .Int("measure")
            .Int("layer")
            .Int("entry")
            .Int("note")
            .Text("pitch")
            .End();
    }
    if (form == "edits") {
        return Form(args, 1).Int("opened").Int("kept").Int("cancelled").End();
    }
    if (form == "visible") {
        return Form(args, 1).Flag("visible").End();
    }
    return "unknown expectation \"" + form + "\"";
}

}  // namespace

bool HarnessScript::IsInteger(const Token& token) {
    if (token.quoted || token.text.empty() || token.text.size() > 11) {
        return false;
    }
    size_t i = token.text[0] == '-' ? 1 : 0;
    if (i == token.text.size()) {
        return false;
    }
    for (; i < token.text.size(); ++i) {
        if (token.text[i] < '0' || token.text[i] > '9') {
            return false;
        }
    }
    const long long value = std::strtoll(token.text.c_str(), nullptr, 10);
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

int HarnessScript::Integer(const Token& token) {
    return static_cast<int>(std::strtol(token.text.c_str(), nullptr, 10));
}

bool HarnessScript::Tokenize(std::string_view line, std::vector<Token>& out, std::string& error) {
    out.clear();
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') {
            break;
        }
        Token token;
        if (c == '"') {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\') {
                    if (i >= line.size()) {
                        break;
                    }
                    const char e = line[i++];
                    if (e == '"' || e == '\\') {
                        token.text += e;
                    } else if (e == 'n') {
                        token.text += '\n';
                    } else {
                        error = std::string("unknown escape \\") + e;
                        return false;
                    }
                } else {
                    token.text += d;
                }
            }
            if (!closed) {
                error = "a quoted text is not closed";
                return false;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
                   line[i] != '"' && line[i] != '#') {
                token.text += line[i++];
            }
        }
        out.push_back(std::move(token));
    }
    return true;
}

std::string HarnessScript::Check(const Command& c) {
    const auto& a = c.args;
    const std::string& n = c.name;
    if (n == "invoke") {
        if (a.empty()) {
            return {};
        }
        return Form(a, 0).Word({"main", "other"}, "main or other").End();
    }
    if (n == "terminate" || n == "close" || n == "undo" || n == "list-dblclick") {
        return Form(a, 0).End();
    }
    if (n == "set") {
        return Form(a, 0).Int("item").Text("text").End();
    }
    if (n == "choose") {
        return Form(a, 0).Int("item").Int("entry").End();
    }
    if (n == "tick") {
        return Form(a, 0).Int("item").Flag("state").End();
    }
    if (n == "click" || n == "command") {
        return Form(a, 0).Int("item").End();
    }
    if (n == "lock" || n == "unlock") {
        return Form(a, 0).Text("file name").End();
    }
    if (n == "row-tick") {
        return Form(a, 0).Int("row").Flag("state").End();
    }
    if (n == "row-select") {
        return Form(a, 0).Int("row").End();
    }
    if (n == "answer") {
        return Form(a, 0).Word({"yes", "no", "ok"}, "yes, no or ok").End();
    }
    if (n == "resize") {
        return Form(a, 0).Int("height change").End();
    }
    if (n == "select") {
        if (a.size() == 1 && IsWord(a[0], {"none"})) {
            return {};
        }
        if (a.size() == 4) {
            return Form(a, 0).Int("slot").Int("slot").Int("measure").Int("measure").End();
        }
        return Form(a, 0)
            .Int("slot")
            .Int("slot")
            .Int("measure")
            .Int("measure")
            .Int("position")
            .Int("position")
            .End();
    }
    if (n == "host-modal") {
        return Form(a, 0).Flag("modal").End();
    }
    if (n == "print") {
        return Form(a, 0).Word({"rows", "fields", "score"}, "rows, fields or score").End();
    }
    if (n == "expect") {
        return CheckExpect(a);
    }
    return "unknown command \"" + n + "\"";
}

bool HarnessScript::Parse(std::string_view text, std::string_view name, std::vector<Command>& out,
                          std::string& error) {
    out.clear();
    int number = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(start, end - start);
        ++number;
        std::vector<Token> tokens;
        std::string fault;
        if (!Tokenize(line, tokens, fault)) {
            error = std::string(name) + " line " + std::to_string(number) + ": " + fault;
            return false;
        }
        if (!tokens.empty()) {
            if (tokens[0].quoted) {
                error = std::string(name) + " line " + std::to_string(number) +
                        ": a command starts with its name, not a text";
                return false;
            }
            Command command;
            command.line = number;
            command.name = tokens[0].text;
            command.args.assign(tokens.begin() + 1, tokens.end());
            command.source = std::string(line);
            while (!command.source.empty() &&
                   (command.source.back() == '\r' || command.source.back() == ' ')) {
                command.source.pop_back();
            }
            fault = Check(command);
            if (!fault.empty()) {
                error = std::string(name) + " line " + std::to_string(number) + ": " + fault;
                return false;
            }
            out.push_back(std::move(command));
        }
        if (end == text.size()) {
            break;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace host
