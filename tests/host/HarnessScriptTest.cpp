// The harness's script language: tokens, escapes, comments, and the form of every command.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/HarnessScript.h"

namespace {

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
