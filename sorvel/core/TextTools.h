// TextTools: the few text helpers the program's readers share.
#pragma once

#include <string>
#include <string_view>

namespace sorvel {

// Trim drops blanks, tabs and line ends at both ends.
std::string_view Trim(std::string_view text);

}  // namespace sorvel
