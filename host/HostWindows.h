// HostWindows: the host's windows on Windows: its hidden main window with a child (what
// FX_GetCurrentWindow answers), a second host window, the plug-in's modeless dialog created from
// the plug-in module's template with its messages forwarded to the plug-in's callback, the
// message boxes the plug-in shows (answered by a thread-local hook from a queue of answers; only
// this process's boxes, so that two hosts on one desktop never answer or count each other's)
// and the beeps it makes.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "host/HostCall.h"

namespace host {

class HostWindows {
  public:
    struct Alert {
        std::string icon;  // error, info, question, warning or none
        std::string caption;
        std::string text;
        std::string owner;    // main, other, dialog or none
        std::string answer;   // yes, no or ok
        bool queued = false;  // the answer came from the script's queue
    };

    static HostWindows& Instance();

    HWND MainWindow();
    HWND CurrentWindow();
    HWND OtherWindow();

    // While an AlertHook lives, the message boxes this thread shows are answered from the
    // queue and recorded; the hook is removed with the last one.
    class AlertHook {
      public:
        AlertHook();
        ~AlertHook();
        AlertHook(const AlertHook&) = delete;
        AlertHook& operator=(const AlertHook&) = delete;
    };

    // The module whose dialog templates FX_Dialog uses (the exe itself when none is set).
    void SetPluginModule(HMODULE module);
    HMODULE PluginModule() const;
    // After a plug-in module is unloaded: its dialogs are destroyed without calling into it.
    void ForgetPluginModule(HMODULE module);

    // The plug-in's dialog: create, end, and the one currently open (null when none).
    HWND CreatePluginDialog(int templateNumber, HostDialogProc callback, HWND owner,
                            void* userData);
    HWND Dialog() const { return dialog_; }
    bool IsPluginDialog(HWND window) const { return bindings_.contains(window); }

    // Message boxes are answered from the queue, else "no" or "ok".
    void QueueAnswer(const std::string& answer) { answers_.push_back(answer); }
    // The answers no message box has taken yet.
    const std::deque<std::string>& QueuedAnswers() const { return answers_; }
    std::deque<Alert>& Alerts() { return alerts_; }
    // Beeps the plug-in made (its MessageBeep import is routed through the host).
    std::deque<unsigned>& Beeps() { return beeps_; }
    void RouteBeeps(HMODULE module);

    // Handles every message waiting on this thread.
    static void Pump();

  private:
    struct Binding {
        HostDialogProc callback = nullptr;
        void* userData = nullptr;
    };

    HWND main_ = nullptr;
    HWND child_ = nullptr;
    HWND other_ = nullptr;
    HMODULE module_ = nullptr;
    HWND dialog_ = nullptr;
    std::map<HWND, Binding> bindings_;
    const Binding* pending_ = nullptr;
    HHOOK hook_ = nullptr;
    int hookHolders_ = 0;
    std::deque<std::string> answers_;
    std::deque<Alert> alerts_;
    std::deque<unsigned> beeps_;

    static INT_PTR CALLBACK DialogThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK AnswerHook(int code, WPARAM wParam, LPARAM lParam);
    static BOOL WINAPI HostMessageBeep(UINT type);
    void AnswerAlert(HWND box);
    // A host window made on first use (at place, in its parent's coordinates for a child).
    static HWND Made(HWND& window, const wchar_t* windowClass, const wchar_t* title, DWORD style,
                     RECT place, HWND parent);
    std::string OwnerName(HWND owner);
};

}  // namespace host
