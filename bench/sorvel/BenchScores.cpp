// BenchScores: a quick generator; only its size and its mix of notes matter.
#include "bench/sorvel/BenchScores.h"

#include <random>

namespace {

constexpr size_t kNotesPerMeasure = 8;
constexpr size_t kParts = 4;

void AppendNote(std::string& out, std::mt19937& random, bool chord) {
    static const char* const kSteps[] = {"A", "B", "C", "D", "E", "F", "G"};
    static const char* const kAccidentals[] = {"flat", "natural", "sharp"};
    const int alter = static_cast<int>(random() % 5) - 2;  // -2 .. 2, naturals twice as often
    const int clamped = alter < -1 ? 0 : (alter > 1 ? 0 : alter);
    out += "      <note>\n";
    if (chord) {
        out += "        <chord/>\n";
    }
    out += "        <pitch>\n          <step>";
    out += kSteps[random() % 7];
    out += "</step>\n";
    if (clamped != 0) {
        out += "          <alter>" + std::to_string(clamped) + "</alter>\n";
    }
    out += "          <octave>" + std::to_string(3 + random() % 3) + "</octave>\n";
    out +=
        "        </pitch>\n        <duration>1</duration>\n        <voice>1</voice>\n"
        "        <type>eighth</type>\n";
    if (random() % 3 == 0) {
        out += std::string("        <accidental>") + kAccidentals[clamped + 1] + "</accidental>\n";
    }
    out += "        <stem>up</stem>\n      </note>\n";
}

}  // namespace

std::string BenchScores::Make(size_t notes, unsigned seed) {
    std::mt19937 random(seed);
    std::string out;
    out.reserve(notes * 260 + 4096);
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE score-partwise PUBLIC "
        "\"-//Recordare//DTD MusicXML 3.1 Partwise//EN\" "
        "\"http://www.musicxml.org/dtds/partwise.dtd\">\n<score-partwise version=\"3.1\">\n"
        "  <part-list>\n";
    for (size_t p = 1; p <= kParts; ++p) {
        out += "    <score-part id=\"P" + std::to_string(p) + "\">\n      <part-name>Part " +
               std::to_string(p) + "</part-name>\n    </score-part>\n";
    }
    out += "  </part-list>\n";
    const size_t measures = (notes + kParts * kNotesPerMeasure - 1) / (kParts * kNotesPerMeasure);
    for (size_t p = 1; p <= kParts; ++p) {
        out += "  <part id=\"P" + std::to_string(p) + "\">\n";
        for (size_t m = 1; m <= measures; ++m) {
            out += "    <measure number=\"" + std::to_string(m) + "\">\n";
            if (m % 16 == 1) {
                out += "      <attributes>\n";
                if (m == 1) {
                    out += "        <divisions>2</divisions>\n";
                }
                out += "        <key>\n          <fifths>" +
                       std::to_string(static_cast<int>(random() % 9) - 4) +
                       "</fifths>\n        </key>\n";
                if (m == 1 && p == 2) {
                    out +=
                        "        <transpose>\n          <diatonic>-1</diatonic>\n"
                        "          <chromatic>-2</chromatic>\n        </transpose>\n";
                }
                out += "      </attributes>\n";
            }
            for (size_t n = 0; n < kNotesPerMeasure; ++n) {
                AppendNote(out, random, n % 4 == 3);
            }
            out += "    </measure>\n";
        }
        out += "  </part>\n";
    }
    out += "</score-partwise>\n";
    return out;
}

std::string BenchScores::OneMeasure(const std::string& score) {
    static const std::string kBoundary = "    </measure>\n    <measure number=\"";
    std::string out;
    out.reserve(score.size());
    size_t at = 0;
    for (size_t found = score.find(kBoundary); found != std::string::npos;
         found = score.find(kBoundary, at)) {
        out.append(score, at, found - at);
        at = score.find('\n', found + kBoundary.size()) + 1;
    }
    out.append(score, at);
    return out;
}
