// TextTools: the few text helpers the program's readers share.
#pragma once

#include <string>
#include <string_view>

class TextTools {
  public:
    TextTools() = delete;

    // Trim drops blanks, tabs and line ends at both ends.
    static std::string_view Trim(std::string_view text);
};
