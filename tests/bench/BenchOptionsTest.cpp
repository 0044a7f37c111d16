// The benchmark's command line (every option, and every kind of bad value refused with a message
// that names the option) and its rows (every list length up to 64, each row a spelling and the
// same sound spelled otherwise).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"
#include "bench/BenchScore.h"

namespace {

using Arguments = std::vector<std::string>;

TEST(BenchOptionsTest, DefaultsMeasureEverything) {
    std::string error = "stale";
    const auto options = BenchOptions::Parse({}, error);
    ASSERT_TRUE(options.has_value());
    EXPECT_EQ(error, "");
    EXPECT_EQ(options->entries, (std::vector<int>{1000, 10000, 100000}));
    EXPECT_EQ(options->rows, (std::vector<int>{1, 4, 16}));
    EXPECT_EQ(options->pairs, (std::vector<int>{1000, 10000, 150000}));
    EXPECT_EQ(options->pitchListRows, 10000);
    EXPECT_GE(options->repeat, 2) << "every cell is run more than once";
    EXPECT_TRUE(options->runs);
    EXPECT_TRUE(options->settings);
}

TEST(BenchOptionsTest, EveryOptionIsRead) {
    std::string error;
    const auto options = BenchOptions::Parse(
        {"--entries", "500,2000", "--rows", "17,64", "--repeat", "7", "--pairs", "10", "--label",
         "a label, with --rows in it", "--pitch-list-rows", "33", "--runs-only"},
        error);
    ASSERT_TRUE(options.has_value()) << error;
    EXPECT_EQ(options->entries, (std::vector<int>{500, 2000}));
    EXPECT_EQ(options->rows, (std::vector<int>{17, 64}));
    EXPECT_EQ(options->repeat, 7);
    EXPECT_EQ(options->pairs, (std::vector<int>{10}));
    EXPECT_EQ(options->pitchListRows, 33);
    EXPECT_EQ(options->label, "a label, with --rows in it");
    EXPECT_TRUE(options->runs);
    EXPECT_FALSE(options->settings);

    const auto settingsOnly = BenchOptions::Parse({"--settings-only"}, error);
    ASSERT_TRUE(settingsOnly.has_value()) << error;
    EXPECT_FALSE(settingsOnly->runs);
    EXPECT_TRUE(settingsOnly->settings);
}

TEST(BenchOptionsTest, BadArgumentsAreRefusedByName) {
    struct Case {
        Arguments arguments;
        const char* error;
    };
    const std::vector<Case> cases = {
        {{"--rows", "65"}, "--rows takes numbers from 1 to 64"},
        {{"--rows", "0"}, "--rows takes numbers from 1 to 64"},
        {{"--rows", "-4"}, "--rows takes numbers"},
        {{"--rows", "4x"}, "--rows takes numbers"},
        {{"--rows", "1,,4"}, "--rows takes numbers"},
        {{"--rows", "1,4,"}, "--rows takes numbers"},
        {{"--rows", ""}, "--rows takes numbers"},
        {{"--rows", " 4"}, "--rows takes numbers"},
        {{"--rows", "99999999999999999999"}, "--rows takes numbers"},
        {{"--entries", "1000001"}, "--entries takes numbers from 1 to 1000000"},
        {{"--repeat", "0"}, "--repeat takes a number from 1 to 1000"},
        {{"--repeat", "2,3"}, "--repeat takes a number"},
        {{"--pairs", "150 000"}, "--pairs takes numbers"},
        {{"--pitch-list-rows", "ten"}, "--pitch-list-rows takes a number"},
        {{"--rows"}, "--rows needs a value"},
        {{"--entries", "10", "--label"}, "--label needs a value"},
        {{"--row", "4"}, "unknown option --row"},
        {{"4"}, "unknown option 4"},
        {{"--runs-only", "--settings-only"}, "leave nothing to measure"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(BenchOptions::Parse(c.arguments, error).has_value()) << c.error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST(BenchOptionsTest, HelpAnswersNoOptionsAndNoError) {
    for (const char* help : {"--help", "-h"}) {
        std::string error = "stale";
        EXPECT_FALSE(BenchOptions::Parse({"--rows", "4", help}, error).has_value());
        EXPECT_EQ(error, "");
    }
    EXPECT_NE(std::string(BenchOptions::Usage()).find("--rows"), std::string::npos);
}

// Semitones above C of a spelling such as "B#" or "Fbb" (0 .. 11).
int PitchClass(const std::string& spelling) {
    constexpr int kNaturals[7] = {9, 11, 0, 2, 4, 5, 7};
    int semitones = kNaturals[spelling[0] - 'A'];
    for (size_t i = 1; i < spelling.size(); ++i) {
        semitones += spelling[i] == '#' ? 1 : -1;
    }
    return (semitones % 12 + 12) % 12;
}

bool IsSpelling(const std::string& text) {
    if (text.empty() || text[0] < 'A' || text[0] > 'G') {
        return false;
    }
    const std::string rest = text.substr(1);
    return rest.find_first_not_of('#') == std::string::npos ||
           rest.find_first_not_of('b') == std::string::npos;
}

TEST(BenchScoreTest, EveryListLengthUpToTheLongestHasItsRows) {
    ASSERT_EQ(BenchOptions::kMaxRows, BenchScore::kMaxRows);
    for (int count = 1; count <= BenchOptions::kMaxRows; ++count) {
        const std::vector<BenchScore::Row> rows = BenchScore::Rows(count);
        ASSERT_EQ(static_cast<int>(rows.size()), count);
        EXPECT_EQ(rows.front().from, "A#");
    }
    std::set<std::string> froms;
    for (const BenchScore::Row& row : BenchScore::Rows(BenchOptions::kMaxRows)) {
        EXPECT_TRUE(IsSpelling(row.from)) << row.from;
        EXPECT_TRUE(IsSpelling(row.to)) << row.to;
        EXPECT_LE(row.to.size(), 3U) << row.to;
        EXPECT_NE(row.from, row.to);
        EXPECT_EQ(PitchClass(row.from), PitchClass(row.to)) << row.from << " to " << row.to;
        EXPECT_GE(row.direction, 0);
        EXPECT_LE(row.direction, 2);
        froms.insert(row.from);
    }
    EXPECT_GE(froms.size(), 35U) << "the longer lists reach every letter and accidental";
}

}  // namespace
