// ScoreRespeller on small scores written out here: what is refused and with which words, how
// transpositions, keys and selections are honoured, and that the edits touch nothing else.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <regex>

#include "rules/SpellingSyntax.h"
#include "sorvel/core/RespellScore.h"
#include "sorvel/core/RowOption.h"
#include "sorvel/core/XmlSpans.h"

namespace {

std::string Note(const std::string& step, int alter, int octave, const std::string& extra = "") {
    return "<note><pitch><step>" + step + "</step>" +
           (alter != 0 ? "<alter>" + std::to_string(alter) + "</alter>" : "") + "<octave>" +
           std::to_string(octave) + "</octave></pitch><duration>1</duration>" + extra + "</note>";
}

std::string Score(
    const std::string& measures,
    const std::string& attributes = "<divisions>1</divisions><key><fifths>0</fifths></key>",
    const std::string& defaults = "") {
    return "<?xml version=\"1.0\"?>\n<score-partwise version=\"3.1\">" + defaults +
           "<part-list><score-part id=\"P1\"><part-name>Clarinet</part-name></score-part>"
           "</part-list>\n<part id=\"P1\"><measure number=\"1\"><attributes>" +
           attributes + "</attributes>" + measures + "</part>\n</score-partwise>\n";
}

struct Outcome {
    bool ok = false;
    std::string error;
    sorvel::RespelledScore outcome;
    std::string text;
};

Outcome Respell(const std::string& text, const std::vector<std::string>& rows, bool written = false,
                std::vector<std::string> parts = {},
                std::vector<sorvel::MeasureRange> measures = {}) {
    std::vector<rules::PitchRow> pitchRows;
    for (const std::string& r : rows) {
        rules::PitchRow row;
        std::string error;
        EXPECT_TRUE(sorvel::ParseRowOption(r, row, error)) << r;
        pitchRows.push_back(row);
    }
    const rules::PitchRules rules(pitchRows);
    sorvel::RespellOptions options;
    options.rules = &rules;
    options.written = written;
    options.parts = std::move(parts);
    options.measures = std::move(measures);
    Outcome run;
    run.outcome = sorvel::RespellScore(text, options);
    run.ok = run.outcome.Ok();
    run.error = run.ok ? std::string() : run.outcome.failure->Text();
    run.text = run.ok ? run.outcome.Bytes() : text;
    return run;
}

// Pitches lists the pitches of a score as "C#4 Bb3 ...".
std::string Pitches(const std::string& text) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(text.c_str()));
    std::string list;
    for (const pugi::xpath_node pitch : document.select_nodes("//note/pitch")) {
        const int alter = pitch.node().child("alter").text().as_int();
        list += (list.empty() ? "" : " ") + std::string(pitch.node().child_value("step")) +
                (alter > 0 ? std::string(static_cast<size_t>(alter), '#')
                           : std::string(static_cast<size_t>(-alter), 'b')) +
                pitch.node().child_value("octave");
    }
    return list;
}

TEST(ScoreRespellerTest, RefusesWithTheLine) {
    struct Case {
        std::string text;
        const char* error;
    };
    const std::string good = Note("C", 0, 4);
    const Case cases[] = {
        {"", "the file is empty"},
        {"  \n ", "the file is empty"},
        {"<?xml version=\"1.0\"?><!-- only a comment -->", "the file holds no XML element"},
        {"<score-partwise>\n<part id=\"P1\">\n<measure>\n</part>",
         "line 4, column 3: not well-formed XML"},
        {"<score-timewise/>", "a timewise MusicXML score"},
        {"<opus/>", "a MusicXML opus"},
        {"<html/>", "not a MusicXML score: the root element is <html>"},
        {Score("\n<note><pitch><octave>4</octave></pitch></note></measure>"),
         "line 4: a <pitch> without <step>"},
        {Score("\n<note><pitch><step>C</step></pitch></note></measure>"),
         "line 4: a <pitch> without <octave>"},
        {Score("\n<note><pitch><step>H</step><octave>4</octave></pitch></note></measure>"),
         "line 4: the step \"H\" is not A to G"},
        {Score("\n\n<note><pitch><step>C</step><octave>10</octave></pitch></note></measure>"),
         "line 5: the octave \"10\" is not a whole number from 0 to 9"},
        {Score("\n<note><pitch><step>C</step><alter>1000</alter><octave>4</octave></pitch></note></"
               "measure>"),
         "line 4: the alter \"1000\" is more than an octave"},
        {Score("\n<note><pitch><step>C</step><alter>sharp</alter><octave>4</octave></pitch></"
               "note></measure>"),
         "line 4: the alter \"sharp\" is not a number of semitones"},
        {Score(good + "\n<backup><duration>x</duration></backup></measure>"),
         "line 4: the duration \"x\" is not a number of divisions"},
        {Score(Note("C", 0, 4, "") + "<forward><duration>0.000000000000001</duration></forward>" +
                   "<forward><duration>0.000000000000003</duration></forward>" +
                   "<forward><duration>0.0000000000000007</duration></forward></measure>",
               "<divisions>3.000000000000001</divisions>"),
         "the durations of this file cannot be counted exactly"},
        {Score(good + "</measure>", "\n<divisions>0</divisions>"),
         "line 4: the divisions \"0\" are not a positive number"},
    };
    for (const Case& c : cases) {
        const Outcome run = Respell(c.text, {"C>D"});
        EXPECT_FALSE(run.ok) << c.text;
        EXPECT_NE(run.error.find(c.error), std::string::npos)
            << run.error << "\nwanted: " << c.error;
        EXPECT_FALSE(run.outcome.Changed());
    }
}

TEST(ScoreRespellerTest, SoundingAndWrittenPitchOfATransposingPart) {
    // A clarinet in B flat: written D4 sounds C4; in the middle of the measure it becomes a
    // clarinet in A (written Eb4 sounds C4).
    const std::string text = Score(
        Note("D", 0, 4) + Note("C", 1, 4) +
            "<attributes><transpose><diatonic>-2</diatonic><chromatic>-3</chromatic></transpose>"
            "</attributes>" +
            Note("E", -1, 4) + "</measure>",
        "<divisions>1</divisions><key><fifths>2</fifths></key><transpose><diatonic>-1</diatonic>"
        "<chromatic>-2</chromatic></transpose>");
    struct Case {
        std::vector<std::string> rows;
        bool written;
        const char* pitches;
    };
    const Case cases[] = {
        // Sounding: C4 B3 C4.
        {{"C>B#:closest"}, false, "C##4 C#4 D#4"},
        {{"B>Cb:closest"}, false, "D4 Db4 Eb4"},
        {{"C>D:up"}, false, "E4 C#4 F4"},
        // Written: D4 C#4 Eb4.
        {{"D>C##:closest"}, true, "C##4 C#4 Eb4"},
        {{"C#>Db:down"}, true, "D4 Db3 Eb4"},  // Db4 lies above C#4
        {{"Eb>D#:closest"}, true, "D4 C#4 D#4"},
    };
    for (const Case& c : cases) {
        const Outcome run = Respell(text, c.rows, c.written);
        ASSERT_TRUE(run.ok) << run.error;
        EXPECT_EQ(Pitches(run.text), c.pitches) << c.rows[0] << (c.written ? " written" : "");
    }
    const Outcome run = Respell(text, {"C>D:up"});
    ASSERT_EQ(run.outcome.changes.size(), 2U);
    EXPECT_EQ(run.outcome.changes[0].writtenBefore.Text(), "D4");
    EXPECT_EQ(run.outcome.changes[0].writtenAfter.Text(), "E4");
    EXPECT_EQ(run.outcome.changes[0].soundingBefore.Text(), "C4");
    EXPECT_EQ(run.outcome.changes[0].soundingAfter.Text(), "D4");
    EXPECT_EQ(run.outcome.changes[1].beat.Text(), "3");
    EXPECT_EQ(run.outcome.parts[run.outcome.changes[1].part].name, "Clarinet");
}

TEST(ScoreRespellerTest, PartsWhoseSpellingCannotBeToldAreLeftAlone) {
    const std::string notes = Note("D", 0, 4) + Note("F", 1, 4) + "</measure>";
    struct Case {
        const char* transpose;
        bool written;
        const char* pitches;
        const char* warning;
    };
    const Case cases[] = {
        // No diatonic step: the sounding spelling is unknown.
        {"<transpose><chromatic>-2</chromatic></transpose>", false, "D4 F#4",
         "sounding spelling is unknown"},
        {"<transpose><chromatic>-2</chromatic></transpose>", true, "D4 F#4",
         "not a key transposition"},
        // A second of five semitones moves a key by 23 places.
        {"<transpose><diatonic>1</diatonic><chromatic>5</chromatic></transpose>", true, "D4 F#4",
         "not a key transposition"},
        {"<transpose><diatonic>1</diatonic><chromatic>5</chromatic></transpose>", false, "E4 F#4",
         nullptr},
        // An octave is a key transposition.
        {"<transpose><diatonic>0</diatonic><chromatic>0</chromatic><octave-change>-1</"
         "octave-change></transpose>",
         true, "E4 F#4", nullptr},
    };
    for (const Case& c : cases) {
        const std::string text =
            Score(notes, std::string("<divisions>1</divisions><key><fifths>0</fifths></key>") +
                             c.transpose);
        // In sounding pitch with the distorted interval, D4 sounds E#4... respell by sound.
        const Outcome run = Respell(text, {"D>E:up", "E#>F##:closest"}, c.written);
        ASSERT_TRUE(run.ok) << run.error;
        if (c.warning == nullptr) {
            EXPECT_TRUE(run.outcome.warnings.empty()) << c.transpose;
            continue;
        }
        EXPECT_EQ(Pitches(run.text), c.pitches) << c.transpose;
        ASSERT_EQ(run.outcome.warnings.size(), 1U) << c.transpose;
        EXPECT_NE(run.outcome.warnings[0].find(c.warning), std::string::npos)
            << run.outcome.warnings[0];
    }
}

TEST(ScoreRespellerTest, KeysWithoutATraditionalSignatureAndSelections) {
    const std::string text =
        "<score-partwise><part-list><score-part id=\"P1\"><part-name>Oboe</part-name></score-part>"
        "<score-part id=\"P2\"><part-name>Bassoon</part-name></score-part></part-list>"
        "<part id=\"P1\"><measure number=\"1\"><attributes><divisions>1</divisions><key><fifths>0"
        "</fifths></key></attributes>" +
        Note("C", 0, 4) +
        "</measure><measure number=\"2\">"
        "<attributes><key><key-step>F</key-step><key-alter>1</key-alter></key></attributes>" +
        Note("C", 0, 4) +
        "</measure><measure number=\"3\"><attributes><key><fifths>1</fifths>"
        "</key></attributes>" +
        Note("C", 0, 4) + "</measure><measure number=\"4a\">" + Note("C", 0, 4) +
        R"(</measure></part><part id="P2"><measure number="1">)" + Note("C", 0, 3) +
        "</measure></part></score-partwise>";
    struct Case {
        std::vector<std::string> parts;
        std::vector<sorvel::MeasureRange> measures;
        const char* pitches;
    };
    const Case cases[] = {
        {{}, {}, "D4 C4 D4 D4 D3"},  // measure 2 is in a key without a signature
        {{"P2"}, {}, "C4 C4 C4 C4 D3"},
        {{"oboe"}, {}, "D4 C4 D4 D4 C3"},  // names ignore letter case
        {{}, {{3, 4}}, "C4 C4 D4 D4 C3"},  // "4a" counts as 4
        {{"Oboe"}, {{1, 1}, {4, 9}}, "D4 C4 C4 D4 C3"},
    };
    for (const Case& c : cases) {
        const Outcome run = Respell(text, {"C>D:up"}, false, c.parts, c.measures);
        ASSERT_TRUE(run.ok) << run.error;
        EXPECT_EQ(Pitches(run.text), c.pitches);
    }
    const Outcome unknown = Respell(text, {"C>D"}, false, {"Tuba"});
    ASSERT_EQ(unknown.outcome.warnings.size(), 1U);
    EXPECT_EQ(unknown.outcome.warnings[0], "no part has the id or name \"Tuba\"");
}

TEST(ScoreRespellerTest, AConcertScoreIsReadAsSounding) {
    const std::string text =
        Score(Note("C", 0, 4) + "</measure>",
              "<divisions>1</divisions><for-part><part-transpose><diatonic>-1</diatonic>"
              "<chromatic>-2</chromatic></part-transpose></for-part>",
              "<defaults><concert-score/></defaults>");
    EXPECT_EQ(Pitches(Respell(text, {"C>D:up"}).text), "D4");
    EXPECT_EQ(Pitches(Respell(text, {"C>D:up"}, true).text), "D4");
}

TEST(ScoreRespellerTest, EditsKeepLayoutAndEverythingElse) {
    // Indented, with attributes on the pitch, a comment, and a note with <stem> after which no
    // accidental may come.
    const std::string text =
        "<?xml version='1.0' encoding='UTF-8'?>\r\n<!DOCTYPE score-partwise>\r\n<?pi x?>\r\n"
        "<score-partwise version='3.1'>\r\n  <part id='P1'>\r\n    <measure number='1'>\r\n"
        "      <attributes><divisions>1</divisions><key><fifths>-1</fifths></key></attributes>\r\n"
        "      <note default-x='12'>\r\n        <pitch>\r\n          <step>A</step>\r\n"
        "          <alter>1</alter>\r\n          <octave>4</octave>\r\n        </pitch>\r\n"
        "        <duration>1</duration>\r\n        <!-- keep me -->\r\n"
        "        <accidental parentheses='yes' color='#FF0000'>sharp</accidental>\r\n"
        "        <stem>up</stem>\r\n      </note>\r\n"
        "      <note>\r\n        <pitch>\r\n          <step>E</step>\r\n          "
        "<octave>4</octave>\r\n"
        "        </pitch>\r\n        <duration>1</duration>\r\n        <type>quarter</type>\r\n    "
        "  </note>\r\n"
        "    </measure>\r\n  </part>\r\n</score-partwise>\r\n";
    const Outcome run = Respell(text, {"A#>Bb", "E>Fb"});
    ASSERT_TRUE(run.ok) << run.error;
    const std::string expected =
        "<?xml version='1.0' encoding='UTF-8'?>\r\n<!DOCTYPE score-partwise>\r\n<?pi x?>\r\n"
        "<score-partwise version='3.1'>\r\n  <part id='P1'>\r\n    <measure number='1'>\r\n"
        "      <attributes><divisions>1</divisions><key><fifths>-1</fifths></key></attributes>\r\n"
        "      <note default-x='12'>\r\n        <pitch>\r\n          <step>B</step>\r\n"
        "          <alter>-1</alter>\r\n          <octave>4</octave>\r\n        </pitch>\r\n"
        "        <duration>1</duration>\r\n        <!-- keep me -->\r\n        <stem>up</stem>\r\n "
        "     </note>\r\n"
        "      <note>\r\n        <pitch>\r\n          <step>F</step>\r\n          "
        "<alter>-1</alter>\r\n"
        "          <octave>4</octave>\r\n"
        "        </pitch>\r\n        <duration>1</duration>\r\n        <type>quarter</type>\r\n"
        "        <accidental>flat</accidental>\r\n      </note>\r\n"
        "    </measure>\r\n  </part>\r\n</score-partwise>\r\n";
    EXPECT_EQ(run.text, expected);
    // A changed note that needs its accidental keeps the element's own attributes and an
    // editor's marks (parentheses, brackets, editorial), but not the courtesy mark.
    const Outcome sharp = Respell(text, {"A#>C##:down"});
    EXPECT_NE(sharp.text.find(
                  "<accidental parentheses=\"yes\" color=\"#FF0000\">double-sharp</accidental>"),
              std::string::npos)
        << sharp.text;
    std::string marked = text;
    marked.replace(marked.find("parentheses='yes'"), 17, "cautionary='yes' editorial='yes'");
    const Outcome editorial = Respell(marked, {"A#>C##:down"});
    EXPECT_NE(editorial.text.find(
                  "<accidental editorial=\"yes\" color=\"#FF0000\">double-sharp</accidental>"),
              std::string::npos)
        << editorial.text;
}

TEST(ScoreRespellerTest, LaterNotesGetTheAccidentalTheChangeMadeNecessary) {
    // F#4 F#4 F4 in C: respelling the first to Gb4 leaves the second F#4 without a sharp and
    // the natural of F4 unneeded (but right, so kept).
    const std::string text =
        Score(Note("F", 1, 4, "<accidental>sharp</accidental>") + Note("F", 1, 4) +
              Note("F", 0, 4, "<accidental>natural</accidental>") + Note("G", 0, 4) +
              "</measure><measure number=\"2\">" +
              Note("F", 1, 4, "<accidental>sharp</accidental>") + "</measure>");
    const Outcome run = Respell(text, {"G>F##:closest"});
    ASSERT_TRUE(run.ok);
    EXPECT_EQ(run.outcome.accidentalsMended, 0U);
    EXPECT_NE(run.text.find("<alter>2</alter><octave>4</octave></pitch><duration>1</duration>"
                            "<accidental>double-sharp</accidental>"),
              std::string::npos);
    const std::regex accidental("<accidental>");
    const Outcome first = Respell(text, {"F#>Gb"});
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.outcome.changes.size(), 3U);  // all three F#, one in measure 2
    EXPECT_EQ(Pitches(first.text), "Gb4 Gb4 F4 G4 Gb4");
    // The second Gb4 needs no flat after the first; F4 keeps its (now courtesy) natural; G4
    // after Gb4 now needs its natural.
    EXPECT_EQ(first.outcome.accidentalsMended, 1U);
    EXPECT_EQ(std::distance(std::sregex_iterator(first.text.begin(), first.text.end(), accidental),
                            std::sregex_iterator()),
              4);
    EXPECT_NE(first.text.find("<step>G</step><octave>4</octave></pitch><duration>1</duration>"
                              "<accidental>natural</accidental>"),
              std::string::npos);
    const Outcome measured = Respell(text, {"F#>Gb"}, false, {}, {{1, 1}});
    EXPECT_EQ(measured.outcome.changes.size(), 2U);
    // Only measure 2: nothing in measure 1 changes.
    const Outcome second = Respell(text, {"F#>E#:down"}, false, {}, {{2, 2}});
    EXPECT_EQ(Pitches(second.text), "F#4 F#4 F4 G4 E#4");
}

TEST(ScoreRespellerTest, AMendedLaterNote) {
    // An E respelled to F# makes the F natural after it need its natural sign.
    const std::string text = Score(Note("E", 0, 4) + Note("F", 0, 4) + "</measure>");
    const Outcome run = Respell(text, {"E>F#:closest"});
    ASSERT_TRUE(run.ok);
    EXPECT_EQ(Pitches(run.text), "F#4 F4");
    EXPECT_EQ(run.outcome.accidentalsMended, 1U);
    EXPECT_NE(run.text.find("<octave>4</octave></pitch><duration>1</duration><accidental>natural"
                            "</accidental></note>"),
              std::string::npos)
        << run.text;
}

TEST(XmlSpansTest, EveryElementSpanIsTheElement) {
    const std::string text =
        "<?xml version='1.0'?><!DOCTYPE a [<!ENTITY e 'x'>]><a x='>'>\n <b/><c y=\"/>\" "
        ">t<![CDATA[<d>]]>"
        "<!-- </c> --><?p ?>u</c ><e><f>1</f> <g></g>\n</e>text<h\n/></a>";
    pugi::xml_document document;
    ASSERT_TRUE(
        document.load_buffer(text.data(), text.size(), pugi::parse_full, pugi::encoding_utf8));
    const sorvel::XmlSpans spans(text);
    struct Walker : pugi::xml_tree_walker {
        const sorvel::XmlSpans* spans;
        std::vector<std::string> seen;
        bool for_each(pugi::xml_node& node) override {
            if (node.type() == pugi::node_element) {
                seen.emplace_back(spans->Text(spans->Start(node), spans->End(node)));
            }
            return true;
        }
    } walker;
    walker.spans = &spans;
    document.traverse(walker);
    const std::vector<std::string> expected = {
        text.substr(text.find("<a ")),
        "<b/>",
        "<c y=\"/>\" >t<![CDATA[<d>]]><!-- </c> --><?p ?>u</c >",
        "<e><f>1</f> <g></g>\n</e>",
        "<f>1</f>",
        "<g></g>",
        "<h\n/>"};
    EXPECT_EQ(walker.seen, expected);
    EXPECT_EQ(spans.PlaceOf(text.find("<h")).line, 3U);
}

}  // namespace
