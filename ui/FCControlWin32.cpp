// FCControl on Windows: enabling, visibility, texts through the host, and placement of one dialog
// item through the window system.
#include "ui/FCControl.h"

#include <windows.h>

#include <memory>

#include "hostapi/HostFunctions.h"
#include "hostapi/HostVersion.h"
#include "ui/FCUserWindow.h"

namespace {

// The host fills at most this many units (or bytes) of a field's text.
constexpr int32_t kTextBufferUnits = 5000;

constexpr UINT kPlacementFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

}  // namespace

void* FCControl::GetItemHandle() const {
    void* dialog = GetDialogHandle();
    return dialog != nullptr ? GetDlgItem(static_cast<HWND>(dialog), itemNumber_) : nullptr;
}

void FCControl::Redraw() {
    InvalidateRect(static_cast<HWND>(GetItemHandle()), nullptr, FALSE);
}

void FCControl::SetEnable(bool enable) {
    fx::EnableDlgItem(GetDialogHandle(), itemNumber_, enable ? 1 : 0);
}

bool FCControl::GetEnable() {
    return IsWindowEnabled(static_cast<HWND>(GetItemHandle())) != 0;
}

void FCControl::SetVisible(bool visible) {
    ShowWindow(static_cast<HWND>(GetItemHandle()), visible ? SW_SHOW : SW_HIDE);
}

void FCControl::SetText(const FCString* text) {
    if (!HostVersion::UsesUTF16()) {
        FCString copy;
        copy.SetString(text);
        fx::SetDlgString(GetDialogHandle(), itemNumber_, copy.GetCString());
        return;
    }
    fx::SetDlgStringUTF16(GetDialogHandle(), itemNumber_, text != nullptr ? text->GetUTF16() : u"");
}

void FCControl::GetText(FCString* text) {
    if (text == nullptr) {
        return;
    }
    if (!HostVersion::UsesUTF16()) {
        auto buffer = std::make_unique<char[]>(kTextBufferUnits);
        buffer[0] = 0;
        fx::GetDlgString(GetDialogHandle(), itemNumber_, buffer.get(), kTextBufferUnits);
        buffer[kTextBufferUnits - 1] = 0;
        text->SetCString(buffer.get());
        return;
    }
    auto buffer = std::make_unique<char16_t[]>(kTextBufferUnits);
    buffer[0] = 0;
    fx::GetDlgStringUTF16(GetDialogHandle(), itemNumber_, buffer.get(), kTextBufferUnits);
    buffer[kTextBufferUnits - 1] = 0;
    text->SetUTF16(buffer.get());
}

void FCControl::ResizeRelative(int32_t dw, int32_t dh) {
    HWND item = static_cast<HWND>(GetItemHandle());
    RECT r{};
    GetWindowRect(item, &r);
    const int32_t w = r.right - r.left + dw;
    const int32_t h = r.bottom - r.top + dh;
    if (owner_ != nullptr && owner_->IsDeferring()) {
        pendingWidth_ = w;
        pendingHeight_ = h;
        sizePending_ = 1;
        return;
    }
    SetWindowPos(item, nullptr, 0, 0, w, h, SWP_NOMOVE | kPlacementFlags);
}

void FCControl::MoveRelative(int32_t dy) {
    HWND item = static_cast<HWND>(GetItemHandle());
    RECT r{};
    GetWindowRect(item, &r);
    POINT p{r.left, r.top};
    ScreenToClient(static_cast<HWND>(GetDialogHandle()), &p);
    if (owner_ != nullptr && owner_->IsDeferring()) {
        pendingX_ = p.x;
        pendingY_ = p.y + dy;
        movePending_ = 1;
        return;
    }
    SetWindowPos(item, nullptr, p.x, p.y + dy, 0, 0, SWP_NOSIZE | kPlacementFlags);
}
