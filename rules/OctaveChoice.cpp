// OctaveChoice: the one octave step a direction may make.
#include "rules/OctaveChoice.h"

namespace rules {

int32_t OctaveStep(PitchDirection direction, const NotePlace& before, const NotePlace& after) {
    switch (direction) {
        case PitchDirection::kUp:
            return after.steps < before.steps ||
                           (after.steps == before.steps && after.alteration < before.alteration)
                       ? 1
                       : 0;
        case PitchDirection::kDown:
            return after.steps > before.steps ||
                           (after.steps == before.steps && after.alteration > before.alteration)
                       ? -1
                       : 0;
        default: {
            const int32_t d = after.midiKey - before.midiKey;
            if (d >= kOctaveFlipSemitones) {
                return -1;
            }
            return d <= -kOctaveFlipSemitones ? 1 : 0;
        }
    }
}

}  // namespace rules
