// HarnessLanguage: the harness's script language in one table. Each entry is one form of a
// command or of an expectation: its name, its arguments (from which its usage text is made),
// what it may act on, how its failure counts, and the action that carries it out. A command
// reaches only what a user could reach: a control of the right kind, and, for what a user works
// with mouse or keys, one that is shown and enabled in a dialog that is shown and enabled.
// Adding a command is adding an entry here and its action in HarnessActions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/HarnessScript.h"

namespace host {

class HarnessActions;

class HarnessLanguage {
  public:
    struct Argument {
        enum class Kind { kNumber, kFlag, kText, kWord };
        Kind kind = Kind::kNumber;
        std::string_view name;                // "item"; for a word with a key, the key ("icon")
        std::vector<std::string_view> words;  // a word's choices
        bool keyed = false;                   // written key=word
        bool optional = false;
        bool repeated = false;  // any number of them, none included
    };

    // What a command acts on.
    enum class Target {
        kHost,    // the host itself: its menu, score, settings folder; always there
        kDialog,  // the plug-in's dialog window: its frame and close box
        kItem,    // an item of the dialog, numbered by the first argument
        kList,    // the dialog's list
    };
    // The kinds of control an item can be.
    enum ControlKind : unsigned {
        kPushButton = 1U << 0U,
        kCheckBox = 1U << 1U,
        kEdit = 1U << 2U,
        kComboBox = 1U << 3U,
        kListView = 1U << 4U,
        kOtherControl = 1U << 5U,
    };
    struct Reach {
        Target target = Target::kHost;
        unsigned kinds = 0;  // the kinds of item it may act on; 0 for any
        bool works = false;  // a user works it: shown and enabled, in a shown, enabled dialog
    };
    // A window as the user sees it.
    struct Sight {
        bool found = false;
        bool shown = false;
        bool enabled = false;
        unsigned kind = 0;  // a ControlKind
    };

    // The exit codes a failed command ends the run with.
    static constexpr int kFailedExpectation = 1;
    static constexpr int kScriptFault = 2;

    using Action = bool (HarnessActions::*)(const HarnessScript::Command& command,
                                            std::string& failure);
    struct Form {
        std::string_view name;  // "set"; "expect text"
        std::vector<Argument> arguments;
        Reach reach;
        Action action = nullptr;
        int failureCode = kFailedExpectation;
    };

    static const std::vector<Form>& Forms();

    // Finds the form of a line's tokens and fills the command's name, arguments and form;
    // answers empty, or what is wrong with the usage of the command.
    static std::string Match(const std::vector<HarnessScript::Token>& tokens,
                             HarnessScript::Command& command);
    // "set ITEM \"TEXT\""; the whole language, one form a line.
    static std::string Usage(const Form& form);
    static std::string Usage();
    // Why a user could not do what the command does, or empty when they could. Item is the
    // command's item number (for Target::kItem).
    static std::string Unreachable(const Form& form, int item, const Sight& dialog,
                                   const Sight& target);
};

}  // namespace host
