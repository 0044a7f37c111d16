// The small readers of sorvel: --row, --measures, decimals, text forms, the pitch-list file and
// the accidental rule.
#include <gtest/gtest.h>

#include "rules/PitchInterval.h"
#include "rules/SpellingSyntax.h"
#include "sorvel/core/Failure.h"
#include "sorvel/core/MeasureAccidentals.h"
#include "sorvel/core/MeasureList.h"
#include "sorvel/core/PitchListFile.h"
#include "sorvel/core/RowOption.h"
#include "sorvel/core/ScoreTime.h"
#include "sorvel/core/TextEncoding.h"

namespace {

TEST(RowOptionTest, Table) {
    struct Case {
        const char* text;
        const char* row;  // as Text() shows it, or null for an error
        const char* error;
    };
    const Case cases[] = {
        {"A#>Bb", "A#>Bb:closest", nullptr},
        {"a#>bB:UP", "A#>Bb:up", nullptr},
        {"cx>Dbb:Down", "C##>Dbb:down", nullptr},
        {"C####>Dbbbb:closest", "C####>Dbbbb:closest", nullptr},
        {"H>Bb", nullptr,
         "The 'From' field has wrong syntax. Use a syntax similar to: A#, Bb, "
         "C## (or Cx), Dbb, etc."},
        {"H>H", nullptr,
         "The 'From' field has wrong syntax. Use a syntax similar to: A#, Bb, "
         "C## (or Cx), Dbb, etc."},
        {"A#>B#b", nullptr,
         "The 'To' field has wrong syntax. Use a syntax similar to: A#, Bb, "
         "C## (or Cx), Dbb, etc."},
        {"C#####>D", nullptr,
         "The 'From' field has wrong syntax. Use a syntax similar to: A#, "
         "Bb, C## (or Cx), Dbb, etc."},
        {">Bb", nullptr,
         "The 'From' field has wrong syntax. Use a syntax similar to: A#, Bb, "
         "C## (or Cx), Dbb, etc."},
        {"A# > Bb", nullptr,
         "The 'From' field has wrong syntax. Use a syntax similar to: A#, "
         "Bb, C## (or Cx), Dbb, etc."},
        {"A#Bb", nullptr, "a row is FROM>TO or FROM>TO:DIRECTION, for example A#>Bb:closest"},
        {"A#>Bb:sideways", nullptr, "the direction after ':' is up, down or closest"},
        {"A#>Bb:", nullptr, "the direction after ':' is up, down or closest"},
    };
    for (const Case& c : cases) {
        rules::PitchRow row;
        std::string error;
        const bool ok = sorvel::ParseRowOption(c.text, row, error);
        EXPECT_EQ(ok, c.row != nullptr) << c.text;
        if (c.row != nullptr) {
            EXPECT_EQ(row.Text(), c.row);
        } else {
            EXPECT_EQ(error, c.error) << c.text;
        }
    }
}

// The walk skips moving a pitch by no interval (most parts do not transpose): that must be the
// pitch itself, for every spelling a score can hold and every one the rows can make.
TEST(PitchIntervalTest, NoIntervalMovesNoPitch) {
    for (int32_t letter = 0; letter < 7; ++letter) {
        for (int32_t alteration = -12; alteration <= 12; ++alteration) {
            for (int32_t octave = 0; octave <= 9; ++octave) {
                const rules::SpelledPitch pitch{letter, alteration, octave};
                EXPECT_EQ(rules::PitchInterval{}.Apply(pitch), pitch) << pitch.Text();
                EXPECT_EQ(rules::PitchInterval{}.Reversed().Apply(pitch), pitch) << pitch.Text();
            }
        }
    }
}

TEST(MeasureListTest, Table) {
    struct Case {
        const char* text;
        std::vector<std::pair<int64_t, int64_t>> ranges;  // empty: an error
    };
    constexpr int64_t kEnd = INT64_MAX;
    const Case cases[] = {
        {"5", {{5, 5}}},
        {"3-8", {{3, 8}}},
        {"3-", {{3, kEnd}}},
        {"-4", {{0, 4}}},
        {"1-2, 7 ,9-", {{1, 2}, {7, 7}, {9, kEnd}}},
        {"8-3", {}},
        {"x", {}},
        {"", {}},
        {"-", {}},
        {"1,,2", {}},
        {"-3-4", {}},
    };
    for (const Case& c : cases) {
        std::vector<sorvel::MeasureRange> ranges;
        std::string error;
        const bool ok = sorvel::ParseMeasureList(c.text, ranges, error);
        EXPECT_EQ(ok, !c.ranges.empty()) << c.text << ": " << error;
        if (ok) {
            ASSERT_EQ(ranges.size(), c.ranges.size()) << c.text;
            for (size_t i = 0; i < ranges.size(); ++i) {
                EXPECT_EQ(ranges[i].first, c.ranges[i].first) << c.text;
                EXPECT_EQ(ranges[i].last, c.ranges[i].second) << c.text;
            }
        }
    }
}

TEST(ScoreTimeTest, DecimalsAndSums) {
    struct Case {
        const char* text;
        bool ok;
        int64_t numerator;
        int64_t denominator;
    };
    const Case cases[] = {
        {"2", true, 2, 1},      {" 1.5 ", true, 3, 2}, {"+0.25", true, 1, 4},
        {"-3", true, -3, 1},    {".5", true, 1, 2},    {"1.", true, 1, 1},
        {"", false, 0, 0},      {"abc", false, 0, 0},  {"1e3", false, 0, 0},
        {"1.2.3", false, 0, 0}, {"-", false, 0, 0},    {"99999999999999999999", false, 0, 0}};
    for (const Case& c : cases) {
        sorvel::ScoreTime value;
        EXPECT_EQ(sorvel::ScoreTime::ParseDecimal(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, sorvel::ScoreTime::Of(c.numerator, c.denominator)) << c.text;
        }
    }
    const sorvel::ScoreTime third = sorvel::ScoreTime::Of(1, 3);
    EXPECT_EQ(third + third + third, sorvel::ScoreTime::Of(1, 1));
    EXPECT_TRUE(third < sorvel::ScoreTime::Of(1, 2));
    EXPECT_EQ((sorvel::ScoreTime::Of(1, 1) + third).Text(), "1.333");
    EXPECT_EQ(sorvel::ScoreTime::Of(5, 2).Text(), "2.5");
    // Fractions too fine to add up exactly are refused, not wrapped.
    sorvel::ScoreTime fine;
    ASSERT_TRUE(sorvel::ScoreTime::ParseDecimal("0.000000000000001", fine));
    EXPECT_THROW((void)(fine + sorvel::ScoreTime::Of(1, 999999999999989)), std::overflow_error);
}

TEST(TextEncodingTest, Utf16RoundTripsInBothByteOrders) {
    const std::string utf8 = "<a>\xC3\xA9\xE2\x99\xAD\xF0\x9D\x84\x9E</a>";  // é ♭ 𝄞
    for (const auto form :
         {sorvel::TextForm::kUtf16LittleEndian, sorvel::TextForm::kUtf16BigEndian}) {
        for (const bool mark : {false, true}) {
            const std::string bytes = sorvel::EncodeText(utf8, form, mark);
            EXPECT_EQ(bytes.size(), (mark ? 2U : 0U) + 2U * 11U);
            const sorvel::DecodedText decoded = sorvel::DecodeText(bytes);
            EXPECT_EQ(decoded.form, form);
            EXPECT_EQ(decoded.byteOrderMark, mark);
            EXPECT_EQ(decoded.text, utf8);
        }
    }
}

TEST(TextEncodingTest, RefusesWhatItCannotRead) {
    struct Case {
        std::string bytes;
        const char* error;
    };
    const Case cases[] = {
        {std::string("\xFF\xFE<\0a", 5), "odd number of bytes"},
        {std::string("<\0\x00\xDC", 4), "lone surrogate"},
        {std::string("\xFF\xFE\0\0<\0\0\0", 8), "UTF-32"},
        {std::string("<\0\0\0", 4), "UTF-32"},
    };
    for (const Case& c : cases) {
        try {
            (void)sorvel::DecodeText(c.bytes);
            ADD_FAILURE() << c.error << ": read";
        } catch (const sorvel::FailureError& failure) {
            EXPECT_EQ(failure.Get().kind, sorvel::FailureKind::kEncoding);
            EXPECT_NE(failure.Get().message.find(c.error), std::string::npos)
                << failure.Get().message;
        }
    }
    const sorvel::DecodedText decoded =
        sorvel::DecodeText("<?xml encoding='ISO-8859-1'?><a>\xE9</a>");
    EXPECT_EQ(decoded.form, sorvel::TextForm::kEightBit);  // 8-bit bytes pass untouched
    EXPECT_EQ(sorvel::Utf8ToLowBytes("Cor \xC3\xA9t\xC3\xA9"), "Cor \xE9t\xE9");
    EXPECT_EQ(sorvel::Latin1ToUtf8("\xE9"), "\xC3\xA9");
}

TEST(PitchListFileTest, ReadsSetsAsThePluginWritesThem) {
    // Written on Windows: CR LF line ends; keys in another letter case; blanks around texts.
    const std::string file =
        "VESKSORVEL_LIST_NAME_1=Tuba\r\n"
        "VESKSORVEL_LIST_FROM_1_1=A#\r\n"
        "VESKSORVEL_LIST_TO_1_1=Bb\r\n"
        "VESKSORVEL_LIST_UPDIRECTION_1_1=2\r\n"
        "VESKSORVEL_LIST_INUSE_1_1=1\r\n"
        "vesksorvel_list_from_1_2= F# \r\n"
        "VESKSORVEL_LIST_TO_1_2=Gb\r\n"
        "VESKSORVEL_LIST_UPDIRECTION_1_2=1\r\n"
        "VESKSORVEL_LIST_INUSE_1_2=0\r\n"
        "VESKSORVEL_LIST_NAME_2=Cor \xE9t\xE9\n"
        "VESKSORVEL_LIST_FROM_2_1=cx\n"  // stored texts are not checked
        "VESKSORVEL_LIST_TO_2_1=D\n"
        "VESKSORVEL_LIST_UPDIRECTION_2_1=abc\n"  // no digits: 0, Down
        "VESKSORVEL_LIST_INUSE_2_1=1\n"
        "VESKSORVEL_LIST_FROM_2_1=E\n"  // a repeated key: the first counts
        "VESKSORVEL_LIST_FROM_2_3=E\n"  // row 2 is missing: row 3 is never read
        "VESKSORVEL_LIST_TO_2_3=F\n"
        "VESKSORVEL_LIST_UPDIRECTION_2_3=1\n"
        "VESKSORVEL_LIST_INUSE_2_3=1\n"
        "=ignored\n"
        "no pair here\n"
        "VESKSORVEL_LIST_NAME_4=Too far\n"  // set 3 is missing
        "VESKSORVEL_LIST_FROM_4_1=C\nVESKSORVEL_LIST_TO_4_1=D\n"
        "VESKSORVEL_LIST_UPDIRECTION_4_1=7\nVESKSORVEL_LIST_INUSE_4_1=1\n";
    const std::vector<sorvel::PitchSet> sets = sorvel::ParsePitchList(file);
    ASSERT_EQ(sets.size(), 2U);
    EXPECT_EQ(sets[0].name, "Tuba");
    ASSERT_EQ(sets[0].rows.size(), 2U);
    EXPECT_EQ(sets[0].rows[0].row.Text(), "A#>Bb:closest");
    EXPECT_TRUE(sets[0].rows[0].ticked);
    EXPECT_EQ(sets[0].rows[1].row.Text(), "F#>Gb:up");
    EXPECT_FALSE(sets[0].rows[1].ticked);
    EXPECT_EQ(sets[1].name, "Cor \xE9t\xE9");
    ASSERT_EQ(sets[1].rows.size(), 1U);
    EXPECT_EQ(sets[1].rows[0].row.Text(), "cx>D:down");
    EXPECT_EQ(sorvel::FindPitchSet(sets, "TUBA"), sets.data());
    EXPECT_EQ(sorvel::FindPitchSet(sets, "cor \xE9t\xE9"), &sets[1]);
    EXPECT_EQ(sorvel::FindPitchSet(sets, "Tub"), nullptr);

    // A set whose first row is incomplete ends the reading.
    EXPECT_TRUE(sorvel::ParsePitchList("VESKSORVEL_LIST_NAME_1=Empty\n").empty());
    EXPECT_TRUE(sorvel::ParsePitchList("").empty());
    for (const auto& [code, direction] : std::vector<std::pair<int32_t, rules::PitchDirection>>{
             {0, rules::PitchDirection::kDown},
             {1, rules::PitchDirection::kUp},
             {2, rules::PitchDirection::kClosest},
             {7, rules::PitchDirection::kClosest},
             {-1, rules::PitchDirection::kClosest}}) {
        EXPECT_EQ(sorvel::DirectionFromFile(code), direction);
    }
}

TEST(MeasureAccidentalsTest, Table) {
    using Note = sorvel::AccidentalNote;
    constexpr int32_t A = 0;
    constexpr int32_t B = 1;
    constexpr int32_t C = 2;
    constexpr int32_t F = 5;
    const auto n = [](int32_t letter, int32_t octave, int32_t alteration, int32_t key = 0) {
        Note note;
        note.letter = letter;
        note.octave = octave;
        note.alteration = alteration;
        note.keyAlteration = key;
        return note;
    };
    const auto tied = [](Note note, bool start, bool stop) {
        note.tieStart = start;
        note.tieStop = stop;
        return note;
    };
    struct Case {
        const char* what;
        std::vector<Note> notes;
        std::vector<bool> needed;
    };
    Note microtone = n(C, 4, 0);
    microtone.microtone = true;
    Note newKey = n(F, 4, 0, 0);
    newKey.keyEpoch = 1;
    const Case cases[] = {
        {"the key gives F#", {n(F, 4, 1, 1), n(F, 4, 0, 1), n(F, 4, 0, 1)}, {false, true, false}},
        {"an accidental lasts the measure",
         {n(F, 4, 1), n(F, 4, 1), n(F, 4, 0)},
         {true, false, true}},
        {"other octaves are apart", {n(F, 4, 1), n(F, 5, 1), n(F, 5, 1)}, {true, true, false}},
        {"tied over the barline",
         {tied(n(F, 4, 1), false, true), n(F, 4, 1), n(F, 4, 0)},
         {false, true, true}},
        {"tied inside the measure",
         {tied(n(B, 3, -1), true, false), tied(n(B, 3, -1), false, true), n(B, 3, -1)},
         {true, false, false}},
        {"tied over the barline, then tied again",
         {tied(n(F, 4, 1), true, true), tied(n(F, 4, 1), false, true), n(F, 4, 1)},
         {false, false, true}},
        {"a microtone implies nothing", {microtone, n(C, 4, 0), n(C, 4, 0)}, {true, true, false}},
        {"a key change starts afresh", {n(F, 4, 1), newKey}, {true, false}},
        {"double sharps", {n(A, 4, 2), n(A, 4, 1), n(A, 4, 1)}, {true, true, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sorvel::AccidentalsNeeded(c.notes), c.needed) << c.what;
    }
    EXPECT_STREQ(sorvel::AccidentalValue(-2), "flat-flat");
    EXPECT_EQ(sorvel::AccidentalValue(4), nullptr);
}

}  // namespace
