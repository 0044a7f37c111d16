// MxlArchive: a compressed MusicXML file (.mxl), a zip container whose META-INF/container.xml
// names the score (the first rootfile). Only that entry is read and replaced; every other
// entry (the mimetype first and stored, images, other renderings) is copied unchanged.
#pragma once

#include <string>
#include <string_view>

class MxlArchive {
  public:
    MxlArchive() = delete;

    // LooksLikeZip: the bytes start with a zip entry's signature.
    static bool LooksLikeZip(std::string_view bytes);
    // ReadScore finds the rootfile of the container at path and reads it.
    static bool ReadScore(const std::string& path, std::string& rootfile, std::string& score,
                          std::string& error);
    // WriteScore writes to temporary a copy of the container at source whose rootfile holds
    // score instead.
    static bool WriteScore(const std::string& source, const std::string& temporary,
                           const std::string& rootfile, std::string_view score, std::string& error);
};
