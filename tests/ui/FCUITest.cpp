// FCUI in the native build: captions and their defaults, the absent-message rules, the owner
// window, and the yes/no answers.
#include <gtest/gtest.h>

#include <string>

#include "ui/FCUI.h"

namespace {

std::u16string U(const char* text) {
    std::u16string out;
    for (; *text != 0; ++text) {
        out.push_back(static_cast<unsigned char>(*text));
    }
    return out;
}

class FCUITest : public ::testing::Test {
  protected:
    void SetUp() override { FCUI::ClearRecordedAlerts(); }
    void TearDown() override { FCUI::ClearRecordedAlerts(); }
    int owner_ = 0;
    FCUI ui_{&owner_};
};

TEST_F(FCUITest, Owner) {
    EXPECT_EQ(ui_.GetOwnerWindow(), &owner_);
}

struct CaptionCase {
    const char* title;  // null: absent
    FCUI::Kind kind;
    const char* expected;
};

class FCUICaptionTest : public FCUITest, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(FCUICaptionTest, CaptionFallsBackOnlyWhenTitleIsAbsentOrEmpty) {
    const CaptionCase& c = GetParam();
    const FCString message("Body text");
    const FCString title(c.title != nullptr ? c.title : "");
    const FCString* titleArg = c.title != nullptr ? &title : nullptr;
    switch (c.kind) {
        case FCUI::Kind::kError:
            ui_.AlertError(&message, titleArg);
            break;
        case FCUI::Kind::kYesNo:
            ui_.AlertYesNo(&message, titleArg);
            break;
        case FCUI::Kind::kInfo:
            ui_.AlertInfo(&message, titleArg);
            break;
    }
    ASSERT_EQ(FCUI::RecordedAlerts().size(), 1U);
    const FCUI::Recorded& r = FCUI::RecordedAlerts()[0];
    EXPECT_EQ(r.kind, c.kind);
    EXPECT_EQ(r.caption, U(c.expected));
    EXPECT_EQ(r.text, U("Body text"));
    EXPECT_EQ(r.owner, &owner_);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FCUICaptionTest,
    ::testing::Values(CaptionCase{nullptr, FCUI::Kind::kError, "Error"},
                      CaptionCase{"", FCUI::Kind::kError, "Error"},
                      CaptionCase{"Syntax Error", FCUI::Kind::kError, "Syntax Error"},
                      CaptionCase{nullptr, FCUI::Kind::kYesNo, "Yes/No?"},
                      CaptionCase{"", FCUI::Kind::kYesNo, "Yes/No?"},
                      CaptionCase{"Overwrite?", FCUI::Kind::kYesNo, "Overwrite?"},
                      CaptionCase{nullptr, FCUI::Kind::kInfo, "Information"},
                      CaptionCase{"", FCUI::Kind::kInfo, "Information"},
                      CaptionCase{"Note", FCUI::Kind::kInfo, "Note"}),
    // Stable names (ErrorNoTitle, YesNoEmptyTitle, InfoOwnTitle...): a case keeps its name when
    // the table grows.
    [](const ::testing::TestParamInfo<CaptionCase>& info) {
        const CaptionCase& c = info.param;
        const std::string kind = c.kind == FCUI::Kind::kError   ? "Error"
                                 : c.kind == FCUI::Kind::kYesNo ? "YesNo"
                                                                : "Info";
        const std::string title = c.title == nullptr ? "NoTitle"
                                  : *c.title == '\0' ? "EmptyTitle"
                                                     : "OwnTitle";
        return kind + title;
    });

TEST_F(FCUITest, AbsentMessageShowsNothing) {
    const FCString title("T");
    ui_.AlertError(nullptr, &title);
    ui_.AlertError(static_cast<const char*>(nullptr), "T");
    ui_.AlertInfo(nullptr, &title);
    FCUI::QueueAnswer(FCUI::kYes);
    EXPECT_EQ(ui_.AlertYesNo(nullptr, &title), FCUI::kOther);
    EXPECT_TRUE(FCUI::RecordedAlerts().empty());
}

TEST_F(FCUITest, EightBitErrorKeepsEveryByte) {
    ui_.AlertError("caf\xe9", "\xc4rger");
    ASSERT_EQ(FCUI::RecordedAlerts().size(), 1U);
    EXPECT_EQ(FCUI::RecordedAlerts()[0].text, (std::u16string{u'c', u'a', u'f', u'\u00e9'}));
    EXPECT_EQ(FCUI::RecordedAlerts()[0].caption,
              (std::u16string{u'\u00c4', u'r', u'g', u'e', u'r'}));
    ui_.AlertError("m", nullptr);
    ui_.AlertError("m", "");
    EXPECT_EQ(FCUI::RecordedAlerts()[1].caption, U("Error"));
    EXPECT_EQ(FCUI::RecordedAlerts()[2].caption, U("Error"));
}

TEST_F(FCUITest, YesNoAnswersComeFromTheQueueAndDefaultToNo) {
    const FCString message("Q?");
    FCUI::QueueAnswer(FCUI::kYes);
    FCUI::QueueAnswer(FCUI::kNo);
    FCUI::QueueAnswer(17);
    EXPECT_EQ(ui_.AlertYesNo(&message, nullptr), FCUI::kYes);
    EXPECT_EQ(ui_.AlertYesNo(&message, nullptr), FCUI::kNo);
    EXPECT_EQ(ui_.AlertYesNo(&message, nullptr), FCUI::kOther);
    EXPECT_EQ(ui_.AlertYesNo(&message, nullptr), FCUI::kNo);
    EXPECT_EQ(FCUI::RecordedAlerts().size(), 4U);
}

TEST_F(FCUITest, NoSelectionIsAnInformationAlert) {
    ui_.AlertNoSelection();
    ASSERT_EQ(FCUI::RecordedAlerts().size(), 1U);
    const FCUI::Recorded& r = FCUI::RecordedAlerts()[0];
    EXPECT_EQ(r.kind, FCUI::Kind::kInfo);
    EXPECT_EQ(r.caption, U("No Selection"));
    EXPECT_EQ(r.text,
              U("No region is selected. Please select a region in the document and try again."));
}

}  // namespace
