// RandomUser: the random user's actions, its model of the rows and saved sets, and the checks
// after every round.
#include "host/RandomUser.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "host/HostSession.h"
#include "host/HostText.h"
#include "host/HostWindows.h"

namespace host {
namespace {

constexpr int kFrom = 102;
constexpr int kTo = 104;
constexpr int kDirection = 106;
constexpr int kList = 108;
constexpr int kChangeChecked = 107;
constexpr int kAdd = 109;
constexpr int kAddInverse = 110;
constexpr int kUpdate = 111;
constexpr int kDelete = 112;
constexpr int kSets = 117;
constexpr int kSetName = 118;
constexpr int kSave = 119;
constexpr int kUse = 120;
constexpr int kDeleteSet = 121;

// A list longer than this is long: deleting is picked more often.
constexpr size_t kLongList = 12;
// The last lines shown when a run stops.
constexpr size_t kRecentLines = 40;
// A resize changes the height by this much at most, up or down.
constexpr int kMostShrink = 80;
constexpr int kMostGrowth = 160;

const char* const kFromSyntax =
    "The 'From' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), Dbb, etc.";
const char* const kToSyntax =
    "The 'To' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), Dbb, etc.";

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

void Say(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

RandomUser::RandomUser(uint32_t seed, int rounds, RunLine run)
    : seed_(seed), rounds_(rounds), run_(std::move(run)), random_(seed) {}

int RandomUser::Pick(int count) {
    return static_cast<int>(random_() % static_cast<uint32_t>(count));
}

bool RandomUser::Chance(int percent) {
    return Pick(100) < percent;
}

std::string RandomUser::RandomSpelling() {
    // Few letters and many ways of writing them, so that duplicates and bad syntax are common.
    static const char* const kLetters[] = {"C", "D", "E", "F", "G", "A", "B", "c", "e", "a", "H"};
    static const char* const kMarks[] = {"",   "",    "#",    "b",     "##", "bb", "x", "B",
                                         "bB", "###", "####", "#####", "X",  "#b", " ", "bbbb"};
    if (Chance(2)) {
        return {};
    }
    std::string text = kLetters[Pick(static_cast<int>(std::size(kLetters)))];
    text += kMarks[Pick(static_cast<int>(std::size(kMarks)))];
    if (Chance(2)) {
        text = " " + text;
    }
    return text;
}

std::string RandomUser::RandomSetName() {
    static const char* const kNames[] = {"Winds",   "winds",          " Brass ", "Strings",
                                         "STRINGS", "Set 1",          "\tSet 1", "   ",
                                         "Horns",   "Pitch List Name"};
    return kNames[Pick(static_cast<int>(std::size(kNames)))];
}

bool RandomUser::Valid(const std::string& typed, std::string& normal) {
    if (typed.empty() || typed.size() > 5) {
        return false;
    }
    std::string s = typed;
    if (s[0] >= 'a' && s[0] <= 'g') {
        s[0] = static_cast<char>(s[0] - 'a' + 'A');
    }
    if (s[0] < 'A' || s[0] > 'G') {
        return false;
    }
    if (s.size() > 1) {
        const char mark = s[1];
        if (mark == '#') {
            if (s.find_first_not_of('#', 1) != std::string::npos) {
                return false;
            }
        } else if (mark == 'b' || mark == 'B') {
            for (size_t i = 1; i < s.size(); ++i) {
                if (s[i] != 'b' && s[i] != 'B') {
                    return false;
                }
                s[i] = 'b';
            }
        } else if (mark == 'x') {
            if (s.size() != 2) {
                return false;
            }
            s = s.substr(0, 1) + "##";
        } else {
            return false;
        }
    }
    normal = s;
    return true;
}

std::string RandomUser::DirectionWord(int direction) {
    return direction == 0 ? "Up" : direction == 1 ? "Down" : "Closest";
}

std::string RandomUser::Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

int RandomUser::FindRow(const std::string& from) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].from == from) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

HWND RandomUser::Item(int item) {
    HWND dialog = HostWindows::Instance().Dialog();
    return dialog != nullptr ? GetDlgItem(dialog, item) : nullptr;
}

int RandomUser::SelectionMark() {
    HWND list = Item(kList);
    return list != nullptr ? static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0)) : -1;
}

int RandomUser::SetChoice() {
    HWND popup = Item(kSets);
    if (popup == nullptr) {
        return 0;
    }
    const auto choice = SendMessageW(popup, CB_GETCURSEL, 0, 0);
    return choice == CB_ERR ? 0 : static_cast<int>(choice) + 1;
}

bool RandomUser::Enabled(int item) {
    HWND control = Item(item);
    return control != nullptr && IsWindowEnabled(control) != 0;
}

bool RandomUser::Do(const std::string& line) {
    recent_.push_back(line);
    if (recent_.size() > kRecentLines) {
        recent_.pop_front();
    }
    if (run_(line, exitCode_)) {
        return true;
    }
    SayRecent();
    return false;
}

void RandomUser::SayRecent() const {
    Say("random user: seed " + std::to_string(seed_) + " stopped in round " +
        std::to_string(round_) + "; its last lines:");
    for (const auto& recent : recent_) {
        Say("  " + recent);
    }
}

bool RandomUser::Fail(const std::string& what) {
    Say("FAILED random user: " + what);
    exitCode_ = 1;
    SayRecent();
    return false;
}

bool RandomUser::CheckAll() {
    if (!HostSession::Instance().ProtocolErrors().empty()) {
        return Fail("protocol error: " + HostSession::Instance().ProtocolErrors().front());
    }
    if (!Expect("no-alert") || !Expect("no-beep") ||
        !Expect("rows " + std::to_string(rows_.size()))) {
        return false;
    }
    bool anyChecked = false;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        anyChecked = anyChecked || row.checked;
        if (!Expect("row " + std::to_string(i) + " " + Quote(row.from) + " " + Quote(row.to) + " " +
                    Quote(DirectionWord(row.direction)) + (row.checked ? " 1" : " 0"))) {
            return false;
        }
    }
    std::string names;
    for (const auto& set : sets_) {
        names += " " + Quote(set.name);
    }
    const bool saveable = !rows_.empty() && !Trim(nameField_).empty();
    return Expect("popup " + std::to_string(kSets) + names) &&
           Expect("text " + std::to_string(kFrom) + " " + Quote(fromField_)) &&
           Expect("text " + std::to_string(kTo) + " " + Quote(toField_)) &&
           Expect("value " + std::to_string(kDirection) + " " + std::to_string(direction_ + 1)) &&
           Expect("text " + std::to_string(kSetName) + " " + Quote(nameField_)) &&
           Expect("enabled " + std::to_string(kChangeChecked) + (anyChecked ? " 1" : " 0")) &&
           Expect("enabled " + std::to_string(kSetName) + (rows_.empty() ? " 0" : " 1")) &&
           Expect("enabled " + std::to_string(kSave) + (saveable ? " 1" : " 0")) &&
           Expect("enabled " + std::to_string(kSets) + (sets_.empty() ? " 0" : " 1"));
}

bool RandomUser::Open() {
    if (!Do(Chance(70) ? "invoke" : "invoke other")) {
        return false;
    }
    open_ = true;
    // A new dialog window shows the placeholder name; the popup is chosen without notice.
    nameField_ = "Pitch List Name";
    return Expect("visible 1");
}

bool RandomUser::Type() {
    const int field = Pick(3);
    if (field == 0) {
        fromField_ = RandomSpelling();
        return Do("set " + std::to_string(kFrom) + " " + Quote(fromField_));
    }
    if (field == 1) {
        toField_ = RandomSpelling();
        return Do("set " + std::to_string(kTo) + " " + Quote(toField_));
    }
    direction_ = Pick(3);
    return Do("choose " + std::to_string(kDirection) + " " + std::to_string(direction_ + 1));
}

bool RandomUser::Add(bool inverse) {
    if (!Do("click " + std::to_string(inverse ? kAddInverse : kAdd))) {
        return false;
    }
    // The inverse add reads the To field as its from spelling and names that field first.
    const std::string& fromText = inverse ? toField_ : fromField_;
    const std::string& toText = inverse ? fromField_ : toField_;
    std::string from;
    std::string to;
    if (!Valid(fromText, from)) {
        return Expect(std::string("alert \"Syntax Error\" ") +
                      Quote(inverse ? kToSyntax : kFromSyntax) + " icon=error") &&
               Expect("focus " + std::to_string(inverse ? kTo : kFrom));
    }
    if (!Valid(toText, to)) {
        return Expect(std::string("alert \"Syntax Error\" ") +
                      Quote(inverse ? kFromSyntax : kToSyntax) + " icon=error") &&
               Expect("focus " + std::to_string(inverse ? kFrom : kTo));
    }
    if (FindRow(from) >= 0) {
        return Expect(std::string("alert \"Can't add identical pitches\" ") +
                      Quote(inverse
                                ? "The pitch to change 'from' (which appear in the 'To' field at "
                                  "the top, since you're trying to add the inverse) already "
                                  "exists in the list."
                                : "The pitch to change 'from' already exists in the list.") +
                      " icon=error");
    }
    const int direction = inverse ? (direction_ == 0 ? 1 : direction_ == 1 ? 0 : 2) : direction_;
    rows_.push_back(Row{from, to, direction, true});
    if (inverse) {
        return true;
    }
    // The new row is selected, and a selected row shows itself in the fields.
    fromField_ = from;
    toField_ = to;
    return SelectionMark() == static_cast<int>(rows_.size()) - 1 ||
           Fail("the new row is not the selected one");
}

bool RandomUser::DeleteRow() {
    if (!Enabled(kDelete)) {
        return true;
    }
    const int mark = SelectionMark();
    if (!Do("click " + std::to_string(kDelete))) {
        return false;
    }
    if (mark >= 0 && mark < static_cast<int>(rows_.size())) {
        rows_.erase(rows_.begin() + mark);
    }
    return true;
}

bool RandomUser::UpdateRow() {
    if (!Enabled(kUpdate)) {
        return true;
    }
    const int mark = SelectionMark();
    if (!Do("click " + std::to_string(kUpdate))) {
        return false;
    }
    if (mark < 0 || mark >= static_cast<int>(rows_.size())) {
        return true;
    }
    std::string from;
    std::string to;
    if (!Valid(fromField_, from)) {
        return Expect(std::string("alert \"Syntax Error\" ") + Quote(kFromSyntax) + " icon=error");
    }
    if (!Valid(toField_, to)) {
        return Expect(std::string("alert \"Syntax Error\" ") + Quote(kToSyntax) + " icon=error");
    }
    const int other = FindRow(from);
    if (other >= 0 && other != mark) {
        return Expect(
            "alert \"Can't have identical pitches\" \"The pitch to change 'from' already exists in "
            "the list at another place.\" icon=error");
    }
    Row& row = rows_[static_cast<size_t>(mark)];
    row.from = from;
    row.to = to;
    row.direction = direction_;
    return true;
}

bool RandomUser::TickRow() {
    if (rows_.empty()) {
        return true;
    }
    const int row = Pick(static_cast<int>(rows_.size()));
    const bool checked = Chance(50);
    rows_[static_cast<size_t>(row)].checked = checked;
    return Do("row-tick " + std::to_string(row) + (checked ? " 1" : " 0"));
}

bool RandomUser::DoubleClick() {
    const bool any =
        std::any_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.checked; });
    for (auto& row : rows_) {
        row.checked = !any;
    }
    return Do("list-dblclick");
}

bool RandomUser::SelectRow() {
    const int row = Pick(static_cast<int>(rows_.size()) + 1) - 1;
    // A click on the row that is already selected changes nothing, so the fields stay.
    bool already = false;
    if (row >= 0) {
        HWND list = Item(kList);
        already = list != nullptr &&
                  (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
                   LVIS_SELECTED) != 0;
    }
    if (!Do("row-select " + std::to_string(row))) {
        return false;
    }
    if (row >= 0 && !already) {
        const Row& shown = rows_[static_cast<size_t>(row)];
        fromField_ = shown.from;
        toField_ = shown.to;
        direction_ = shown.direction;
    }
    return row < 0 || SelectionMark() == row || Fail("the clicked row is not the selected one");
}

bool RandomUser::ChooseSet() {
    if (sets_.empty()) {
        return true;
    }
    const int choice = Pick(static_cast<int>(sets_.size())) + 1;
    nameField_ = sets_[static_cast<size_t>(choice - 1)].name;
    return Do("choose " + std::to_string(kSets) + " " + std::to_string(choice));
}

bool RandomUser::SaveSet() {
    if (rows_.empty()) {
        return true;
    }
    if (Chance(60)) {
        nameField_ = RandomSetName();
        if (!Do("set " + std::to_string(kSetName) + " " + Quote(nameField_))) {
            return false;
        }
    }
    const std::string name = Trim(nameField_);
    if (name.empty()) {
        return true;
    }
    const bool yes = Chance(60);
    const auto same = std::find_if(sets_.begin(), sets_.end(), [&](const Set& s) {
        return AsciiLower(s.name) == AsciiLower(name);
    });
    if (same != sets_.end()) {
        if (!Do(yes ? "answer yes" : "answer no") || !Do("click " + std::to_string(kSave)) ||
            !Expect("alert \"Overwrite?\" " +
                    Quote("There is already a set named '" + name +
                          "'.\n\nShould this set be overwritten?") +
                    " icon=none")) {
            return false;
        }
        if (yes) {
            same->rows = rows_;
        }
        return true;
    }
    const auto identical = std::find_if(sets_.begin(), sets_.end(), [&](const Set& s) {
        return s.rows.size() == rows_.size() &&
               std::all_of(rows_.begin(), rows_.end(), [&](const Row& r) {
                   return std::any_of(s.rows.begin(), s.rows.end(), [&](const Row& o) {
                       return o.from == r.from && o.to == r.to && o.direction == r.direction;
                   });
               });
    });
    if (identical != sets_.end()) {
        if (!Do(yes ? "answer yes" : "answer no") || !Do("click " + std::to_string(kSave)) ||
            !Expect("alert \"Pitch List Exists\" icon=none")) {
            return false;
        }
        if (!yes) {
            return true;
        }
    } else if (!Do("click " + std::to_string(kSave))) {
        return false;
    }
    sets_.push_back(Set{name, rows_});
    return SetChoice() == static_cast<int>(sets_.size()) ||
           Fail("the new set is not the chosen one");
}

bool RandomUser::UseSet() {
    const int choice = SetChoice();
    if (!Enabled(kUse) || choice < 1 || choice > static_cast<int>(sets_.size())) {
        return true;
    }
    rows_ = sets_[static_cast<size_t>(choice - 1)].rows;
    return Do("click " + std::to_string(kUse));
}

bool RandomUser::DeleteSet() {
    const int choice = SetChoice();
    if (!Enabled(kDeleteSet) || choice < 1 || choice > static_cast<int>(sets_.size())) {
        return true;
    }
    const bool yes = Chance(60);
    const std::string name = sets_[static_cast<size_t>(choice - 1)].name;
    if (!Do(yes ? "answer yes" : "answer no") || !Do("click " + std::to_string(kDeleteSet)) ||
        !Expect("alert \"Delete Pitch List?\" " + Quote("Do you want to delete '" + name + "'?") +
                " icon=none")) {
        return false;
    }
    if (yes) {
        sets_.erase(sets_.begin() + (choice - 1));
    }
    return true;
}

bool RandomUser::Resize() {
    return Do("resize " + std::to_string(Pick(kMostShrink + kMostGrowth + 1) - kMostShrink));
}

bool RandomUser::CloseOrTerminate() {
    const int how = Pick(3);
    if (!Do(how == 0 ? "close" : how == 1 ? "click 2" : "terminate")) {
        return false;
    }
    open_ = false;
    if (how == 2) {
        // Read back from the settings file, whose reader drops blanks around every value.
        fromField_ = Trim(fromField_);
        toField_ = Trim(toField_);
    }
    return Expect("visible 0");
}

const std::array<RandomUser::Action, RandomUser::kActionCount> RandomUser::kActions = {{
    {"type", 26, 26, &RandomUser::Type},
    {"add", 14, 14, &RandomUser::AddRow},
    {"add inverse", 6, 6, &RandomUser::AddInverse},
    {"delete", 6, 20, &RandomUser::DeleteRow},
    {"update", 6, 6, &RandomUser::UpdateRow},
    {"tick", 8, 8, &RandomUser::TickRow},
    {"double-click", 3, 3, &RandomUser::DoubleClick},
    {"select", 10, 10, &RandomUser::SelectRow},
    {"choose set", 4, 4, &RandomUser::ChooseSet},
    {"save set", 6, 6, &RandomUser::SaveSet},
    {"use set", 4, 4, &RandomUser::UseSet},
    {"delete set", 3, 3, &RandomUser::DeleteSet},
    {"resize", 3, 3, &RandomUser::Resize},
    {"close or terminate", 3, 3, &RandomUser::CloseOrTerminate},
}};

bool RandomUser::Round() {
    if (!open_) {
        return Open() && CheckAll();
    }
    // Typing most, then adding and the row commands.
    const bool longList = rows_.size() > kLongList;
    auto weight = [&](const Action& a) { return longList ? a.weightWhenLong : a.weight; };
    int total = 0;
    for (const Action& action : kActions) {
        total += weight(action);
    }
    int pick = Pick(total);
    size_t chosen = 0;
    while (pick >= weight(kActions[chosen])) {
        pick -= weight(kActions[chosen]);
        ++chosen;
    }
    ++done_[chosen];
    const bool ok = (this->*kActions[chosen].act)();
    mostRows_ = std::max(mostRows_, rows_.size());
    return ok && (!open_ || CheckAll());
}

int RandomUser::Play() {
    Say("random user: seed " + std::to_string(seed_) + ", " + std::to_string(rounds_) + " rounds");
    for (round_ = 1; round_ <= rounds_; ++round_) {
        if (!Round()) {
            return exitCode_ != 0 ? exitCode_ : 1;
        }
    }
    Say("random user: " + std::to_string(rounds_) + " rounds held (seed " + std::to_string(seed_) +
        ")");
    std::string line = "random user did:";
    for (size_t i = 0; i < kActions.size(); ++i) {
        line +=
            std::string(i == 0 ? " " : ", ") + kActions[i].name + " " + std::to_string(done_[i]);
    }
    Say(line + "; at most " + std::to_string(mostRows_) + " rows, " + std::to_string(sets_.size()) +
        " sets at the end");
    return 0;
}

}  // namespace host
