// ClassNameTest: the name every framework, pitch, settings and dialog class answers, in one
// table. Scripts written for the host's class framework test these names, so a class that
// answers its base's name (a pitch change node is a plain __FCBase) must keep doing so.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/FCBrowserNoteEntries.h"
#include "framework/FCCell.h"
#include "framework/FCCurrentStaffSpec.h"
#include "framework/FCGeneralPrefs.h"
#include "framework/FCIndependentCellDetail.h"
#include "framework/FCIteratorHandler.h"
#include "framework/FCKeySignature.h"
#include "framework/FCMeasure.h"
#include "framework/FCMusicRegion.h"
#include "framework/FCNote.h"
#include "framework/FCNoteEntry.h"
#include "framework/FCNoteEntryCell.h"
#include "framework/FCPartScopePrefs.h"
#include "framework/FCStaff.h"
#include "framework/FCString.h"
#include "framework/FCStrings.h"
#include "framework/__FCCollection.h"
#include "pitch/FCPitchChangeList.h"
#include "pitch/FCPitchChangeNode.h"
#include "settings/FCSettingsPair.h"
#include "settings/FCSettingsPairs.h"
#include "settings/FCTextFileStream.h"
#include "ui/FCMyDataListRow.h"
#include "ui/FCUI.h"

namespace {

// Objects that need others to be built from: a cell, an entry record and the texts of a row.
struct Parts {
    FCCell cell{1, 1};
    std::array<uint8_t, FCNoteEntry::kRecordSize> record{};
    FCString from{"A#"};
    FCString to{"Bb"};
    int owner = 0;
};

struct NameCase {
    const char* type;  // the class built, which names the test
    const char* expected;
    std::function<std::unique_ptr<__FCBase>(Parts&)> make;
};

template <typename T, typename... Args>
std::function<std::unique_ptr<__FCBase>(Parts&)> Plain(Args... args) {
    return [=](Parts&) { return std::make_unique<T>(args...); };
}

class ClassNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(ClassNameTest, AnswersItsName) {
    Parts parts;
    const std::unique_ptr<__FCBase> object = GetParam().make(parts);
    EXPECT_STREQ(object->ClassName(), GetParam().expected);
}

const NameCase kNames[] = {
    // The framework.
    {"FCString", "FCString", Plain<FCString>()},
    {"FCStrings", "FCStrings", Plain<FCStrings>()},
    {"__FCCollection", "__FCCollection", Plain<__FCCollection>()},
    {"FCIteratorHandler", "FCIteratorHandler", Plain<FCIteratorHandler>()},
    {"FCMeasure", "FCMeasure", Plain<FCMeasure>()},
    {"FCStaff", "FCStaff", Plain<FCStaff>()},
    {"FCCurrentStaffSpec", "FCCurrentStaffSpec", Plain<FCCurrentStaffSpec>()},
    {"FCGeneralPrefs", "FCGeneralPrefs", Plain<FCGeneralPrefs>()},
    {"FCPartScopePrefs", "FCPartScopePrefs", Plain<FCPartScopePrefs>()},
    {"FCKeySignature", "FCKeySignature", Plain<FCKeySignature>()},
    {"FCMusicRegion", "FCMusicRegion", Plain<FCMusicRegion>()},
    {"FCCell", "FCCell", Plain<FCCell>(3, 2)},
    {"FCIndependentCellDetail", "FCIndependentCellDetail",
     [](Parts& p) { return std::make_unique<FCIndependentCellDetail>(&p.cell); }},
    {"FCNoteEntryCell", "FCNoteEntryCell", Plain<FCNoteEntryCell>(1, 1)},
    {"FCNoteEntry", "FCNoteEntry",
     [](Parts& p) { return std::make_unique<FCNoteEntry>(p.record.data(), nullptr, 1, 1); }},
    {"FCNote", "FCNote",
     [](Parts& p) { return std::make_unique<FCNote>(0, p.record.data(), nullptr); }},
    {"FCBrowserNoteEntries", "__FCBrowserBase", Plain<FCBrowserNoteEntries>()},
    // The pitch lists: a node and a pitch set answer their bases' names.
    {"FCPitchChangeNode", "__FCBase", Plain<FCPitchChangeNode>()},
    {"FCPitchChangeList", "__FCCollection", Plain<FCPitchChangeList>()},
    // The settings: a pair and a file stream answer __FCBase.
    {"FCSettingsPairs", "FCSettingsPairs", Plain<FCSettingsPairs>()},
    {"FCSettingsPair", "__FCBase", Plain<FCSettingsPair>("a", "b")},
    {"FCTextFileStream", "__FCBase", Plain<FCTextFileStream>("folder", "name.txt")},
    // The dialog's objects that need no window: the alerts and a list row.
    {"FCUI", "FCUI", [](Parts& p) { return std::make_unique<FCUI>(&p.owner); }},
    {"FCMyDataListRow", "FCStrings",
     [](Parts& p) { return std::make_unique<FCMyDataListRow>(&p.from, &p.to, 2, true); }},
};

INSTANTIATE_TEST_SUITE_P(Classes, ClassNameTest, testing::ValuesIn(kNames),
                         [](const testing::TestParamInfo<NameCase>& param) {
                             return std::string(param.param.type);
                         });

}  // namespace
