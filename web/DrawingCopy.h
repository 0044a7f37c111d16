// DrawingCopy: the score before and after respelling as the page draws them: UTF-8 MusicXML
// text (an .mxl's score taken out of its container, UTF-16 and Latin-1 text turned into UTF-8,
// as the drawing library reads only that), with the respelled notes coloured one colour and the
// notes whose accidental was mended another. Only these copies are coloured: the file the user
// downloads is the core's output, untouched. The changed notes are found by comparing the two
// texts note by note (the respelling changes a note's pitch and accidental, never the number or
// order of notes), so nothing here decides what a row does.
// Large scores are drawn a few measures at a time: a copy holds only the measures asked for, each
// part starting with the attributes (key, time, clef, transposition...) in force there, so that
// drawing one stretch costs the same whatever the score's length.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace web {

constexpr const char* kRespelledColour = "#C0392B";
constexpr const char* kMendedColour = "#1F6FD1";

struct Drawing {
    std::string before;
    std::string after;
    // respelledIds: the id given to each respelled note, in document order (the order of the
    // core's changes), so that choosing a change can show its note.
    std::vector<std::string> respelledIds;
    // respelledMeasures: the position (from 0) of each respelled note's measure in its part.
    std::vector<size_t> respelledMeasures;
    size_t measureCount = 0;  // in the longest part
    size_t mended = 0;
};

// Make answers the two drawing copies of the measures first to first + count - 1 (positions in
// each part, from 0); it throws sorvel::FailureError when a text cannot be read (the core has
// read both already, so this does not happen for a respelled score).
Drawing Make(std::string_view beforeBytes, std::string_view afterBytes, uint64_t maxScoreBytes,
             size_t first, size_t count);

}  // namespace web
