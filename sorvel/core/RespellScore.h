// RespellScore: the one entry to the core. It takes the bytes of a score file (.musicxml or
// .xml in UTF-8, an 8-bit encoding or UTF-16; or a compressed .mxl, told by its content) and the
// options, and answers the new bytes of the same kind of file, the changes and the warnings, or
// the refusal. The command line calls it once per file (and keeps paths, atomic writes, threads
// and progress to itself); the browser page calls the same function through WebAssembly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "rules/PitchRules.h"
#include "rules/SpelledPitch.h"
#include "sorvel/core/Failure.h"
#include "sorvel/core/ScoreTime.h"

namespace sorvel {

// MeasureRange: measures first to last by number, both included.
struct MeasureRange {
    int64_t first = 0;
    int64_t last = 0;
};

// The largest score text an .mxl may expand to unless the caller raises it: real scores are a
// few MB, a large orchestral score some tens; this is many times that, and still fits a
// browser tab.
constexpr uint64_t kDefaultMaxScoreBytes = uint64_t{512} << 20;

struct RespellOptions {
    const rules::PitchRules* rules = nullptr;
    bool written = false;                            // compare and write the stored (written) pitch
    std::vector<std::string> parts;                  // ids or names; empty: every part
    std::vector<MeasureRange> measures;              // empty: every measure
    uint64_t maxScoreBytes = kDefaultMaxScoreBytes;  // the expanded text of an .mxl
    // false: no list of changes, only the counts per row (a score where most notes change
    // would otherwise hold a record of each, which only a listing or a report reads).
    bool listChanges = true;
};

// PartInfo: a part of the score, named once for all its changes.
struct PartInfo {
    std::string id;
    std::string name;  // may be empty
};

// NoteChange: one respelled note. Texts that come from the file (the measure's number, the
// voice) are views into the score's text, which the RespelledScore keeps.
struct NoteChange {
    uint32_t part = 0;         // index into RespelledScore::parts
    std::string_view measure;  // the measure's number as the file gives it
    ScoreTime beat;            // from 1, in the time signature's beat unit
    int32_t staff = 1;
    std::string_view voice;
    uint32_t row = 0;
    rules::SpelledPitch writtenBefore;
    rules::SpelledPitch writtenAfter;
    bool soundingKnown = false;  // false when the part's sounding pitch is not known
    rules::SpelledPitch soundingBefore;
    rules::SpelledPitch soundingAfter;
};

// ScoreEdit: the bytes from begin to End() of the text become Text(), which the score's store
// keeps (a constant or its arena of edit texts). In 24 bytes: a score where most notes change
// has millions of edits while its parsed document is still in memory.
struct ScoreEdit {
    size_t begin = 0;
    uint32_t removed = 0;  // bytes replaced
    uint32_t textSize = 0;
    const char* textData = nullptr;

    // Of throws std::length_error for an edit of more than 4 GiB, which no note can need.
    static ScoreEdit Of(size_t begin, size_t end, std::string_view text) {
        if (end - begin > UINT32_MAX || text.size() > UINT32_MAX) {
            throw std::length_error("an edit of more than 4 GiB");
        }
        return {begin, static_cast<uint32_t>(end - begin), static_cast<uint32_t>(text.size()),
                text.data()};
    }
    [[nodiscard]] size_t End() const { return begin + removed; }
    [[nodiscard]] std::string_view Text() const { return {textData, textSize}; }
};

// ScoreBytes: a file's bytes handed over whole, in memory that was not cleared before they
// were read into it (a string's would be: one pass over the file for nothing).
struct ScoreBytes {
    std::unique_ptr<char[]> data;
    size_t size = 0;
};

class RespelledScore {
  public:
    std::optional<Failure> failure;  // set: nothing is to be written
    std::vector<PartInfo> parts;
    std::vector<NoteChange> changes;  // empty unless the options ask for the list
    std::vector<size_t> rowCounts;    // respelled notes per row
    size_t accidentalsMended = 0;     // unchanged notes that now show their accidental
    std::vector<std::string> warnings;

    [[nodiscard]] bool Ok() const { return !failure; }
    // Respelled: the notes respelled, by every row.
    [[nodiscard]] size_t Respelled() const;
    // Changed: the new file differs from the old one.
    [[nodiscard]] bool Changed() const;
    // EachPiece hands the new file to write, piece after piece, without joining them (the plain
    // 8-bit case: kept text and edits in turn, millions when most notes change) and without a
    // list of them; it stops when write answers false, and answers whether write took all.
    bool EachPiece(const std::function<bool(std::string_view)>& write) const;
    // Bytes answers the new file whole.
    [[nodiscard]] std::string Bytes() const;
    // Release lets go of the file's text and new bytes, keeping what the reports tell.
    void Release();

    // The state behind Pieces; filled by RespellScore.
    struct Store;
    std::shared_ptr<Store> store;
};

// RespellScore never throws: every failure, memory included, comes back in failure.
RespelledScore RespellScore(std::string bytes, const RespellOptions& options);
// RespellScore of bytes read into a buffer of their own: a plain 8-bit score is used in place.
RespelledScore RespellScore(ScoreBytes bytes, const RespellOptions& options);

}  // namespace sorvel
