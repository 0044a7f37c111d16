// The window and list classes inside a real dialog made by the stand-in host from the template
// (this program is the host and carries the template itself): class names, control lookup, the
// list's rows and item numbers, check marks and the exact-text search.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "host/HostWindows.h"
#include "hostapi/HostFunctions.h"
#include "state/PluginState.h"
#include "ui/FCSorvelWindow.h"
#include "ui/FCUI.h"

namespace {

class WindowClasses : public ::testing::Test {
  protected:
    void SetUp() override {
        PluginState::Instance().SetDefaults();
        window_.SetUI(&ui_);
        window_.CreateControls();
        window_.SetDialogCallback(&FCResourceWindow::DialogCallback);
        fx::Dialog(FCSorvelWindow::kTemplate, window_.GetDialogCallback(), nullptr, &window_);
        host::HostWindows::Pump();
    }
    void TearDown() override {
        window_.CloseWindow();
        host::HostWindows::Pump();
    }
    FCMyDataList& List() { return *window_.GetPitchList(); }
    FCMyDataListRow* Add(const char* from, const char* to, int direction, bool checked) {
        const FCString a(from);
        const FCString b(to);
        return window_.AddListRow(&a, &b, direction, checked);
    }
    static bool Shown(FCMyDataListRow* row) {
        const HWND list = static_cast<HWND>(row->GetList()->GetItemHandle());
        const auto state = SendMessageW(
            list, LVM_GETITEMSTATE, static_cast<WPARAM>(row->GetListIndex()), LVIS_STATEIMAGEMASK);
        return (state & LVIS_STATEIMAGEMASK) == 0x2000;
    }

    FCUI ui_{nullptr};
    FCSorvelWindow window_;
};

TEST_F(WindowClasses, ControlsAreMadeInOrderWithTheirClassesAndRoles) {
    ASSERT_NE(window_.GetDialogHandle(), nullptr);
    const int order[] = {1,   2,   101, 102, 103, 104, 105, 106, 107, 109, 110, 112,
                         111, 113, 114, 108, 115, 116, 117, 120, 121, 118, 119};
    ASSERT_EQ(window_.GetCount(), 23);
    for (int i = 0; i < 23; ++i) {
        EXPECT_EQ(window_.GetControlAt(i)->GetItemNumber(), order[i]);
        EXPECT_EQ(window_.GetControlAt(i)->GetOwner(), &window_);
    }
    EXPECT_EQ(window_.FindControl(1)->GetRole(), FCControl::kRoleOk);
    EXPECT_EQ(window_.FindControl(2)->GetRole(), FCControl::kRoleCancel);
    EXPECT_EQ(window_.FindControl(107)->GetRole(), FCControl::kRoleNone);
    EXPECT_EQ(window_.FindControl(-1), nullptr);
    EXPECT_EQ(window_.FindControl(999), nullptr);
    const std::pair<int, const char*> names[] = {
        {1, "FCControl"},     {113, "FCControl"},  {101, "FCCtrlStatic"},  {102, "FCCtrlEdit"},
        {106, "FCCtrlPopup"}, {115, "FCCtrlLine"}, {108, "FCCtrlDataList"}};
    for (const auto& [item, name] : names) {
        EXPECT_STREQ(window_.FindControl(item)->ClassName(), name) << item;
    }
    EXPECT_STREQ(window_.ClassName(), "__FCCollection");
    EXPECT_EQ(window_.FindControl(108)->GetControlType(), 2);
    EXPECT_EQ(window_.FindControl(102)->GetControlType(), 0);
}

TEST_F(WindowClasses, RowsGetTheirItemNumbersAndDeletionRenumbers) {
    for (int n = 0; n < 3; ++n) {
        const std::string from(1, static_cast<char>('A' + n));
        FCMyDataListRow* row = Add(from.c_str(), "B", n, n != 1);
        EXPECT_EQ(row->GetListIndex(), n);
        EXPECT_EQ(row->GetList(), &List());
    }
    FCMyDataListRow* second = List().GetPitchRowOfItem(1);
    FCMyDataListRow* third = List().GetPitchRowOfItem(2);
    // An item that does not exist: nothing is deleted.
    EXPECT_FALSE(List().DeleteRow(7));
    EXPECT_EQ(List().Rows().GetCount(), 3);
    EXPECT_TRUE(List().DeleteRow(0));
    EXPECT_EQ(List().Rows().GetCount(), 2);
    List().ReindexRows();
    EXPECT_EQ(second->GetListIndex(), 0);
    EXPECT_EQ(third->GetListIndex(), 1);
    EXPECT_FALSE(Shown(second));
    EXPECT_TRUE(Shown(third));
}

TEST_F(WindowClasses, CheckMarksAndDoubleClick) {
    FCMyDataListRow* a = Add("A", "B", 0, true);
    FCMyDataListRow* b = Add("C", "D", 0, false);
    EXPECT_TRUE(List().AnyChecked());
    List().DoubleClicked();
    EXPECT_FALSE(a->GetChecked());
    EXPECT_FALSE(b->GetChecked());
    EXPECT_FALSE(Shown(a));
    EXPECT_FALSE(List().AnyChecked());
    EXPECT_FALSE(window_.FindControl(107)->GetEnable());
    List().DoubleClicked();
    EXPECT_TRUE(Shown(a));
    EXPECT_TRUE(Shown(b));
    EXPECT_TRUE(window_.FindControl(107)->GetEnable());
    // A check mark set on the list view reaches the row through the list's notification.
    List().SetCheckImage(1, false);
    host::HostWindows::Pump();
    EXPECT_FALSE(b->GetChecked());
}

TEST_F(WindowClasses, FindRowByFromComparesExactText) {
    Add("Bb", "A#", 2, true);
    const FCString lower("bb");
    const FCString exact("Bb");
    EXPECT_EQ(List().FindRowByFrom(&lower), nullptr);
    ASSERT_NE(List().FindRowByFrom(&exact), nullptr);
    EXPECT_EQ(List().FindRowByFrom(&exact)->GetListIndex(), 0);
}

TEST_F(WindowClasses, ListShowsTheRowTextsAndCutsLongOnes) {
    std::string longText(700, 'x');
    Add("C##", longText.c_str(), 1, true);
    const HWND list = static_cast<HWND>(List().GetItemHandle());
    wchar_t buffer[1024] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = buffer;
    item.cchTextMax = 1024;
    SendMessageW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(buffer), L"C##");
    item.iSubItem = 1;
    SendMessageW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(buffer), std::wstring(511, L'x'));
    // A 700-character text is no spelling: the row is marked instead of showing its direction.
    item.iSubItem = 2;
    SendMessageW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(buffer), L"Invalid");
    Add("C", "D", 1, true);
    SendMessageW(list, LVM_GETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(buffer), L"Down");
}

}  // namespace
