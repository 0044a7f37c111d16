// StaffEditor: the accidentals before and after the change, compared note by note.
#include "sorvel/core/StaffEditor.h"

#include <cstdlib>
#include <optional>

#include "rules/KeySignature.h"
#include "sorvel/core/Failure.h"
#include "sorvel/core/MeasureAccidentals.h"
#include "sorvel/core/NoteEditor.h"

namespace sorvel {

namespace {

constexpr int32_t kMaxShownAlteration = 3;

AccidentalNote AccidentalInput(const MeasureNote& note, const rules::SpelledPitch& pitch) {
    AccidentalNote input;
    input.microtone = note.microtone;
    input.tieStart = note.tieStart;
    input.tieStop = note.tieStop;
    input.keyEpoch = note.keyEpoch;
    input.letter = pitch.letter;
    input.octave = pitch.octave;
    input.alteration = pitch.alteration;
    input.keyAlteration = rules::KeyAlteration(note.key.fifths, pitch.letter);
    return input;
}

// Edit writes one note: its new pitch and accidental, or the accidental it now needs.
void Edit(const XmlSpans& spans, const MeasureNote& note, const Decision& decision, bool needed,
          std::deque<ScoreEdit>& edits, EditTexts& texts) {
    NoteEditor editor(spans, note.node, note.accidental, texts);
    if (decision.newWritten) {
        editor.SetPitch(*decision.newWritten, {note.step, note.alter, note.octave});
        if (needed) {
            editor.ShowAccidental(decision.newWritten->alteration);
        } else {
            editor.HideAccidental();
        }
    } else {
        editor.ShowAccidental(note.written.alteration);
    }
    editor.MoveEditsInto(edits);
}

}  // namespace

size_t EditStaff(const XmlSpans& spans, const std::vector<StaffNote>& line,
                 std::deque<ScoreEdit>& edits, EditTexts& texts) {
    std::vector<AccidentalNote> before;
    std::vector<AccidentalNote> after;
    before.reserve(line.size());
    after.reserve(line.size());
    for (const StaffNote& entry : line) {
        const MeasureNote& note = *entry.note;
        before.push_back(AccidentalInput(note, note.written));
        after.push_back(AccidentalInput(note, entry.decision->newWritten.value_or(note.written)));
    }
    const std::vector<bool> neededBefore = AccidentalsNeeded(before);
    const std::vector<bool> neededAfter = AccidentalsNeeded(after);
    size_t mended = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const MeasureNote& note = *line[i].note;
        const Decision& decision = *line[i].decision;
        const bool mend = !decision.newWritten && neededAfter[i] && !neededBefore[i] &&
                          !note.microtone && !note.accidental &&
                          std::abs(note.written.alteration) <= kMaxShownAlteration;
        if (!decision.newWritten && !mend) {
            continue;
        }
        mended += mend ? 1 : 0;
        Edit(spans, note, decision, neededAfter[i], edits, texts);
    }
    return mended;
}

}  // namespace sorvel
