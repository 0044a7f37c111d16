// PitchListWriter: the pitch-list file (vesksorvel.txt) written exactly as the plug-in writes it
// when a set is saved, so that a file made elsewhere (the browser page) can be put back next to
// the host: for set s (numbered from 1 in order) the line VESKSORVEL_LIST_NAME_s=name, then per
// row n the lines VESKSORVEL_LIST_FROM_s_n, _TO_s_n, _UPDIRECTION_s_n (1 Up, 0 Down, 2 Closest)
// and _INUSE_s_n (1 ticked, 0 not), each line ended by CR LF (the plug-in writes the file in
// Windows text mode). ParsePitchList (PitchListFile.h) reads it back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sorvel/core/PitchListFile.h"

namespace sorvel {

// WritePitchList answers the file's bytes for the sets. Texts are written byte for byte (names
// and spellings are 8-bit, as ParsePitchList reads them), except that a line end (which would
// start a line of its own) is written "?", as the plug-in writes it.
std::string WritePitchList(const std::vector<PitchSet>& sets);
// StorableName is the 8-bit form a name typed as UTF-8 takes in the file, as the plug-in stores
// a set's name: blanks around it dropped, every character below U+0020 or beyond U+00FF made
// "?" (one "?" per character). Invalid UTF-8 is taken byte by byte.
std::string StorableName(std::string_view utf8);

}  // namespace sorvel
