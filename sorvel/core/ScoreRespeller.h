// ScoreRespeller: one MusicXML score (partwise, as UTF-8 text) respelled by a list of rows.
// Each part is walked measure by measure, keeping the divisions, the key of each staff and
// the part's transposition as they change (mid-measure too: every note is placed in time
// through its duration, <backup> and <forward>). A note is compared in sounding pitch
// (written pitch moved by the part's <transpose>) or, in written mode, as stored; the rules
// decide its new spelling, which is written back in written terms. The answer is a list of
// edits, each the new text of one <note> element: nothing outside the changed notes' <pitch>
// and <accidental> elements changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rules/PitchRules.h"

// MeasureRange: measures first to last by number, both included.
struct MeasureRange {
    int64_t first = 0;
    int64_t last = 0;
};

struct RespellSettings {
    const PitchRules* rules = nullptr;
    bool written = false;                // compare and write the stored (written) pitch
    std::vector<std::string> parts;      // ids or names; empty: every part
    std::vector<MeasureRange> measures;  // empty: every measure
};

// NoteChange: one respelled note, for reports.
struct NoteChange {
    std::string partId;
    std::string partName;
    std::string measure;  // the measure's number as the file gives it
    std::string beat;     // from 1, in the time signature's beat unit
    int32_t staff = 1;
    std::string voice;
    size_t row = 0;
    std::string writtenBefore;
    std::string writtenAfter;
    std::string soundingBefore;  // empty when the part's sounding pitch is not known
    std::string soundingAfter;
};

// ScoreEdit: the bytes from begin to end of the text become text.
struct ScoreEdit {
    size_t begin = 0;
    size_t end = 0;
    std::string text;
};

struct RespellOutcome {
    std::vector<NoteChange> changes;
    std::vector<size_t> rowCounts;  // respelled notes per row
    size_t accidentalsMended = 0;   // unchanged notes that now show their accidental
    std::vector<std::string> warnings;
    std::vector<ScoreEdit> edits;  // in text order, not overlapping
};

class ScoreRespeller {
  public:
    ScoreRespeller() = delete;

    // Respell answers false with a reason (with its line) when the text is no score this
    // program can respell; nothing is to be written then.
    static bool Respell(std::string_view text, const RespellSettings& settings,
                        RespellOutcome& outcome, std::string& error);
    // Apply answers the text with the edits made.
    static std::string Apply(std::string_view text, const std::vector<ScoreEdit>& edits);
    // Pieces answers the same text as the pieces to write one after the other (kept text and
    // edits in turn), without copying it.
    static std::vector<std::string_view> Pieces(std::string_view text,
                                                const std::vector<ScoreEdit>& edits);
};
