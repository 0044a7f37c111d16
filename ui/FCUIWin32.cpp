// FCUI on Windows: each alert is a real message box owned by the host window.
#include <windows.h>

#include "ui/FCUI.h"

int FCUI::ShowBox(Kind kind, const FCString& text, const FCString& caption) {
    UINT type = MB_OK;
    switch (kind) {
        case Kind::kError:
            type = MB_ICONERROR;
            break;
        case Kind::kYesNo:
            type = MB_YESNO;
            break;
        case Kind::kInfo:
            type = MB_ICONINFORMATION;
            break;
    }
    const int answer = MessageBoxW(static_cast<HWND>(ownerWindow_),
                                   reinterpret_cast<const wchar_t*>(text.GetUTF16()),
                                   reinterpret_cast<const wchar_t*>(caption.GetUTF16()), type);
    if (kind != Kind::kYesNo) {
        return kOther;
    }
    if (answer == IDYES) {
        return kYes;
    }
    return answer == IDNO ? kNo : kOther;
}

void FCUI::ShowFixedBox(const char16_t* text, const char16_t* caption) {
    MessageBoxW(static_cast<HWND>(ownerWindow_), reinterpret_cast<const wchar_t*>(text),
                reinterpret_cast<const wchar_t*>(caption), MB_ICONERROR);
}
