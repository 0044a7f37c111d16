// MeasureList: reading measure ranges.
#include "sorvel/core/MeasureList.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "sorvel/core/TextTools.h"

namespace sorvel {

namespace {

bool ReadBound(std::string_view text, int64_t fallback, int64_t& value) {
    text = Trim(text);
    if (text.empty()) {
        value = fallback;
        return true;
    }
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
    return code == std::errc() && end == text.data() + text.size() && value >= 0;
}

}  // namespace

bool ParseMeasureList(std::string_view text, std::vector<MeasureRange>& ranges,
                      std::string& error) {
    ranges.clear();
    while (true) {
        const size_t comma = text.find(',');
        const std::string_view item = Trim(text.substr(0, comma));
        MeasureRange range;
        const size_t dash = item.find('-');
        const bool ok = !item.empty() && item != "-" &&
                        (dash == std::string_view::npos
                             ? ReadBound(item, 0, range.first) && ReadBound(item, 0, range.last)
                             : ReadBound(item.substr(0, dash), 0, range.first) &&
                                   ReadBound(item.substr(dash + 1),
                                             std::numeric_limits<int64_t>::max(), range.last));
        if (!ok || range.first > range.last) {
            error =
                std::string("\"").append(item).append("\" is not a measure or a range like 5-12");
            return false;
        }
        ranges.push_back(range);
        if (comma == std::string_view::npos) {
            return true;
        }
        text = text.substr(comma + 1);
    }
}

}  // namespace sorvel
