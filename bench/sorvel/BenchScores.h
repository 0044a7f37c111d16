// BenchScores: generated MusicXML scores of a chosen size for the benchmark, laid out as
// notation programs write them (indented, one element per line), with key changes,
// accidentals, chords and a transposing part.
#pragma once

#include <cstddef>
#include <string>

class BenchScores {
  public:
    BenchScores() = delete;

    // Make answers a partwise score of about notes notes (a multiple of 8), from seed.
    static std::string Make(size_t notes, unsigned seed);
    // OneMeasure joins the measures of each part of a score Make wrote into one, so that its
    // key changes fall in the middle of one long measure.
    static std::string OneMeasure(const std::string& score);
};
