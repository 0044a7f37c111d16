// The pitch-list file written by sorvel's core (PitchListWriter, which the browser page calls)
// against the file the plug-in's own settings layer writes for the same sets: generated sets
// with names that hold blanks around them, control characters, Latin-1 letters and characters
// beyond 8 bits (surrogate pairs too), and rows of every direction, ticked and not. The
// plug-in writes in Windows text mode, so its lines end in CR LF on Windows and LF here; the
// writer always writes CR LF, and the comparison takes the line end of this platform.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "settings/StoredPitchSets.h"
#include "settings/StoredText.h"
#include "sorvel/core/PitchListFile.h"
#include "sorvel/core/PitchListWriter.h"
#include "tests/settings/SettingsTestHost.h"

namespace {

using settings_test::kEol;

// Utf8 writes UTF-16 units (valid pairs only) as UTF-8, as the browser hands a typed name over.
std::string Utf8(const std::u16string& units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t code = units[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units.size()) {
            code = 0x10000 + ((code - 0xD800) << 10U) + (units[++i] - 0xDC00U);
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6U));
            out += static_cast<char>(0x80 | (code & 0x3FU));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12U));
            out += static_cast<char>(0x80 | ((code >> 6U) & 0x3FU));
            out += static_cast<char>(0x80 | (code & 0x3FU));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18U));
            out += static_cast<char>(0x80 | ((code >> 12U) & 0x3FU));
            out += static_cast<char>(0x80 | ((code >> 6U) & 0x3FU));
            out += static_cast<char>(0x80 | (code & 0x3FU));
        }
    }
    return out;
}

std::string WithEol(const std::string& crlf) {
    std::string out;
    for (size_t i = 0; i < crlf.size(); ++i) {
        if (crlf.compare(i, 2, "\r\n") == 0) {
            out += kEol;
            ++i;
        } else {
            out += crlf[i];
        }
    }
    return out;
}

class PitchListWriterTest : public settings_test::TempFolderTest {};

std::u16string RandomName(std::mt19937& random) {
    static const std::vector<std::u16string> pieces = {
        u"Horn",   u" ",      u"\t",         u"in F", u"\u00e9", u"\u00ff", u"\u0001",
        u"\u007f", u"\u266d", u"\U0001D11E", u"=",    u"#",      u"\u00a0", u"Bb"};
    std::u16string name;
    const size_t count = 1 + random() % 6;
    for (size_t i = 0; i < count; ++i) {
        name += pieces[random() % pieces.size()];
    }
    return name;
}

TEST_F(PitchListWriterTest, WritesWhatThePlugInWrites) {
    static const std::vector<std::u16string> spellings = {u"A#", u"Bb", u"C##", u"Dbb", u"E",
                                                          u"F#", u"Gb", u"Cb",  u"B#"};
    std::mt19937 random(19);
    for (int round = 0; round < 200; ++round) {
        PluginState state;
        state.SetDefaults();
        std::vector<sorvel::PitchSet> sets;
        const size_t setCount = 1 + random() % 4;
        for (size_t s = 0; s < setCount; ++s) {
            const std::u16string typed = RandomName(random);
            // The dialog's Save: the name trimmed and made storable, then the set stored.
            FCString name;
            name.SetUTF16(typed.c_str());
            name.TrimWhitespace();
            if (name.GetLength() == 0) {
                continue;
            }
            MakeStorable(name);
            auto* list = new FCPitchChangeList;
            list->SetName(&name);
            state.pitchSets.AddItem(list);
            sorvel::PitchSet set;
            set.name = sorvel::StorableName(Utf8(typed));
            const size_t rows = 1 + random() % 5;
            for (size_t r = 0; r < rows; ++r) {
                const std::u16string& from = spellings[random() % spellings.size()];
                const std::u16string& to = spellings[random() % spellings.size()];
                const auto direction = static_cast<int32_t>(random() % 3);
                const bool ticked = random() % 3 != 0;
                FCString f;
                FCString t;
                f.SetUTF16(from.c_str());
                t.SetUTF16(to.c_str());
                auto* node = new FCPitchChangeNode(&f, &t, direction);
                node->SetInUse(ticked);
                list->AddItem(node);
                set.rows.push_back(
                    {rules::PitchRow{from, to, static_cast<rules::PitchDirection>(direction)},
                     ticked});
            }
            sets.push_back(std::move(set));
        }
        ASSERT_TRUE(StoredPitchSets::SavePitchSets(state));
        const std::string plugIn = ReadBytes(PitchListFile());
        ASSERT_EQ(WithEol(sorvel::WritePitchList(sets)), plugIn) << "round " << round;
        // And the file reads back as the sets it was written from.
        const std::vector<sorvel::PitchSet> back = sorvel::ParsePitchList(plugIn);
        ASSERT_EQ(back.size(), sets.size());
        for (size_t s = 0; s < sets.size(); ++s) {
            EXPECT_EQ(back[s].name, sets[s].name);
            ASSERT_EQ(back[s].rows.size(), sets[s].rows.size());
        }
    }
}

TEST_F(PitchListWriterTest, StorableNameTrimsAndStandsIn) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"  Horn in F\t", "Horn in F"},
        {"Caf\xc3\xa9", "Caf\xe9"},  // é is 8-bit: kept as its byte
        {"\xe2\x99\xad"
         "A",
         "?A"},                     // ♭ is beyond 8 bits
        {"\xf0\x9d\x84\x9e", "?"},  // one character of two UTF-16 units
        {"a\x01"
         "b",
         "a?b"},  // a control character
        {" \r\n\t ", ""},
        {"\xff"
         "x",
         "\xff"
         "x"},  // invalid UTF-8: byte by byte
    };
    for (const auto& [typed, stored] : cases) {
        EXPECT_EQ(sorvel::StorableName(typed), stored) << typed;
    }
}

}  // namespace
