// PitchListFile: the pitch sets of the plug-in's pitch-list file (vesksorvel.txt), read the way
// the plug-in reads them, so that a set saved in the host is used here unchanged. The file is
// 8-bit key=value lines (CR, LF or both end a line; blanks, tabs and line ends around key and
// value are dropped; a line without "=" or starting with "=" is skipped; keys are compared
// without regard to the case of A to Z, and the first of equal keys counts). Set s is named by
// VESKSORVEL_LIST_NAME_s and holds rows n = 1, 2 ... of four keys each, VESKSORVEL_LIST_FROM_,
// _TO_, _UPDIRECTION_ and _INUSE_ followed by s_n. Sets are read up to the first missing name
// or the first set without a complete first row; a set's rows up to the first incomplete
// one. Texts are taken as stored, never checked. A row is ticked when its INUSE value is "1",
// as the plug-in reads it; only ticked rows are applied, as the dialog's Change Checked does.
// Reading the file from disk is the command line's (cli/PitchListReader.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "rules/PitchRow.h"

namespace sorvel {

struct StoredPitchRow {
    rules::PitchRow row;
    bool ticked = true;
};

struct PitchSet {
    std::string name;  // as stored: 8-bit
    std::vector<StoredPitchRow> rows;
};

// ParsePitchList reads the sets from the file's bytes.
std::vector<PitchSet> ParsePitchList(std::string_view bytes);
// AppliedRows answers the rows a run applies, as the dialog's Change Checked applies them: the
// ticked rows whose texts are spellings as the plug-in stores them. A row left out for its
// texts (a hand-edited or damaged file) adds a warning, as the plug-in leaves it out of a run.
std::vector<rules::PitchRow> AppliedRows(const std::vector<StoredPitchRow>& rows,
                                         std::vector<std::string>& warnings);
// FindPitchSet answers the first set whose name equals name without regard to the case of A to
// Z (compared up to a 0 byte, as the plug-in does), or null.
const PitchSet* FindPitchSet(const std::vector<PitchSet>& sets, std::string_view name);
// DirectionFromFile decodes a stored direction code: 0 Down, 1 Up, anything else Closest.
rules::PitchDirection DirectionFromFile(int32_t code);

}  // namespace sorvel
