// A small plug-in for testing the harness: the six entry points, a dialog from its own template
// driven through the host's dialog functions, a run that raises every selected note by one step
// inside an edit, a question, a beep, and a button that breaks the host's rules on purpose.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "host/HostCall.h"

namespace {

constexpr uint32_t kV = 0x12050000;
HWND g_hostWindow = nullptr;

template <typename Fn>
Fn Host(const char* name) {
    HMODULE host = GetModuleHandleA("FINALE.EXE");
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(host, name)));
}

using I = int32_t;
using U = uint32_t;
using P = void*;

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
void SetU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void SetU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// Numbers, mirrored flags, cleared spare records and rest placeholders, as a host expects.
void Prepare(uint8_t* frame) {
    auto* entries = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(U32(frame + 0x0E)));
    const int count = static_cast<int16_t>(U16(frame + 0x12));
    for (int i = 0; i < count; ++i) {
        uint8_t* e = entries + 146 * i;
        const int n = static_cast<int16_t>(U16(e + 0x0E));
        for (int j = 0; j < n; ++j) {
            uint8_t* note = e + 0x10 + 10 * j;
            SetU16(note + 4, static_cast<uint16_t>(j + 1));
            SetU32(note + 6, (U32(note + 6) & ~0x1F0000u) | (static_cast<uint32_t>(j + 1) << 16));
        }
        std::memset(e + 0x10 + 10 * n, 0, static_cast<size_t>(10 * (12 - n)));
        if (n == 0) {
            SetU16(e + 0x0E, 1);
            SetU32(e + 0x10 + 6, 0x80000000);
            SetU32(e + 8, U32(e + 8) | 0x01000000);
        }
    }
}

void Run(HWND dialog) {
    Host<I(HOST_CALL*)(const char16_t*, U)>("FX_StartFinaleEdit_UTF16")(u"Test Run", kV);
    uint8_t region[20] = {};
    uint8_t region2[20] = {};
    I out = 0;
    if (Host<I(HOST_CALL*)(I*, P, P, U)>("FX_GetCurERegions")(&out, region, region2, kV) == 0) {
        MessageBoxW(g_hostWindow, L"Nothing selected", L"No Selection", MB_ICONINFORMATION);
        Host<I(HOST_CALL*)(U)>("FX_CancelFinaleEdit")(kV);
        MessageBeep(MB_ICONEXCLAMATION);
        // The box took the host window's activation (and the dialog disabled itself with it):
        // the user goes on in the dialog.
        Host<I(HOST_CALL*)(P, I, U)>("FX_SetDlgFocus")(dialog, 1, kV);
        return;
    }
    auto loadTgf = Host<P(HOST_CALL*)(I, I, I, I, I, U)>("FX_LoadTGF");
    auto saveTgf = Host<I(HOST_CALL*)(P, U)>("FX_SaveTGF");
    auto freeTgf = Host<void(HOST_CALL*)(P, U)>("FX_FreeTGF");
    const int layers = Host<I(HOST_CALL*)(U)>("FX_GetMaxLayers")(kV);
    for (int m = static_cast<int16_t>(U16(region + 4)); m <= static_cast<int16_t>(U16(region + 14));
         ++m) {
        for (int s = static_cast<int16_t>(U16(region + 2));
             s <= static_cast<int16_t>(U16(region + 12)); ++s) {
            for (int layer = 0; layer < layers; ++layer) {
                if (Host<I(HOST_CALL*)(I, U)>("FX_GetShowLayer")(layer, kV) == 0) {
                    continue;
                }
                auto* frame = static_cast<uint8_t*>(loadTgf(0, s, m, layer, 1, kV));
                if (frame == nullptr) {
                    continue;
                }
                auto* entries =
                    reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(U32(frame + 0x0E)));
                for (int i = 0; i < static_cast<int16_t>(U16(frame + 0x12)); ++i) {
                    uint8_t* e = entries + 146 * i;
                    for (int j = 0; j < static_cast<int16_t>(U16(e + 0x0E)); ++j) {
                        uint8_t* note = e + 0x10 + 10 * j;
                        SetU16(note, static_cast<uint16_t>(U16(note) + 1));
                    }
                }
                Prepare(frame);
                saveTgf(frame, kV);
                freeTgf(frame, kV);
            }
        }
    }
    if (Host<I(HOST_CALL*)(P, I, I, U)>("FX_GetDlgItemVal")(dialog, 113, 1, kV) != 0) {
        Host<I(HOST_CALL*)(I, U)>("FX_ExecuteMenuItem")(12106, kV);
    }
    Host<I(HOST_CALL*)(U)>("FX_EndFinaleEdit")(kV);
    Host<I(HOST_CALL*)(P, U)>("FX_RedrawMusic")(region2, kV);
}

void SetChecked(HWND list, int row, bool checked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void AddRow(HWND list, const wchar_t* from, const wchar_t* to, const wchar_t* direction,
            bool checked) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = 10000;
    item.pszText = const_cast<wchar_t*>(from);
    const auto row =
        static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    item.iItem = row;
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(to);
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 2;
    item.pszText = const_cast<wchar_t*>(direction);
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SetChecked(list, row, checked);
}

void InitDialog(HWND dialog) {
    HWND popup = GetDlgItem(dialog, 106);
    for (const char* entry : {"Up", "Down", "Closest"}) {
        SendMessageA(popup, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    }
    Host<I(HOST_CALL*)(P, I, I, I, U)>("FX_SetDlgItemVal")(dialog, 106, 0, 3, kV);
    Host<I(HOST_CALL*)(P, I, I, I, U)>("FX_SetDlgItemVal")(dialog, 113, 1, 1, kV);
    Host<I(HOST_CALL*)(P, I, const char16_t*, U)>("FX_SetDlgString_UTF16")(dialog, 102, u"C", kV);
    HWND list = GetDlgItem(dialog, 108);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const wchar_t* titles[3] = {L"From", L"To", L"Direction"};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.cx = 50;
        column.pszText = const_cast<wchar_t*>(titles[i]);
        SendMessageW(list, LVM_INSERTCOLUMNW, 1000, reinterpret_cast<LPARAM>(&column));
    }
    AddRow(list, L"A#", L"Bb", L"Closest", true);
    AddRow(list, L"C", L"D", L"Up", false);
}

intptr_t HOST_CALL Callback(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                            void* /*user*/) {
    auto dialog = static_cast<HWND>(window);
    switch (message) {
        case WM_INITDIALOG:
            InitDialog(dialog);
            return 0;
        case WM_ACTIVATE: {
            // The dialog follows the host: disabled while the host's window is.
            auto* top = static_cast<HWND>(Host<P(HOST_CALL*)(U)>("FX_GetCurrentWindow")(kV));
            while (top != nullptr && GetParent(top) != nullptr) {
                top = GetParent(top);
            }
            EnableWindow(dialog, top != nullptr && IsWindowEnabled(top) ? TRUE : FALSE);
            return 0;
        }
        case WM_CLOSE:
            Host<I(HOST_CALL*)(P, U)>("FX_EndDialog")(dialog, kV);
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == 108 && header->code == static_cast<UINT>(NM_DBLCLK)) {
                HWND list = GetDlgItem(dialog, 108);
                const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
                bool any = false;
                for (int i = 0; i < count; ++i) {
                    any = any || ((SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i),
                                                LVIS_STATEIMAGEMASK) >>
                                   12) == 2);
                }
                for (int i = 0; i < count; ++i) {
                    SetChecked(list, i, !any);
                }
            }
            return 0;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case 1:
                    Run(dialog);
                    return 1;
                case 2:
                    Host<I(HOST_CALL*)(P, U)>("FX_EndDialog")(dialog, kV);
                    return 1;
                case 107: {
                    const int answer = MessageBoxW(g_hostWindow, L"Proceed?", L"Question",
                                                   MB_YESNO | MB_ICONQUESTION);
                    Host<I(HOST_CALL*)(P, I, const char16_t*, U)>("FX_SetDlgString_UTF16")(
                        dialog, 102, answer == IDYES ? u"yes" : u"no", kV);
                    Host<I(HOST_CALL*)(P, I, U)>("FX_SetDlgFocus")(dialog,
                                                                   answer == IDYES ? 113 : 102, kV);
                    return 1;
                }
                case 109:
                    MessageBeep(MB_ICONEXCLAMATION);
                    return 1;
                case 110: {
                    void* frame =
                        Host<P(HOST_CALL*)(I, I, I, I, I, U)>("FX_LoadTGF")(0, 1, 1, 0, 1, kV);
                    Host<void(HOST_CALL*)(P, U)>("FX_FreeTGF")(frame, kV);
                    Host<void(HOST_CALL*)(P, U)>("FX_FreeTGF")(frame, kV);
                    Host<I(HOST_CALL*)(U)>("FX_EndFinaleEdit")(kV);
                    return 1;
                }
                default:
                    return 0;
            }
        default:
            return 0;
    }
}

void CopyText(uint8_t* record, const char* text) {
    for (size_t i = 0; text[i] != 0; ++i) {
        record[2 * i] = static_cast<uint8_t>(text[i]);
        record[2 * i + 1] = 0;
    }
}

}  // namespace

extern "C" __declspec(dllexport) uint32_t __cdecl FinaleExtensionVersion(uint32_t) {
    return 0x0F000000;
}

extern "C" __declspec(dllexport) uint32_t __cdecl FinaleExtensionInit(uint32_t, uint32_t* flags) {
    *flags |= 1;
    return 1;
}

extern "C" __declspec(dllexport) uint32_t
    __cdecl FinaleExtensionEnumerate_UTF16(uint32_t, uint32_t index, void* record) {
    if (index != 0) {
        return 0;
    }
    auto* bytes = static_cast<uint8_t*>(record);
    CopyText(bytes, "Host Test...");
    CopyText(bytes + 256, "Exercises the stand-in host.");
    CopyText(bytes + 512, "HostTest");
    return 1;
}

extern "C" __declspec(dllexport) uint32_t __cdecl FinaleExtensionGetMenuStatus(uint32_t) {
    return 1;
}

extern "C" __declspec(dllexport) uint32_t
    __cdecl FinaleExtensionInvoke(void* window, uint32_t, uint32_t, uint32_t) {
    if (g_hostWindow == nullptr) {
        g_hostWindow = static_cast<HWND>(window);
    }
    Host<I(HOST_CALL*)(I, HostDialogProc, P, I, P, U)>("FX_Dialog")(100, Callback, g_hostWindow, 0,
                                                                    nullptr, kV);
    return 0;
}

extern "C" __declspec(dllexport) uint32_t __cdecl FinaleExtensionTerminate(uint32_t) {
    return 0;
}
