// FCUserWindow: one dialog as the plug-in sees it: the control objects it owns (in creation
// order), the messages of the dialog turned into virtual calls, the sizes the user may drag it
// to, its remembered geometry and the batch placement of its controls. On Windows it is a real
// dialog (FCUserWindowWin32.cpp); the native build has no window and plays one in memory
// (FCControlsNative.cpp), so that a dialog's commands can be tested there.
#pragma once

#include <cstdint>
#include <utility>

#include "framework/__FCCollection.h"
#include "settings/WindowGeometry.h"
#include "ui/FCControl.h"

class FCUserWindow : public __FCCollection {
  public:
    ~FCUserWindow() override;
    FCUserWindow(const FCUserWindow&) = delete;
    FCUserWindow& operator=(const FCUserWindow&) = delete;

    // CloseWindow ends the dialog (when it is visible) and forgets its handle and callback.
    virtual void CloseWindow();
    // InitWindow runs on the dialog's creation message: the template's size becomes the only
    // size the user may drag to, and the client size the base of resizing.
    virtual void InitWindow();
    virtual void CancelButtonPressed();
    virtual void OkButtonPressed();
    virtual void AuxButtonPressed();
    virtual bool HandleCommand(FCControl* control);
    virtual void HandleUpDown(FCControl* control, int32_t delta);
    virtual void HandleTimer(uintptr_t timer);
    virtual void HandleActivate(bool active);
    virtual void HandleResize(int32_t newWidth, int32_t newHeight, int32_t oldWidth,
                              int32_t oldHeight);
    // HandleNotify routes a notification header from item to its control.
    virtual bool HandleNotify(int32_t item, void* header);
    // ItemCommand answers a command of item (a click, a changed field or popup): the button
    // roles first, then HandleCommand; true when it was handled.
    bool ItemCommand(int32_t item);
    // MessageFailed runs when handling a message failed (the memory ran out): the window tells
    // the user and keeps what it shows consistent. By default nothing is done.
    virtual void MessageFailed(uint32_t message);
    // The message that creates the dialog (WM_INITDIALOG), for MessageFailed.
    static constexpr uint32_t kCreationMessage = 0x0110;

    // AddControl takes ownership of control, appends it and makes this window its owner.
    FCControl* AddControl(FCControl* control);
    // FindControl answers the first control with that item number, or null.
    FCControl* FindControl(int32_t item) const;
    FCControl* GetControlAt(int32_t index) const {
        return static_cast<FCControl*>(GetItemAt(index));
    }

    void* GetDialogHandle() const { return dialog_; }
    void SetDialogHandle(void* dialog) { dialog_ = dialog; }
    int16_t GetResultCode() const { return resultCode_; }
    bool IsClosed() const { return closed_; }
    bool IsDeferring() const { return deferring_; }
    bool IsInitPending() const { return initPending_; }
    void SetInitPending(bool pending) { initPending_ = pending; }
    bool IsGeometryRestored() const { return geometryRestored_; }
    void SetGeometryRestored(bool restored) { geometryRestored_ = restored; }

    int32_t GetMinTrackWidth() const { return minTrackWidth_; }
    int32_t GetMaxTrackWidth() const { return maxTrackWidth_; }
    int32_t GetMinTrackHeight() const { return minTrackHeight_; }
    int32_t GetMaxTrackHeight() const { return maxTrackHeight_; }
    void SetMaxTrackWidth(int32_t width) { maxTrackWidth_ = width; }
    void SetMaxTrackHeight(int32_t height) { maxTrackHeight_ = height; }
    int32_t GetLastClientWidth() const { return lastClientWidth_; }
    int32_t GetLastClientHeight() const { return lastClientHeight_; }
    void SetLastClientSize(int32_t width, int32_t height) {
        lastClientWidth_ = width;
        lastClientHeight_ = height;
    }

    // The position and size remembered between openings and runs of the host.
    WindowGeometry& Geometry() { return geometry_; }
    const WindowGeometry& Geometry() const { return geometry_; }
    // SaveGeometry remembers the dialog's window rectangle.
    void SaveGeometry();
    // RestoreGeometry places the dialog at its remembered rectangle, its size raised to the
    // minimum. A position that lies entirely outside every monitor (a monitor since unplugged)
    // is not applied: the dialog then stays where its template put it, with the saved size.
    // False when no position is remembered.
    bool RestoreGeometry();
    // SyncEnabledWithHost disables the dialog while the host's top-level window is disabled
    // (the host shows a modal window), and enables it again afterwards.
    void SyncEnabledWithHost();

    // Deferred placement: moves and size changes of controls between Begin and End are applied
    // together in one batch.
    void BeginDeferredPlacement();
    bool EndDeferredPlacement();

    // GetScreenHeight answers the height a full-screen window's client area may have, and
    // GetWindowWidth the dialog's width with its frame.
    static int32_t GetScreenHeight();
    int32_t GetWindowWidth() const;
    // Beep sounds the warning beep (the default beep when that fails).
    static void Beep();
    // PostClose asks the dialog to close once the message being handled is done.
    void PostClose();

#if !defined(_WIN32)
    // The native build's window: its size on a screen of a fixed height, whether a close was
    // posted (TakePostedClose answers that and forgets it), and the beeps sounded so far.
    static constexpr int32_t kNativeWidth = 380;
    static constexpr int32_t kNativeHeight = 420;
    static constexpr int32_t kNativeScreenHeight = 1000;
    bool TakePostedClose() {
        return std::exchange(closePosted_, false);
    }
    static int32_t GetBeepCount();
    int32_t GetNativeX() const {
        return nativeX_;
    }
    int32_t GetNativeY() const {
        return nativeY_;
    }
    int32_t GetNativeHeight() const {
        return nativeHeight_;
    }
#endif

  protected:
    FCUserWindow() = default;

    void SetResultCode(int16_t code) {
        resultCode_ = code;
    }
    void SetClosed(bool closed) {
        closed_ = closed;
    }
    // ForgetDialog drops the dialog handle and the host callback.
    void ForgetDialog();
    void* callback_ = nullptr;

  private:
    int16_t resultCode_ = 0;
    void* dialog_ = nullptr;
    int32_t maxTrackWidth_ = 0;
    int32_t minTrackWidth_ = 0;
    int32_t maxTrackHeight_ = 0;
    int32_t minTrackHeight_ = 0;
    int32_t lastClientWidth_ = 0;
    int32_t lastClientHeight_ = 0;
    WindowGeometry geometry_;
    bool deferring_ = false;
    bool initPending_ = false;
    bool geometryRestored_ = false;
    bool closed_ = false;
#if !defined(_WIN32)
    bool closePosted_ = false;
    int32_t nativeX_ = 0;
    int32_t nativeY_ = 0;
    int32_t nativeWidth_ = kNativeWidth;
    int32_t nativeHeight_ = kNativeHeight;
#endif
};
