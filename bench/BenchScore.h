// BenchScore: the generated scores and pitch change lists the benchmark runs: eight staves
// (plain, key-transposed and chromatically transposed), key changes in major and minor, two
// layers, chords of one to four notes and a few rests, all from a fixed seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class BenchScore {
  public:
    struct Row {
        std::string from;
        std::string to;
        int direction = 0;  // 0 Up, 1 Down, 2 Closest
    };

    static constexpr int kStaves = 8;

    // Json answers a score of exactly entries note entries (rests included), everything
    // selected; notes counts the notes in it and measures its measures.
    static std::string Json(int entries, uint32_t seed, int& notes, int& measures);
    // Rows answers the first count rows (up to kMaxRows): sixteen chosen ones, then
    // enharmonic rows for every letter with double, single and no accidentals in turn.
    static constexpr int kMaxRows = 64;
    static std::vector<Row> Rows(int count);
};
