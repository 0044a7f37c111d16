// The plug-in's run in the stand-in host and sorvel's run on a MusicXML file must give every
// note the same fate. Each round makes one score twice, as the host's document and as the
// MusicXML file a notation program would export (written pitches, <transpose> on the
// transposing parts), in one of the thirty keys; the same generated rows (swaps and all three
// directions among them) are applied in sounding and in written pitch along both paths, and
// every note must end on the same sounding pitch. The two readings of the result are
// independent: the host's own pitch model on one side, the file's <pitch> elements read back
// and moved by the part's <transpose> on the other. In sounding pitch the plug-in's result is
// also held to the rules library's own answer (PitchRules::Apply on the concert pitch), so that
// a fault both runs share in how they call the rules still shows.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <random>
#include <string>
#include <vector>

#include "../pitch/PitchRunFixture.h"
#include "rules/PitchInterval.h"
#include "rules/PitchRules.h"
#include "rules/SpellingSyntax.h"
#include "sorvel/core/RespellScore.h"

namespace {

// One staff of the score: its transposition word in the host, and the same instrument's
// transposition from written to sounding pitch as MusicXML gives it.
struct Instrument {
    const char* name;
    int word;  // bits 0-5 the key's shift in fifths, bits 6-11 the written interval in steps
    bool transposes;
    int diatonic;
    int chromatic;
    int octaveChange;
};

// The chromatic transposition (bit 13) has no key a written part could show: the file gives it
// an interval of more than seven fifths (written an augmented second above the sound), which
// sorvel likewise leaves alone in written pitch. In sounding pitch both paths respell it.
constexpr Instrument kInstruments[] = {
    {"Flute", 0, false, 0, 0, 0},
    {"Clarinet in Bb", (1 << 6) | 2, true, -1, -2, 0},  // sounds a major second lower
    {"Alto Sax", (12 << 6) | 3, true, -5, -9, -1},      // a major sixth and an octave lower
    {"Horn in F", (4 << 6) | 1, true, -4, -7, 0},       // a fifth lower
    {"Guitar", 7 << 6, true, 0, 0, -1},                 // an octave lower
    {"Piccolo", 57 << 6, true, 0, 0, 1},                // an octave higher (-7 steps, 6 bits)
    {"Clarinet in Eb", (62 << 6) | 3, true, 2, 3, 0},   // a minor third higher (-2 steps)
    {"Chromatic", 0x2201, true, -1, -3, 0},
};
constexpr int kParts = static_cast<int>(std::size(kInstruments));
constexpr int kEntries = 7;  // per part; every third entry is a two-note chord

// ToSounding: the instrument's interval from written to sounding pitch.
rules::PitchInterval ToSounding(const Instrument& instrument) {
    return {instrument.diatonic + 7 * instrument.octaveChange,
            instrument.chromatic + 12 * instrument.octaveChange};
}

// A file holds octaves 0 to 9 and shows at most three sharps or flats.
bool FileCanHold(const rules::SpelledPitch& written) {
    return written.octave >= 0 && written.octave <= 9 && written.alteration >= -3 &&
           written.alteration <= 3;
}

std::string HostText(const rules::SpelledPitch& pitch) {
    return pitch.Text();
}

rules::SpelledPitch FromHostText(const std::string& text) {
    size_t i = 1;
    while (i < text.size() && (text[i] == '#' || text[i] == 'b')) {
        ++i;
    }
    const std::optional<rules::SpelledPitch> pitch = rules::SpelledPitch::FromSpelling(
        rules::Widen(text.substr(0, i)), std::stoi(text.substr(i)));
    EXPECT_TRUE(pitch.has_value()) << text;
    return pitch.value_or(rules::SpelledPitch{});
}

// The generated score: per part, entries of concert pitches.
struct Score {
    int fifths = 0;
    bool minor = false;
    std::vector<std::vector<std::vector<rules::SpelledPitch>>> parts;  // part, entry, note
};

std::string HostJson(const Score& score) {
    std::string json = "{\"staves\": [";
    for (int p = 0; p < kParts; ++p) {
        json += std::string(p ? ", " : "") + "{\"id\": " + std::to_string(p + 1) +
                R"(, "name": ")" + kInstruments[p].name + R"(", "transposition": )" +
                std::to_string(kInstruments[p].word) + ", \"flags\": 0}";
    }
    const int keyWord = (score.minor ? 0x100 : 0) | (score.fifths & 0xFF);
    json += R"(], "measures": [{"key": )" + std::to_string(keyWord) + R"(}], "entries": [)";
    bool first = true;
    for (int p = 0; p < kParts; ++p) {
        for (size_t e = 0; e < score.parts[p].size(); ++e) {
            std::vector<std::string> notes;
            for (const rules::SpelledPitch& pitch : score.parts[p][e]) {
                notes.push_back(HostText(pitch));
            }
            json += std::string(first ? "" : ", ") +
                    PitchRunFixture::Entry(p + 1, 1, 1, static_cast<int>(e) * 1024, notes);
            first = false;
        }
    }
    return json + R"(], "selection": {"startSlot": 1, "endSlot": )" + std::to_string(kParts) +
           ", \"startMeasure\": 1, \"endMeasure\": 1, \"startPos\": 0, \"endPos\": "
           "2147483647}}";
}

// WrittenKey: the key signature a transposed part shows, kept to seven sharps or flats.
int WrittenKey(int fifths, const Instrument& instrument) {
    int key = fifths - ToSounding(instrument).FifthsShift();
    while (key > 7) {
        key -= 12;
    }
    while (key < -7) {
        key += 12;
    }
    return key;
}

std::string MusicXml(const Score& score) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"3.1\">"
        "<part-list>";
    for (int p = 0; p < kParts; ++p) {
        xml += "<score-part id=\"P" + std::to_string(p + 1) + "\"><part-name>" +
               kInstruments[p].name + "</part-name></score-part>";
    }
    xml += "</part-list>\n";
    for (int p = 0; p < kParts; ++p) {
        const Instrument& instrument = kInstruments[p];
        xml += "<part id=\"P" + std::to_string(p + 1) +
               R"("><measure number="1"><attributes><divisions>1</divisions><key><fifths>)" +
               std::to_string(WrittenKey(score.fifths, instrument)) + "</fifths><mode>" +
               (score.minor ? "minor" : "major") +
               "</mode></key><time><beats>7</beats><beat-type>4</beat-type></time>";
        if (instrument.transposes) {
            xml += "<transpose><diatonic>" + std::to_string(instrument.diatonic) +
                   "</diatonic><chromatic>" + std::to_string(instrument.chromatic) +
                   "</chromatic>" +
                   (instrument.octaveChange != 0
                        ? "<octave-change>" + std::to_string(instrument.octaveChange) +
                              "</octave-change>"
                        : "") +
                   "</transpose>";
        }
        xml += "</attributes>";
        const rules::PitchInterval toWritten = ToSounding(instrument).Reversed();
        for (const std::vector<rules::SpelledPitch>& entry : score.parts[p]) {
            for (size_t n = 0; n < entry.size(); ++n) {
                const rules::SpelledPitch written = toWritten.Apply(entry[n]);
                xml += std::string("<note>") + (n > 0 ? "<chord/>" : "") + "<pitch><step>" +
                       "ABCDEFG"[written.letter] + "</step>" +
                       (written.alteration != 0
                            ? "<alter>" + std::to_string(written.alteration) + "</alter>"
                            : "") +
                       "<octave>" + std::to_string(written.octave) +
                       "</octave></pitch><duration>1</duration><type>quarter</type></note>";
            }
        }
        xml += "</measure></part>\n";
    }
    return xml + "</score-partwise>\n";
}

// FilePitches reads every note's written pitch back from a file, part by part in order.
std::vector<rules::SpelledPitch> FilePitches(const std::string& text) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(text.c_str()));
    std::vector<rules::SpelledPitch> pitches;
    for (const pugi::xpath_node node : document.select_nodes("//note/pitch")) {
        const pugi::xml_node pitch = node.node();
        rules::SpelledPitch read;
        read.letter = pitch.child_value("step")[0] - 'A';
        read.alteration = pitch.child("alter").text().as_int();
        read.octave = pitch.child("octave").text().as_int();
        pitches.push_back(read);
    }
    return pitches;
}

class CrossPathTest : public PitchRunFixture {};

TEST_F(CrossPathTest, PluginAndMusicXmlRespellAlike) {
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int> letter(0, 6);
    std::uniform_int_distribution<int> acc(-2, 2);
    std::uniform_int_distribution<int> octave(1, 8);
    std::uniform_int_distribution<int> direction(0, 2);
    std::uniform_int_distribution<int> rowCount(2, 10);
    std::uniform_int_distribution<int> percent(0, 99);
    const auto spelling = [&] { return rules::SpelledPitch{letter(rng), acc(rng), 4}.Spelling(); };
    constexpr int kRounds = 90;  // each of the thirty keys three times
    int compared = 0;
    int changed = 0;
    int changedWritten = 0;
    int beyondFile = 0;
    int swapped = 0;
    int heldToRules = 0;
    for (int round = 0; round < kRounds; ++round) {
        Score score;
        score.fifths = round % 15 - 7;
        score.minor = (round / 15) % 2 == 1;
        // The notes: concert pitches whose written form a file can hold.
        std::vector<std::u16string> spellings;
        score.parts.resize(kParts);
        for (int p = 0; p < kParts; ++p) {
            const rules::PitchInterval toWritten = ToSounding(kInstruments[p]).Reversed();
            for (int e = 0; e < kEntries; ++e) {
                std::vector<rules::SpelledPitch> entry;
                while (entry.size() < (e % 3 == 2 ? 2U : 1U)) {
                    const rules::SpelledPitch pitch{letter(rng), acc(rng), octave(rng)};
                    if (FileCanHold(toWritten.Apply(pitch))) {
                        entry.push_back(pitch);
                        // Rows start from sounding and from written spellings alike.
                        spellings.push_back(pitch.Spelling());
                        spellings.push_back(toWritten.Apply(pitch).Spelling());
                    }
                }
                score.parts[static_cast<size_t>(p)].push_back(entry);
            }
        }
        // The rows: most start from a spelling in the score; some come as a swap pair.
        std::vector<rules::PitchRow> rows;
        const int count = rowCount(rng);
        for (int r = 0; r < count; ++r) {
            const std::u16string from =
                percent(rng) < 85
                    ? spellings[std::uniform_int_distribution<size_t>(0, spellings.size() - 1)(rng)]
                    : spelling();
            const std::u16string to = spelling();
            const rules::PitchDirection d = rules::ClampDirection(direction(rng));
            rows.push_back({from, to, d});
            if (percent(rng) < 30) {
                rows.push_back({to, from, rules::ClampDirection(direction(rng))});
                ++swapped;
            }
        }
        const rules::PitchRules rules(rows);
        std::vector<std::string> texts;
        for (const rules::PitchRow& row : rows) {
            texts.push_back(rules::Narrow(row.from));
            texts.push_back(rules::Narrow(row.to));
        }
        std::vector<Row> hostRows;
        for (size_t r = 0; r < rows.size(); ++r) {
            hostRows.push_back({texts[2 * r].c_str(), texts[2 * r + 1].c_str(),
                                static_cast<int>(rows[r].direction)});
        }
        const std::string xml = MusicXml(score);
        for (const bool sounding : {true, false}) {
            const std::string where =
                "round " + std::to_string(round) + ", key " + std::to_string(score.fifths) +
                (score.minor ? " minor" : " major") + (sounding ? ", sounding" : ", written");
            // (a) The plug-in in the stand-in host.
            Load(HostJson(score));
            ASSERT_TRUE(Run(hostRows, sounding)) << where;
            // (b) sorvel on the file.
            sorvel::RespellOptions options;
            options.rules = &rules;
            options.written = !sounding;
            const sorvel::RespelledScore respelled = sorvel::RespellScore(xml, options);
            ASSERT_TRUE(respelled.Ok()) << where << ": " << respelled.failure->Text();
            const std::vector<rules::SpelledPitch> filed = FilePitches(respelled.Bytes());
            size_t index = 0;
            for (int p = 0; p < kParts; ++p) {
                const rules::PitchInterval toSounding = ToSounding(kInstruments[p]);
                for (int e = 0; e < kEntries; ++e) {
                    const std::vector<rules::SpelledPitch>& entry =
                        score.parts[static_cast<size_t>(p)][static_cast<size_t>(e)];
                    for (size_t n = 0; n < entry.size(); ++n, ++index) {
                        ASSERT_LT(index, filed.size()) << where;
                        const rules::SpelledPitch host =
                            FromHostText(Note(p + 1, 1, 1, e, static_cast<int>(n)));
                        const rules::SpelledPitch file = toSounding.Apply(filed[index]);
                        const std::string note = where + ", " + kInstruments[p].name + ", entry " +
                                                 std::to_string(e) + ", " + entry[n].Text();
                        ++compared;
                        changed += host == entry[n] ? 0 : 1;
                        changedWritten += host == entry[n] || sounding ? 0 : 1;
                        if (sounding) {
                            const std::optional<rules::Respelling> fate = rules.Apply(entry[n]);
                            EXPECT_EQ(host.Text(), (fate ? fate->result : entry[n]).Text())
                                << note << ": the plug-in against the rules library";
                            ++heldToRules;
                        }
                        if (file == entry[n] && host != entry[n] &&
                            !FileCanHold(toSounding.Reversed().Apply(host))) {
                            // Beyond what a file holds: sorvel leaves the note and warns.
                            ++beyondFile;
                            continue;
                        }
                        EXPECT_EQ(host.Text(), file.Text()) << note;
                    }
                }
            }
            EXPECT_EQ(index, filed.size()) << where;
        }
    }
    const int notes = compared / 2;
    EXPECT_EQ(notes, kRounds * kParts * (kEntries + kEntries / 3));
    // The comparison means something only when many notes change and few are passed over.
    EXPECT_GT(changed, compared / 6);
    EXPECT_GT(changedWritten, compared / 20);
    EXPECT_LT(beyondFile, compared / 50);
    EXPECT_GT(swapped, kRounds / 2);
    EXPECT_EQ(heldToRules, notes);
    std::cout << compared << " notes compared (" << notes << " in each pitch), " << changed
              << " changed (" << changedWritten << " in written pitch), " << beyondFile
              << " beyond a file's octaves or signs, " << swapped << " swap pairs\n";
}

}  // namespace
