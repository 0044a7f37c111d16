// BenchScore: score generation for the benchmark. The notes are random, with a fixed seed, so
// that every build runs the same music.
#include "bench/BenchScore.h"

#include <algorithm>
#include <cstdlib>
#include <random>

namespace {

struct Staff {
    const char* name;
    int transposition;
};

// 66: up a step and two sharps in the key (an instrument in B flat); 257: up a fifth and one
// sharp (in F); 0x2201: chromatic, up two steps with two sharps' alteration.
constexpr Staff kStaffList[BenchScore::kStaves] = {
    {"Flute", 0},        {"Oboe", 0},   {"Clarinet in Bb", 66}, {"Horn in F", 257},
    {"Trumpet", 0x2201}, {"Violin", 0}, {"Viola", 0},           {"Cello", 0}};

// Major keys with sharps and flats, then minor keys (mode 1 in the high byte).
constexpr int kKeys[] = {0, 1, 2, 254, 3, 253, 0x0100, 0x0101, 0x01FF, 4, 252};

constexpr int kEntriesPerLayer = 4;
constexpr int kLayers = 2;
constexpr int kEntriesPerMeasure = BenchScore::kStaves * kLayers * kEntriesPerLayer;

const BenchScore::Row kRowList[16] = {
    {"A#", "Bb", 2}, {"E#", "F", 0},  {"Cb", "B", 1},  {"F#", "Gb", 2},
    {"C#", "Db", 2}, {"G#", "Ab", 0}, {"D#", "Eb", 1}, {"B#", "C", 0},
    {"Fb", "E", 1},  {"Gb", "F#", 2}, {"Db", "C#", 2}, {"Ab", "G#", 1},
    {"Eb", "D#", 0}, {"Bb", "A#", 2}, {"E", "Fb", 2},  {"B", "Cb", 0}};

}  // namespace

std::string BenchScore::Json(int entries, uint32_t seed, int& notes, int& measures) {
    std::mt19937 random(seed);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
    measures = (entries + kEntriesPerMeasure - 1) / kEntriesPerMeasure;
    notes = 0;

    std::string json = "{\"staves\": [";
    for (int s = 0; s < kStaves; ++s) {
        json += std::string(s ? ", " : "") + R"({"id": )" + std::to_string(s + 1) +
                R"(, "name": ")" + kStaffList[s].name + R"(", "transposition": )" +
                std::to_string(kStaffList[s].transposition) + R"(, "flags": 0})";
    }
    json += "], \"measures\": [";
    for (int m = 0; m < measures; ++m) {
        const int key = kKeys[(m / 4) % static_cast<int>(std::size(kKeys))];
        json += std::string(m ? ", " : "") + R"({"key": )" + std::to_string(key) + "}";
    }
    json += R"(], "layers": {"count": 4, "shown": [1, 2, 3, 4]}, "entries": [)";

    static const char* const kAccidentals[] = {"", "", "#", "b", "#", "b", "##", "bb"};
    int made = 0;
    for (int m = 1; m <= measures && made < entries; ++m) {
        for (int s = 1; s <= kStaves && made < entries; ++s) {
            for (int layer = 1; layer <= kLayers && made < entries; ++layer) {
                for (int e = 0; e < kEntriesPerLayer && made < entries; ++e, ++made) {
                    json += std::string(made ? ",\n" : "\n") + "{\"staff\": " + std::to_string(s) +
                            ", \"measure\": " + std::to_string(m) +
                            ", \"layer\": " + std::to_string(layer) +
                            ", \"pos\": " + std::to_string(e * 1024);
                    if (pick(10) == 0) {
                        json += ", \"rest\": true}";
                        continue;
                    }
                    // A chord of distinct letters, low to high.
                    const int count = 1 + pick(4);
                    int letter = pick(7);
                    int octave = layer == 1 ? 4 : 3;
                    json += ", \"notes\": [";
                    for (int n = 0; n < count; ++n) {
                        json += std::string(n ? ", \"" : "\"") + static_cast<char>('A' + letter) +
                                kAccidentals[pick(8)] + std::to_string(octave) + "\"";
                        letter += 2;
                        if (letter >= 7) {
                            letter -= 7;
                        }
                        if (letter == 2 || letter == 3) {  // passed C: the next octave
                            ++octave;
                        }
                        ++notes;
                    }
                    json += "]}";
                }
            }
        }
    }
    json += "\n" + std::string(R"(], "selection": {"startSlot": 1, "endSlot": )") +
            std::to_string(kStaves) + R"(, "startMeasure": 1, "endMeasure": )" +
            std::to_string(measures) + R"(, "startPos": 0, "endPos": 2147483647}})";
    return json;
}

std::vector<BenchScore::Row> BenchScore::Rows(int count) {
    count = std::clamp(count, 0, kMaxRows);
    std::vector<Row> rows;
    for (int i = 0; i < count && i < static_cast<int>(std::size(kRowList)); ++i) {
        rows.push_back(kRowList[i]);
    }
    // Each further row names a spelling and the same sound on the next letter up (or down when
    // that would take more than two accidentals).
    static const char* const kFrom[] = {"##", "bb", "#", "b", ""};
    constexpr int kNaturals[7] = {9, 11, 0, 2, 4, 5, 7};  // semitones of A .. G above C
    for (int i = static_cast<int>(rows.size()); i < count; ++i) {
        const int j = i - static_cast<int>(std::size(kRowList));
        const int letter = j % 7;
        const std::string accidentals = kFrom[(j / 7) % 5];
        const int alteration =
            accidentals.empty() ? 0 : (accidentals[0] == '#' ? 1 : -1) * int(accidentals.size());
        int other = (letter + 1) % 7;
        int shift = ((kNaturals[letter] + alteration - kNaturals[other]) % 12 + 18) % 12 - 6;
        if (shift < -2 || shift > 2) {
            other = (letter + 6) % 7;
            shift = ((kNaturals[letter] + alteration - kNaturals[other]) % 12 + 18) % 12 - 6;
        }
        Row row;
        row.from = std::string(1, char('A' + letter)) + accidentals;
        row.to =
            std::string(1, char('A' + other)) + std::string(std::abs(shift), shift > 0 ? '#' : 'b');
        row.direction = j % 3;
        rows.push_back(row);
    }
    return rows;
}
