// HarnessScript: lines, tokens and numbers; the form of each command is HarnessLanguage's.
#include "host/HarnessScript.h"

#include <charconv>
#include <optional>
#include <system_error>

#include "host/HarnessLanguage.h"

namespace host {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The next line of text from start: its end, and where the line after it starts (LF, CR LF or
// a lone CR end a line).
struct LineEnd {
    size_t end;
    size_t next;
};

LineEnd FindLineEnd(std::string_view text, size_t start) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
        return {text.size(), text.size() + 1};
    }
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    return {end, end + (crlf ? 2 : 1)};
}

// ReadInt: the whole text as a decimal int (an optional minus sign, then digits), or nothing when
// the text is anything else or out of an int's range.
std::optional<int> ReadInt(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

bool HarnessScript::IsInteger(const Token& token) {
    return !token.quoted && ReadInt(token.text).has_value();
}

int HarnessScript::Integer(const Token& token) {
    return ReadInt(token.text).value_or(0);
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

bool HarnessScript::Parse(std::string_view text, std::string_view name, std::vector<Command>& out,
                          std::string& error) {
    out.clear();
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    int number = 0;
    for (size_t start = 0; start <= text.size();) {
        const LineEnd lineEnd = FindLineEnd(text, start);
        const std::string_view line = text.substr(start, lineEnd.end - start);
        start = lineEnd.next;
        ++number;
        std::vector<Token> tokens;
        std::string fault;
        if (Tokenize(line, tokens, fault) && !tokens.empty()) {
            Command command;
            command.line = number;
            command.source = std::string(line);
            while (!command.source.empty() && command.source.back() == ' ') {
                command.source.pop_back();
            }
            fault = HarnessLanguage::Match(tokens, command);
            if (fault.empty()) {
                out.push_back(std::move(command));
            }
        }
        if (!fault.empty()) {
            error = std::string(name) + " line " + std::to_string(number) + ": " + fault;
            return false;
        }
    }
    return true;
}

}  // namespace host
