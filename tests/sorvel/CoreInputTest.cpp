// The core's entry on input a user or an attacker may hand it: each damaged, deep, lying or
// truncated text is either respelled or refused with the failure that names what it is, and
// never crashes; memory that runs out is reported as such.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "rules/PitchRules.h"
#include "sorvel/core/RespellScore.h"
#include "sorvel/core/RowOption.h"

namespace {

using sorvel::FailureKind;

const std::string kHead =
    "<?xml version=\"1.0\"?>\n<score-partwise version=\"3.1\">\n<part-list><score-part "
    "id=\"P1\"><part-name>Flute</part-name></score-part></part-list>\n<part id=\"P1\"><measure "
    "number=\"1\"><attributes><divisions>1</divisions></attributes>\n";
const std::string kSharp =
    "<note><pitch><step>A</step><alter>1</alter><octave>4</octave></pitch><duration>1</duration>"
    "</note>\n";
const std::string kTail = "</measure></part>\n</score-partwise>\n";

sorvel::RespelledScore Respell(std::string bytes) {
    rules::PitchRow row;
    std::string error;
    EXPECT_TRUE(sorvel::ParseRowOption("A#>Bb", row, error));
    static const rules::PitchRules rules({row});
    sorvel::RespellOptions options;
    options.rules = &rules;
    return sorvel::RespellScore(std::move(bytes), options);
}

// Nested: a note whose notations hold depth levels of elements, all inside the note that is
// respelled, so that the note's end must be found through every level.
std::string Nested(size_t depth) {
    std::string text = kHead +
                       "<note><pitch><step>A</step><alter>1</alter><octave>4</octave>"
                       "</pitch><duration>1</duration><notations>";
    text.reserve(text.size() + depth * 7 + kTail.size() + 32);
    for (size_t i = 0; i < depth; ++i) {
        text += "<x>";
    }
    for (size_t i = 0; i < depth; ++i) {
        text += "</x>";
    }
    return text + "</notations></note>\n" + kTail;
}

TEST(CoreInputTest, DamagedTextIsRefusedWithWhatItIs) {
    const std::string score = kHead + kSharp + kTail;
    struct Case {
        const char* what;
        std::string bytes;
        FailureKind kind;
        const char* message;  // a part of the failure's text
    };
    const Case cases[] = {
        {"NUL after the root", score + std::string("\0<junk/>", 8), FailureKind::kNotWellFormed,
         "a NUL byte after the root element"},
        {"text after the root", score + "trailing", FailureKind::kNotWellFormed,
         "content after the root element"},
        {"a second root", score + "<score-partwise/>", FailureKind::kNotWellFormed,
         "a second root element"},
        {"cut short", score.substr(0, score.size() - 40), FailureKind::kNotWellFormed,
         "the file ends before its XML does"},
        {"a leading NUL", std::string("\0", 1) + score, FailureKind::kNotWellFormed,
         "line 1, column 1: not well-formed XML (a NUL byte"},
        {"a NUL inside", kHead + std::string("\0", 1) + kSharp + kTail, FailureKind::kNotWellFormed,
         "a NUL byte, which XML text cannot hold"},
        {"UTF-32", std::string("<\0\0\0", 4) + "?\0\0\0", FailureKind::kEncoding, "UTF-32"},
        {"odd UTF-16", std::string("\xFF\xFE<\0s", 5), FailureKind::kEncoding,
         "odd number of bytes"},
        {"empty", "  \n", FailureKind::kNotAScore, "the file is empty"},
        {"timewise", "<score-timewise/>", FailureKind::kNotAScore, "timewise"},
        {"an accidental holding elements",
         kHead +
             "<note><pitch><step>A</step><alter>1</alter><octave>4</octave></pitch>"
             "<duration>1</duration><accidental>sharp<x/></accidental></note>\n" +
             kTail,
         FailureKind::kNotAScore, "line 5: <accidental> holds more than its text"},
        {"a step holding a comment",
         kHead +
             "<note><pitch><step>A<!-- a --></step><alter>1</alter><octave>4</octave>"
             "</pitch><duration>1</duration></note>\n" +
             kTail,
         FailureKind::kNotAScore, "<step> holds more than its text"},
        {"bad octave",
         kHead + "<note><pitch><step>A</step><octave>x</octave></pitch></note>" + kTail,
         FailureKind::kNotAScore, "line 5: the octave \"x\""},
    };
    for (const Case& c : cases) {
        const sorvel::RespelledScore result = Respell(c.bytes);
        ASSERT_FALSE(result.Ok()) << c.what;
        EXPECT_EQ(result.failure->kind, c.kind) << c.what << ": " << result.failure->Text();
        EXPECT_NE(result.failure->Text().find(c.message), std::string::npos)
            << c.what << ": " << result.failure->Text();
        EXPECT_TRUE(result.Bytes().empty()) << c.what;
    }
}

TEST(CoreInputTest, NestingAsDeepAsTheFileLikesIsNoCrash) {
    // 200 000 levels overflowed the stack when a node's end was found recursively.
    const sorvel::RespelledScore result = Respell(Nested(200000));
    ASSERT_TRUE(result.Ok()) << result.failure->Text();
    ASSERT_EQ(result.changes.size(), 1U);
    const std::string bytes = result.Bytes();
    EXPECT_NE(bytes.find("<step>B</step><alter>-1</alter>"), std::string::npos);
    // "1" became "-1", A became B, and the flat is shown.
    EXPECT_EQ(bytes.size(),
              Nested(200000).size() + 1 + std::string("<accidental>flat</accidental>").size());
}

// The command line hands the core the buffer it read the file into; the browser page a string.
// Both must answer the same, for plain and UTF-16 text and for refusals (an .mxl: in
// MxlArchiveTest).
TEST(CoreInputTest, ABufferAndAStringAreRespelledAlike) {
    const std::string plain = kHead + kSharp + kTail;
    std::string utf16 = "\xFF\xFE";  // little-endian with its mark: each ASCII byte, then 0
    for (const char c : plain) {
        utf16 += c;
        utf16 += '\0';
    }
    for (const std::string& bytes : {plain, utf16, kHead + kSharp, std::string("<a/>")}) {
        auto buffer = std::make_unique_for_overwrite<char[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), buffer.get());
        sorvel::RespellOptions options;
        rules::PitchRow row;
        std::string error;
        ASSERT_TRUE(sorvel::ParseRowOption("A#>Bb", row, error));
        const rules::PitchRules rules({row});
        options.rules = &rules;
        const sorvel::RespelledScore fromString = sorvel::RespellScore(bytes, options);
        const sorvel::RespelledScore fromBuffer =
            sorvel::RespellScore(sorvel::ScoreBytes{std::move(buffer), bytes.size()}, options);
        ASSERT_EQ(fromString.Ok(), fromBuffer.Ok()) << bytes.substr(0, 40);
        if (fromString.Ok()) {
            EXPECT_EQ(fromString.Bytes(), fromBuffer.Bytes());
            EXPECT_EQ(fromString.changes.size(), fromBuffer.changes.size());
        } else {
            EXPECT_EQ(fromString.failure->Text(), fromBuffer.failure->Text());
        }
    }
}

// An inserted element copies its neighbour's indentation: one far larger than any block of
// edit texts is kept whole all the same.
TEST(CoreInputTest, HugeIndentationIsCopiedWhole) {
    const std::string indent(200000, ' ');
    const std::string note = "<note><pitch>" + indent +
                             "<step>A</step><octave>4</octave></pitch><duration>1</duration>"
                             "</note>\n";
    rules::PitchRow row;
    std::string error;
    ASSERT_TRUE(sorvel::ParseRowOption("A>Bbb", row, error));
    const rules::PitchRules rules({row});
    sorvel::RespellOptions options;
    options.rules = &rules;
    const sorvel::RespelledScore result =
        sorvel::RespellScore(kHead + note + note + kTail, options);
    ASSERT_TRUE(result.Ok()) << result.failure->Text();
    const std::string respelled = "<note><pitch>" + indent + "<step>B</step>" + indent +
                                  "<alter>-2</alter><octave>4</octave></pitch><duration>1"
                                  "</duration><accidental>flat-flat</accidental></note>\n";
    // The second note is in the same measure: its double flat is implied by the first.
    const std::string second = "<note><pitch>" + indent + "<step>B</step>" + indent +
                               "<alter>-2</alter><octave>4</octave></pitch><duration>1"
                               "</duration></note>\n";
    EXPECT_EQ(result.Bytes(), kHead + respelled + second + kTail);
}

TEST(CoreInputTest, MemoryThatRunsOutIsNamed) {
    // pugixml's allocations fail from the first: the failure is memory, not the XML's syntax.
    pugi::set_memory_management_functions([](size_t) -> void* { return nullptr; }, std::free);
    const sorvel::RespelledScore result = Respell(kHead + kSharp + kTail);
    pugi::set_memory_management_functions(std::malloc, std::free);
    ASSERT_FALSE(result.Ok());
    EXPECT_EQ(result.failure->kind, FailureKind::kOutOfMemory) << result.failure->Text();
    EXPECT_EQ(result.failure->line, 0U);
}

TEST(CoreInputTest, EveryKindOfNoteLeftAloneIsCounted) {
    const std::string microtone =
        "<note><pitch><step>A</step><alter>0.5</alter><octave>4</octave></pitch><duration>1"
        "</duration></note>\n";
    const std::string fingered =
        "<note><pitch><step>A</step><alter>1</alter><octave>4</octave></pitch><duration>1"
        "</duration><notations><technical><fret>3</fret></technical></notations></note>\n";
    const std::string fretted =
        "<note><pitch><step>A</step><alter>1</alter><octave>4</octave></pitch><duration>1"
        "</duration><notations><technical><string>2</string><fret>3</fret></technical>"
        "</notations></note>\n";
    struct Case {
        const char* what;
        std::string notes;
        size_t changes;
        const char* warning;  // empty: none
    };
    const Case cases[] = {
        {"a microtone", microtone, 0, "part P1 (Flute): 1 note left alone: a microtonal"},
        {"a fret alone is a fingering", fingered, 1, ""},
        {"a string and a fret", fretted, 0, "left alone: tablature"},
    };
    for (const Case& c : cases) {
        const sorvel::RespelledScore result = Respell(kHead + c.notes + kTail);
        ASSERT_TRUE(result.Ok()) << c.what;
        EXPECT_EQ(result.changes.size(), c.changes) << c.what;
        if (std::string(c.warning).empty()) {
            EXPECT_TRUE(result.warnings.empty()) << c.what;
        } else {
            ASSERT_EQ(result.warnings.size(), 1U) << c.what;
            EXPECT_NE(result.warnings[0].find(c.warning), std::string::npos) << result.warnings[0];
        }
    }
    // A tablature staff fixes every note's pitch, fret or not.
    const std::string tab =
        kHead + "<attributes><clef><sign>TAB</sign></clef></attributes>" + kSharp + kTail;
    const sorvel::RespelledScore onTab = Respell(tab);
    ASSERT_TRUE(onTab.Ok());
    EXPECT_TRUE(onTab.changes.empty());
}

}  // namespace
