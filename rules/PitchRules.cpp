// PitchRules: match, place at the note's octave number, and let the direction choose.
#include "rules/PitchRules.h"

#include <utility>

#include "rules/OctaveChoice.h"
#include "rules/TargetSpelling.h"

namespace rules {

namespace {

std::vector<std::u16string> FromTexts(const std::vector<PitchRow>& rows) {
    std::vector<std::u16string> texts;
    texts.reserve(rows.size());
    for (const PitchRow& row : rows) {
        texts.push_back(row.from);
    }
    return texts;
}

NotePlace PlaceOf(const SpelledPitch& pitch) {
    return {pitch.DiatonicIndex(), pitch.alteration, pitch.MidiKey()};
}

}  // namespace

PitchRules::PitchRules(std::vector<PitchRow> rows)
    : rows_(std::move(rows)), matcher_(FromTexts(rows_)) {}

std::optional<Respelling> PitchRules::Apply(const SpelledPitch& note) const {
    const std::optional<size_t> row = matcher_.FirstMatch(note);
    if (!row) {
        return std::nullopt;
    }
    return Place(*row, note);
}

Respelling PitchRules::Place(size_t row, const SpelledPitch& note) const {
    const PitchRow& pitchRow = rows_[row];
    const std::optional<SpelledPitch> landed = LandTarget(pitchRow.to, note.octave);
    if (!landed) {
        return {row, note, false};
    }
    const int32_t step = OctaveStep(pitchRow.direction, PlaceOf(note), PlaceOf(*landed));
    return {row, landed->MovedOctaves(step), true};
}

}  // namespace rules
