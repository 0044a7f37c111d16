// HostDialogs: what the dialog FX_ functions do on this platform, once HostDialogExports has
// traced the call and checked its arguments: on Windows with real windows and controls
// (HostDialogsWin32.cpp), in the native build with none (HostDialogsNative.cpp, where each
// answers 0). The FX_ name comes along for the protocol errors a platform finds itself (a
// dialog handle the host never made, an item the dialog does not have).
#pragma once

#include <cstdint>
#include <string>

#include "host/HostCall.h"

namespace host {

class HostDialogs {
  public:
    // The plug-in's modeless dialog from its template; 1 when it was made.
    static int32_t Open(int32_t templateNumber, HostDialogProc callback, void* owner,
                        void* userData);
    static int32_t End(void* dialog);
    static int32_t EnableItem(const char* name, void* dialog, int32_t item, bool enable);
    static int32_t Focus(const char* name, void* dialog, int32_t item);
    // A popup's choice (kind 0, from 1; 0 for none) or a check box's state (kind 1).
    static int32_t GetValue(const char* name, void* dialog, int32_t item, int32_t kind);
    static int32_t SetValue(const char* name, void* dialog, int32_t item, int32_t kind,
                            int32_t value);
    // An item's text into a buffer of size units, 8-bit or UTF-16; 1 when it was read.
    static int32_t GetText(const char* name, void* dialog, int32_t item, char* buffer,
                           int32_t size);
    static int32_t GetText(const char* name, void* dialog, int32_t item, char16_t* buffer,
                           int32_t size);
    static int32_t SetText(const char* name, void* dialog, int32_t item, const char* text);
    static int32_t SetText(const char* name, void* dialog, int32_t item,
                           const std::u16string& text);
    // The document window FX_GetCurrentWindow answers (null natively).
    static void* CurrentWindow();
};

}  // namespace host
