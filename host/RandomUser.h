// RandomUser: the harness's seeded random user (--random-user SEED ROUNDS). Each round it does
// one thing a user might do in the plug-in's dialog (typing, adding, updating, deleting, ticking,
// selecting, saving and using sets, resizing, closing and invoking, terminating), spoken as a
// harness script line, and then checks the rows, the saved sets and the alerts against its own
// model of what they must be. It wants a fresh settings folder: its model starts from the
// plug-in's defaults.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace host {

class RandomUser {
  public:
    // Runs one script line as the harness does; false when the run must stop, with its code.
    using RunLine = std::function<bool(const std::string& line, int& exitCode)>;

    RandomUser(uint32_t seed, int rounds, RunLine run);
    // Plays every round; answers the run's exit code (0 when everything held).
    int Play();

  private:
    struct Row {
        std::string from;
        std::string to;
        int direction = 2;
        bool checked = true;
    };
    struct Set {
        std::string name;
        std::vector<Row> rows;
    };

    // One kind of thing the user does: its name in the closing count, how often it is picked
    // (by weight among all), and how often once the list is long, so that the list stays a
    // size a person works with.
    struct Action {
        const char* name;
        int weight;
        int weightWhenLong;
        bool (RandomUser::*act)();
    };
    static constexpr size_t kActionCount = 14;
    static const std::array<Action, kActionCount> kActions;

    uint32_t seed_;
    int rounds_;
    RunLine run_;
    std::mt19937 random_;
    std::deque<std::string> recent_;
    int exitCode_ = 0;
    int round_ = 0;
    std::array<int, kActionCount> done_{};  // how often each action was picked
    size_t mostRows_ = 0;

    // The model: what the dialog and the plug-in's stored state must hold.
    bool open_ = false;
    std::string fromField_ = "A#";
    std::string toField_ = "Bb";
    int direction_ = 2;
    std::string nameField_ = "Pitch List Name";
    std::vector<Row> rows_;
    std::vector<Set> sets_;

    int Pick(int count);
    bool Chance(int percent);
    std::string RandomSpelling();
    std::string RandomSetName();

    bool Do(const std::string& line);
    bool Expect(const std::string& line) { return Do("expect " + line); }
    bool Fail(const std::string& what);
    void SayRecent() const;
    bool Round();
    bool CheckAll();

    // The user's actions; each answers false when the run must stop.
    bool Open();
    bool Type();
    bool Add(bool inverse);
    bool AddRow() { return Add(false); }
    bool AddInverse() { return Add(true); }
    bool DeleteRow();
    bool UpdateRow();
    bool TickRow();
    bool DoubleClick();
    bool SelectRow();
    bool ChooseSet();
    bool SaveSet();
    bool UseSet();
    bool DeleteSet();
    bool Resize();
    bool CloseOrTerminate();

    // What the dialog shows that the model leaves to the plug-in (where the selection mark
    // lands after rows go away); the user looks at the screen for these.
    static HWND Item(int item);
    static int SelectionMark();
    static int SetChoice();
    static bool Enabled(int item);

    // The spelling rules as a user reads them: valid, and the form the list keeps.
    static bool Valid(const std::string& typed, std::string& normal);
    static std::string DirectionWord(int direction);
    static std::string Quote(const std::string& text);
    int FindRow(const std::string& from) const;
};

}  // namespace host
