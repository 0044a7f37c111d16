// NoteDecision: the rules applied to one note, and the reasons a matched note is left alone.
#include "sorvel/core/NoteDecision.h"

#include <cstdlib>

namespace sorvel {

namespace {

// MusicXML octaves and accidentals: up to three sharps or flats.
constexpr int32_t kLowestOctave = 0;
constexpr int32_t kHighestOctave = 9;
constexpr int32_t kMaxShownAlteration = 3;

}  // namespace

PitchView::PitchView(bool written, const Transposition& transposition) {
    if (written) {
        return;  // the stored pitch, whatever the transposition
    }
    known_ = transposition.known;
    if (transposition.present && transposition.known) {
        toSeen_ = transposition.interval;
        moves_ = toSeen_ != rules::PitchInterval{};
    }
}

Decision Decide(const MeasureNote& note, const rules::PitchRules& rules, bool written) {
    Decision decision;
    if (!note.pitched) {
        return decision;
    }
    if (note.microtone) {
        decision.leftAlone = kMicrotoneReason;
        return decision;
    }
    const PitchView view(written, note.transposition);
    if (!view.Known()) {
        decision.leftAlone =
            "its transposition names no diatonic step, so its sounding spelling is unknown";
        return decision;
    }
    const std::optional<rules::Respelling> respelling = rules.Apply(view.Seen(note.written));
    if (!respelling) {
        return decision;
    }
    if (written && !note.transposition.IsKeyTransposition()) {
        decision.leftAlone =
            "in written pitch, a part whose transposition is not a key transposition is left "
            "alone";
    } else if (note.otherKey) {
        decision.leftAlone = "in a key without a traditional key signature";
    } else if (note.fretted) {
        decision.leftAlone = "tablature (a string and fret fix its pitch)";
    }
    if (!decision.leftAlone.empty()) {
        return decision;
    }
    const rules::SpelledPitch result = view.Written(respelling->result);
    if (result == note.written) {
        return decision;
    }
    if (result.octave < kLowestOctave || result.octave > kHighestOctave ||
        std::abs(result.alteration) > kMaxShownAlteration) {
        decision.leftAlone =
            "its new spelling lies beyond MusicXML's octaves 0 to 9 or beyond triple sharps "
            "and flats";
        return decision;
    }
    decision.newWritten = result;
    decision.row = static_cast<uint32_t>(respelling->row);
    return decision;
}

Decision DecisionCache::Decide(const MeasureNote& note) {
    if (!note.pitched || note.microtone) {
        return sorvel::Decide(note, rules_, written_);  // nothing for the rows to look at
    }
    const Transposition& transposition = note.transposition;
    const Kind kind{note.written,        transposition.interval, transposition.present,
                    transposition.known, note.otherKey,          note.fretted};
    const size_t hash =
        static_cast<size_t>(kind.written.letter) * 7919U +
        static_cast<size_t>(kind.written.alteration + 16) * 104729U +
        static_cast<size_t>(kind.written.octave) * 1299709U +
        static_cast<size_t>(kind.interval.steps + 256) * 15485863U +
        static_cast<size_t>(kind.interval.semitones + 512) * 32452843U +
        (static_cast<size_t>(kind.present) | static_cast<size_t>(kind.known) << 1U |
         static_cast<size_t>(kind.otherKey) << 2U | static_cast<size_t>(kind.fretted) << 3U);
    Slot& slot = slots_[hash % kSlots];
    if (!slot.used || !(slot.kind == kind)) {
        slot = {true, kind, sorvel::Decide(note, rules_, written_)};
    }
    return slot.decision;
}

}  // namespace sorvel
