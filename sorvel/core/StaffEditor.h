// StaffEditor: the new text of the notes of one staff in one measure: the respelled notes get
// their new pitch, and every note gets the accidental it needs after the change (shown or
// hidden for a respelled note; shown for an unchanged note that needs one only now, a
// "mended" accidental). Only the notes it touches become edits.
#pragma once

#include <cstddef>
#include <deque>
#include <vector>

#include "sorvel/core/EditTexts.h"
#include "sorvel/core/MeasureReader.h"
#include "sorvel/core/NoteDecision.h"
#include "sorvel/core/RespellScore.h"
#include "sorvel/core/XmlSpans.h"

namespace sorvel {

struct StaffNote {
    const MeasureNote* note = nullptr;
    const Decision* decision = nullptr;
};

// EditStaff appends the edits of one staff's notes (in the order they sound) to edits, their
// texts kept in texts, and answers how many accidentals it mended.
size_t EditStaff(const XmlSpans& spans, const std::vector<StaffNote>& line,
                 std::deque<ScoreEdit>& edits, EditTexts& texts);

}  // namespace sorvel
