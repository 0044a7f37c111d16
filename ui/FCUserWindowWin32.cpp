// FCUserWindow on Windows: the dialog's window: its end, its sizes, notification routing,
// geometry, its state beside the host window's, deferred placement, the beep and the posted
// close.
#include "ui/FCUserWindow.h"

#include <windows.h>

#include <commctrl.h>

#include <utility>

#include "hostapi/HostFunctions.h"
#include "ui/FCCtrlDataList.h"

static_assert(FCUserWindow::kCreationMessage == WM_INITDIALOG);

namespace {

constexpr UINT kPlacementFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

// An up-down control whose style has this bit (UDS_SETBUDDYINT) reports its delta as it is; any
// other's delta is reversed.
constexpr LONG kDeltaAsIsStyle = UDS_SETBUDDYINT;
static_assert(kDeltaAsIsStyle == 0x0002);

HWND Wnd(void* handle) {
    return static_cast<HWND>(handle);
}

// PlacementBatch holds one deferred placement of several windows (an HDWP). Each Defer hands the
// batch to the system, which answers the batch to use from then on, or gives it up (and frees
// it) when it cannot take the window; Commit places the windows at once. A batch still held
// when the object goes, when the work stopped half way, is carried out too: there is no other
// way to give its handle back.
class PlacementBatch {
  public:
    explicit PlacementBatch(int count) : batch_(BeginDeferWindowPos(count)) {}
    ~PlacementBatch() {
        if (batch_ != nullptr) {
            EndDeferWindowPos(batch_);
        }
    }
    PlacementBatch(const PlacementBatch&) = delete;
    PlacementBatch& operator=(const PlacementBatch&) = delete;

    [[nodiscard]] bool IsOpen() const { return batch_ != nullptr; }

    // Defer adds a window to the batch; false when the system gave the batch up.
    bool Defer(HWND window, int x, int y, int width, int height, UINT flags) {
        batch_ = DeferWindowPos(batch_, window, nullptr, x, y, width, height, flags);
        return batch_ != nullptr;
    }

    void Commit() { EndDeferWindowPos(std::exchange(batch_, nullptr)); }

  private:
    HDWP batch_;
};

}  // namespace

FCUserWindow::~FCUserWindow() {
    // A dialog left behind (even a hidden one) would deliver its messages to a window object
    // that no longer exists, so it is ended whenever it still exists.
    if (dialog_ != nullptr) {
        if (IsWindow(Wnd(dialog_)) != 0) {
            fx::EndDialog(dialog_);
        }
        ForgetDialog();
    }
    // The controls go with the collection.
}

void FCUserWindow::CloseWindow() {
    closed_ = true;
    if (dialog_ != nullptr) {
        if (IsWindowVisible(Wnd(dialog_)) != 0) {
            fx::EndDialog(dialog_);
        }
        ForgetDialog();
    }
}

void FCUserWindow::InitWindow() {
    closed_ = false;
    RECT r{};
    GetWindowRect(Wnd(dialog_), &r);
    maxTrackWidth_ = minTrackWidth_ = r.right - r.left;
    maxTrackHeight_ = minTrackHeight_ = r.bottom - r.top;
    RECT c{};
    GetClientRect(Wnd(dialog_), &c);
    lastClientWidth_ = c.right - c.left;
    lastClientHeight_ = c.bottom - c.top;
}

bool FCUserWindow::HandleNotify(int32_t item, void* header) {
    FCControl* control = FindControl(item);
    if (control == nullptr || header == nullptr) {
        return false;
    }
    const auto* hdr = static_cast<const NMHDR*>(header);
    switch (hdr->code) {
        case UDN_DELTAPOS: {
            const auto* updown = static_cast<const NMUPDOWN*>(header);
            const LONG style = GetWindowLongW(hdr->hwndFrom, GWL_STYLE);
            HandleUpDown(control,
                         (style & kDeltaAsIsStyle) != 0 ? updown->iDelta : -updown->iDelta);
            break;
        }
        case TCN_SELCHANGE:
        case TVN_SELCHANGEDW:
        case TVN_SELCHANGEDA:
            if (control->GetOwner() != nullptr) {
                control->GetOwner()->HandleCommand(control);
            }
            break;
        case LVN_GETDISPINFOW:
        case LVN_GETDISPINFOA:
        case LVN_ITEMCHANGED:
            if (control->GetControlType() == FCControl::kTypeDataList) {
                static_cast<FCCtrlDataList*>(control)->HandleListNotify(header);
            }
            break;
        case NM_DBLCLK:
            if (control->GetControlType() == FCControl::kTypeDataList) {
                static_cast<FCCtrlDataList*>(control)->DoubleClicked();
            }
            break;
        default:
            break;
    }
    return false;
}

void FCUserWindow::SaveGeometry() {
    if (dialog_ == nullptr) {
        return;
    }
    RECT r{};
    if (GetWindowRect(Wnd(dialog_), &r) == 0) {
        return;
    }
    geometry_.savedX = r.left;
    geometry_.savedY = r.top;
    geometry_.savedWidth = r.right - r.left;
    geometry_.savedHeight = r.bottom - r.top;
    geometry_.hasSavedPosition = true;
    geometry_.hasSavedSize = true;
}

bool FCUserWindow::RestoreGeometry() {
    if (!geometry_.hasSavedPosition) {
        return false;
    }
    if (geometry_.hasSavedSize) {
        if (geometry_.savedWidth < minTrackWidth_) {
            geometry_.savedWidth = minTrackWidth_;
        }
        if (geometry_.savedHeight < minTrackHeight_) {
            geometry_.savedHeight = minTrackHeight_;
        }
    }
    UINT flags = kPlacementFlags;
    if (!geometry_.hasSavedSize) {
        flags |= SWP_NOSIZE;
    }
    // The rectangle the window would take; when no monitor shows any part of it, the saved
    // position is kept on file but not used.
    RECT current{};
    GetWindowRect(Wnd(dialog_), &current);
    const int32_t width =
        geometry_.hasSavedSize ? geometry_.savedWidth : current.right - current.left;
    const int32_t height =
        geometry_.hasSavedSize ? geometry_.savedHeight : current.bottom - current.top;
    const RECT target{geometry_.savedX, geometry_.savedY, geometry_.savedX + width,
                      geometry_.savedY + height};
    if (MonitorFromRect(&target, MONITOR_DEFAULTTONULL) == nullptr) {
        flags |= SWP_NOMOVE;
    }
    if ((flags & SWP_NOMOVE) == 0 || (flags & SWP_NOSIZE) == 0) {
        SetWindowPos(Wnd(dialog_), nullptr, geometry_.savedX, geometry_.savedY,
                     geometry_.savedWidth, geometry_.savedHeight, flags);
    }
    geometryRestored_ = true;
    return true;
}

void FCUserWindow::SyncEnabledWithHost() {
    if (dialog_ == nullptr) {
        return;
    }
    HWND top = Wnd(fx::GetCurrentWindow());
    if (top == nullptr) {
        // A host that names no window of its own never blocks the dialog.
        return;
    }
    for (HWND parent = GetParent(top); parent != nullptr; parent = GetParent(parent)) {
        top = parent;
    }
    EnableWindow(Wnd(dialog_), IsWindowEnabled(top) != 0 ? TRUE : FALSE);
}

bool FCUserWindow::EndDeferredPlacement() {
    if (!deferring_ || dialog_ == nullptr) {
        return false;
    }
    int n = 0;
    for (int32_t i = 0; i < GetCount(); ++i) {
        const FCControl* control = GetControlAt(i);
        if (control->IsMovePending() || control->IsSizePending()) {
            ++n;
        }
    }
    if (n == 0) {
        return false;
    }
    PlacementBatch batch(n);
    if (!batch.IsOpen()) {
        return false;
    }
    for (int32_t i = 0; i < GetCount(); ++i) {
        const FCControl* control = GetControlAt(i);
        if (!control->IsMovePending() && !control->IsSizePending()) {
            continue;
        }
        UINT flags = kPlacementFlags;
        if (!control->IsMovePending()) {
            flags |= SWP_NOMOVE;
        }
        if (!control->IsSizePending()) {
            flags |= SWP_NOSIZE;
        }
        if (!batch.Defer(Wnd(control->GetItemHandle()), control->GetPendingX(),
                         control->GetPendingY(), control->GetPendingWidth(),
                         control->GetPendingHeight(), flags)) {
            return false;
        }
    }
    batch.Commit();
    for (int32_t i = 0; i < GetCount(); ++i) {
        GetControlAt(i)->ClearPending();
    }
    deferring_ = false;
    return true;
}

int32_t FCUserWindow::GetScreenHeight() {
    return GetSystemMetrics(SM_CYFULLSCREEN);
}

int32_t FCUserWindow::GetWindowWidth() const {
    RECT r{};
    GetWindowRect(Wnd(dialog_), &r);
    return r.right - r.left;
}

void FCUserWindow::Beep() {
    if (MessageBeep(MB_ICONEXCLAMATION) == 0) {
        MessageBeep(0xFFFFFFFF);
    }
}

void FCUserWindow::PostClose() {
    PostMessageW(Wnd(dialog_), WM_CLOSE, 0, 0);
}
