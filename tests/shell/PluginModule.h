// PluginModule: the plug-in module loaded as the host loads it, with its six entry points and the
// live object count that the 64-bit test modules export; the module is unloaded with the object.
// For test programs that are the host themselves (finale.exe) under Wine.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "host/HostSession.h"
#include "host/HostWindows.h"

// WindowsPath answers a Unix path (as CMake gives it) as Wine's Windows path (Z: drive).
inline std::wstring WindowsPath(const std::string& path) {
    std::wstring out = path.empty() || path[0] != '/' ? L"" : L"Z:";
    for (char c : path) {
        out.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return out;
}

// Narrow keeps the low byte of each unit (the test paths are plain ASCII).
inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out.push_back(static_cast<char>(c));
    }
    return out;
}

// The 64-bit test modules answer their live object count; the shipping module exports the six
// entry points alone, and then the windows and the heap carry the checks.
#if defined(VS_MODULE_COUNTS_OBJECTS)
inline constexpr bool kModuleCountsObjects = true;
#else
inline constexpr bool kModuleCountsObjects = false;
#endif

class PluginModule {
  public:
    explicit PluginModule(const std::wstring& path) : handle_(LoadLibraryW(path.c_str())) {
        if (handle_ == nullptr) {
            return;
        }
        version_ = Proc<VersionFn>("FinaleExtensionVersion");
        init_ = Proc<InitFn>("FinaleExtensionInit");
        enumerate_ = Proc<EnumerateFn>("FinaleExtensionEnumerate_UTF16");
        status_ = Proc<StatusFn>("FinaleExtensionGetMenuStatus");
        invoke_ = Proc<InvokeFn>("FinaleExtensionInvoke");
        terminate_ = Proc<TerminateFn>("FinaleExtensionTerminate");
        live_ = Proc<CountFn>("VeskSorvelLiveObjects");
    }
    ~PluginModule() {
        if (handle_ != nullptr) {
            FreeLibrary(handle_);
        }
    }
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    [[nodiscard]] bool Complete() const {
        return version_ && init_ && enumerate_ && status_ && invoke_ && terminate_ &&
               (live_ != nullptr || !kModuleCountsObjects);
    }
    // What the host does once after loading a plug-in.
    void Start() {
        auto& windows = host::HostWindows::Instance();
        windows.SetPluginModule(handle_);
        windows.RouteBeeps(handle_);
        version_(host::HostSession::kDefaultHostVersion);
        Init();
        for (uint32_t index = 0; index < 16; ++index) {
            unsigned char record[1024] = {};
            if (enumerate_(0, index, record) == 0) {
                break;
            }
        }
        status_(0);
        host::HostWindows::Pump();
    }
    uint32_t Init() {
        uint32_t flags = 0;
        return init_(0, &flags);
    }
    void Invoke() {
        invoke_(host::HostWindows::Instance().MainWindow(), 0, 0, 0);
        host::HostWindows::Pump();
    }
    void Terminate() {
        terminate_(0);
        host::HostWindows::Pump();
    }
    [[nodiscard]] int64_t LiveObjects() const { return live_ != nullptr ? live_() : 0; }

    // Proc answers a further export of the module, or null.
    template <typename Fn>
    [[nodiscard]] Fn Proc(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle_, name)));
    }

  private:
    using VersionFn = uint32_t(__cdecl*)(uint32_t);
    using InitFn = uint32_t(__cdecl*)(uint32_t, uint32_t*);
    using EnumerateFn = uint32_t(__cdecl*)(uint32_t, uint32_t, void*);
    using StatusFn = uint32_t(__cdecl*)(uint32_t);
    using InvokeFn = uint32_t(__cdecl*)(void*, uint32_t, uint32_t, uint32_t);
    using TerminateFn = uint32_t(__cdecl*)(uint32_t);
    using CountFn = int64_t(__cdecl*)();

    HMODULE handle_;
    VersionFn version_ = nullptr;
    InitFn init_ = nullptr;
    EnumerateFn enumerate_ = nullptr;
    StatusFn status_ = nullptr;
    InvokeFn invoke_ = nullptr;
    TerminateFn terminate_ = nullptr;
    CountFn live_ = nullptr;
};
