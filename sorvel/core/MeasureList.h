// MeasureList: the --measures option: ranges of measure numbers, "A-B", "A", "A-" (to the
// end) or "-B" (from the start), separated by commas.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sorvel/core/RespellScore.h"

class MeasureList {
  public:
    MeasureList() = delete;

    static bool Parse(std::string_view text, std::vector<sorvel::MeasureRange>& ranges,
                      std::string& error);
};
