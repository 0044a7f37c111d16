// ScoreFile: the host's JSON score file. Reading checks every key and value and names the file
// and the place of the first fault; writing spells notes as sounding pitch where the cell's key
// is linear and gives raw numbers elsewhere.
#pragma once

#include <string>
#include <string_view>

#include "host/HostScore.h"

namespace host {

class ScoreFile {
  public:
    // Fills score from text; on a fault answers false, leaves score untouched and sets error to
    // "FILE: WHERE: WHAT".
    static bool Read(std::string_view text, std::string_view fileName, HostScore& score,
                     std::string& error);
    static std::string Write(const HostScore& score);
};

}  // namespace host
