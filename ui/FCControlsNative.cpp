// The control and window classes in the native build, where there is no window system: each
// control keeps what it shows in memory, the list view's items and their states live in the
// list, and the list tells itself of each change of an item's state as the list view's
// notification does (a single-selection list, whose deleted item is deselected first). The
// dialog's own host calls (focus, end, the edit and the redraw) still go to the host. Tests act
// as the user through the methods the headers give the native build only.
#include <algorithm>

#include "hostapi/HostFunctions.h"
#include "ui/FCCtrlCheckbox.h"
#include "ui/FCCtrlDataList.h"
#include "ui/FCCtrlPopup.h"
#include "ui/FCUserWindow.h"

// --- FCControl ---

void* FCControl::GetItemHandle() const {
    return nullptr;  // no window
}

void FCControl::Redraw() {}

void FCControl::SetEnable(bool enable) {
    enabled_ = enable;
}

bool FCControl::GetEnable() {
    return enabled_;
}

void FCControl::SetVisible(bool visible) {
    visible_ = visible;
}

void FCControl::SetText(const FCString* text) {
    if (text == nullptr) {
        text_.SetCString("");
        return;
    }
    text_.SetString(text);
}

void FCControl::GetText(FCString* text) {
    if (text != nullptr) {
        text->SetString(&text_);
    }
}

// Without windows there is nothing to measure: a deferred move or size change is only marked.
void FCControl::ResizeRelative(int32_t dw, int32_t dh) {
    if (owner_ != nullptr && owner_->IsDeferring()) {
        pendingWidth_ = dw;
        pendingHeight_ = dh;
        sizePending_ = 1;
    }
}

void FCControl::MoveRelative(int32_t dy) {
    if (owner_ != nullptr && owner_->IsDeferring()) {
        pendingY_ = dy;
        movePending_ = 1;
    }
}

// --- FCCtrlCheckbox: the host's value is 1 for checked, 0 otherwise ---

void FCCtrlCheckbox::SetCheck(int16_t value) {
    check_ = value != 0 ? 1 : 0;
}

int16_t FCCtrlCheckbox::GetCheck() {
    return check_;
}

// --- FCCtrlPopup: a combo box's entries and choice ---

void FCCtrlPopup::AddString(FCString* text) {
    if (text != nullptr) {
        entries_.emplace_back(text->GetCString());
    }
}

void FCCtrlPopup::ResetContent() {
    entries_.clear();
    value_ = 0;
}

// A combo box loses its choice with the chosen entry, and keeps it on its entry when one before
// it goes.
void FCCtrlPopup::DeleteString(int32_t index) {
    if (index < 0 || index >= GetCount()) {
        return;
    }
    entries_.erase(entries_.begin() + index);
    if (value_ == index + 1) {
        value_ = 0;
    } else if (value_ > index + 1) {
        --value_;
    }
}

int32_t FCCtrlPopup::GetCount() {
    return static_cast<int32_t>(entries_.size());
}

// NOLINTNEXTLINE(readability-make-member-function-const): the Windows build asks the host
int32_t FCCtrlPopup::GetValue() {
    return value_;
}

void FCCtrlPopup::SetValue(int32_t value) {
    value_ = value >= 1 && value <= GetCount() ? value : 0;
}

// --- FCCtrlDataList ---

bool FCCtrlDataList::InsertColumn(FCString* title, int32_t /*width*/) {
    if (title == nullptr) {
        return false;
    }
    ++columns_;
    return true;
}

int32_t FCCtrlDataList::AddRow(FCDataListRow* row) {
    if (row == nullptr) {
        return -1;
    }
    rows_.AddItem(row);
    // A new item shows an empty check box and tells nobody.
    const uint32_t image = (extendedStyle_ & kCheckBoxesStyle) != 0 ? kUncheckedImage : 0;
    items_.push_back(Item{row, image});
    const auto number = static_cast<int32_t>(items_.size()) - 1;
    row->SetList(this);
    row->SetListIndex(number);
    SetCheckImage(number, row->GetChecked());
    return number;
}

bool FCCtrlDataList::DeleteRow(int32_t index) {
    FCDataListRow* row = GetRowOfItem(index);
    if (row == nullptr) {
        return false;
    }
    ChangeItemState(index, kSelectedState, 0);
    items_.erase(items_.begin() + index);
    if (selectionMark_ == index) {
        selectionMark_ = -1;
    } else if (selectionMark_ > index) {
        --selectionMark_;
    }
    const int32_t position = rows_.IndexOf(row);
    if (position >= 0) {
        rows_.RemoveItemAt(position);
    }
    return true;
}

void FCCtrlDataList::SelectRow(int32_t index) {
    SetItemState(index, kSelectedState, kSelectedState);
    selectionMark_ = index;
}

FCDataListRow* FCCtrlDataList::GetRowOfItem(int32_t index) {
    if (index < 0 || index >= GetItemCount()) {
        return nullptr;
    }
    return items_[static_cast<size_t>(index)].row;
}

int32_t FCCtrlDataList::GetItemCount() {
    return static_cast<int32_t>(items_.size());
}

// NOLINTNEXTLINE(readability-make-member-function-const): the Windows build asks the list view
int32_t FCCtrlDataList::GetSelectionMark() {
    return selectionMark_;
}

int32_t FCCtrlDataList::GetSelectedItem() {
    for (size_t i = 0; i < items_.size(); ++i) {
        if ((items_[i].state & kSelectedState) != 0) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

void FCCtrlDataList::ClearSelection() {
    SetItemState(-1, kSelectedState, 0);
    selectionMark_ = -1;
}

void FCCtrlDataList::SetCheckImage(int32_t index, bool checked) {
    SetItemState(index, kStateImageMask, checked ? kCheckedImage : kUncheckedImage);
}

void FCCtrlDataList::RedrawItems(int32_t /*first*/, int32_t /*last*/) {}

void FCCtrlDataList::EnsureVisible(int32_t /*index*/) {}

void FCCtrlDataList::AddExtendedStyle(uint32_t bits) {
    extendedStyle_ |= bits;
}

void FCCtrlDataList::HandleListNotify(void* /*header*/) {}

void FCCtrlDataList::SetItemState(int32_t index, uint32_t mask, uint32_t state) {
    if (index != -1) {
        ChangeItemState(index, mask, state);
        return;
    }
    // A single-selection list selects no more than one item at once.
    if ((mask & state & kSelectedState) != 0) {
        return;
    }
    // A reaction may change the items: their number is read again each time.
    for (int32_t i = 0; i < GetItemCount(); ++i) {
        ChangeItemState(i, mask, state);
    }
}

void FCCtrlDataList::ChangeItemState(int32_t index, uint32_t mask, uint32_t state) {
    if (index < 0 || index >= GetItemCount()) {
        return;
    }
    if ((mask & state & kSelectedState) != 0) {
        // Selecting one item deselects the others first, each with its own notification.
        for (int32_t i = 0; i < GetItemCount(); ++i) {
            if (i != index) {
                ChangeItemState(i, kSelectedState, 0);
            }
        }
    }
    const uint32_t before = items_[static_cast<size_t>(index)].state;
    const uint32_t after = (before & ~mask) | (state & mask);
    if (after == before) {
        return;
    }
    items_[static_cast<size_t>(index)].state = after;
    if (((before ^ after) & kCheckedImage) != 0) {
        ItemCheckChanged(index, (after & kCheckedImage) != 0);
    }
    if (((before ^ after) & kSelectedState) != 0) {
        if ((after & kSelectedState) != 0) {
            ItemSelected(index);
        } else {
            ItemDeselected();
        }
    }
}

void FCCtrlDataList::UserSelect(int32_t index) {
    if (index == -1) {
        ClearSelection();
        return;
    }
    SelectRow(index);
}

void FCCtrlDataList::UserTick(int32_t index, bool checked) {
    SetCheckImage(index, checked);
}

bool FCCtrlDataList::ShowsChecked(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) {
        return false;
    }
    return (items_[static_cast<size_t>(index)].state & kStateImageMask) == kCheckedImage;
}

// --- FCUserWindow: a window that is always shown while it exists ---

namespace {

int32_t& Beeps() {
    static int32_t beeps = 0;
    return beeps;
}

}  // namespace

FCUserWindow::~FCUserWindow() {
    if (dialog_ != nullptr) {
        fx::EndDialog(dialog_);
        ForgetDialog();
    }
}

void FCUserWindow::CloseWindow() {
    closed_ = true;
    if (dialog_ != nullptr) {
        fx::EndDialog(dialog_);
        ForgetDialog();
    }
}

void FCUserWindow::InitWindow() {
    closed_ = false;
    maxTrackWidth_ = minTrackWidth_ = nativeWidth_;
    maxTrackHeight_ = minTrackHeight_ = nativeHeight_;
    lastClientWidth_ = nativeWidth_;
    lastClientHeight_ = nativeHeight_;
}

bool FCUserWindow::HandleNotify(int32_t /*item*/, void* /*header*/) {
    return false;  // no window sends any
}

void FCUserWindow::SaveGeometry() {
    if (dialog_ == nullptr) {
        return;
    }
    geometry_.savedX = nativeX_;
    geometry_.savedY = nativeY_;
    geometry_.savedWidth = nativeWidth_;
    geometry_.savedHeight = nativeHeight_;
    geometry_.hasSavedPosition = true;
    geometry_.hasSavedSize = true;
}

// Without monitors every remembered position counts.
bool FCUserWindow::RestoreGeometry() {
    if (!geometry_.hasSavedPosition) {
        return false;
    }
    if (geometry_.hasSavedSize) {
        geometry_.savedWidth = std::max(geometry_.savedWidth, minTrackWidth_);
        geometry_.savedHeight = std::max(geometry_.savedHeight, minTrackHeight_);
        nativeWidth_ = geometry_.savedWidth;
        nativeHeight_ = geometry_.savedHeight;
    }
    nativeX_ = geometry_.savedX;
    nativeY_ = geometry_.savedY;
    geometryRestored_ = true;
    return true;
}

void FCUserWindow::SyncEnabledWithHost() {}  // no host window to follow

bool FCUserWindow::EndDeferredPlacement() {
    if (!deferring_ || dialog_ == nullptr) {
        return false;
    }
    bool pending = false;
    for (int32_t i = 0; i < GetCount(); ++i) {
        pending = pending || GetControlAt(i)->IsMovePending() || GetControlAt(i)->IsSizePending();
    }
    if (!pending) {
        return false;
    }
    for (int32_t i = 0; i < GetCount(); ++i) {
        GetControlAt(i)->ClearPending();
    }
    deferring_ = false;
    return true;
}

int32_t FCUserWindow::GetScreenHeight() {
    return kNativeScreenHeight;
}

int32_t FCUserWindow::GetWindowWidth() const {
    return nativeWidth_;
}

void FCUserWindow::Beep() {
    ++Beeps();
}

int32_t FCUserWindow::GetBeepCount() {
    return Beeps();
}

void FCUserWindow::PostClose() {
    closePosted_ = true;
}
