// ScoreFile: a MusicXML file as bytes on disk and as the UTF-8 text the respeller edits: plain
// (.musicxml, .xml) in UTF-8 or UTF-16, or compressed (.mxl, told by its zip signature, not by
// its name). Saving writes the same kind of file, whole or not at all.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sorvel/core/TextEncoding.h"

class ScoreFile {
  public:
    bool compressed = false;
    std::string rootfile;  // the score's entry in a compressed file
    std::string archive;   // a compressed file's bytes, whose other entries Save copies
    TextEncoding::Form form = TextEncoding::Form::kEightBit;
    bool byteOrderMark = false;
    std::string text;  // the score, UTF-8 (or the file's own 8-bit encoding)

    // Load reads path; false with a reason when it is no file this program reads.
    bool Load(const std::string& path, std::string& error);
    // Save writes the new text (given in pieces), in this file's form, to target. source is the
    // file it was loaded from (no longer read: a compressed file's other entries come from the
    // bytes Load kept); keepModeOf names a file whose permissions the new file takes.
    bool Save(const std::string& source, const std::string& target,
              const std::vector<std::string_view>& newText, const std::string& keepModeOf,
              std::string& error) const;
};
