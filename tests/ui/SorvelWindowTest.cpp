// The dialog's commands in the native build, under the sanitizers: the main dialog with its
// controls kept in memory (ui/FCControlsNative.cpp), the stand-in host behind the host calls
// (score, edits, focus, settings folder) and the alert object recording what the user is told.
// Each test acts as the user: it types into the fields, chooses in the popups, ticks and clicks
// rows, and presses buttons through the dialog's command routing. The texts the user sees are
// written out here in full, not taken from the code that shows them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "host/HostSession.h"
#include "hostapi/HostVersion.h"
#include "settings/StoredPitchSets.h"
#include "state/PluginState.h"
#include "ui/FCSorvelWindow.h"
#include "ui/FCUI.h"

namespace {

namespace fs = std::filesystem;
using W = FCSorvelWindow;

const char* const kFromSyntax =
    "The 'From' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), Dbb, etc.";
const char* const kToSyntax =
    "The 'To' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), Dbb, etc.";
const char* const kAddDuplicate = "The pitch to change 'from' already exists in the list.";
const char* const kInverseDuplicate =
    "The pitch to change 'from' (which appear in the 'To' field at the top, since you're trying "
    "to add the inverse) already exists in the list.";
const char* const kUpdateDuplicate =
    "The pitch to change 'from' already exists in the list at another place.";

// Two staves, two measures: A#4, C4+E4, a rest, F#4 on the flute; A#3 and C5 on the clarinet.
const char* const kScore = R"({
  "staves": [{"id": 1, "name": "Flute", "transposition": 0, "flags": 0},
             {"id": 2, "name": "Clarinet", "transposition": 0, "flags": 0}],
  "measures": [{"key": 0}, {"key": 0}],
  "entries": [
    {"staff": 1, "measure": 1, "layer": 1, "pos": 0, "notes": ["A#4"]},
    {"staff": 1, "measure": 1, "layer": 1, "pos": 1024, "notes": ["C4", "E4"]},
    {"staff": 1, "measure": 1, "layer": 1, "pos": 2048, "rest": true},
    {"staff": 1, "measure": 2, "layer": 1, "pos": 0, "notes": ["F#4"]},
    {"staff": 2, "measure": 1, "layer": 1, "pos": 0, "notes": ["A#3"]},
    {"staff": 2, "measure": 2, "layer": 1, "pos": 0, "notes": ["C5"]}],
  "selection": null})";

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (const char16_t unit : text) {
        out.push_back(static_cast<char>(unit));
    }
    return out;
}

std::string Text(const FCString* text) {
    return text == nullptr ? "<null>" : Narrow(std::u16string(text->GetUTF16(), text->GetLength()));
}

// What one alert said: "kind|caption|text" (kind e: error, q: question, i: information).
std::string Said(const FCUI::Recorded& alert) {
    const char* kind = alert.kind == FCUI::Kind::kError   ? "e"
                       : alert.kind == FCUI::Kind::kYesNo ? "q"
                                                          : "i";
    return std::string(kind) + "|" + Narrow(alert.caption) + "|" + Narrow(alert.text);
}

// Every table's case prints as its name, so that the tests' names (which CTest lists with the
// printed parameter) stay the same from build to build.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

template <typename Case>
std::string NameOf(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

class SorvelWindowTest : public ::testing::Test {
  protected:
    static host::HostSession& Host() { return host::HostSession::Instance(); }

    void SetUp() override {
        Host().Reset();
        HostVersion::Set(0x12050000);
        Host().SetHostVersion(0x12050000);
        Host().SetTrace(true);
        std::string error;
        ASSERT_TRUE(Host().LoadScoreJson(kScore, error)) << error;
        folder_ =
            fs::temp_directory_path() /
            ("vs-dialog-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        Host().SetSettingsFolder(folder_.string());
        FCUI::ClearRecordedAlerts();
        PluginState::Instance().SetDefaults();
        PluginState::Instance().pitchSetsUnreadable = false;
    }

    void TearDown() override {
        window_.reset();
        PluginState::Instance().SetDefaults();
        FCUI::ClearRecordedAlerts();
        EXPECT_EQ(Host().OutstandingFrames(), 0);
        EXPECT_TRUE(Host().ProtocolErrors().empty())
            << "first protocol error: " << Host().ProtocolErrors().front();
        fs::remove_all(folder_);
    }

    // Open makes the dialog as an invocation does: the stored sets, the controls, and the
    // dialog's creation.
    void Open() {
        StoredPitchSets::LoadPitchSets();
        window_ = std::make_unique<FCSorvelWindow>();
        window_->SetUI(&ui_);
        window_->CreateControls();
        window_->SetDialogHandle(&dialogHandle_);
        window_->InitWindow();
        FCUI::ClearRecordedAlerts();
    }

    FCSorvelWindow& Dialog() { return *window_; }
    FCMyDataList& List() { return *window_->GetPitchList(); }
    FCControl& Item(int16_t item) { return *window_->FindControl(item); }
    FCCtrlPopup& Popup(int16_t item) { return static_cast<FCCtrlPopup&>(Item(item)); }
    FCCtrlCheckbox& Box(int16_t item) { return static_cast<FCCtrlCheckbox&>(Item(item)); }

    void Type(int16_t item, const char* text) {
        const FCString value(text);
        Item(item).SetText(&value);
    }
    std::string Field(int16_t item) {
        FCString value;
        Item(item).GetText(&value);
        return Text(&value);
    }
    void Press(int16_t item) { Dialog().ItemCommand(item); }

    // TypePair fills From, To and the direction (0 Up, 1 Down, 2 Closest).
    void TypePair(const char* from, const char* to, int direction) {
        Type(W::kFromField, from);
        Type(W::kToField, to);
        Popup(W::kDirectionPopup).SetValue(direction + 1);
    }
    void AddRow(const char* from, const char* to, int direction) {
        TypePair(from, to, direction);
        Press(W::kAddRow);
    }

    // Rows answers the list as "From>To:direction" (with "-" for an unticked row), in order.
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (int32_t i = 0; i < List().GetItemCount(); ++i) {
            const FCMyDataListRow* row = List().GetPitchRowOfItem(i);
            std::string text = Text(row->GetFromText()) + ">" + Text(row->GetToText()) + ":" +
                               Text(row->GetStringAt(2));
            if (!row->GetChecked()) {
                text += "-";
            }
            EXPECT_EQ(row->GetChecked(), List().ShowsChecked(i)) << "row " << i;
            EXPECT_EQ(row->GetListIndex(), i);
            rows.push_back(text);
        }
        return rows;
    }

    static std::vector<std::string> Alerts() {
        std::vector<std::string> said;
        for (const FCUI::Recorded& alert : FCUI::RecordedAlerts()) {
            said.push_back(Said(alert));
        }
        return said;
    }

    // Focused answers the items the dialog put the focus on, in order, from the host's trace.
    static std::vector<int> Focused() {
        static const std::regex call(R"(call FX_SetDlgFocus\([^,]*, (\d+),)");
        std::vector<int> items;
        for (const std::string& line : Host().Transcript()) {
            std::smatch m;
            if (std::regex_search(line, m, call)) {
                items.push_back(std::stoi(m[1]));
            }
        }
        return items;
    }

    std::string PitchListBytes() const {
        std::ifstream in(folder_ / "vesksorvel.txt", std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    std::vector<std::string> SetNames() { return Popup(W::kSetsPopup).GetEntries(); }

    // SaveSet saves the list under name, answering the questions with answers in order.
    void SaveSet(const char* name, std::vector<int> answers = {}) {
        for (const int answer : answers) {
            FCUI::QueueAnswer(answer);
        }
        Type(W::kSetName, name);
        Press(W::kSetName);
        Press(W::kSaveSet);
    }
    void ChooseSet(int value) {
        Popup(W::kSetsPopup).SetValue(value);
        Press(W::kSetsPopup);
    }

    std::string Note(int staff, int measure, int entry, int note = 0) const {
        return Host().NoteSpelling(staff, measure, 1, entry, note).value_or("<none>");
    }

    fs::path folder_;
    int ownerWindow_ = 0;
    int dialogHandle_ = 0;
    FCUI ui_{&ownerWindow_};
    std::unique_ptr<FCSorvelWindow> window_;
};

// --- The typed pair: spelling faults, for every command that reads the fields ---

struct FieldFault {
    const char* name;
    int16_t command;
    const char* from;
    const char* to;
    const char* message;  // exact text of the error box
    int16_t focus;        // the field the focus goes to
};

class FieldFaultTest : public SorvelWindowTest, public ::testing::WithParamInterface<FieldFault> {};

TEST_P(FieldFaultTest, NamesTheFieldPutsTheFocusThereAndChangesNothing) {
    const FieldFault& c = GetParam();
    Open();
    AddRow("E", "F", 0);
    List().UserSelect(0);
    TypePair(c.from, c.to, 1);
    const size_t editsBefore = Host().EditTitles().size();
    Press(c.command);
    EXPECT_EQ(Alerts(), std::vector<std::string>{std::string("e|Syntax Error|") + c.message});
    EXPECT_EQ(Focused(), std::vector<int>{c.focus});
    EXPECT_EQ(Rows(), std::vector<std::string>{"E>F:Up"});
    EXPECT_EQ(Host().EditTitles().size(), editsBefore) << "no edit may be opened";
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FieldFaultTest,
    ::testing::Values(
        FieldFault{"AddBadFrom", W::kAddRow, "H", "Bb", kFromSyntax, W::kFromField},
        FieldFault{"AddBadTo", W::kAddRow, "A#", "B#b", kToSyntax, W::kToField},
        FieldFault{"AddBothBad", W::kAddRow, "", "?", kFromSyntax, W::kFromField},
        FieldFault{"AddTooLong", W::kAddRow, "C####", "Dbbbbb", kToSyntax, W::kToField},
        FieldFault{"AddXNotAlone", W::kAddRow, "Cx#", "D", kFromSyntax, W::kFromField},
        FieldFault{"AddSpaceInside", W::kAddRow, "A #", "Bb", kFromSyntax, W::kFromField},
        FieldFault{"AddSpaceBefore", W::kAddRow, " C", "D", kFromSyntax, W::kFromField},
        FieldFault{"AddSharpThenFlat", W::kAddRow, "C#b", "D", kFromSyntax, W::kFromField},
        FieldFault{"AddFiveSharps", W::kAddRow, "A", "C#####", kToSyntax, W::kToField},
        // The inverse reads the pair the other way round: a faulty To text is its from text,
        // and the message and focus name the field the text was typed into.
        FieldFault{"InverseBadTo", W::kAddInverseRow, "A#", "Hb", kToSyntax, W::kToField},
        FieldFault{"InverseBadFrom", W::kAddInverseRow, "A%", "Bb", kFromSyntax, W::kFromField},
        FieldFault{"InverseBothBad", W::kAddInverseRow, "Q", "Z", kToSyntax, W::kToField},
        FieldFault{"UpdateBadFrom", W::kUpdateRow, "Ab#", "G#", kFromSyntax, W::kFromField},
        FieldFault{"UpdateBadTo", W::kUpdateRow, "G#", "", kToSyntax, W::kToField},
        FieldFault{"ChangeBadFrom", W::kChange, "x", "C", kFromSyntax, W::kFromField},
        FieldFault{"ChangeBadTo", W::kChange, "C", "C##b", kToSyntax, W::kToField}),
    NameOf<FieldFault>);

// --- Add and Add Inverse: the row, its normal form and direction, duplicates ---

struct AddCase {
    const char* name;
    int16_t command;
    const char* from;
    const char* to;
    int direction;
    const char* row;    // the new last row, or null: none added
    const char* alert;  // the error box, or null
};

class AddTest : public SorvelWindowTest, public ::testing::WithParamInterface<AddCase> {};

TEST_P(AddTest, AddsTheNormalRowOrRefusesADuplicate) {
    const AddCase& c = GetParam();
    Open();
    AddRow("A#", "Bb", 2);
    TypePair(c.from, c.to, c.direction);
    Press(c.command);
    std::vector<std::string> rows{"A#>Bb:Closest"};
    if (c.row != nullptr) {
        rows.emplace_back(c.row);
    }
    EXPECT_EQ(Rows(), rows);
    std::vector<std::string> alerts;
    if (c.alert != nullptr) {
        alerts.emplace_back(c.alert);
    }
    EXPECT_EQ(Alerts(), alerts);
    EXPECT_TRUE(Focused().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AddTest,
    ::testing::Values(
        AddCase{"Plain", W::kAddRow, "E#", "F", 0, "E#>F:Up", nullptr},
        AddCase{"LowerCaseAndB", W::kAddRow, "gB", "f#", 1, "Gb>F#:Down", nullptr},
        AddCase{"DoubleSharpX", W::kAddRow, "cx", "D", 2, "C##>D:Closest", nullptr},
        AddCase{"DoubleFlat", W::kAddRow, "Dbb", "C", 0, "Dbb>C:Up", nullptr},
        AddCase{"UpperCaseFlats", W::kAddRow, "EBB", "D", 1, "Ebb>D:Down", nullptr},
        AddCase{"FourSharpsFit", W::kAddRow, "A", "C####", 1, "A>C####:Down", nullptr},
        AddCase{"Duplicate", W::kAddRow, "A#", "C", 0, nullptr,
                "e|Can't add identical pitches|The pitch to change 'from' already exists in the "
                "list."},
        AddCase{"DuplicateOnceNormal", W::kAddRow, "a#", "C", 0, nullptr,
                "e|Can't add identical pitches|The pitch to change 'from' already exists in the "
                "list."},
        AddCase{"SameToIsNoDuplicate", W::kAddRow, "G", "Bb", 0, "G>Bb:Up", nullptr},
        // The inverse runs To > From, Up and Down swapped, Closest kept.
        AddCase{"InverseUp", W::kAddInverseRow, "E#", "F", 0, "F>E#:Down", nullptr},
        AddCase{"InverseDown", W::kAddInverseRow, "cx", "d", 1, "D>C##:Up", nullptr},
        AddCase{"InverseClosest", W::kAddInverseRow, "Fb", "E", 2, "E>Fb:Closest", nullptr},
        AddCase{"InverseDuplicate", W::kAddInverseRow, "C", "A#", 0, nullptr,
                "e|Can't add identical pitches|The pitch to change 'from' (which appear in the "
                "'To' field at the top, since you're trying to add the inverse) already exists "
                "in the list."},
        AddCase{"InverseOfTheRowIsNoDuplicate", W::kAddInverseRow, "A#", "Bb", 2, "Bb>A#:Closest",
                nullptr}),
    NameOf<AddCase>);

TEST_F(SorvelWindowTest, AddSelectsTheNewRowAndShowsItInTheFields) {
    Open();
    AddRow("e", "fb", 0);
    AddRow("cx", "d", 1);
    EXPECT_EQ(List().GetSelectedItem(), 1);
    EXPECT_EQ(Field(W::kFromField), "C##");
    EXPECT_EQ(Field(W::kToField), "D");
    EXPECT_EQ(Popup(W::kDirectionPopup).GetValue(), 2);
    EXPECT_TRUE(Item(W::kDeleteRow).GetEnable());
    EXPECT_TRUE(Item(W::kUpdateRow).GetEnable());
    EXPECT_TRUE(Item(W::kChangeChecked).GetEnable());
}

TEST_F(SorvelWindowTest, AddInverseLeavesTheSelectionAlone) {
    Open();
    AddRow("E", "F", 0);
    List().UserSelect(-1);
    TypePair("G", "A", 0);
    Press(W::kAddInverseRow);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"E>F:Up", "A>G:Down"}));
    EXPECT_EQ(List().GetSelectedItem(), -1);
    EXPECT_EQ(Field(W::kFromField), "G");
    EXPECT_EQ(Field(W::kToField), "A");
}

// --- Update and Delete: the selected row only ---

TEST_F(SorvelWindowTest, UpdateWithoutSelectionDoesNothing) {
    Open();
    AddRow("E", "F", 0);
    List().UserSelect(-1);
    EXPECT_FALSE(Item(W::kUpdateRow).GetEnable());
    TypePair("G", "A", 1);
    Press(W::kUpdateRow);  // as another program may send it while the button is disabled
    EXPECT_EQ(Rows(), std::vector<std::string>{"E>F:Up"});
    EXPECT_TRUE(Alerts().empty());
}

struct UpdateCase {
    const char* name;
    const char* from;
    const char* to;
    int direction;
    std::vector<std::string> rows;
    const char* alert;
};

class UpdateTest : public SorvelWindowTest, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(UpdateTest, WritesTheFieldsIntoTheSelectedRowUnlessAnotherHasItsFrom) {
    const UpdateCase& c = GetParam();
    Open();
    AddRow("E", "F", 0);
    AddRow("G", "A", 1);
    AddRow("B", "C", 2);
    List().UserSelect(1);
    TypePair(c.from, c.to, c.direction);
    Press(W::kUpdateRow);
    EXPECT_EQ(Rows(), c.rows);
    std::vector<std::string> alerts;
    if (c.alert != nullptr) {
        alerts.emplace_back(std::string("e|Can't have identical pitches|") + c.alert);
    }
    EXPECT_EQ(Alerts(), alerts);
    EXPECT_EQ(List().GetSelectedItem(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UpdateTest,
    ::testing::Values(
        UpdateCase{"NewPair", "f#", "gb", 2, {"E>F:Up", "F#>Gb:Closest", "B>C:Closest"}, nullptr},
        UpdateCase{"OwnFromKept", "G", "Abb", 0, {"E>F:Up", "G>Abb:Up", "B>C:Closest"}, nullptr},
        UpdateCase{"DoubleSharp", "fx", "G", 1, {"E>F:Up", "F##>G:Down", "B>C:Closest"}, nullptr},
        UpdateCase{"FromOfARowAbove",
                   "E",
                   "D",
                   0,
                   {"E>F:Up", "G>A:Down", "B>C:Closest"},
                   kUpdateDuplicate},
        UpdateCase{"FromOfARowBelow",
                   "b",
                   "D",
                   0,
                   {"E>F:Up", "G>A:Down", "B>C:Closest"},
                   kUpdateDuplicate}),
    NameOf<UpdateCase>);

TEST_F(SorvelWindowTest, UpdateLooksAtEveryOtherRowEvenOfTwoWithOneFrom) {
    // A file may hold two rows with one from text: the first cannot be updated into keeping it
    // either; once it has a from text of its own, the other may keep it.
    PluginState& state = PluginState::Instance();
    const char* const pairs[][2] = {{"A", "B"}, {"A", "C"}};
    for (int i = 0; i < 2; ++i) {
        const FCString from(pairs[i][0]);
        const FCString to(pairs[i][1]);
        auto* node = new FCPitchChangeNode(&from, &to, i);
        node->SetInUse(true);
        state.workingList.AddItem(node);
    }
    Open();
    List().UserSelect(0);
    EXPECT_EQ(Field(W::kFromField), "A");
    Type(W::kToField, "D");
    Press(W::kUpdateRow);
    EXPECT_EQ(Alerts(), std::vector<std::string>{"e|Can't have identical pitches|" +
                                                 std::string(kUpdateDuplicate)});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A>B:Up", "A>C:Down"}));
    FCUI::ClearRecordedAlerts();
    Type(W::kFromField, "G");
    Press(W::kUpdateRow);
    List().UserSelect(1);
    Type(W::kToField, "E");
    Press(W::kUpdateRow);
    EXPECT_TRUE(Alerts().empty());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"G>D:Up", "A>E:Down"}));
}

struct DeleteCase {
    const char* name;
    int select;  // -1: none
    std::vector<std::string> rows;
    bool changeChecked;  // Change Checked enabled afterwards
};

class DeleteTest : public SorvelWindowTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, RemovesTheSelectedRowKeepsTheOrderAndSelectsNothing) {
    const DeleteCase& c = GetParam();
    Open();
    AddRow("E", "F", 0);
    AddRow("G", "A", 1);
    AddRow("B", "C", 2);
    List().UserTick(0, false);
    List().UserTick(2, false);
    List().UserSelect(c.select);
    Press(W::kDeleteRow);
    EXPECT_EQ(Rows(), c.rows);
    EXPECT_EQ(List().GetSelectedItem(), -1);
    EXPECT_EQ(List().GetSelectionMark(), -1);
    EXPECT_FALSE(Item(W::kDeleteRow).GetEnable());
    EXPECT_FALSE(Item(W::kUpdateRow).GetEnable());
    EXPECT_EQ(Item(W::kChangeChecked).GetEnable(), c.changeChecked);
    // Update after a deletion writes over no row.
    TypePair("D", "Eb", 0);
    Press(W::kUpdateRow);
    EXPECT_EQ(Rows(), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeleteTest,
    ::testing::Values(DeleteCase{"NoneSelected", -1, {"E>F:Up-", "G>A:Down", "B>C:Closest-"}, true},
                      DeleteCase{"First", 0, {"G>A:Down", "B>C:Closest-"}, true},
                      DeleteCase{"TheOnlyTicked", 1, {"E>F:Up-", "B>C:Closest-"}, false},
                      DeleteCase{"Last", 2, {"E>F:Up-", "G>A:Down"}, true}),
    NameOf<DeleteCase>);

TEST_F(SorvelWindowTest, DeletingEveryRowLeavesNothingToSave) {
    Open();
    AddRow("E", "F", 0);
    Type(W::kSetName, "Winds");
    Press(W::kSetName);
    EXPECT_TRUE(Item(W::kSaveSet).GetEnable());
    List().UserSelect(0);
    Press(W::kDeleteRow);
    EXPECT_TRUE(Rows().empty());
    EXPECT_FALSE(Item(W::kChangeChecked).GetEnable());
    EXPECT_FALSE(Item(W::kSetName).GetEnable());
    EXPECT_FALSE(Item(W::kSaveSet).GetEnable());
}

// --- The ticks ---

TEST_F(SorvelWindowTest, TicksDecideWhetherChangeCheckedHasAnythingToRun) {
    Open();
    EXPECT_FALSE(Item(W::kChangeChecked).GetEnable());
    AddRow("E", "F", 0);
    AddRow("G", "A", 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"E>F:Up", "G>A:Up"}));
    List().UserTick(0, false);
    EXPECT_TRUE(Item(W::kChangeChecked).GetEnable());
    List().UserTick(1, false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"E>F:Up-", "G>A:Up-"}));
    EXPECT_FALSE(Item(W::kChangeChecked).GetEnable());
    // A double click ticks every row when none is ticked, and unticks every row otherwise.
    List().DoubleClicked();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"E>F:Up", "G>A:Up"}));
    EXPECT_TRUE(Item(W::kChangeChecked).GetEnable());
    List().UserTick(1, false);
    List().DoubleClicked();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"E>F:Up-", "G>A:Up-"}));
    EXPECT_FALSE(Item(W::kChangeChecked).GetEnable());
}

TEST_F(SorvelWindowTest, ClickingARowShowsItInTheFields) {
    Open();
    AddRow("E", "F", 0);
    AddRow("Bb", "A#", 1);
    List().UserSelect(0);
    EXPECT_EQ(Field(W::kFromField), "E");
    EXPECT_EQ(Field(W::kToField), "F");
    EXPECT_EQ(Popup(W::kDirectionPopup).GetValue(), 1);
    List().UserSelect(-1);
    EXPECT_FALSE(Item(W::kDeleteRow).GetEnable());
    EXPECT_FALSE(Item(W::kUpdateRow).GetEnable());
    EXPECT_EQ(Field(W::kFromField), "E") << "a deselection leaves the fields";
}

// --- Change and Change Checked: the edit, the order of the rows, invalid rows, no selection ---

TEST_F(SorvelWindowTest, ChangeChecked_RowsInOrderEachNoteOnceOneEdit) {
    Open();
    const int32_t beeps = FCUserWindow::GetBeepCount();
    Host().Select(1, 2, 1, 2);
    // A# to Bb and Bb to A# swap; C to D is unticked.
    AddRow("A#", "Bb", 2);
    AddRow("Bb", "A#", 2);
    AddRow("C", "D", 2);
    AddRow("E", "Fb", 2);
    List().UserTick(2, false);
    Press(W::kChangeChecked);
    EXPECT_EQ(Host().EditTitles(), std::vector<std::string>{"Sorvel"});
    EXPECT_EQ(Note(1, 1, 0), "Bb4");
    EXPECT_EQ(Note(1, 1, 1, 0), "C4");
    EXPECT_EQ(Note(1, 1, 1, 1), "Fb4");
    EXPECT_EQ(Note(2, 1, 0), "Bb3");
    EXPECT_EQ(Note(2, 2, 0), "C5");
    EXPECT_EQ(Host().RedrawRegions().size(), 1U);
    EXPECT_EQ(FCUserWindow::GetBeepCount(), beeps);
    EXPECT_TRUE(Alerts().empty());
}

TEST_F(SorvelWindowTest, ChangeCheckedNeverAppliesARowThatIsNoSpelling) {
    // Rows as a hand-edited file may hold them: "Fx" and a six-character text would change
    // notes if they were applied; they are shown as invalid and skipped.
    PluginState& state = PluginState::Instance();
    const char* const pairs[][2] = {{"E", "Fx"}, {"C", "Dbbbbb"}, {"F#", "Gb"}};
    for (const auto& pair : pairs) {
        const FCString from(pair[0]);
        const FCString to(pair[1]);
        auto* node = new FCPitchChangeNode(&from, &to, 2);
        node->SetInUse(true);
        state.workingList.AddItem(node);
    }
    Open();
    EXPECT_EQ(Rows(),
              (std::vector<std::string>{"E>Fx:Invalid", "C>Dbbbbb:Invalid", "F#>Gb:Closest"}));
    EXPECT_TRUE(Item(W::kChangeChecked).GetEnable());
    Host().Select(1, 2, 1, 2);
    Press(W::kChangeChecked);
    EXPECT_EQ(Note(1, 1, 1, 0), "C4");
    EXPECT_EQ(Note(1, 1, 1, 1), "E4");
    EXPECT_EQ(Note(1, 2, 0), "Gb4");
}

TEST_F(SorvelWindowTest, ChangeAppliesTheTypedPairAndSoundingOff) {
    Open();
    Host().Select(2, 2, 1, 1);
    TypePair("a#", "bb", 2);
    Box(W::kSoundingPitch).SetCheck(0);
    Box(W::kRespace).SetCheck(0);
    Press(W::kChange);
    EXPECT_EQ(Host().EditTitles(), std::vector<std::string>{"Sorvel"});
    EXPECT_EQ(Note(2, 1, 0), "Bb3");
    EXPECT_EQ(Note(1, 1, 0), "A#4") << "outside the selection";
    EXPECT_TRUE(Host().RespaceRegions().empty());
    EXPECT_FALSE(Dialog().IsClosed()) << "Change is the default button, yet keeps the dialog";
}

TEST_F(SorvelWindowTest, ChangeWithoutSelectionTellsTheUserAndBeeps) {
    Open();
    const int32_t beeps = FCUserWindow::GetBeepCount();
    TypePair("A#", "Bb", 2);
    Press(W::kChange);
    EXPECT_EQ(Alerts(), std::vector<std::string>{
                            "i|No Selection|No region is selected. Please select a region in the "
                            "document and try again."});
    EXPECT_EQ(FCUserWindow::GetBeepCount(), beeps + 1);
    EXPECT_TRUE(Host().RedrawRegions().empty());
    EXPECT_EQ(Note(1, 1, 0), "A#4");
}

// --- Pitch sets: save, overwrite, identical lists, use, delete ---

// Down is stored as 0 and Up as 1 (the file's key names the up direction), Closest as 2.
TEST_F(SorvelWindowTest, SaveCurrentStoresTheRowsWithTheirTicks) {
    Open();
    EXPECT_FALSE(Item(W::kSetsPopup).GetEnable());
    AddRow("A#", "Bb", 2);
    AddRow("F#", "Gb", 1);
    List().UserTick(1, false);
    SaveSet("  Winds ");
    EXPECT_EQ(SetNames(), std::vector<std::string>{"Winds"});
    EXPECT_EQ(Popup(W::kSetsPopup).GetValue(), 1);
    EXPECT_TRUE(Item(W::kUseSet).GetEnable());
    EXPECT_TRUE(Item(W::kDeleteSet).GetEnable());
    EXPECT_EQ(PitchListBytes(),
              "VESKSORVEL_LIST_NAME_1=Winds\nVESKSORVEL_LIST_FROM_1_1=A#\n"
              "VESKSORVEL_LIST_TO_1_1=Bb\nVESKSORVEL_LIST_UPDIRECTION_1_1=2\n"
              "VESKSORVEL_LIST_INUSE_1_1=1\nVESKSORVEL_LIST_FROM_1_2=F#\n"
              "VESKSORVEL_LIST_TO_1_2=Gb\nVESKSORVEL_LIST_UPDIRECTION_1_2=0\n"
              "VESKSORVEL_LIST_INUSE_1_2=0\n");
    EXPECT_TRUE(Alerts().empty());
}

TEST_F(SorvelWindowTest, SaveCurrentNeedsANameAndRows) {
    Open();
    EXPECT_FALSE(Item(W::kSaveSet).GetEnable());
    AddRow("A#", "Bb", 2);
    Type(W::kSetName, " \t ");
    Press(W::kSetName);
    EXPECT_FALSE(Item(W::kSaveSet).GetEnable());
    Press(W::kSaveSet);  // sent anyway
    EXPECT_TRUE(SetNames().empty());
    EXPECT_FALSE(fs::exists(folder_ / "vesksorvel.txt"));
}

struct OverwriteCase {
    const char* name;
    int answer;
    std::vector<std::string> firstRows;  // set 1's rows after the save, as Use shows them
};

class OverwriteTest : public SorvelWindowTest,
                      public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTest, AnExistingNameIsOverwrittenOnlyWhenTheUserSaysYes) {
    const OverwriteCase& c = GetParam();
    Open();
    AddRow("A#", "Bb", 2);
    SaveSet("Winds");
    AddRow("E", "F", 0);
    FCUI::ClearRecordedAlerts();
    SaveSet("Winds", {c.answer});
    EXPECT_EQ(Alerts(), std::vector<std::string>{"q|Overwrite?|There is already a set named "
                                                 "'Winds'.\n\nShould this set be overwritten?"});
    EXPECT_EQ(SetNames(), std::vector<std::string>{"Winds"});
    ChooseSet(1);
    Press(W::kUseSet);
    EXPECT_EQ(Rows(), c.firstRows);
}

INSTANTIATE_TEST_SUITE_P(Answers, OverwriteTest,
                         ::testing::Values(OverwriteCase{"No", FCUI::kNo, {"A#>Bb:Closest"}},
                                           OverwriteCase{"Other", FCUI::kOther, {"A#>Bb:Closest"}},
                                           OverwriteCase{
                                               "Yes", FCUI::kYes, {"A#>Bb:Closest", "E>F:Up"}}),
                         NameOf<OverwriteCase>);

struct TwinCase {
    const char* name;
    int answer;
    std::vector<std::string> sets;
};

class IdenticalListTest : public SorvelWindowTest,
                          public ::testing::WithParamInterface<TwinCase> {};

TEST_P(IdenticalListTest, AskedBeforeSavingTheSameRowsUnderANewName) {
    const TwinCase& c = GetParam();
    Open();
    AddRow("A#", "Bb", 2);
    SaveSet("Winds");
    FCUI::ClearRecordedAlerts();
    SaveSet("Brass", {c.answer});
    EXPECT_EQ(Alerts(),
              std::vector<std::string>{"q|Pitch List Exists|A list with identical pitches already "
                                       "exists as 'Winds'. Do you want to save this list "
                                       "anyway?"});
    EXPECT_EQ(SetNames(), c.sets);
}

// Only No declines: any other answer (a box closed otherwise) saves.
INSTANTIATE_TEST_SUITE_P(Answers, IdenticalListTest,
                         ::testing::Values(TwinCase{"No", FCUI::kNo, {"Winds"}},
                                           TwinCase{"Yes", FCUI::kYes, {"Winds", "Brass"}},
                                           TwinCase{"Other", FCUI::kOther, {"Winds", "Brass"}}),
                         [](const ::testing::TestParamInfo<TwinCase>& info) {
                             return info.param.name;
                         });

TEST_F(SorvelWindowTest, UseShowsTheChosenSetsRowsWithTheirTicks) {
    Open();
    AddRow("A#", "Bb", 2);
    AddRow("F#", "Gb", 1);
    List().UserTick(0, false);
    SaveSet("Winds");
    List().UserSelect(0);
    Press(W::kDeleteRow);
    AddRow("C", "Db", 0);
    SaveSet("Keys");
    EXPECT_EQ(SetNames(), (std::vector<std::string>{"Winds", "Keys"}));
    ChooseSet(1);
    EXPECT_EQ(Field(W::kSetName), "Winds");
    Press(W::kUseSet);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A#>Bb:Closest-", "F#>Gb:Down"}));
    ChooseSet(2);
    Press(W::kUseSet);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"F#>Gb:Down", "C>Db:Up"}));
}

TEST_F(SorvelWindowTest, UseAndDeleteWithoutAChoiceDoNothing) {
    Open();
    AddRow("A#", "Bb", 2);
    SaveSet("Winds");
    Popup(W::kSetsPopup).SetValue(0);
    Press(W::kSetsPopup);
    EXPECT_FALSE(Item(W::kUseSet).GetEnable());
    EXPECT_FALSE(Item(W::kDeleteSet).GetEnable());
    AddRow("E", "F", 0);
    FCUI::ClearRecordedAlerts();
    Press(W::kUseSet);
    Press(W::kDeleteSet);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A#>Bb:Closest", "E>F:Up"}));
    EXPECT_EQ(SetNames(), std::vector<std::string>{"Winds"});
    EXPECT_TRUE(Alerts().empty());
}

struct DeleteSetCase {
    const char* name;
    int answer;
    std::vector<std::string> sets;
};

class DeleteSetTest : public SorvelWindowTest,
                      public ::testing::WithParamInterface<DeleteSetCase> {};

TEST_P(DeleteSetTest, DeletesTheChosenSetWhenTheUserSaysYes) {
    const DeleteSetCase& c = GetParam();
    Open();
    AddRow("A#", "Bb", 2);
    SaveSet("Winds");
    AddRow("E", "F", 0);
    SaveSet("Brass");
    ChooseSet(1);
    FCUI::ClearRecordedAlerts();
    FCUI::QueueAnswer(c.answer);
    Press(W::kDeleteSet);
    EXPECT_EQ(Alerts(),
              std::vector<std::string>{"q|Delete Pitch List?|Do you want to delete 'Winds'?"});
    EXPECT_EQ(SetNames(), c.sets);
    StoredPitchSets::LoadPitchSets();
    const FCPitchChangeLists& onFile = PluginState::Instance().pitchSets;
    ASSERT_EQ(onFile.GetCount(), static_cast<int32_t>(c.sets.size()));
    for (int32_t i = 0; i < onFile.GetCount(); ++i) {
        EXPECT_EQ(Text(&onFile.GetListAt(i)->GetName()), c.sets[static_cast<size_t>(i)]);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, DeleteSetTest,
                         ::testing::Values(DeleteSetCase{"No", FCUI::kNo, {"Winds", "Brass"}},
                                           DeleteSetCase{"Other", FCUI::kOther, {"Winds", "Brass"}},
                                           DeleteSetCase{"Yes", FCUI::kYes, {"Brass"}}),
                         [](const ::testing::TestParamInfo<DeleteSetCase>& info) {
                             return info.param.name;
                         });

// --- Sets that cannot reach the file: the message, the sets and popup as the file has them ---

struct FailedSaveCase {
    const char* name;
    bool deleting;
    // Prepare breaks the folder after the first set was saved.
    void (*prepare)(const fs::path& folder);
    const char* reason;  // after "' was not saved: " or "' was not deleted: "
};

class FailedSaveTest : public SorvelWindowTest,
                       public ::testing::WithParamInterface<FailedSaveCase> {};

TEST_P(FailedSaveTest, TellsWhyAndKeepsTheSetsAsTheFileHasThem) {
    const FailedSaveCase& c = GetParam();
    Open();
    AddRow("A#", "Bb", 2);
    SaveSet("Tuba");
    const std::string before = PitchListBytes();
    c.prepare(folder_);
    AddRow("E", "F", 0);
    FCUI::ClearRecordedAlerts();
    // The message names the file as the host's folder and the plug-in's separator make it.
    const std::string path = folder_.string() + "\\vesksorvel.txt";
    std::string reason = c.reason;
    const size_t slot = reason.find("%s");
    if (slot != std::string::npos) {
        reason.replace(slot, 2, path);
    }
    if (c.deleting) {
        ChooseSet(1);
        FCUI::QueueAnswer(FCUI::kYes);
        Press(W::kDeleteSet);
        EXPECT_EQ(Alerts(), (std::vector<std::string>{
                                "q|Delete Pitch List?|Do you want to delete 'Tuba'?",
                                "e|Pitch Sets Not Saved|The pitch set 'Tuba' was not deleted: " +
                                    reason + " The saved pitch sets are as they were."}));
    } else {
        SaveSet("Winds");
        EXPECT_EQ(Alerts(),
                  std::vector<std::string>{
                      "e|Pitch Sets Not Saved|The pitch set 'Winds' was not saved: " + reason +
                      " The saved pitch sets are as they were; the rows in the list "
                      "are kept."});
    }
    EXPECT_EQ(SetNames(), std::vector<std::string>{"Tuba"});
    EXPECT_EQ(Popup(W::kSetsPopup).GetValue(), 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A#>Bb:Closest", "E>F:Up"}));
    const FCPitchChangeLists& sets = PluginState::Instance().pitchSets;
    ASSERT_EQ(sets.GetCount(), 1);
    EXPECT_EQ(sets.GetListAt(0)->GetCount(), 1);
    EXPECT_EQ(PitchListBytes(), before);
}

// The host names no settings folder (any more).
void NoFolder(const fs::path& /*folder*/) {
    host::HostSession::Instance().SetSettingsFolder("");
}
// A folder where the file's temporary copy goes: no write can begin, even for root.
void TemporaryBlocked(const fs::path& folder) {
    fs::create_directory(folder / "vesksorvel.txt.tmp");
}

const char* const kNotWritten =
    "the file '%s' could not be written (it may be read-only, its folder may not be writable, "
    "or the disk may be full).";
const char* const kNotRead =
    "the file '%s' exists but could not be read, so it is not replaced (the sets it holds would "
    "be lost).";
const char* const kNoFolder = "the host names no folder for the plug-in's settings.";

INSTANTIATE_TEST_SUITE_P(
    Folders, FailedSaveTest,
    ::testing::Values(FailedSaveCase{"SaveNotWritten", false, TemporaryBlocked, kNotWritten},
                      FailedSaveCase{"DeleteNotWritten", true, TemporaryBlocked, kNotWritten},
                      FailedSaveCase{"SaveNoFolder", false, NoFolder, kNoFolder},
                      FailedSaveCase{"DeleteNoFolder", true, NoFolder, kNoFolder}),
    NameOf<FailedSaveCase>);

// A pitch-list file that could not be read when the dialog was made is never written from the
// sets in memory (they lack what it holds). Saving reads it again: readable now (a lock let go),
// its sets come first and the new one is added; still unreadable (here a folder in its place,
// which even root cannot read as a file), nothing is written and the user is told.
TEST_F(SorvelWindowTest, SaveReadsAFileThatWasUnreadableAgainFirst) {
    Open();
    AddRow("A#", "Bb", 2);
    SaveSet("Tuba");
    PluginState::Instance().pitchSets.ClearAll();
    PluginState::Instance().pitchSetsUnreadable = true;
    AddRow("E", "F", 0);
    SaveSet("Winds");
    EXPECT_TRUE(Alerts().empty());
    EXPECT_EQ(SetNames(), (std::vector<std::string>{"Tuba", "Winds"}));
    EXPECT_FALSE(PluginState::Instance().pitchSetsUnreadable);
    StoredPitchSets::LoadPitchSets();
    EXPECT_EQ(PluginState::Instance().pitchSets.GetCount(), 2);
}

TEST_F(SorvelWindowTest, SaveIntoAFileStillUnreadableWritesNothing) {
    fs::create_directory(folder_ / "vesksorvel.txt");
    Open();
    ASSERT_TRUE(PluginState::Instance().pitchSetsUnreadable);
    AddRow("A#", "Bb", 2);
    SaveSet("Winds");
    const std::string path = folder_.string() + "\\vesksorvel.txt";
    EXPECT_EQ(Alerts(),
              std::vector<std::string>{
                  "e|Pitch Sets Not Saved|The pitch set 'Winds' was not saved: the file '" + path +
                  "' exists but could not be read, so it is not replaced (the sets it "
                  "holds would be lost). The saved pitch sets are as they were; the rows "
                  "in the list are kept."});
    EXPECT_TRUE(SetNames().empty());
    EXPECT_EQ(Rows(), std::vector<std::string>{"A#>Bb:Closest"});
    EXPECT_TRUE(fs::is_directory(folder_ / "vesksorvel.txt"));
}

// --- What the dialog keeps when it closes, and a dialog that could not be filled ---

TEST_F(SorvelWindowTest, CloseKeepsFieldsOptionsAndRowsForTheNextOpening) {
    Open();
    AddRow("A#", "Bb", 2);
    AddRow("E", "F", 0);
    List().UserTick(0, false);
    TypePair("C", "Db", 1);
    Box(W::kSoundingPitch).SetCheck(0);
    Box(W::kRespace).SetCheck(1);
    Press(W::kClose);
    EXPECT_TRUE(Dialog().IsClosed());
    EXPECT_EQ(Dialog().GetResultCode(), 2);
    Open();
    EXPECT_EQ(Field(W::kFromField), "C");
    EXPECT_EQ(Field(W::kToField), "Db");
    EXPECT_EQ(Popup(W::kDirectionPopup).GetValue(), 2);
    EXPECT_EQ(Box(W::kSoundingPitch).GetCheck(), 0);
    EXPECT_EQ(Box(W::kRespace).GetCheck(), 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A#>Bb:Closest-", "E>F:Up"}));
}

TEST_F(SorvelWindowTest, ADialogThatFailedWhileBeingFilledKeepsNothing) {
    Open();
    AddRow("A#", "Bb", 2);
    Dialog().MessageFailed(FCUserWindow::kCreationMessage);
    EXPECT_EQ(Alerts(), std::vector<std::string>{"e|Out of Memory|There is not enough memory to "
                                                 "finish this command. The score has not been "
                                                 "changed."});
    ASSERT_TRUE(Dialog().TakePostedClose());
    Press(W::kClose);
    EXPECT_TRUE(Dialog().IsClosed());
    EXPECT_EQ(Dialog().GetDialogHandle(), nullptr);
    EXPECT_EQ(PluginState::Instance().workingList.GetCount(), 0);
}

TEST_F(SorvelWindowTest, AFailedCommandTellsTheUserAndLeavesTheDialogOpen) {
    Open();
    Dialog().MessageFailed(0x0111);  // a command
    EXPECT_EQ(Alerts().size(), 1U);
    EXPECT_FALSE(Dialog().TakePostedClose());
    EXPECT_FALSE(Dialog().IsClosed());
}

// --- Which controls are enabled ---

TEST_F(SorvelWindowTest, AFreshDialogEnablesOnlyWhatHasSomethingToActOn) {
    Open();
    EXPECT_EQ(Field(W::kFromField), "A#");
    EXPECT_EQ(Field(W::kToField), "Bb");
    EXPECT_EQ(Popup(W::kDirectionPopup).GetEntries(),
              (std::vector<std::string>{"Up", "Down", "Closest"}));
    EXPECT_EQ(Popup(W::kDirectionPopup).GetValue(), 3);
    EXPECT_EQ(Field(W::kSetName), "Pitch List Name");
    EXPECT_EQ(List().GetColumnCount(), 3);
    EXPECT_EQ(List().GetExtendedStyle(),
              FCCtrlDataList::kCheckBoxesStyle | FCCtrlDataList::kFullRowSelectStyle);
    for (const int16_t item :
         {W::kChangeChecked, W::kDeleteRow, W::kUpdateRow, W::kSetsLabel, W::kSetsPopup, W::kUseSet,
          W::kDeleteSet, W::kSetName, W::kSaveSet}) {
        EXPECT_FALSE(Item(item).GetEnable()) << "item " << item;
    }
    for (const int16_t item : {W::kChange, W::kClose, W::kAddRow, W::kAddInverseRow}) {
        EXPECT_TRUE(Item(item).GetEnable()) << "item " << item;
    }
    EXPECT_EQ(Dialog().GetMaxTrackHeight(), FCUserWindow::kNativeScreenHeight * 8 / 10);
    EXPECT_EQ(Dialog().GetMaxTrackWidth(), FCUserWindow::kNativeWidth);
}

}  // namespace
