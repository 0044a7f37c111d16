// PitchListReader: FileBytes, then ParsePitchList.
#include "sorvel/cli/PitchListReader.h"

#include "sorvel/cli/FileBytes.h"

namespace sorvel {

std::optional<Failure> ReadPitchList(const std::string& path, std::vector<PitchSet>& sets) {
    sets.clear();
    ByteBuffer bytes;
    if (std::optional<Failure> failure = ReadWholeFile(path, bytes)) {
        failure->message = path + ": " + failure->message;
        return failure;
    }
    sets = ParsePitchList(bytes.View());
    return std::nullopt;
}

}  // namespace sorvel
