// FinaleExtensionInvoke and FinaleExtensionTerminate: the plug-in's life as the user sees it. The
// first invocation makes the alert object and the one dialog object (loading the stored options
// and pitch sets into it once); every invocation then opens the dialog or brings the open one
// forward. Termination keeps what is on screen and writes the shared settings file.
#include <windows.h>

#include <memory>
#include <optional>
#include <utility>

#include "hostapi/HostBoundary.h"
#include "hostapi/HostFunctions.h"
#include "settings/StoredOptions.h"
#include "settings/StoredPitchSets.h"
#include "shell/EntryPoints.h"
#include "ui/FCSorvelWindow.h"
#include "ui/FCUI.h"

namespace {

// The alert object lives until the module is unloaded and keeps the first invocation's window.
std::unique_ptr<FCUI>& AlertObject() {
    static std::unique_ptr<FCUI> ui;
    return ui;
}

// DialogHolder owns the dialog object from the first invocation until termination, which takes
// it out and destroys it. At unloading the host's windows may already be gone, so a dialog object
// still held then (the host never terminated the plug-in) is let go, not destroyed.
class DialogHolder {
  public:
    DialogHolder() = default;
    DialogHolder(const DialogHolder&) = delete;
    DialogHolder& operator=(const DialogHolder&) = delete;
    ~DialogHolder() { static_cast<void>(dialog_.release()); }

    std::unique_ptr<FCSorvelWindow>& Get() { return dialog_; }

  private:
    std::unique_ptr<FCSorvelWindow> dialog_;
};

std::unique_ptr<FCSorvelWindow>& DialogObject() {
    static DialogHolder holder;
    return holder.Get();
}

// When a termination could not save the options (the shared settings file could not be read or
// written), what the plug-in holds is newer than the file: the next dialog object takes it and
// this window geometry instead of reading the file, and the next termination tries again.
std::optional<WindowGeometry>& UnsavedGeometry() {
    static std::optional<WindowGeometry> geometry;
    return geometry;
}

uint32_t Invoke(void* hostWindow) {
    std::unique_ptr<FCUI>& ui = AlertObject();
    if (!ui) {
        ui = std::make_unique<FCUI>(hostWindow);
    }
    std::unique_ptr<FCSorvelWindow>& dialog = DialogObject();
    if (!dialog) {
        // The window becomes the dialog object only once it is complete: a failure on the way
        // leaves no half-made dialog object behind, and the next invocation reads both files
        // again.
        auto made = std::make_unique<FCSorvelWindow>();
        if (UnsavedGeometry()) {
            made->Geometry() = *UnsavedGeometry();
        } else {
            StoredOptions::LoadOptions(made->Geometry());
        }
        StoredPitchSets::LoadPitchSets();
        made->SetUI(ui.get());
        made->CreateControls();
        dialog = std::move(made);
    }
    if (dialog->GetDialogHandle() != nullptr) {
        ShowWindow(static_cast<HWND>(dialog->GetDialogHandle()), SW_SHOWNORMAL);
        if (dialog->GetDialogHandle() != nullptr) {
            SetActiveWindow(static_cast<HWND>(dialog->GetDialogHandle()));
        }
        return 0;
    }
    dialog->SetDialogCallback(&FCResourceWindow::DialogCallback);
    fx::Dialog(static_cast<int16_t>(dialog->GetResourceNumber()), dialog->GetDialogCallback(),
               ui->GetOwnerWindow(), dialog.get());
    return 0;
}

uint32_t Terminate() {
    // The dialog object goes whatever happens below: the host is about to unload the module, and
    // a dialog left open would send its messages into code that is gone.
    const std::unique_ptr<FCSorvelWindow> dialog = std::move(DialogObject());
    if (!dialog) {
        return 0;
    }
    HWND handle = static_cast<HWND>(dialog->GetDialogHandle());
    if (handle != nullptr && IsWindowVisible(handle) != 0) {
        dialog->CloseWindow();
    }
    if (StoredOptions::SaveOptions(dialog->Geometry())) {
        UnsavedGeometry().reset();
    } else {
        UnsavedGeometry() = dialog->Geometry();
    }
    return 0;
}

}  // namespace

// The user picked the menu item: when it cannot be done, the user is told (once the alert object
// exists) and the host sees nothing.
VS_EXPORT uint32_t VS_CALL FinaleExtensionInvoke(void* hostWindow, uint32_t /*a*/, uint32_t /*b*/,
                                                 uint32_t /*c*/) {
    return HostBoundary::Call<uint32_t>(
        0, [&] { return Invoke(hostWindow); },
        [] {
            if (AlertObject()) {
                AlertObject()->AlertOutOfMemory();
            }
        });
}

// The host is closing the plug-in: a failure here is not shown (the host may be closing down);
// nothing is written then, and the files keep what they held.
VS_EXPORT uint32_t VS_CALL FinaleExtensionTerminate(uint32_t /*ignored*/) {
    return HostBoundary::Call<uint32_t>(0, [] { return Terminate(); });
}
