// FinaleExtensionInvoke and FinaleExtensionTerminate: the plug-in's life as the user sees it. The
// first invocation makes the alert object and the one dialog object (loading the stored options
// and pitch sets into it once); every invocation then opens the dialog or brings the open one
// forward. Termination keeps what is on screen and writes the shared settings file.
#include <windows.h>

#include <memory>
#include <optional>

#include "settings/StoredOptions.h"
#include "settings/StoredPitchSets.h"
#include "shell/EntryPoints.h"
#include "shell/HostFunctions.h"
#include "ui/FCSorvelWindow.h"
#include "ui/FCUI.h"

namespace {

// The alert object lives until the module is unloaded and keeps the first invocation's window.
std::unique_ptr<FCUI>& AlertObject() {
    static std::unique_ptr<FCUI> ui;
    return ui;
}

// The dialog object exists from the first invocation until termination. It is destroyed only
// by termination: at unloading the host's windows may already be gone.
FCSorvelWindow* g_dialog = nullptr;

// When a termination could not save the options (the shared settings file could not be read or
// written), what the plug-in holds is newer than the file: the next dialog object takes it and
// this window geometry instead of reading the file, and the next termination tries again.
std::optional<WindowGeometry>& UnsavedGeometry() {
    static std::optional<WindowGeometry> geometry;
    return geometry;
}

}  // namespace

VS_EXPORT uint32_t VS_CALL FinaleExtensionInvoke(void* hostWindow, uint32_t /*a*/, uint32_t /*b*/,
                                                 uint32_t /*c*/) {
    std::unique_ptr<FCUI>& ui = AlertObject();
    if (!ui) {
        ui = std::make_unique<FCUI>(hostWindow);
    }
    if (g_dialog == nullptr) {
        auto* dialog = new FCSorvelWindow;
        if (UnsavedGeometry()) {
            dialog->Geometry() = *UnsavedGeometry();
        } else {
            StoredOptions::LoadOptions(dialog->Geometry());
        }
        StoredPitchSets::LoadPitchSets();
        dialog->SetUI(ui.get());
        g_dialog = dialog;
        dialog->CreateControls();
    }
    if (g_dialog->GetDialogHandle() != nullptr) {
        ShowWindow(static_cast<HWND>(g_dialog->GetDialogHandle()), SW_SHOWNORMAL);
        if (g_dialog->GetDialogHandle() != nullptr) {
            SetActiveWindow(static_cast<HWND>(g_dialog->GetDialogHandle()));
        }
        return 0;
    }
    g_dialog->SetDialogCallback(&FCResourceWindow::DialogCallback);
    fx::Dialog(static_cast<int16_t>(g_dialog->GetResourceNumber()), g_dialog->GetDialogCallback(),
               ui->GetOwnerWindow(), g_dialog);
    return 0;
}

VS_EXPORT uint32_t VS_CALL FinaleExtensionTerminate(uint32_t /*ignored*/) {
    if (g_dialog == nullptr) {
        return 0;
    }
    HWND handle = static_cast<HWND>(g_dialog->GetDialogHandle());
    if (handle != nullptr && IsWindowVisible(handle) != 0) {
        g_dialog->CloseWindow();
    }
    if (StoredOptions::SaveOptions(g_dialog->Geometry())) {
        UnsavedGeometry().reset();
    } else {
        UnsavedGeometry() = g_dialog->Geometry();
    }
    delete g_dialog;
    g_dialog = nullptr;
    return 0;
}
