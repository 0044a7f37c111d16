// DecimalNumber: the lenient reading of stored numbers.
#include "rules/DecimalNumber.h"

#include <algorithm>

namespace rules {

int32_t ReadDecimal(std::u16string_view text, size_t start) {
    if (start > text.size()) {
        return 0;
    }
    const auto at = [&](size_t i) {
        return i < text.size() ? static_cast<char>(text[i] & 0xFF) : '\0';
    };
    size_t p = start;
    while (at(p) == ' ' || (at(p) >= '\t' && at(p) <= '\r')) {
        ++p;
    }
    bool negative = false;
    if (at(p) == '+' || at(p) == '-') {
        negative = at(p) == '-';
        ++p;
    }
    int64_t value = 0;
    for (; at(p) >= '0' && at(p) <= '9'; ++p) {
        value = std::min<int64_t>(value * 10 + (at(p) - '0'), int64_t{INT32_MAX} + 1);
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace rules
