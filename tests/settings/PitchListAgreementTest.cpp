// PitchListAgreementTest: the plug-in's reader of the pitch-list file (StoredPitchSets, through
// the settings layer's file stream and pairs, as the host's folder gives them) and sorvel's
// (ParsePitchList, on the bytes) must find the same sets, names and rows in any file:
// hand-made edge cases, and files generated from a seed and then damaged (keys dropped, doubled,
// re-cased, lines broken, blanks and line ends mixed, 8-bit bytes). Two readers of one format
// may not drift apart unnoticed.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "settings/StoredPitchSets.h"
#include "sorvel/core/PitchListFile.h"
#include "state/PluginState.h"
#include "tests/settings/SettingsTestHost.h"

namespace {

// Units8: the low bytes of UTF-16 units, as the file holds them.
std::string Units8(const char16_t* units, size_t length) {
    std::string bytes;
    for (size_t i = 0; i < length; ++i) {
        bytes += static_cast<char>(units[i] & 0xFF);
    }
    return bytes;
}
std::string Units8(const FCString& text) {
    return Units8(text.GetUTF16(), text.GetLength());
}
std::string Units8(const std::u16string& text) {
    return Units8(text.data(), text.size());
}

// A set as text: [name] then from>to:direction and + (ticked) or - per row, so that the two
// readers' answers compare as strings and a difference prints readably.
std::string Row(const std::string& from, const std::string& to, int32_t direction, bool ticked) {
    return from + ">" + to + ":" + std::to_string(direction) + (ticked ? "+" : "-") + ";";
}

std::string PluginSets(const FCPitchChangeLists& sets) {
    std::string out;
    for (int32_t s = 0; s < sets.GetCount(); ++s) {
        const FCPitchChangeList* list = sets.GetListAt(s);
        out += "[" + Units8(list->GetName()) + "]";
        for (int32_t n = 0; n < list->GetCount(); ++n) {
            const FCPitchChangeNode* node = list->GetNodeAt(n);
            out += Row(Units8(node->GetFromText()), Units8(node->GetToText()), node->GetDirection(),
                       node->GetInUse());
        }
        out += "\n";
    }
    return out;
}

std::string SorvelSets(const std::vector<sorvel::PitchSet>& sets) {
    std::string out;
    for (const sorvel::PitchSet& set : sets) {
        out += "[" + set.name + "]";
        for (const sorvel::StoredPitchRow& stored : set.rows) {
            out += Row(Units8(stored.row.from), Units8(stored.row.to),
                       static_cast<int32_t>(stored.row.direction), stored.ticked);
        }
        out += "\n";
    }
    return out;
}

class PitchListAgreementTest : public settings_test::TempFolderTest {
  protected:
    // Both readers on the same bytes; the plug-in's sets as read, or a note that it refused.
    void ExpectAgreement(const std::string& bytes, const std::string& what) {
        WriteBytes(PitchListFile(), bytes);
        PluginState state;
        state.SetDefaults();
        ASSERT_TRUE(StoredPitchSets::LoadPitchSets(state)) << what;
        const std::string plugin = PluginSets(state.pitchSets);
        const std::string sorvel = SorvelSets(sorvel::ParsePitchList(bytes));
        EXPECT_EQ(plugin, sorvel) << what << "\nfile:\n" << bytes;
        sets_ += state.pitchSets.GetCount();
    }

    int32_t sets_ = 0;  // how many sets the cases held in all, so that a test shows it read some
};

// ---- Hand-made edge cases -----------------------------------------------------------------

struct EdgeCase {
    const char* name;
    std::string bytes;
};

void PrintTo(const EdgeCase& edge, std::ostream* out) {
    *out << edge.name;
}

const std::string kRow11 =
    "VESKSORVEL_LIST_FROM_1_1=A#\nVESKSORVEL_LIST_TO_1_1=Bb\n"
    "VESKSORVEL_LIST_UPDIRECTION_1_1=2\nVESKSORVEL_LIST_INUSE_1_1=1\n";

const EdgeCase kEdgeCases[] = {
    {"Empty", ""},
    {"OneSet", "VESKSORVEL_LIST_NAME_1=Winds\n" + kRow11},
    {"CrLf",
     "VESKSORVEL_LIST_NAME_1=Winds\r\nVESKSORVEL_LIST_FROM_1_1=A#\r\n"
     "VESKSORVEL_LIST_TO_1_1=Bb\r\nVESKSORVEL_LIST_UPDIRECTION_1_1=0\r\n"
     "VESKSORVEL_LIST_INUSE_1_1=0\r\n"},
    {"LoneCr",
     "VESKSORVEL_LIST_NAME_1=Winds\rVESKSORVEL_LIST_FROM_1_1=A#\r"
     "VESKSORVEL_LIST_TO_1_1=Bb\rVESKSORVEL_LIST_UPDIRECTION_1_1=1\r"
     "VESKSORVEL_LIST_INUSE_1_1=1"},
    {"MixedLineEnds",
     "VESKSORVEL_LIST_NAME_1=Winds\r\n\rVESKSORVEL_LIST_FROM_1_1=A#\n\r"
     "VESKSORVEL_LIST_TO_1_1=Bb\r\r\nVESKSORVEL_LIST_UPDIRECTION_1_1=1\n\n"
     "VESKSORVEL_LIST_INUSE_1_1=1\r"},
    {"LowerCaseKeys",
     "vesksorvel_list_name_1=Winds\nvesksorvel_list_from_1_1=A#\n"
     "Vesksorvel_List_To_1_1=Bb\nVESKSORVEL_list_UPDIRECTION_1_1=1\n"
     "vesksorvel_LIST_inuse_1_1=1\n"},
    {"DuplicateKeysFirstWins",
     "VESKSORVEL_LIST_NAME_1=First\nVESKSORVEL_LIST_NAME_1=Second\n"
     "VESKSORVEL_LIST_FROM_1_1=C\n" +
         kRow11 + "vesksorvel_list_to_1_1=Gb\n"},
    {"MissingNameEndsTheSets", "VESKSORVEL_LIST_NAME_2=Two\n" + kRow11},
    {"SetWithoutFirstRow",
     "VESKSORVEL_LIST_NAME_1=Winds\nVESKSORVEL_LIST_FROM_1_1=A#\n"
     "VESKSORVEL_LIST_TO_1_1=Bb\nVESKSORVEL_LIST_UPDIRECTION_1_1=1\n"},
    {"RowsUpToTheFirstIncomplete",
     "VESKSORVEL_LIST_NAME_1=Winds\n" + kRow11 +
         "VESKSORVEL_LIST_FROM_1_2=C\nVESKSORVEL_LIST_TO_1_2=D\n"
         "VESKSORVEL_LIST_INUSE_1_2=1\n"
         "VESKSORVEL_LIST_FROM_1_3=E\nVESKSORVEL_LIST_TO_1_3=F\n"
         "VESKSORVEL_LIST_UPDIRECTION_1_3=1\nVESKSORVEL_LIST_INUSE_1_3=1\n"},
    {"BlanksAroundKeysAndValues",
     " \tVESKSORVEL_LIST_NAME_1 \t= Brass \t\n"
     "VESKSORVEL_LIST_FROM_1_1 = A# \nVESKSORVEL_LIST_TO_1_1=\tBb\n"
     "  VESKSORVEL_LIST_UPDIRECTION_1_1=1  \n"
     "VESKSORVEL_LIST_INUSE_1_1 =1\n"},
    {"BlankLinesAndJunk",
     "\n\n   \n=VESKSORVEL_LIST_NAME_1=Hidden\nno equals sign here\n"
     "VESKSORVEL_LIST_NAME_1=Winds\n\n" +
         kRow11 + "OTHERPLUGIN_KEY=theirs\n"},
    {"EmptyValues",
     "VESKSORVEL_LIST_NAME_1=\nVESKSORVEL_LIST_FROM_1_1=\nVESKSORVEL_LIST_TO_1_1=\n"
     "VESKSORVEL_LIST_UPDIRECTION_1_1=\nVESKSORVEL_LIST_INUSE_1_1=\n"},
    {"EightBitName", "VESKSORVEL_LIST_NAME_1=Fl\xFBte \xE9t\xE9 \x80\xFF\n" + kRow11},
    {"EightBitKeyBytes", "VESKSORVEL_LIST_NAME_\xB9=Odd\nVESKSORVEL_LIST_NAME_1=Winds\n" + kRow11},
    {"ValueWithEquals", "VESKSORVEL_LIST_NAME_1=a=b=c\n" + kRow11},
    {"StrangeDirections",
     "VESKSORVEL_LIST_NAME_1=Winds\n" + kRow11 +
         "VESKSORVEL_LIST_FROM_1_2=C\nVESKSORVEL_LIST_TO_1_2=D\n"
         "VESKSORVEL_LIST_UPDIRECTION_1_2=-1\nVESKSORVEL_LIST_INUSE_1_2=01\n"
         "VESKSORVEL_LIST_FROM_1_3=E\nVESKSORVEL_LIST_TO_1_3=F\n"
         "VESKSORVEL_LIST_UPDIRECTION_1_3=99999999999\nVESKSORVEL_LIST_INUSE_1_3= 1\n"
         "VESKSORVEL_LIST_FROM_1_4=G\nVESKSORVEL_LIST_TO_1_4=A\n"
         "VESKSORVEL_LIST_UPDIRECTION_1_4=x\nVESKSORVEL_LIST_INUSE_1_4=yes\n"},
    {"NumbersWithLeadingZeros",
     "VESKSORVEL_LIST_NAME_01=Zero\n"
     "VESKSORVEL_LIST_NAME_1=Winds\nVESKSORVEL_LIST_FROM_1_01=C\n" +
         kRow11},
    {"NulInsideAValue", std::string("VESKSORVEL_LIST_NAME_1=Wi\0nds\n", 30) + kRow11},
};

class PitchListEdgeTest : public PitchListAgreementTest,
                          public testing::WithParamInterface<EdgeCase> {};

TEST_P(PitchListEdgeTest, BothReadersFindTheSameSets) {
    ExpectAgreement(GetParam().bytes, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Files, PitchListEdgeTest, testing::ValuesIn(kEdgeCases),
                         [](const testing::TestParamInfo<EdgeCase>& param) {
                             return std::string(param.param.name);
                         });

// ---- Generated and damaged files ----------------------------------------------------------

// FileMaker writes pitch-list files as the plug-in would, then damages them at random.
class FileMaker {
  public:
    explicit FileMaker(uint32_t seed) : rng_(seed) {}

    std::string Make() {
        std::vector<std::string> lines;
        const int sets = Pick(0, 4);
        for (int s = 1; s <= sets; ++s) {
            lines.push_back(Key("NAME", std::to_string(s)) + Name());
            const int rows = Pick(0, 5);
            for (int n = 1; n <= rows; ++n) {
                const std::string at = std::to_string(s) + "_" + std::to_string(n);
                lines.push_back(Key("FROM", at) + Spelling());
                lines.push_back(Key("TO", at) + Spelling());
                lines.push_back(Key("UPDIRECTION", at) + OneOf({"0", "1", "2", "3", "-1", "x"}));
                lines.push_back(Key("INUSE", at) + OneOf({"1", "0", "1", "01", "2", ""}));
            }
        }
        Damage(lines);
        return Join(lines);
    }

  private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool Chance(int percent) { return Pick(0, 99) < percent; }
    std::string OneOf(std::initializer_list<const char*> options) {
        return *(options.begin() + Pick(0, static_cast<int>(options.size()) - 1));
    }

    // Key: the key of a field, sometimes re-cased letter by letter.
    std::string Key(const std::string& field, const std::string& at) {
        std::string key = "VESKSORVEL_LIST_" + field + "_" + at;
        if (Chance(15)) {
            for (char& c : key) {
                if (c >= 'A' && c <= 'Z' && Chance(50)) {
                    c = static_cast<char>(c - 'A' + 'a');
                }
            }
        }
        return key + "=";
    }

    std::string Name() {
        std::string name;
        const int length = Pick(0, 12);
        for (int i = 0; i < length; ++i) {
            // Mostly letters and blanks, sometimes any byte but the line ends and 0.
            const int byte = Chance(80) ? Pick('a', 'z') : Pick(1, 255);
            name += byte == '\n' || byte == '\r' ? ' ' : static_cast<char>(byte);
        }
        return name;
    }

    std::string Spelling() {
        std::string text(1, static_cast<char>("ABCDEFGH"[Pick(0, 7)]));
        text += OneOf({"", "#", "b", "##", "bb", "x", "B", "\x01", "\xE9"});
        return text;
    }

    // Damage drops, doubles, moves and pads lines, and adds foreign ones.
    void Damage(std::vector<std::string>& lines) {
        if (lines.empty()) {
            return;
        }
        const int hits = Pick(0, 4);
        for (int h = 0; h < hits && !lines.empty(); ++h) {
            const auto at = static_cast<size_t>(Pick(0, static_cast<int>(lines.size()) - 1));
            switch (Pick(0, 6)) {
                case 0:
                    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
                    break;
                case 1:  // the same key again with another value: the first counts
                    lines.push_back(lines[at].substr(0, lines[at].find('=') + 1) + Spelling());
                    break;
                case 2:  // the same key earlier in the file
                    lines.insert(lines.begin(),
                                 lines[at].substr(0, lines[at].find('=') + 1) + Spelling());
                    break;
                case 3:
                    lines[at] = " \t" + lines[at] + " \t";
                    break;
                case 4:
                    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at),
                                 OneOf({"", "junk", "=lost", "OTHER_KEY=1", "  "}));
                    break;
                case 5:
                    lines[at] = lines[at].substr(
                        0, static_cast<size_t>(Pick(0, static_cast<int>(lines[at].size()))));
                    break;
                default:
                    std::swap(
                        lines[at],
                        lines[static_cast<size_t>(Pick(0, static_cast<int>(lines.size()) - 1))]);
                    break;
            }
        }
    }

    std::string Join(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines) {
            bytes += line + OneOf({"\n", "\n", "\r\n", "\r", "\n\r", "\r\n\r\n"});
        }
        if (!bytes.empty() && Chance(20)) {
            bytes.pop_back();  // no line end after the last line
        }
        return bytes;
    }

    std::mt19937 rng_;
};

TEST_F(PitchListAgreementTest, GeneratedAndDamagedFiles) {
    constexpr int kFiles = 400;
    FileMaker maker(20261209);
    for (int file = 0; file < kFiles; ++file) {
        ExpectAgreement(maker.Make(), "file " + std::to_string(file));
        if (HasFailure()) {
            break;  // one file shows the difference; the rest would repeat it
        }
    }
    // The comparison means something only when the files hold sets.
    EXPECT_GT(sets_, kFiles);
}

}  // namespace
