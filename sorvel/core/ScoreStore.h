// ScoreStore: what a RespelledScore keeps so that its new bytes can be written after the parsed
// document is gone: the score's text, the edits to it, how the file was stored (plain or
// compressed, its encoding), and the few texts of the file that the changes name (measure
// numbers and voices, each kept once however many changes name it).
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "rules/PitchInterval.h"
#include "rules/SpelledPitch.h"
#include "sorvel/core/EditTexts.h"
#include "sorvel/core/RespellScore.h"
#include "sorvel/core/ScoreTime.h"
#include "sorvel/core/TextEncoding.h"

namespace sorvel {

// ChangeRecord: a NoteChange as the walk keeps it while the parsed document is still in memory,
// in under half the room (names by number, pitches in bytes, the sounding pitches still to
// work out): a score where most notes change has as many records as notes.
struct ChangeRecord {
    // A written pitch in three bytes: octaves 0 to 9, alterations within an octave.
    struct Pitch {
        int8_t letter = 0;
        int8_t alteration = 0;
        int8_t octave = 0;

        static Pitch Of(const rules::SpelledPitch& pitch) {
            return {static_cast<int8_t>(pitch.letter), static_cast<int8_t>(pitch.alteration),
                    static_cast<int8_t>(pitch.octave)};
        }
        [[nodiscard]] rules::SpelledPitch Spelled() const { return {letter, alteration, octave}; }
    };

    ScoreTime beat;
    uint32_t part = 0;
    uint32_t row = 0;
    int32_t staff = 1;
    uint32_t measure = 0;  // names: Store::Name
    uint32_t voice = 0;
    // The part's transposition, when soundingKnown (the reader keeps it within 170 steps and
    // 320 semitones).
    int16_t toSoundingSteps = 0;
    int16_t toSoundingSemitones = 0;
    Pitch writtenBefore;
    Pitch writtenAfter;
    bool soundingKnown = false;

    [[nodiscard]] rules::PitchInterval ToSounding() const {
        return {toSoundingSteps, toSoundingSemitones};
    }
};

// The sizes the records were made small for.
static_assert(sizeof(ChangeRecord) <= 48);
static_assert(sizeof(ScoreEdit) <= 24);

struct RespelledScore::Store {
    std::string_view text;  // the score, UTF-8 (or the file's own 8-bit encoding)
    // What holds the text: a string (decoded, unpacked or handed over as one) or the buffer
    // the file was read into.
    std::string ownedText;
    std::unique_ptr<char[]> ownedBytes;
    // In text order, not overlapping. A deque: no copy of them all as they grow, and no
    // room reserved beyond them, while the parsed document is still in memory.
    std::deque<ScoreEdit> edits;
    EditTexts editTexts;
    TextForm form = TextForm::kEightBit;
    bool byteOrderMark = false;
    bool compressed = false;
    std::string archive;   // a compressed file as read
    std::string rootfile;  // the score's entry in it
    std::string output;    // the new file whole, where it is not the text with its edits

    std::deque<ChangeRecord> records;  // the walk's, made into NoteChanges after it

    // Looked up by a view, so that a text already kept costs no copy.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    std::unordered_map<std::string, uint32_t, NameHash, std::equal_to<>> names;
    std::vector<std::string_view> nameList;  // the keys of names, by number

    // Intern answers the number of a text, kept once however many changes name it.
    uint32_t Intern(std::string_view name) {
        if (const auto kept = names.find(name); kept != names.end()) {
            return kept->second;
        }
        const auto number = static_cast<uint32_t>(nameList.size());
        nameList.emplace_back(names.emplace(name, number).first->first);
        return number;
    }
    [[nodiscard]] std::string_view Name(uint32_t number) const { return nameList[number]; }
};

}  // namespace sorvel
