// HarnessLanguage: the table of commands and expectations, matching a line against it, the
// usage text made from it, and what a user can reach.
#include "host/HarnessLanguage.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>

#include "host/HarnessActions.h"
#include "host/HostText.h"

namespace host {
namespace {

using Argument = HarnessLanguage::Argument;
using Form = HarnessLanguage::Form;
using Kind = Argument::Kind;
using Reach = HarnessLanguage::Reach;
using Target = HarnessLanguage::Target;
using Token = HarnessScript::Token;
using A = HarnessActions;
using L = HarnessLanguage;

Argument Make(Kind kind, std::string_view name, std::initializer_list<std::string_view> words = {},
              bool keyed = false) {
    Argument argument;
    argument.kind = kind;
    argument.name = name;
    argument.words = words;
    argument.keyed = keyed;
    return argument;
}
Argument Number(std::string_view name) {
    return Make(Kind::kNumber, name);
}
Argument Flag(std::string_view name) {
    return Make(Kind::kFlag, name);
}
Argument Text(std::string_view name) {
    return Make(Kind::kText, name);
}
Argument Word(std::initializer_list<std::string_view> words) {
    return Make(Kind::kWord, {}, words);
}
Argument Keyed(std::string_view key, std::initializer_list<std::string_view> words) {
    return Make(Kind::kWord, key, words, true);
}
Argument Optional(Argument argument) {
    argument.optional = true;
    return argument;
}
Argument Repeated(Argument argument) {
    argument.repeated = true;
    return argument;
}

// What each command may act on.
constexpr Reach kOnHost{Target::kHost};
constexpr Reach kWorksDialog{Target::kDialog, 0, true};
constexpr Reach kOnAnyItem{Target::kItem};
constexpr Reach kWorksButton{Target::kItem, L::kPushButton | L::kCheckBox, true};
constexpr Reach kWorksCheckBox{Target::kItem, L::kCheckBox, true};
constexpr Reach kWorksTextField{Target::kItem, L::kEdit | L::kComboBox, true};
constexpr Reach kWorksPopup{Target::kItem, L::kComboBox, true};
constexpr Reach kOnList{Target::kList};
constexpr Reach kWorksList{Target::kList, 0, true};

constexpr int kScript = L::kScriptFault;

const std::vector<Form>& Table() {
    static const std::vector<Form> forms = {
        {"invoke", {Optional(Word({"main", "other"}))}, kOnHost, &A::Invoke},
        {"terminate", {}, kOnHost, &A::Terminate},
        {"set", {Number("item"), Text("text")}, kWorksTextField, &A::Set},
        {"choose", {Number("item"), Number("entry")}, kWorksPopup, &A::Choose},
        {"tick", {Number("item"), Flag("state")}, kWorksCheckBox, &A::Tick},
        {"click", {Number("item")}, kWorksButton, &A::Click},
        // As a keyboard shortcut or another program may send it: the command reaches the dialog
        // whether or not its control is enabled.
        {"command", {Number("item")}, kOnAnyItem, &A::SendCommand},
        // Another program holding a settings file open (an editor, a backup or a synchronising
        // tool), and letting it go.
        {"lock", {Text("file name")}, kOnHost, &A::Lock, kScript},
        {"unlock", {Text("file name")}, kOnHost, &A::Unlock, kScript},
        {"row-tick", {Number("row"), Flag("state")}, kWorksList, &A::RowTick},
        {"row-select", {Number("row")}, kWorksList, &A::RowSelect},
        {"list-dblclick", {}, kWorksList, &A::ListDoubleClick},
        // The answer the next message box gets; an answer no box takes fails the run.
        {"answer", {Word({"yes", "no", "ok"})}, kOnHost, &A::Answer},
        {"resize", {Number("height change")}, kWorksDialog, &A::Resize},
        {"close", {}, kWorksDialog, &A::Close},
        {"select",
         {Number("slot"), Number("slot"), Number("measure"), Number("measure")},
         kOnHost,
         &A::Select,
         kScript},
        {"select",
         {Number("slot"), Number("slot"), Number("measure"), Number("measure"), Number("position"),
          Number("position")},
         kOnHost,
         &A::Select,
         kScript},
        {"select", {Word({"none"})}, kOnHost, &A::Select, kScript},
        // A modal window of the host's own comes and goes (its main window disabled meanwhile).
        {"host-modal", {Flag("modal")}, kOnHost, &A::HostModal},
        {"undo", {}, kOnHost, &A::Undo},
        {"print", {Word({"rows", "fields", "score"})}, kOnHost, &A::Print},

        {"expect alert",
         {Text("caption"), Optional(Text("text")),
          Optional(Keyed("icon", {"error", "info", "question", "warning", "none"})),
          Optional(Keyed("owner", {"main", "other", "dialog", "none"}))},
         kOnHost,
         &A::ExpectAlert},
        {"expect no-alert", {}, kOnHost, &A::ExpectNoAlert},
        {"expect beep", {}, kOnHost, &A::ExpectBeep},
        {"expect no-beep", {}, kOnHost, &A::ExpectNoBeep},
        {"expect text", {Number("item"), Text("text")}, kOnAnyItem, &A::ExpectText},
        {"expect value", {Number("item"), Number("value")}, kOnAnyItem, &A::ExpectValue},
        {"expect enabled", {Number("item"), Flag("enabled")}, kOnAnyItem, &A::ExpectEnabled},
        {"expect focus", {Number("item")}, kOnAnyItem, &A::ExpectFocus},
        {"expect rows", {Number("count")}, kOnList, &A::ExpectRowCount},
        {"expect row",
         {Number("row"), Text("from"), Text("to"), Text("direction"), Flag("checked")},
         kOnList,
         &A::ExpectRow},
        {"expect selected", {Number("row")}, kOnList, &A::ExpectSelected},
        {"expect popup", {Number("item"), Repeated(Text("entry"))}, kOnAnyItem, &A::ExpectPopup},
        {"expect note",
         {Number("staff"), Number("measure"), Number("layer"), Number("entry"), Number("note"),
          Text("pitch")},
         kOnHost,
         &A::ExpectNote},
        {"expect edits",
         {Number("opened"), Number("kept"), Number("cancelled")},
         kOnHost,
         &A::ExpectEdits},
        {"expect respaces", {Number("count")}, kOnHost, &A::ExpectCount},
        {"expect redraws", {Number("count")}, kOnHost, &A::ExpectCount},
        {"expect visible", {Flag("visible")}, kOnHost, &A::ExpectVisible},
    };
    return forms;
}

std::string Upper(std::string_view name) {
    std::string text;
    for (const char c : name) {
        text += c == ' ' ? '-' : AsciiUpper(c);
    }
    return text;
}

// "a", "a or b", "a, b or c".
std::string Choices(const std::vector<std::string>& choices) {
    std::string text;
    for (size_t i = 0; i < choices.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == choices.size() ? " or " : ", ") + choices[i];
    }
    return text;
}

std::string Spelled(const Argument& argument, std::string_view word) {
    return argument.keyed ? std::string(argument.name) + "=" + std::string(word)
                          : std::string(word);
}

std::string ArgumentUsage(const Argument& argument) {
    std::string text;
    switch (argument.kind) {
        case Kind::kNumber:
            text = Upper(argument.name);
            break;
        case Kind::kFlag:
            text = "0|1";
            break;
        case Kind::kText:
            text = std::string("\"").append(Upper(argument.name)).append("\"");
            break;
        case Kind::kWord:
            text = argument.keyed ? std::string(argument.name) + "=" : "";
            for (size_t i = 0; i < argument.words.size(); ++i) {
                text += i == 0 ? "" : "|";
                text += argument.words[i];
            }
            break;
    }
    if (argument.repeated) {
        return "[" + text + " ...]";
    }
    return argument.optional ? "[" + text + "]" : text;
}

bool Fits(const Argument& argument, const Token& token) {
    switch (argument.kind) {
        case Kind::kNumber:
            return HarnessScript::IsInteger(token);
        case Kind::kFlag:
            return !token.quoted && (token.text == "0" || token.text == "1");
        case Kind::kText:
            return token.quoted;
        case Kind::kWord:
            return !token.quoted && std::any_of(argument.words.begin(), argument.words.end(),
                                                [&](std::string_view w) {
                                                    return token.text == Spelled(argument, w);
                                                });
    }
    return false;
}

std::string Expected(const Argument& argument) {
    const std::string name = std::string("(").append(argument.name).append(")");
    switch (argument.kind) {
        case Kind::kNumber:
            return "expected a number " + name;
        case Kind::kFlag:
            return "expected 0 or 1 " + name;
        case Kind::kText:
            return "expected a quoted text " + name;
        case Kind::kWord: {
            std::vector<std::string> words;
            for (const auto word : argument.words) {
                words.push_back(Spelled(argument, word));
            }
            return "expected " + Choices(words);
        }
    }
    return {};
}

// How far a line's arguments follow a form, and what stops them (empty when nothing does).
struct Fit {
    size_t at = 0;
    std::string fault;
};

Fit FitArguments(const Form& form, const std::vector<Token>& args) {
    Fit fit;
    const Argument* skipped = nullptr;  // the one optional argument passed over here, if one
    size_t passedOver = 0;
    for (const Argument& argument : form.arguments) {
        if (argument.repeated) {
            while (fit.at < args.size() && Fits(argument, args[fit.at])) {
                ++fit.at;
            }
            continue;
        }
        if (fit.at < args.size() && Fits(argument, args[fit.at])) {
            ++fit.at;
            skipped = nullptr;
            passedOver = 0;
            continue;
        }
        if (argument.optional) {
            skipped = &argument;
            ++passedOver;
            continue;
        }
        fit.fault = Expected(argument);
        return fit;
    }
    if (fit.at < args.size()) {
        // Where one optional argument alone could stand, say what it must be.
        fit.fault = skipped != nullptr && passedOver == 1
                        ? Expected(*skipped)
                        : "unexpected \"" + args[fit.at].text + "\"";
    }
    return fit;
}

// The names a command word leads to: "set" itself, or the forms of "expect".
std::vector<std::string_view> FormWords(std::string_view word) {
    std::vector<std::string_view> names;
    for (const Form& form : Table()) {
        const std::string_view name = form.name;
        if (name.size() > word.size() && name.substr(0, word.size()) == word &&
            name[word.size()] == ' ') {
            const std::string_view rest = name.substr(word.size() + 1);
            if (std::find(names.begin(), names.end(), rest) == names.end()) {
                names.push_back(rest);
            }
        }
    }
    return names;
}

std::string CommaList(const std::vector<std::string_view>& names) {
    std::string text;
    for (const auto name : names) {
        text += (text.empty() ? "" : ", ") + std::string(name);
    }
    return text;
}

std::string KindName(unsigned kind) {
    switch (kind) {
        case L::kPushButton:
            return "a push button";
        case L::kCheckBox:
            return "a check box";
        case L::kEdit:
            return "an edit field";
        case L::kComboBox:
            return "a popup";
        case L::kListView:
            return "a list";
        default:
            return "a control of another kind";
    }
}

std::string KindNames(unsigned kinds) {
    std::vector<std::string> names;
    for (unsigned kind = 1; kind <= kinds; kind <<= 1U) {
        if ((kinds & kind) != 0) {
            names.push_back(KindName(kind));
        }
    }
    return Choices(names);
}

}  // namespace

const std::vector<Form>& HarnessLanguage::Forms() {
    return Table();
}

std::string HarnessLanguage::Usage(const Form& form) {
    std::string text(form.name);
    for (const Argument& argument : form.arguments) {
        text += ' ';
        text += ArgumentUsage(argument);
    }
    return text;
}

std::string HarnessLanguage::Usage() {
    std::string text;
    for (const Form& form : Table()) {
        text += Usage(form) + "\n";
    }
    return text;
}

std::string HarnessLanguage::Match(const std::vector<Token>& tokens,
                                   HarnessScript::Command& command) {
    if (tokens.empty() || tokens[0].quoted) {
        return "a command starts with its name, not a text";
    }
    size_t first = 1;
    std::string name = tokens[0].text;
    const auto forms = FormWords(name);
    if (!forms.empty()) {
        if (tokens.size() < 2 || tokens[1].quoted) {
            return name + " needs a form (" + CommaList(forms) + ")";
        }
        if (std::find(forms.begin(), forms.end(), tokens[1].text) == forms.end()) {
            return "unknown " + std::string(name == "expect" ? "expectation" : "form") + " \"" +
                   tokens[1].text + "\"";
        }
        name += " " + tokens[1].text;
        first = 2;
    }
    const std::vector<Token> args(tokens.begin() + static_cast<std::ptrdiff_t>(first),
                                  tokens.end());
    // The form that takes the arguments, else the fault of the one they follow farthest.
    Fit best;
    std::string usage;
    bool known = false;
    const auto& table = Table();
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].name != name) {
            continue;
        }
        Fit fit = FitArguments(table[i], args);
        if (fit.fault.empty()) {
            command.name = name;
            command.args = args;
            command.form = i;
            return {};
        }
        if (!known || fit.at > best.at) {
            best = std::move(fit);
        }
        usage += (known ? " or " : "") + Usage(table[i]);
        known = true;
    }
    if (!known) {
        return "unknown command \"" + name + "\"";
    }
    return best.fault + " (" + usage + ")";
}

std::string HarnessLanguage::Unreachable(const Form& form, int item, const Sight& dialog,
                                         const Sight& target) {
    const Reach& reach = form.reach;
    if (reach.target == Target::kHost) {
        return {};
    }
    if (!dialog.found) {
        return "the plug-in's dialog is not open";
    }
    const std::string what = reach.target == Target::kItem   ? "item " + std::to_string(item)
                             : reach.target == Target::kList ? "the list"
                                                             : "the dialog";
    if (!target.found) {
        return reach.target == Target::kList ? "the dialog has no list"
                                             : "the dialog has no item " + std::to_string(item);
    }
    if (reach.kinds != 0 && (reach.kinds & target.kind) == 0) {
        return what + " is " + KindName(target.kind) + ": " + std::string(form.name) +
               " works on " + KindNames(reach.kinds);
    }
    if (!reach.works) {
        return {};
    }
    const std::string cannot = ": a user cannot work it";
    if (!dialog.shown || !dialog.enabled) {
        return std::string("the dialog is ") + (dialog.shown ? "disabled" : "hidden") + cannot;
    }
    if (!target.shown || !target.enabled) {
        return what + " is " + (target.enabled ? "hidden" : "disabled") + cannot;
    }
    return {};
}

}  // namespace host
