// ScoreWalker: a partwise score walked part by part and measure by measure: the measure reader
// gives each note its key and transposition, the decision step says which notes change, and
// the staff editor writes them; the walk chooses the parts and measures to respell, records
// the changes and counts the notes left alone into warnings. It also refuses what is no
// partwise score (a timewise score, an opus, another root element).
#pragma once

#include <pugixml.hpp>

#include "sorvel/core/RespellScore.h"
#include "sorvel/core/ScoreStore.h"
#include "sorvel/core/XmlSpans.h"

namespace sorvel {

// WalkScore fills result's parts, changes, counts and warnings and store's edits.
void WalkScore(const pugi::xml_document& document, const XmlSpans& spans,
               const RespellOptions& options, RespelledScore& result, RespelledScore::Store& store);
// MakeChanges turns the walk's change records into result's changes. It runs once the parsed
// document is gone, so that the larger NoteChanges never share the memory with it.
void MakeChanges(RespelledScore& result, RespelledScore::Store& store);

}  // namespace sorvel
