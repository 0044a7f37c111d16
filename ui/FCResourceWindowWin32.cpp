// FCResourceWindow on Windows: the one dialog callback of every plug-in dialog.
#include "ui/FCResourceWindow.h"

#include <windows.h>

#include "hostapi/HostBoundary.h"

namespace {

// The private message 0x036D (WM_FLOATSTATUS of the MFC class library) that a host built on it
// sends its floating windows when its main window is enabled, disabled, activated or
// deactivated: the dialog follows the host's state then too.
constexpr UINT kFloatStatusMessage = 0x036D;

}  // namespace

intptr_t VS_CALL FCResourceWindow::DialogCallback(fx::Handle dialog, uint32_t message,
                                                  uintptr_t wParam, intptr_t lParam,
                                                  void* userData) {
    auto* window = static_cast<FCUserWindow*>(userData);
    if (window == nullptr) {
        return 0;
    }
    // A message whose handling fails counts as not handled; the window says what that means
    // for the user.
    return HostBoundary::Call<intptr_t>(
        0, [&] { return Dispatch(window, dialog, message, wParam, lParam); },
        [&] { window->MessageFailed(message); });
}

intptr_t FCResourceWindow::Dispatch(FCUserWindow* window, fx::Handle dialog, uint32_t message,
                                    uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case WM_INITDIALOG:
            window->SetDialogHandle(dialog);
            window->SetInitPending(true);
            window->InitWindow();
            return 0;
        case WM_SHOWWINDOW:
            if (window->IsInitPending() && window->IsGeometryRestored()) {
                window->RestoreGeometry();
            }
            window->SetInitPending(false);
            window->SetGeometryRestored(false);
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_RESTORED) {
                const int32_t width = LOWORD(lParam);
                const int32_t height = HIWORD(lParam);
                if (window->GetLastClientWidth() != 0) {
                    window->HandleResize(width, height, window->GetLastClientWidth(),
                                         window->GetLastClientHeight());
                }
                window->SetLastClientSize(width, height);
            }
            return 0;
        case WM_GETMINMAXINFO: {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): a pointer in an integer parameter
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            if (info != nullptr) {
                info->ptMinTrackSize.x = window->GetMinTrackWidth();
                info->ptMinTrackSize.y = window->GetMinTrackHeight();
                info->ptMaxTrackSize.x = window->GetMaxTrackWidth();
                info->ptMaxTrackSize.y = window->GetMaxTrackHeight();
            }
            return 0;
        }
        case WM_ACTIVATE:
            window->HandleActivate(LOWORD(wParam) != 0);
            window->SyncEnabledWithHost();
            return 0;
        case WM_WINDOWPOSCHANGING:
        case kFloatStatusMessage:
            window->SyncEnabledWithHost();
            return 0;
        case WM_CLOSE:
            window->CancelButtonPressed();
            return 0;
        case WM_COMMAND:
            return window->ItemCommand(static_cast<int16_t>(LOWORD(wParam))) ? 1 : 0;
        case WM_NOTIFY: {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): a pointer in an integer parameter
            void* header = reinterpret_cast<void*>(lParam);
            return window->HandleNotify(static_cast<int32_t>(wParam), header) ? 1 : 0;
        }
        case WM_TIMER:
            window->HandleTimer(wParam);
            return 0;
        default:
            return 0;
    }
}
