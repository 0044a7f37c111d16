// KeySignatureTest: the alteration a key gives each letter, against the keys as a musician
// writes them out and against a count over the written order of sharps and flats.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "rules/KeySignature.h"

namespace {

enum Letter : int32_t { A, B, C, D, E, F, G };

// Oracle: write the key's accidentals out in order (F C G D A E B for sharps, the reverse for
// flats, starting again past seven) and count how often the letter's name appears.
int32_t Written(int32_t fifths, int32_t letter) {
    const std::string order = fifths >= 0 ? "FCGDAEB" : "BEADGCF";
    const int32_t count = fifths >= 0 ? fifths : -fifths;
    std::string signature;
    for (int32_t k = 0; k < count; ++k) {
        signature += order[static_cast<size_t>(k % 7)];
    }
    int32_t hits = 0;
    for (const char c : signature) {
        hits += c == 'A' + letter ? 1 : 0;
    }
    return fifths >= 0 ? hits : -hits;
}

struct KeyCase {
    const char* name;
    int32_t fifths;
    int32_t letter;
    int32_t alteration;
};

class KeyAlterationTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyAlterationTest, GivesTheLetterItsAlteration) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(rules::KeyAlteration(c.fifths, c.letter), c.alteration);
}

// Keys as they are printed, the wrap past seven, letters outside A..G and the widest keys.
INSTANTIATE_TEST_SUITE_P(
    Keys, KeyAlterationTest,
    testing::Values(
        KeyCase{"CMajorLeavesC", 0, C, 0}, KeyCase{"CMajorLeavesF", 0, F, 0},
        KeyCase{"GMajorSharpensF", 1, F, 1}, KeyCase{"GMajorLeavesC", 1, C, 0},
        KeyCase{"DMajorSharpensC", 2, C, 1}, KeyCase{"DMajorLeavesA", 2, A, 0},
        KeyCase{"CSharpMajorSharpensB", 7, B, 1}, KeyCase{"FMajorFlattensB", -1, B, -1},
        KeyCase{"FMajorLeavesE", -1, E, 0}, KeyCase{"EFlatMajorFlattensA", -3, A, -1},
        KeyCase{"CFlatMajorFlattensF", -7, F, -1}, KeyCase{"EightSharpsDoubleSharpenF", 8, F, 2},
        KeyCase{"EightSharpsSharpenC", 8, C, 1}, KeyCase{"EightFlatsDoubleFlattenB", -8, B, -2},
        KeyCase{"FourteenSharpsDoubleSharpenB", 14, B, 2},
        KeyCase{"FifteenFlatsTripleFlattenB", -15, B, -3}, KeyCase{"LetterBelowA", 7, -1, 0},
        KeyCase{"LetterPastG", -7, 7, 0}, KeyCase{"MostSharpsOnF", INT32_MAX, F, 306783379},
        KeyCase{"MostSharpsOnC", INT32_MAX, C, 306783378},
        KeyCase{"MostFlatsOnE", INT32_MIN, E, -306783379},
        KeyCase{"MostFlatsOnA", INT32_MIN, A, -306783378}),
    [](const testing::TestParamInfo<KeyCase>& param) { return std::string(param.param.name); });

TEST(KeyAlterationOracleTest, AgreesWithTheWrittenSignatureForEveryKeyUpToThreeCycles) {
    for (int32_t fifths = -21; fifths <= 21; ++fifths) {
        for (int32_t letter = -1; letter <= 7; ++letter) {
            const int32_t expected = letter < 0 || letter > 6 ? 0 : Written(fifths, letter);
            EXPECT_EQ(rules::KeyAlteration(fifths, letter), expected)
                << "fifths " << fifths << ", letter " << letter;
        }
    }
}

}  // namespace
