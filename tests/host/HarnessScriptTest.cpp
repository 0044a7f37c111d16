// The harness's script language: tokens, escapes, comments, line ends, the form of every
// command, the usage text the table makes, and what a user can reach.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/HarnessLanguage.h"
#include "host/HarnessScript.h"

namespace {

using host::HarnessLanguage;
using host::HarnessScript;

TEST(HarnessScriptTest, TokensQuotesEscapesAndComments) {
    std::vector<HarnessScript::Token> tokens;
    std::string error;
    ASSERT_TRUE(
        HarnessScript::Tokenize(R"(set 102 "a \"b\" \\ c\nd" # comment "x")", tokens, error));
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].text, "set");
    EXPECT_FALSE(tokens[0].quoted);
    EXPECT_EQ(tokens[2].text, "a \"b\" \\ c\nd");
    EXPECT_TRUE(tokens[2].quoted);
    ASSERT_TRUE(HarnessScript::Tokenize(R"(set 1 "# not a comment")", tokens, error));
    EXPECT_EQ(tokens[2].text, "# not a comment");
    ASSERT_TRUE(HarnessScript::Tokenize(R"(set 1 "")", tokens, error));
    EXPECT_EQ(tokens[2].text, "");
    EXPECT_TRUE(tokens[2].quoted);
    EXPECT_FALSE(HarnessScript::Tokenize(R"(set 1 "open)", tokens, error));
    EXPECT_EQ(error, "a quoted text is not closed");
    EXPECT_FALSE(HarnessScript::Tokenize(R"(set 1 "\t")", tokens, error));
}

TEST(HarnessScriptTest, WellFormedCommandsParse) {
    const char* script = R"(# a script
invoke
invoke other
set 102 "A#"
choose 106 3
tick 113 0
click 1
row-tick 0 1
row-select -1
list-dblclick
answer yes
resize -20
close
select 1 2 1 4
select 1 1 2 2 0 1024
select none
host-modal 1
undo
print rows
expect alert "Caption" "Text" icon=error owner=main
expect alert "Caption" owner=other
expect no-alert
expect beep
expect no-beep
expect text 102 ""
expect value 106 2
expect enabled 107 0
expect focus 102
expect rows 3
expect row 0 "A#" "Bb" "Closest" 1
expect popup 117
expect popup 106 "Up" "Down" "Closest"
expect note 1 2 1 0 0 "C#4"
expect edits 1 1 0
expect respaces 0
expect redraws 2
expect visible 0
terminate
)";
    std::vector<HarnessScript::Command> commands;
    std::string error;
    ASSERT_TRUE(HarnessScript::Parse(script, "ok.script", commands, error)) << error;
    EXPECT_EQ(commands.size(), 37u);
    EXPECT_EQ(commands[0].line, 2);
    EXPECT_EQ(commands[2].name, "set");
    EXPECT_EQ(commands[2].args[1].text, "A#");
}

TEST(HarnessScriptTest, FaultsNameTheLine) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"invoke\njump 3", "s line 2: unknown command \"jump\""},
        {"tick 113 2", "s line 1: expected 0 or 1 (state)"},
        {"set 102 A#", "s line 1: expected a quoted text (text)"},
        {"click", "s line 1: expected a number (item)"},
        {"click 1 2", "s line 1: unexpected \"2\""},
        {"invoke third", "s line 1: expected main or other"},
        {"answer maybe", "s line 1: expected yes, no or ok"},
        {"select 1 2 3", "s line 1: expected a number (measure)"},
        {"expect", "s line 1: expect needs a form"},
        {"expect colour 3", "s line 1: unknown expectation \"colour\""},
        {"expect alert Caption", "s line 1: expected a quoted text (caption)"},
        {"expect alert \"C\" icon=big", "s line 1: unexpected \"icon=big\""},
        {"expect row 0 \"A\" \"B\" \"Up\"", "s line 1: expected 0 or 1 (checked)"},
        {"expect note 1 1 1 0 \"C4\"", "s line 1: expected a number (note)"},
        {"\n\nset 1 \"x", "s line 3: a quoted text is not closed"},
        {"\"invoke\"", "s line 1: a command starts with its name"},
        {"print everything", "s line 1: expected rows, fields or score"},
        {"choose 106 99999999999", "s line 1: expected a number (entry)"},
        {"expect alert \"C\" owner=nobody",
         "s line 1: unexpected \"owner=nobody\" (expect alert \"CAPTION\" [\"TEXT\"] "
         "[icon=error|info|question|warning|none] [owner=main|other|dialog|none])"},
        {"tick 113", "s line 1: expected 0 or 1 (state) (tick ITEM 0|1)"},
        {"select 1 2 1 4 0",
         "s line 1: expected a number (position) (select SLOT SLOT MEASURE MEASURE or select "
         "SLOT SLOT MEASURE MEASURE POSITION POSITION or select none)"},
    };
    for (const auto& c : cases) {
        std::vector<HarnessScript::Command> commands;
        std::string error;
        EXPECT_FALSE(HarnessScript::Parse(c.script, "s", commands, error)) << c.script;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "got: " << error << "\nwanted: " << c.error;
    }
}

}  // namespace

namespace {

TEST(HarnessScriptTest, TheExampleScriptIsWellFormed) {
    std::ifstream in(std::string(VS_EXAMPLES) + "/SpellFlatsInGMajor.script", std::ios::binary);
    ASSERT_TRUE(in.good());
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<HarnessScript::Command> commands;
    std::string error;
    EXPECT_TRUE(HarnessScript::Parse(text.str(), "example", commands, error)) << error;
}

}  // namespace

namespace {

std::vector<HarnessScript::Command> MustParse(std::string_view text) {
    std::vector<HarnessScript::Command> commands;
    std::string error;
    EXPECT_TRUE(HarnessScript::Parse(text, "s", commands, error)) << error;
    return commands;
}

// Written on another system or by another editor: a byte order mark, Windows or old Mac line
// ends. Every line is read as one command, and faults name the right line.
TEST(HarnessScriptTest, ByteOrderMarkAndEveryLineEnd) {
    const char* texts[] = {
        "\xEF\xBB\xBFinvoke\nset 102 \"A#\"\n\nterminate\n",
        "invoke\r\nset 102 \"A#\"\r\n\r\nterminate\r\n",
        "invoke\rset 102 \"A#\"\r\rterminate\r",
        "\xEF\xBB\xBFinvoke\rset 102 \"A#\"\r\n\nterminate",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(testing::PrintToString(std::string(text)));
        const auto commands = MustParse(text);
        ASSERT_EQ(commands.size(), 3U);
        EXPECT_EQ(commands[0].name, "invoke");
        EXPECT_EQ(commands[1].name, "set");
        EXPECT_EQ(commands[1].args[1].text, "A#");
        EXPECT_EQ(commands[1].source, "set 102 \"A#\"");
        EXPECT_EQ(commands[2].name, "terminate");
        EXPECT_EQ(commands[2].line, 4);
    }
    std::vector<HarnessScript::Command> commands;
    std::string error;
    EXPECT_FALSE(HarnessScript::Parse("invoke\r\rjump", "s", commands, error));
    EXPECT_EQ(error, "s line 3: unknown command \"jump\"");
    // A byte order mark counts only at the very start.
    EXPECT_FALSE(HarnessScript::Parse("invoke\n\xEF\xBB\xBFterminate", "s", commands, error));
    EXPECT_EQ(error.rfind("s line 2: unknown command", 0), 0U) << error;
}

// The lines a form's usage text promises: every word it offers, each optional part given and
// left out, a repeated part none and twice.
std::vector<std::string> Examples(const HarnessLanguage::Form& form) {
    using Kind = HarnessLanguage::Argument::Kind;
    std::vector<std::string> lines = {std::string(form.name)};
    for (const auto& argument : form.arguments) {
        std::vector<std::string> choices;
        switch (argument.kind) {
            case Kind::kNumber:
                choices = {"1"};
                break;
            case Kind::kFlag:
                choices = {"0", "1"};
                break;
            case Kind::kText:
                choices = {"\"x\""};
                break;
            case Kind::kWord:
                for (const auto word : argument.words) {
                    choices.push_back((argument.keyed ? std::string(argument.name) + "=" : "") +
                                      std::string(word));
                }
                break;
        }
        if (argument.repeated) {
            choices = {"", std::string(choices[0]).append(" ").append(choices[0])};
        } else if (argument.optional) {
            choices.emplace_back();
        }
        std::vector<std::string> longer;
        for (const auto& line : lines) {
            for (const auto& choice : choices) {
                longer.push_back(choice.empty() ? line
                                                : std::string(line).append(" ").append(choice));
            }
        }
        lines = longer;
    }
    return lines;
}

// The usage text is made from the table, so that what it offers and what a script may write
// are the same: every line it promises parses, as that very form.
TEST(HarnessScriptTest, EveryLineTheUsageOffersParses) {
    const auto& forms = HarnessLanguage::Forms();
    size_t lines = 0;
    for (size_t i = 0; i < forms.size(); ++i) {
        for (const auto& line : Examples(forms[i])) {
            SCOPED_TRACE(line);
            const auto commands = MustParse(line);
            ASSERT_EQ(commands.size(), 1U);
            EXPECT_EQ(commands[0].name, forms[i].name);
            EXPECT_EQ(HarnessLanguage::Usage(forms[commands[0].form]),
                      HarnessLanguage::Usage(forms[i]));
            ++lines;
        }
    }
    EXPECT_GT(lines, 100U);
    const std::string usage = HarnessLanguage::Usage();
    EXPECT_NE(usage.find("\nexpect alert \"CAPTION\" [\"TEXT\"] "
                         "[icon=error|info|question|warning|none] "
                         "[owner=main|other|dialog|none]\n"),
              std::string::npos)
        << usage;
    EXPECT_NE(usage.find("\ntick ITEM 0|1\n"), std::string::npos) << usage;
    // An item is always a command's first argument: the harness looks it up there.
    for (const auto& form : forms) {
        if (form.reach.target == HarnessLanguage::Target::kItem) {
            ASSERT_FALSE(form.arguments.empty()) << form.name;
            EXPECT_EQ(form.arguments[0].name, "item") << form.name;
        }
    }
}

// What a user can reach decides whether a command runs: the kind of control it works on, and
// for what a user works with mouse or keys, a shown and enabled control in a shown and enabled
// dialog. Looking at a control, and a command another program sends, need neither.
TEST(HarnessScriptTest, ACommandDoesOnlyWhatAUserCould) {
    using L = HarnessLanguage;
    constexpr L::Sight kNone{};
    constexpr L::Sight kDialog{true, true, true, 0};
    constexpr L::Sight kDisabledDialog{true, true, false, 0};
    constexpr L::Sight kHiddenDialog{true, false, true, 0};
    constexpr L::Sight kButton{true, true, true, L::kPushButton};
    constexpr L::Sight kCheckBox{true, true, true, L::kCheckBox};
    constexpr L::Sight kEdit{true, true, true, L::kEdit};
    constexpr L::Sight kPopup{true, true, true, L::kComboBox};
    constexpr L::Sight kList{true, true, true, L::kListView};
    constexpr L::Sight kDisabledEdit{true, true, false, L::kEdit};
    constexpr L::Sight kHiddenEdit{true, false, true, L::kEdit};
    constexpr L::Sight kStatic{true, true, true, L::kOtherControl};
    struct Case {
        const char* line;
        L::Sight dialog;
        L::Sight target;
        const char* refusal;
    };
    const Case cases[] = {
        {"click 1", kDialog, kButton, ""},
        {"click 1", kDisabledDialog, kButton, "the dialog is disabled: a user cannot work it"},
        {"click 113", kDialog, kCheckBox, ""},
        {"click 102", kDialog, kEdit,
         "item 102 is an edit field: click works on a push button or a check box"},
        {"click 5", kDialog, kNone, "the dialog has no item 5"},
        {"click 1", kNone, kNone, "the plug-in's dialog is not open"},
        {"tick 113 1", kDialog, kCheckBox, ""},
        {"tick 107 1", kDialog, kButton, "item 107 is a push button: tick works on a check box"},
        {"tick 113 1", kHiddenDialog, kCheckBox, "the dialog is hidden: a user cannot work it"},
        {"set 102 \"A\"", kDialog, kEdit, ""},
        {"set 106 \"A\"", kDialog, kPopup, ""},
        {"set 113 \"A\"", kDialog, kCheckBox,
         "item 113 is a check box: set works on an edit field or a popup"},
        {"set 101 \"A\"", kDialog, kStatic,
         "item 101 is a control of another kind: set works on an edit field or a popup"},
        {"set 102 \"A\"", kDialog, kDisabledEdit, "item 102 is disabled: a user cannot work it"},
        {"set 102 \"A\"", kDialog, kHiddenEdit, "item 102 is hidden: a user cannot work it"},
        {"choose 106 1", kDialog, kPopup, ""},
        {"choose 102 1", kDialog, kEdit, "item 102 is an edit field: choose works on a popup"},
        {"command 102", kDisabledDialog, kDisabledEdit, ""},
        {"expect text 102 \"A\"", kHiddenDialog, kHiddenEdit, ""},
        {"expect text 102 \"A\"", kDialog, kNone, "the dialog has no item 102"},
        {"row-tick 0 1", kDialog, kList, ""},
        {"row-tick 0 1", kDisabledDialog, kList, "the dialog is disabled: a user cannot work it"},
        {"row-select 0", kDialog, kNone, "the dialog has no list"},
        {"list-dblclick",
         kDialog,
         {true, true, false, L::kListView},
         "the list is disabled: a user cannot work it"},
        {"expect rows 0", kDisabledDialog, kList, ""},
        {"close", kDialog, kDialog, ""},
        {"close", kHiddenDialog, kHiddenDialog, "the dialog is hidden: a user cannot work it"},
        {"resize 20", kDisabledDialog, kDisabledDialog,
         "the dialog is disabled: a user cannot work it"},
        {"invoke", kNone, kNone, ""},
        {"expect visible 0", kNone, kNone, ""},
        {"host-modal 1", kDisabledDialog, kNone, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto commands = MustParse(c.line);
        ASSERT_EQ(commands.size(), 1U);
        const auto& form = HarnessLanguage::Forms()[commands[0].form];
        const int item =
            form.reach.target == L::Target::kItem ? HarnessScript::Integer(commands[0].args[0]) : 0;
        EXPECT_EQ(L::Unreachable(form, item, c.dialog, c.target), c.refusal);
    }
}

}  // namespace
