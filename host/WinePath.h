// WinePath: the one conversion between the paths of the machine that builds and runs the tests
// and the Windows paths of a program under Wine. A path comes as the user, a script or CMake
// writes it: relative, a Windows path, or (under Wine) an absolute Unix path such as
// "/work/build/VeskSorvel.dll", which Wine's own mapping turns into the drive that reaches it
// ("Z:\work\build\VeskSorvel.dll", or "C:\..." inside the prefix). The answer is a full Windows
// path. Header only, so that test programs that are not the host can use it too.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace host {

// Texts between UTF-8, which the host keeps, and the UTF-16 Windows calls take.
inline std::wstring WidePath(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), units);
    return wide;
}

inline std::string Utf8Path(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

// The full Windows path of a path written as above (UTF-8). On Windows itself, where there is
// no Unix path to map, a path is only made full.
inline std::wstring WindowsPath(std::string_view path) {
    std::wstring windows = WidePath(path);
    if (!path.empty() && path.front() == '/') {
        using ToDos = WCHAR*(CDECL*)(LPCSTR);
        const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
        if (toDos != nullptr) {
            if (WCHAR* dos = toDos(std::string(path).c_str())) {
                windows = dos;
                HeapFree(GetProcessHeap(), 0, dos);
            }
        }
    }
    const DWORD needed = GetFullPathNameW(windows.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return windows;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(windows.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return windows;
    }
    full.resize(length);
    return full;
}

}  // namespace host
