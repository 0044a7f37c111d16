// The host's pitch model against music theory: tonics and signatures of every key up to seven
// sharps or flats, the scale each key spells from its tonic, octave boundaries, MIDI numbers
// and round trips between spellings and stored numbers.
#include <gtest/gtest.h>

#include <string>

#include "host/HostPitch.h"

namespace {

using host::HostPitch;
using Numbers = host::HostSession::NoteNumbers;

uint16_t Key(int accidentals, bool minor) {
    return static_cast<uint16_t>((minor ? 0x100 : 0) | (accidentals & 0xFF));
}

std::string Spell(Numbers numbers, uint16_t key) {
    const auto pitch = HostPitch::FromNumbers(numbers, key);
    return pitch ? HostPitch::Format(*pitch) : std::string("-");
}

int MidiOf(const std::string& text) {
    const auto pitch = HostPitch::Parse(text);
    EXPECT_TRUE(pitch.has_value()) << text;
    return pitch ? HostPitch::Midi(*pitch) : -1000;
}

// The tonic in octave 4 and the key signature of every key, as musicians name them.
struct KeyCase {
    int accidentals;
    bool minor;
    const char* tonic4;   // D = 0, R = 0
    const char* altered;  // the letters the signature alters, in signature order
};

const KeyCase kKeys[] = {
    {0, false, "C4", ""},        {1, false, "G4", "F"},        {2, false, "D4", "FC"},
    {3, false, "A4", "FCG"},     {4, false, "E4", "FCGD"},     {5, false, "B4", "FCGDA"},
    {6, false, "F#4", "FCGDAE"}, {7, false, "C#4", "FCGDAEB"}, {-1, false, "F4", "B"},
    {-2, false, "Bb4", "BE"},    {-3, false, "Eb4", "BEA"},    {-4, false, "Ab4", "BEAD"},
    {-5, false, "Db4", "BEADG"}, {-6, false, "Gb4", "BEADGC"}, {-7, false, "Cb4", "BEADGCF"},
    {0, true, "A4", ""},         {1, true, "E4", "F"},         {2, true, "B4", "FC"},
    {3, true, "F#4", "FCG"},     {4, true, "C#4", "FCGD"},     {5, true, "G#4", "FCGDA"},
    {6, true, "D#4", "FCGDAE"},  {7, true, "A#4", "FCGDAEB"},  {-1, true, "D4", "B"},
    {-2, true, "G4", "BE"},      {-3, true, "C4", "BEA"},      {-4, true, "F4", "BEAD"},
    {-5, true, "Bb4", "BEADG"},  {-6, true, "Eb4", "BEADGC"},  {-7, true, "Ab4", "BEADGCF"},
};

TEST(HostPitchTest, TonicOfEveryKeyIsAtDisplacementZeroInOctaveFour) {
    for (const auto& c : kKeys) {
        const uint16_t key = Key(c.accidentals, c.minor);
        EXPECT_EQ(Spell({0, 0}, key), c.tonic4) << "key " << c.accidentals << " minor " << c.minor;
        EXPECT_EQ(HostPitch::TonicLetter(key), c.tonic4[0] - 'A');
    }
}

TEST(HostPitchTest, SignatureAltersExactlyItsLetters) {
    for (const auto& c : kKeys) {
        const uint16_t key = Key(c.accidentals, c.minor);
        const std::string altered = c.altered;
        for (int letter = 0; letter < 7; ++letter) {
            const bool isAltered =
                altered.find(static_cast<char>('A' + letter)) != std::string::npos;
            const int expected = isAltered ? (c.accidentals > 0 ? 1 : -1) : 0;
            EXPECT_EQ(HostPitch::SignatureAlteration(key, letter), expected)
                << "key " << c.accidentals << " letter " << static_cast<char>('A' + letter);
        }
    }
}

// Walking up from the tonic with raise/lower 0 spells the key's scale: whole and half steps
// in the order of the major scale or the natural minor scale.
TEST(HostPitchTest, DiatonicStepsFromTheTonicSpellTheScale) {
    const int major[7] = {2, 2, 1, 2, 2, 2, 1};
    const int minor[7] = {2, 1, 2, 2, 1, 2, 2};
    for (const auto& c : kKeys) {
        const uint16_t key = Key(c.accidentals, c.minor);
        for (int d = -14; d < 14; ++d) {
            const int step = ((d % 7) + 7) % 7;
            const auto here = HostPitch::Midi(Numbers{static_cast<int16_t>(d), 0}, key);
            const auto next = HostPitch::Midi(Numbers{static_cast<int16_t>(d + 1), 0}, key);
            ASSERT_TRUE(here && next);
            EXPECT_EQ(*next - *here, c.minor ? minor[step] : major[step])
                << "key " << c.accidentals << " minor " << c.minor << " D " << d;
        }
        EXPECT_EQ(*HostPitch::Midi(Numbers{7, 0}, key) - *HostPitch::Midi(Numbers{0, 0}, key), 12);
    }
}

TEST(HostPitchTest, RaiseLowerAddsSemitonesToTheSignature) {
    for (const auto& c : kKeys) {
        const uint16_t key = Key(c.accidentals, c.minor);
        for (int r = -3; r <= 3; ++r) {
            const auto base = HostPitch::Midi(Numbers{2, 0}, key);
            const auto moved = HostPitch::Midi(Numbers{2, static_cast<int16_t>(r)}, key);
            EXPECT_EQ(*moved - *base, r);
        }
    }
}

TEST(HostPitchTest, OctaveNumbersChangeAtC) {
    EXPECT_EQ(MidiOf("C4"), 60);
    EXPECT_EQ(MidiOf("B3"), 59);
    EXPECT_EQ(MidiOf("Cb4"), 59);
    EXPECT_EQ(MidiOf("B#3"), 60);
    EXPECT_EQ(MidiOf("A4"), 69);
    EXPECT_EQ(MidiOf("C-1"), 0);
    EXPECT_EQ(MidiOf("B-1"), 11);
    EXPECT_EQ(MidiOf("G9"), 127);
    EXPECT_EQ(MidiOf("Dbb4"), 60);
    EXPECT_EQ(MidiOf("E##4"), 66);
    const uint16_t cMajor = 0;
    EXPECT_EQ(Spell({-1, 0}, cMajor), "B3");
    EXPECT_EQ(Spell({0, -1}, cMajor), "Cb4");
    EXPECT_EQ(Spell({-1, 1}, cMajor), "B#3");
    EXPECT_EQ(Spell({-35, 0}, cMajor), "C-1");
    EXPECT_EQ(Spell({-29, 0}, cMajor), "B-1");
    EXPECT_EQ(Spell({-7, 0}, Key(3, false)), "A3");
    EXPECT_EQ(Spell({6, 0}, Key(1, false)), "F#5");
    EXPECT_EQ(Spell({6, 1}, Key(1, false)), "F##5");
    EXPECT_EQ(Spell({3, 0}, Key(-3, false)), "Ab4");
    EXPECT_EQ(Spell({3, 1}, Key(-3, false)), "A4");
    // B major: D = 0 is B4; one step down is A#4, one up C#5.
    EXPECT_EQ(Spell({0, 0}, Key(5, false)), "B4");
    EXPECT_EQ(Spell({-1, 0}, Key(5, false)), "A#4");
    EXPECT_EQ(Spell({1, 0}, Key(5, false)), "C#5");
}

TEST(HostPitchTest, SpellingToNumbersInKnownKeys) {
    struct Case {
        const char* text;
        uint16_t key;
        Numbers expected;
    };
    const Case cases[] = {
        {"C4", 0, {0, 0}},
        {"F#4", Key(1, false), {-1, 0}},
        {"F4", Key(1, false), {-1, -1}},
        {"C##4", 0, {0, 2}},
        {"B3", 0, {-1, 0}},
        {"A4", Key(3, false), {0, 0}},
        {"C4", Key(3, false), {-5, -1}},
        {"B-1", 0, {-29, 0}},
        {"Cb4", Key(-7, false), {0, 0}},
        {"C4", Key(-7, false), {0, 1}},
    };
    for (const auto& c : cases) {
        const auto pitch = HostPitch::Parse(c.text);
        ASSERT_TRUE(pitch) << c.text;
        EXPECT_EQ(HostPitch::ToNumbers(*pitch, c.key), c.expected) << c.text;
    }
}

TEST(HostPitchTest, EverySpellingRoundTripsInEveryKeyAndKeepsItsSound) {
    for (const auto& c : kKeys) {
        const uint16_t key = Key(c.accidentals, c.minor);
        for (int letter = 0; letter < 7; ++letter) {
            for (int alteration = -2; alteration <= 2; ++alteration) {
                for (int octave = -1; octave <= 9; ++octave) {
                    const HostPitch::Spelled pitch{letter, alteration, octave};
                    const auto numbers = HostPitch::ToNumbers(pitch, key);
                    ASSERT_TRUE(numbers);
                    const auto back = HostPitch::FromNumbers(*numbers, key);
                    ASSERT_TRUE(back);
                    EXPECT_EQ(*back, pitch) << HostPitch::Format(pitch) << " key " << key;
                    EXPECT_EQ(HostPitch::Midi(*numbers, key), HostPitch::Midi(pitch));
                    EXPECT_EQ(HostPitch::Parse(HostPitch::Format(pitch)), pitch);
                }
            }
        }
    }
}

TEST(HostPitchTest, NumbersRoundTripThroughSpelling) {
    for (const auto& c : kKeys) {
        const uint16_t key = Key(c.accidentals, c.minor);
        for (int d = -40; d <= 40; d += 3) {
            for (int r = -2; r <= 2; ++r) {
                const Numbers numbers{static_cast<int16_t>(d), static_cast<int16_t>(r)};
                const auto pitch = HostPitch::FromNumbers(numbers, key);
                ASSERT_TRUE(pitch);
                EXPECT_EQ(HostPitch::ToNumbers(*pitch, key), numbers);
            }
        }
    }
}

TEST(HostPitchTest, KeysBeyondSevenAlterLettersTwice) {
    // Eight sharps: F is sharpened twice (the signature of G# major).
    const uint16_t eightSharps = Key(8, false);
    EXPECT_EQ(HostPitch::SignatureAlteration(eightSharps, 5), 2);
    EXPECT_EQ(HostPitch::SignatureAlteration(eightSharps, 2), 1);
    EXPECT_EQ(Spell({0, 0}, eightSharps), "G#4");
    EXPECT_EQ(Spell({-1, 0}, eightSharps), "F##4");
    const uint16_t eightFlats = Key(-8, false);
    EXPECT_EQ(HostPitch::SignatureAlteration(eightFlats, 1), -2);
    EXPECT_EQ(Spell({0, 0}, eightFlats), "Fb4");
}

TEST(HostPitchTest, NonLinearKeysHaveNoSpelling) {
    for (const uint16_t key :
         {uint16_t{0x4000}, uint16_t{0x8000}, uint16_t{0xC005}, uint16_t{0x0200}}) {
        EXPECT_FALSE(HostPitch::IsLinear(key));
        EXPECT_EQ(HostPitch::TonicLetter(key), -1);
        EXPECT_FALSE(HostPitch::FromNumbers({0, 0}, key));
        EXPECT_FALSE(HostPitch::ToNumbers({2, 0, 4}, key));
        EXPECT_FALSE(HostPitch::Midi(Numbers{0, 0}, key));
    }
}

TEST(HostPitchTest, ParseRejectsWhatIsNoPitch) {
    for (const char* bad :
         {"", "H4", "c4", "C", "C#b4", "Cx4", "C4.", "C--1", "C#", "Cb", "C 4", "C12345"}) {
        EXPECT_FALSE(HostPitch::Parse(bad)) << bad;
    }
    EXPECT_EQ(HostPitch::Parse("Bbb-1"), (HostPitch::Spelled{1, -2, -1}));
}

}  // namespace
