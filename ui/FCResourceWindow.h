// FCResourceWindow: a dialog made by the host from a template in the plug-in's resources. The
// host delivers the dialog's messages to DialogCallback together with the window object.
#pragma once

#include "hostapi/HostFunctions.h"
#include "ui/FCUserWindow.h"

class FCResourceWindow : public FCUserWindow {
  public:
    explicit FCResourceWindow(int32_t resourceNumber);

    int32_t GetResourceNumber() const { return resourceNumber_; }
    // The callback handed to the host with the dialog; null once the dialog has ended.
    fx::DialogProc GetDialogCallback() const { return reinterpret_cast<fx::DialogProc>(callback_); }
    void SetDialogCallback(fx::DialogProc callback) {
        callback_ = reinterpret_cast<void*>(callback);
    }

    // DialogCallback turns one dialog message into the window's virtual calls; userData is the
    // window object (answers 0 without one). Nothing thrown while a message is handled leaves
    // it: the message then answers 0 and the window's MessageFailed runs.
    static intptr_t VS_CALL DialogCallback(fx::Handle dialog, uint32_t message, uintptr_t wParam,
                                           intptr_t lParam, void* userData);

  private:
    // Dispatch turns one message into the window's virtual calls and answers the result.
    static intptr_t Dispatch(FCUserWindow* window, fx::Handle dialog, uint32_t message,
                             uintptr_t wParam, intptr_t lParam);

    int32_t resourceNumber_;
};
