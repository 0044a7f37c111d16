// HostPitch: spelled pitches, key signatures and stored note numbers, worked out on the staff
// of white keys: every pitch is a step number counted from C0 plus an alteration.
#include "host/HostPitch.h"

#include <cctype>
#include <limits>

namespace host {
namespace {

// Steps above C within an octave, for letter indexes A ... G.
constexpr int kStepAboveC[7] = {5, 6, 0, 1, 2, 3, 4};
// Semitones above C of the natural notes, by step above C.
constexpr int kNaturalSemitones[7] = {0, 2, 4, 5, 7, 9, 11};
// Letters in the order a key signature sharpens them (each a fifth above the last): F C G D A
// E B; flats go the other way round: B E A D G C F.
constexpr int kSharpOrder[7] = {5, 2, 6, 3, 0, 4, 1};
constexpr int kFlatOrder[7] = {1, 4, 0, 3, 6, 2, 5};

int FloorDiv(int a, int b) {
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

int FloorMod(int a, int b) {
    return a - b * FloorDiv(a, b);
}

// The letter index of the step that lies a given number of steps above C.
int LetterOfStep(int stepAboveC) {
    constexpr int kLetter[7] = {2, 3, 4, 5, 6, 0, 1};
    return kLetter[FloorMod(stepAboveC, 7)];
}

// Step number counted from C0 (C0 = 0, D0 = 1, ..., C4 = 28).
int AbsoluteStep(int letter, int octave) {
    return octave * 7 + kStepAboveC[letter];
}

}  // namespace

bool HostPitch::IsLinear(uint16_t keyWord) {
    if ((keyWord & 0xC000) != 0) {
        return false;
    }
    const int mode = keyWord >> 8;
    return mode == 0 || mode == 1;
}

bool HostPitch::IsMinor(uint16_t keyWord) {
    return IsLinear(keyWord) && (keyWord >> 8) == 1;
}

int HostPitch::Accidentals(uint16_t keyWord) {
    return IsLinear(keyWord) ? static_cast<int8_t>(keyWord & 0xFF) : 0;
}

int HostPitch::TonicLetter(uint16_t keyWord) {
    if (!IsLinear(keyWord)) {
        return -1;
    }
    // Each sharp moves the tonic a fifth up (four letters), each flat a fifth down; the minor
    // tonic lies a minor third (two letters) below its relative major's.
    const int majorTonic = FloorMod(2 + 4 * Accidentals(keyWord), 7);
    return IsMinor(keyWord) ? FloorMod(majorTonic - 2, 7) : majorTonic;
}

int HostPitch::SignatureAlteration(uint16_t keyWord, int letter) {
    const int count = Accidentals(keyWord);
    int alteration = 0;
    for (int k = 0; k < count; ++k) {
        if (kSharpOrder[k % 7] == letter) {
            ++alteration;
        }
    }
    for (int k = 0; k < -count; ++k) {
        if (kFlatOrder[k % 7] == letter) {
            --alteration;
        }
    }
    return alteration;
}

std::optional<HostPitch::Spelled> HostPitch::Parse(std::string_view text) {
    if (text.empty() || text[0] < 'A' || text[0] > 'G') {
        return std::nullopt;
    }
    Spelled pitch;
    pitch.letter = text[0] - 'A';
    size_t i = 1;
    if (i < text.size() && (text[i] == '#' || text[i] == 'b')) {
        const char sign = text[i];
        while (i < text.size() && text[i] == sign) {
            pitch.alteration += sign == '#' ? 1 : -1;
            ++i;
        }
    }
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    if (i >= text.size() || text.size() - i > 4) {
        return std::nullopt;
    }
    int octave = 0;
    for (; i < text.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) {
            return std::nullopt;
        }
        octave = octave * 10 + (text[i] - '0');
    }
    pitch.octave = negative ? -octave : octave;
    return pitch;
}

std::string HostPitch::Format(const Spelled& pitch) {
    std::string text(1, static_cast<char>('A' + pitch.letter));
    text.append(static_cast<size_t>(pitch.alteration > 0 ? pitch.alteration : -pitch.alteration),
                pitch.alteration > 0 ? '#' : 'b');
    text += std::to_string(pitch.octave);
    return text;
}

std::optional<HostSession::NoteNumbers> HostPitch::ToNumbers(const Spelled& pitch,
                                                             uint16_t keyWord) {
    const int tonic = TonicLetter(keyWord);
    if (tonic < 0) {
        return std::nullopt;
    }
    const int displacement = AbsoluteStep(pitch.letter, pitch.octave) - AbsoluteStep(tonic, 4);
    const int raiseLower = pitch.alteration - SignatureAlteration(keyWord, pitch.letter);
    constexpr int kMin = std::numeric_limits<int16_t>::min();
    constexpr int kMax = std::numeric_limits<int16_t>::max();
    if (displacement < kMin || displacement > kMax || raiseLower < kMin || raiseLower > kMax) {
        return std::nullopt;
    }
    return HostSession::NoteNumbers{static_cast<int16_t>(displacement),
                                    static_cast<int16_t>(raiseLower)};
}

std::optional<HostPitch::Spelled> HostPitch::FromNumbers(HostSession::NoteNumbers numbers,
                                                         uint16_t keyWord) {
    const int tonic = TonicLetter(keyWord);
    if (tonic < 0) {
        return std::nullopt;
    }
    const int step = AbsoluteStep(tonic, 4) + numbers.displacement;
    Spelled pitch;
    pitch.octave = FloorDiv(step, 7);
    pitch.letter = LetterOfStep(step);
    pitch.alteration = SignatureAlteration(keyWord, pitch.letter) + numbers.raiseLower;
    return pitch;
}

int HostPitch::Midi(const Spelled& pitch) {
    return 12 * (pitch.octave + 1) + kNaturalSemitones[kStepAboveC[pitch.letter]] +
           pitch.alteration;
}

std::optional<int> HostPitch::Midi(HostSession::NoteNumbers numbers, uint16_t keyWord) {
    const auto pitch = FromNumbers(numbers, keyWord);
    if (!pitch) {
        return std::nullopt;
    }
    return Midi(*pitch);
}

}  // namespace host
