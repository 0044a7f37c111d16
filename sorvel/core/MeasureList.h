// MeasureList: the --measures option: ranges of measure numbers, "A-B", "A", "A-" (to the
// end) or "-B" (from the start), separated by commas.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sorvel/core/RespellScore.h"

namespace sorvel {

// ParseMeasureList answers false and a message in error when text is no list of ranges.
bool ParseMeasureList(std::string_view text, std::vector<MeasureRange>& ranges, std::string& error);

}  // namespace sorvel
