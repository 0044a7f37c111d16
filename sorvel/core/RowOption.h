// RowOption: a row as the command line takes it, FROM>TO or FROM>TO:DIRECTION (up, down or
// closest, in any letter case; closest when left out). Both spellings pass the same check as
// in the plug-in's dialog, with its messages, and "x" is written "##".
#pragma once

#include <string>
#include <string_view>

#include "rules/PitchRow.h"

namespace sorvel {

// ParseRowOption answers false and a message in error when text is no row.
bool ParseRowOption(std::string_view text, rules::PitchRow& row, std::string& error);

}  // namespace sorvel
