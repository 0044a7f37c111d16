// FCNote's pitch arithmetic on notes the stand-in host stores with given numbers: reading a
// spelling, setting one, octaves, and the key a cell is governed by.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/FCCell.h"
#include "framework/FCNote.h"
#include "framework/FCNoteEntry.h"
#include "framework/FCNoteEntryCell.h"
#include "framework/FCString.h"
#include "host/HostSession.h"
#include "hostapi/HostVersion.h"

namespace {

class NotePitchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Host().Reset();
        HostVersion::Set(0x12050000);
    }
    void TearDown() override {
        cell_.reset();
        EXPECT_EQ(Host().OutstandingFrames(), 0);
        EXPECT_TRUE(Host().ProtocolErrors().empty());
    }
    static host::HostSession& Host() { return host::HostSession::Instance(); }

    // Note loads one note stored as (d, r) under key on a staff with that transposition.
    FCNote* Note(int key, int d, int r, int transposition = 0, const std::string& extra = "") {
        const std::string json =
            "{" + extra + "\"staves\": [{\"id\": 1, \"name\": \"S\", \"transposition\": " +
            std::to_string(transposition) +
            ", \"flags\": 0}], \"measures\": [{\"key\": " + std::to_string(key) +
            "}], \"entries\": [{\"staff\": 1, \"measure\": 1, \"layer\": 1, \"pos\": 0, "
            "\"notes\": [{\"displacement\": " +
            std::to_string(d) + ", \"raiseLower\": " + std::to_string(r) + "}]}]}";
        std::string error;
        EXPECT_TRUE(Host().LoadScoreJson(json, error)) << error;
        cell_ = std::make_unique<FCNoteEntryCell>(1, 1);
        EXPECT_TRUE(cell_->Load());
        key_ = std::make_unique<FCCell>(1, 1);
        return static_cast<FCNoteEntry*>(cell_->GetItemAt(0))->GetNoteAt(0);
    }
    FCKeySignature* Key() { return key_->GetKeySignature(); }

    std::string Spell(FCNote* note, bool written) {
        FCString text;
        note->GetSpelling(&text, Key(), written);
        return text.GetCString();
    }

    std::unique_ptr<FCNoteEntryCell> cell_;
    std::unique_ptr<FCCell> key_;
};

constexpr int kG = 1, kA = 3, kEb = 0xFD, kFSharpMinor = 0x0103;

TEST_F(NotePitchTest, ReadsSoundingSpellings) {
    struct Case {
        int key, d, r;
        const char* spelled;
    } cases[] = {
        {0, 0, 0, "C4"},     {kG, 6, 0, "F#5"},  {kG, 6, 1, "F##5"},  {kEb, 3, 0, "Ab4"},
        {kEb, 3, 1, "A4"},   {kA, -7, 0, "A3"},  {0, -1, 0, "B3"},    {0, -29, 0, "B-1"},
        {0, -28, 0, "C0"},   {kA, -28, 0, "A0"}, {kA, -29, 0, "G#0"}, {kFSharpMinor, 0, 0, "F#4"},
        {0xF9, 0, 0, "Cb4"}, {7, 6, 0, "B#4"},   {0, 4, -2, "Gbb4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " " + std::to_string(c.d) + " " + std::to_string(c.r));
        FCNote* note = Note(c.key, c.d, c.r);
        EXPECT_EQ(Spell(note, false), c.spelled);
        // The host's own reading of the same numbers agrees.
        EXPECT_EQ(Host().NoteSpelling(1, 1, 1, 0, 0).value_or(""), c.spelled);
    }
}

TEST_F(NotePitchTest, SetSpellingStoresNumbersAndReadsBack) {
    struct Case {
        int key;
        const char* text;
        bool ok;
        int d, r;
    } cases[] = {
        {0, "C4", true, 0, 0},    {kG, "F#4", true, -1, 0}, {kG, "F4", true, -1, -1},
        {0, "Cx4", true, 0, 2},   {0, "C16", false, 9, 9},  {0, "C-6", false, 9, 9},
        {0, "C-5", true, -63, 0}, {kA, "C4", true, -5, -1}, {0, "c4", false, 9, 9},
        {0, "", false, 9, 9},     {kEb, "Ab4", true, 3, 0}, {0, "Bbb3", true, -1, -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        FCNote* note = Note(c.key, 9, 9);
        FCString text(c.text);
        EXPECT_EQ(note->SetSpelling(&text, Key(), false), c.ok);
        EXPECT_EQ(note->GetDisplacement(), c.d);
        EXPECT_EQ(note->GetRaiseLower(), c.r);
        if (c.ok) {
            FCString back;
            note->GetSpelling(&back, Key(), false);
            EXPECT_STREQ(back.GetCString(), text.GetCString()[1] == 'x' ? "C##4" : c.text);
        }
    }
}

// A text that is not a letter, one kind of accidentals and a decimal octave is refused whole:
// nothing after the accidentals is read as octave 0, and no count of accidentals wraps past
// what the note's 16-bit raise/lower holds.
TEST_F(NotePitchTest, SetSpellingRefusesWhatItCannotRead) {
    std::vector<std::string> refused = {"D#b4", "Db#4", "C#x4", "Cx#4", "Cxx4", "CX#4",
                                        "C4x",  "C4.5", "C 4",  "C4 ",  "C-",   "C#-",
                                        "C--4", "C+-4", "Cbx4", "C##a4"};
    refused.push_back("C" + std::string(40000, '#') + "4");
    refused.push_back("C" + std::string(40000, 'b') + "4");
    refused.push_back("C" + std::string(32768, '#') + "4");
    for (const std::string& text : refused) {
        SCOPED_TRACE(text.substr(0, 12));
        FCNote* note = Note(0, 9, 9);
        FCString t(text.c_str());
        EXPECT_FALSE(note->SetSpelling(&t, Key(), false));
        EXPECT_EQ(note->GetDisplacement(), 9) << "the note is left as it was";
        EXPECT_EQ(note->GetRaiseLower(), 9);
    }
    // What can be read still is, up to the largest raise/lower there is.
    struct Case {
        std::string text;
        int d, r;
    };
    std::vector<Case> accepted = {{"C", -28, 0},   {"Db4", 1, -1}, {"C+4", 0, 0},
                                  {"C-0", -28, 0}, {"CX4", 0, 2},  {"CB4", 0, -1}};
    accepted.push_back({"C" + std::string(32767, '#') + "4", 0, 32767});
    accepted.push_back({"C" + std::string(32768, 'b') + "4", 0, -32768});
    for (const Case& c : accepted) {
        SCOPED_TRACE(c.text.substr(0, 12));
        FCNote* note = Note(0, 9, 9);
        FCString t(c.text.c_str());
        EXPECT_TRUE(note->SetSpelling(&t, Key(), false));
        EXPECT_EQ(note->GetDisplacement(), c.d);
        EXPECT_EQ(note->GetRaiseLower(), c.r);
    }
    // In a key that alters the letter the limit counts the key's own accidental too.
    FCNote* inG = Note(kG, 9, 9);
    FCString f(("F" + std::string(32767, '#') + "4").c_str());
    EXPECT_TRUE(inG->SetSpelling(&f, Key(), false));
    EXPECT_EQ(inG->GetRaiseLower(), 32766);
    FCNote* inF = Note(0xFF, 9, 9);
    FCString b(("B" + std::string(32767, '#') + "4").c_str());
    EXPECT_FALSE(inF->SetSpelling(&b, Key(), false)) << "32767 sharps on a flattened B is 32768";
}

TEST_F(NotePitchTest, SetSpellingAndGetOctaveAreInverseInEveryKey) {
    for (int count = -7; count <= 7; ++count) {
        for (int octave = -5; octave <= 15; ++octave) {
            FCNote* note = Note(count & 0xFF, 0, 0);
            for (const char* letter : {"A", "B", "C", "G"}) {
                FCString text(letter);
                text.AppendInteger(octave);
                ASSERT_TRUE(note->SetSpelling(&text, Key(), false));
                EXPECT_EQ(note->GetOctave(Key(), 0), octave) << count << " " << letter;
            }
        }
    }
}

TEST_F(NotePitchTest, WrittenPitchOnAKeyTransposingStaff) {
    // Two sharps up, one step: concert C4 reads D4 written; written E4 is concert D4.
    FCNote* note = Note(0, 0, 0, 66);
    EXPECT_EQ(Spell(note, true), "D4");
    EXPECT_EQ(note->GetWrittenLetter(), u'D');
    EXPECT_EQ(note->GetSoundingLetter(), u'C');
    FCString e4("E4");
    EXPECT_TRUE(note->SetSpelling(&e4, Key(), true));
    EXPECT_EQ(note->GetDisplacement(), 1);
    EXPECT_EQ(note->GetRaiseLower(), 0);
    EXPECT_EQ(Key()->GetTranspositionOffset(), 0) << "the caller's key stays concert";
    // Concert F#5 in G major on the same staff reads G#5 written.
    FCNote* fsharp = Note(kG, 6, 0, 66);
    EXPECT_EQ(Spell(fsharp, true), "G#5");
}

TEST_F(NotePitchTest, ConcertPitchShownReadsWrittenAsSounding) {
    FCNote* note = Note(0, -1, 0, 66, "\"concertPitch\": true, ");
    EXPECT_EQ(Spell(note, true), "B3");
    EXPECT_EQ(Spell(note, false), "B3");
}

TEST_F(NotePitchTest, BeyondSevenSharpsReadingAndWritingAgree) {
    // Concert F# major on a Bb staff is a written key of eight sharps.
    for (const char* text : {"F##4", "G#4", "E#4", "C#5", "F#4"}) {
        FCNote* note = Note(6, 0, 0, 66);
        FCString t(text);
        ASSERT_TRUE(note->SetSpelling(&t, Key(), true));
        EXPECT_EQ(Spell(note, true), text);
    }
}

TEST_F(NotePitchTest, OctaveShiftPreferenceMovesTheReading) {
    FCNote* note = Note(0, 0, 0, 0, "\"octaveShift\": 12, ");
    EXPECT_EQ(Spell(note, false), "C5");
    FCNote* lower = Note(0, 0, 0, 0, "\"octaveShift\": -13, ");
    EXPECT_EQ(Spell(lower, false), "C3") << "whole octaves, truncated toward zero";
}

TEST_F(NotePitchTest, MidiKeyComesFromTheHost) {
    struct Case {
        int key, d, r, midi;
    } cases[] = {{0, 0, 0, 60}, {kG, 6, 0, 78}, {0, -1, 1, 60}, {kA, -29, 0, 20}};
    for (const auto& c : cases) {
        FCNote* note = Note(c.key, c.d, c.r);
        EXPECT_EQ(note->GetMidiKey(), c.midi);
    }
}

}  // namespace
