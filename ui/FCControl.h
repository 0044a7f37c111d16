// FCControl: one item of a host-created dialog, addressed by its template item number. The item
// itself belongs to the dialog; the control object only refers to it, reads and writes it through
// the host's dialog functions and, where the host offers nothing, through the window system. The
// native build has neither: there each control keeps what it shows itself (FCControlsNative.cpp),
// so that the dialog's commands run and are tested without a window.
#pragma once

#include <cstdint>

#include "framework/FCString.h"

class FCUserWindow;

class FCControl : public __FCBase {
  public:
    // What a button does when pressed, besides its own command.
    enum Role : int32_t { kRoleNone = 0, kRoleOk = 1, kRoleCancel = 2, kRoleAux = 3 };

    explicit FCControl(int16_t itemNumber);

    const char* ClassName() const override;
    // Answers of GetControlType: a list view (FCCtrlDataList and the classes made from it), which
    // takes the list notifications, or any other control.
    static constexpr int kTypeOther = 0;
    static constexpr int kTypeDataList = 2;

    // GetControlType is kTypeDataList for list views, kTypeOther otherwise.
    virtual int GetControlType() const;
    virtual void Redraw();
    virtual void SetEnable(bool enable);
    virtual bool GetEnable();
    virtual void SetVisible(bool visible);
    // SetText writes text into the item (an empty text when text is null), 8-bit for hosts
    // before 0x11000000.
    virtual void SetText(const FCString* text);
    virtual void GetText(FCString* text);
    // ResizeRelative changes the item's size by dw, dh (stored while the owner defers).
    virtual void ResizeRelative(int32_t dw, int32_t dh);

    // MoveRelative moves the item down by dy, keeping its horizontal position (stored while the
    // owner defers).
    void MoveRelative(int32_t dy);

    int16_t GetItemNumber() const { return itemNumber_; }
    FCUserWindow* GetOwner() const { return owner_; }
    void SetOwner(FCUserWindow* owner) { owner_ = owner; }
    int32_t GetRole() const { return role_; }
    void SetRole(int32_t role) { role_ = role; }
    // The dialog handle of the owner (null without owner or dialog) and the item's window.
    void* GetDialogHandle() const;
    void* GetItemHandle() const;

    // Deferred placement, collected while the owner defers and applied in one batch.
    bool IsMovePending() const { return movePending_ != 0; }
    bool IsSizePending() const { return sizePending_ != 0; }
    void ClearPending() { movePending_ = sizePending_ = 0; }
    int32_t GetPendingX() const { return pendingX_; }
    int32_t GetPendingY() const { return pendingY_; }
    int32_t GetPendingWidth() const { return pendingWidth_; }
    int32_t GetPendingHeight() const { return pendingHeight_; }

  private:
#if !defined(_WIN32)
    FCString text_;
    bool enabled_ = true;
    bool visible_ = true;
#endif
    uint8_t movePending_ = 0;
    uint8_t sizePending_ = 0;
    int32_t pendingX_ = 0;
    int32_t pendingY_ = 0;
    int32_t pendingWidth_ = 0;
    int32_t pendingHeight_ = 0;
    int16_t itemNumber_;
    FCUserWindow* owner_ = nullptr;
    int32_t role_ = kRoleNone;
};
