// DecimalNumber: how numbers are read from stored texts (octave numbers in a target spelling,
// direction codes in the pitch-list file): leniently, never failing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rules {

// ReadDecimal reads a decimal number from the 8-bit form of text (each unit cut to its low
// byte), from position start: blanks and the control characters tab .. carriage return are
// skipped, then an optional sign, then digits; it stops at the first other byte (a 0 byte ends
// the text) and saturates at the 32-bit limits. Nothing readable gives 0.
int32_t ReadDecimal(std::u16string_view text, size_t start = 0);

}  // namespace rules
