// MxlArchive: a compressed MusicXML file (.mxl), a zip container whose META-INF/container.xml
// names the score (the first rootfile). Only that entry is read and replaced; every other
// entry is copied unchanged, and the mimetype entry is written first and stored. Both work on
// the archive's bytes in memory (no paths, no temporary files), so that the browser build
// runs the same code. Every failure is thrown as a sorvel::FailureError.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorvel::mxl {

// LooksLikeZip: the bytes start with a zip entry's signature.
bool LooksLikeZip(std::string_view bytes);

// Entry: the score's entry in the archive: its name and its bytes.
struct Entry {
    std::string rootfile;
    std::string score;
};

// Read finds the first rootfile named by META-INF/container.xml and reads it. Declared sizes
// are checked against the archive before anything is allocated, and the score is never
// expanded past maxScoreBytes (kTooLarge); an archive that is damaged, truncated, lies about
// its sizes or holds two entries of one name is refused (kArchive).
Entry Read(std::string_view archive, uint64_t maxScoreBytes);

// Write answers the archive with the rootfile's content replaced by score (deflated), the
// mimetype entry (when there is one) first and stored, every other entry copied unchanged.
std::string Write(std::string_view archive, const std::string& rootfile, std::string_view score);

}  // namespace sorvel::mxl
