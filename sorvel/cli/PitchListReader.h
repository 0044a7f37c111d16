// PitchListReader: the plug-in's pitch-list file read from disk, whole or not at all: a file
// that cannot be read to its end (a read error, a directory, a FIFO) gives no sets at all, so
// that a row is never silently lost. The format itself is PitchListFile's (core).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sorvel/core/Failure.h"
#include "sorvel/core/PitchListFile.h"

namespace sorvel {

// ReadPitchList reads the sets of the file at path; a failure (kind kRead) names the file.
std::optional<Failure> ReadPitchList(const std::string& path, std::vector<PitchSet>& sets);

}  // namespace sorvel
