// FCCtrlDataList on Windows: list-view messages for columns, rows, check marks and selection,
// and the notifications that bring the user's changes back.
#include "ui/FCCtrlDataList.h"

#include <windows.h>

#include <commctrl.h>

#include "hostapi/HostVersion.h"

static_assert(FCCtrlDataList::kCheckBoxesStyle == LVS_EX_CHECKBOXES);
static_assert(FCCtrlDataList::kFullRowSelectStyle == LVS_EX_FULLROWSELECT);

namespace {

// Column position past any existing one, and item number past any existing one: append.
constexpr int kAppendColumn = 1000;
constexpr int kAppendItem = 10000;

}  // namespace

intptr_t FCCtrlDataList::Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    HWND list = static_cast<HWND>(GetItemHandle());
    if (list == nullptr) {
        return 0;
    }
    return SendMessageW(list, message, wParam, lParam);
}

bool FCCtrlDataList::InsertColumn(FCString* title, int32_t width) {
    if (title == nullptr) {
        return false;
    }
    intptr_t result = 0;
    if (!HostVersion::UsesUTF16()) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
        column.pszText = const_cast<char*>(title->GetCString());
        column.iSubItem = 0;
        result = Send(LVM_INSERTCOLUMNA, kAppendColumn, reinterpret_cast<intptr_t>(&column));
    } else {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
        column.pszText = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(title->GetUTF16()));
        column.iSubItem = 0;
        result = Send(LVM_INSERTCOLUMNW, kAppendColumn, reinterpret_cast<intptr_t>(&column));
    }
    return result != -1;
}

int32_t FCCtrlDataList::AddRow(FCDataListRow* row) {
    if (row == nullptr) {
        return -1;
    }
    // The row is owned before the list view knows it: should the collection fail to grow, the
    // list view never points at a row that is gone.
    rows_.AddItem(row);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_DI_SETITEM;
    item.iItem = kAppendItem;
    item.iSubItem = 0;
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.lParam = reinterpret_cast<LPARAM>(row);
    const auto index =
        static_cast<int32_t>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<intptr_t>(&item)));
    // A list view that does not exist answers 0 from Send; only a real insertion counts.
    const int32_t number = GetItemHandle() != nullptr ? index : -1;
    row->SetList(this);
    row->SetListIndex(number);
    if (number >= 0) {
        SetCheckImage(number, row->GetChecked());
    }
    return number;
}

bool FCCtrlDataList::DeleteRow(int32_t index) {
    FCDataListRow* row = GetRowOfItem(index);
    const bool deleted = Send(LVM_DELETEITEM, static_cast<uintptr_t>(index), 0) != 0;
    if (deleted && row != nullptr) {
        const int32_t position = rows_.IndexOf(row);
        if (position >= 0) {
            rows_.RemoveItemAt(position);
        }
    }
    return deleted;
}

void FCCtrlDataList::SelectRow(int32_t index) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    Send(LVM_SETITEMSTATE, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(&item));
    Send(LVM_SETSELECTIONMARK, 0, index);
    Send(LVM_ENSUREVISIBLE, static_cast<uintptr_t>(index), FALSE);
}

FCDataListRow* FCCtrlDataList::GetRowOfItem(int32_t index) {
    if (index < 0) {
        return nullptr;
    }
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.iSubItem = 0;
    if (Send(LVM_GETITEMW, 0, reinterpret_cast<intptr_t>(&item)) == 0) {
        return nullptr;
    }
    // The window system carries pointers in integer parameters.
    return reinterpret_cast<FCDataListRow*>(item.lParam);  // NOLINT(performance-no-int-to-ptr)
}

int32_t FCCtrlDataList::GetItemCount() {
    return static_cast<int32_t>(Send(LVM_GETITEMCOUNT, 0, 0));
}

int32_t FCCtrlDataList::GetSelectionMark() {
    if (GetItemHandle() == nullptr) {
        return -1;
    }
    return static_cast<int32_t>(Send(LVM_GETSELECTIONMARK, 0, 0));
}

int32_t FCCtrlDataList::GetSelectedItem() {
    if (GetItemHandle() == nullptr) {
        return -1;
    }
    return static_cast<int32_t>(Send(LVM_GETNEXTITEM, static_cast<uintptr_t>(-1), LVNI_SELECTED));
}

void FCCtrlDataList::ClearSelection() {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    Send(LVM_SETITEMSTATE, static_cast<uintptr_t>(-1), reinterpret_cast<intptr_t>(&item));
    Send(LVM_SETSELECTIONMARK, 0, -1);
}

void FCCtrlDataList::SetCheckImage(int32_t index, bool checked) {
    LVITEMW item{};
    item.stateMask = kStateImageMask;
    item.state = checked ? kCheckedImage : kUncheckedImage;
    Send(LVM_SETITEMSTATE, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(&item));
}

void FCCtrlDataList::RedrawItems(int32_t first, int32_t last) {
    Send(LVM_REDRAWITEMS, static_cast<uintptr_t>(first), last);
}

void FCCtrlDataList::EnsureVisible(int32_t index) {
    Send(LVM_ENSUREVISIBLE, static_cast<uintptr_t>(index), FALSE);
}

void FCCtrlDataList::AddExtendedStyle(uint32_t bits) {
    const auto style = static_cast<uint32_t>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<intptr_t>(style | bits));
}

void FCCtrlDataList::HandleListNotify(void* header) {
    const auto* hdr = static_cast<const NMHDR*>(header);
    switch (hdr->code) {
        case LVN_GETDISPINFOW: {
            auto* info = static_cast<NMLVDISPINFOW*>(header);
            if ((info->item.mask & LVIF_TEXT) == 0) {
                break;
            }
            // NOLINTNEXTLINE(performance-no-int-to-ptr): a pointer in an integer parameter
            const auto* row = reinterpret_cast<const FCDataListRow*>(info->item.lParam);
            const char16_t* text = row != nullptr ? row->GetCellText(info->item.iSubItem) : u"???";
            info->item.pszText = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(text));
            break;
        }
        case LVN_GETDISPINFOA: {
            auto* info = static_cast<NMLVDISPINFOA*>(header);
            if ((info->item.mask & LVIF_TEXT) == 0) {
                break;
            }
            // NOLINTNEXTLINE(performance-no-int-to-ptr): a pointer in an integer parameter
            const auto* row = reinterpret_cast<const FCDataListRow*>(info->item.lParam);
            FCString* column = row != nullptr ? row->GetStringAt(info->item.iSubItem) : nullptr;
            info->item.pszText =
                const_cast<char*>(column != nullptr ? column->GetCString() : "???");
            break;
        }
        case LVN_ITEMCHANGED: {
            const auto* change = static_cast<const NMLISTVIEW*>(header);
            if (((change->uOldState ^ change->uNewState) & kCheckedImage) != 0) {
                ItemCheckChanged(change->iItem, (change->uNewState & kCheckedImage) != 0);
            }
            if (((change->uOldState ^ change->uNewState) & LVIS_SELECTED) != 0) {
                if ((change->uNewState & LVIS_SELECTED) != 0) {
                    ItemSelected(change->iItem);
                } else {
                    ItemDeselected();
                }
            }
            break;
        }
        default:
            break;
    }
}
