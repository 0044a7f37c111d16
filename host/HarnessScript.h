// HarnessScript: the harness's script text, one command a line: words and quoted texts ("\"",
// "\\" and "\n" escapes), "#" starting a comment outside quotes. Lines end in LF, CR LF or a
// lone CR, and a UTF-8 byte order mark at the start is passed over. Every line is checked
// against the language's table (HarnessLanguage), so that a bad script is refused before
// anything runs.
#pragma once

#include <cstddef>
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
        std::string name;         // "set"; an expectation with its form: "expect text"
        std::vector<Token> args;  // what follows the name
        std::string source;       // the line as written, for messages
        size_t form = 0;          // its entry in HarnessLanguage::Forms()
    };

    // Parses a whole script; on a fault answers false with "NAME line N: WHAT".
    static bool Parse(std::string_view text, std::string_view name, std::vector<Command>& out,
                      std::string& error);
    // Splits one line into tokens; false with a message on an unterminated quote or bad escape.
    static bool Tokenize(std::string_view line, std::vector<Token>& out, std::string& error);

    static bool IsInteger(const Token& token);
    static int Integer(const Token& token);
};

}  // namespace host
