// HarnessScript: the harness's script language, one command a line: words and quoted texts
// ("\"", "\\" and "\n" escapes), "#" starting a comment outside quotes. Parsing checks every
// command's form, so that a bad script is refused before anything runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

class HarnessScript {
  public:
    struct Token {
        std::string text;
        bool quoted = false;
    };
    struct Command {
        int line = 0;
        std::string name;  // "expect" forms keep their form as args[0]
        std::vector<Token> args;
        std::string source;  // the line as written, for messages
    };

    // Parses a whole script; on a fault answers false with "NAME line N: WHAT".
    static bool Parse(std::string_view text, std::string_view name, std::vector<Command>& out,
                      std::string& error);
    // Splits one line into tokens; false with a message on an unterminated quote or bad escape.
    static bool Tokenize(std::string_view line, std::vector<Token>& out, std::string& error);
    // Checks a command's form; empty when it is well formed.
    static std::string Check(const Command& command);

    static bool IsInteger(const Token& token);
    static int Integer(const Token& token);
};

}  // namespace host
