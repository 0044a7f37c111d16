// MeasureAccidentals: the accidental state of a measure, letter by letter and octave by octave.
#include "sorvel/core/MeasureAccidentals.h"

#include <array>
#include <optional>
#include <stdexcept>

namespace sorvel {

std::vector<bool> AccidentalsNeeded(const std::vector<AccidentalNote>& notes) {
    std::vector<bool> needed(notes.size(), false);
    // What the earlier notes of the measure imply, by letter and octave (MusicXML's octaves 0
    // to 9); a microtone implies nothing a whole-tone alteration could equal.
    constexpr size_t kLetters = 7;
    constexpr size_t kOctaves = 10;
    struct Implied {
        bool set = false;
        std::optional<int32_t> value;
    };
    std::array<Implied, kLetters * kOctaves> implied{};
    int32_t epoch = notes.empty() ? 0 : notes.front().keyEpoch;
    for (size_t i = 0; i < notes.size(); ++i) {
        const AccidentalNote& note = notes[i];
        if (note.keyEpoch != epoch) {
            epoch = note.keyEpoch;
            implied.fill({});
        }
        if (note.tieStop) {
            continue;  // a continued tie: never signed, and it implies nothing for later notes
        }
        if (note.letter < 0 || static_cast<size_t>(note.letter) >= kLetters || note.octave < 0 ||
            static_cast<size_t>(note.octave) >= kOctaves) {
            throw std::logic_error("a note beyond MusicXML's letters and octaves");
        }
        Implied& line =
            implied[static_cast<size_t>(note.letter) * kOctaves + static_cast<size_t>(note.octave)];
        const std::optional<int32_t> value =
            note.microtone ? std::nullopt : std::optional<int32_t>(note.alteration);
        const std::optional<int32_t> expected =
            line.set ? line.value : std::optional<int32_t>(note.keyAlteration);
        needed[i] = !value || value != expected;
        line = {true, value};
    }
    return needed;
}

const char* AccidentalValue(int32_t alteration) {
    switch (alteration) {
        case -3:
            return "triple-flat";
        case -2:
            return "flat-flat";
        case -1:
            return "flat";
        case 0:
            return "natural";
        case 1:
            return "sharp";
        case 2:
            return "double-sharp";
        case 3:
            return "triple-sharp";
        default:
            return nullptr;
    }
}

}  // namespace sorvel
