// HostedPlugin: a plug-in module as this host loads it, for finale.exe and for every test
// program that is the host itself: the module, its six entry points, the live object count the
// 64-bit test modules export, and the host's start-up (version, init, menu items, menu status).
// The module is unloaded when the object goes; windows the host made for it are then destroyed
// without calling into it again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace host {

class HostedPlugin {
  public:
    // Loads the module at a Windows path (WinePath makes one); Fault() says what failed.
    explicit HostedPlugin(const std::wstring& path);
    ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    // Empty when the module is loaded and exports all six entry points; otherwise why not
    // ("cannot be loaded as a plug-in (error 126)", "the plug-in does not export ...").
    [[nodiscard]] const std::string& Fault() const { return fault_; }
    [[nodiscard]] bool Complete() const { return fault_.empty(); }
    // Whether the module answers its live object count (the 64-bit test modules do).
    [[nodiscard]] bool CountsObjects() const { return live_ != nullptr; }

    // What a host does once after loading a plug-in: hands the module to the host's windows
    // (dialog templates, beeps), tells it the host version, initialises it, reads its menu
    // items and asks for their status. Say, when given, hears the interface version and each
    // menu item, in the order the plug-in answers them.
    void Start(uint32_t hostVersion, const std::function<void(const std::string&)>& say = {});
    uint32_t Init();
    // The menu item chosen in a window, and the plug-in's termination; each then handles the
    // messages they left waiting.
    void Invoke(HWND window);
    void Terminate();
    [[nodiscard]] int64_t LiveObjects() const { return live_ != nullptr ? live_() : 0; }

    // A further export of the module, or null.
    template <typename Fn>
    [[nodiscard]] Fn Proc(const char* name) const {
        return module_ ? reinterpret_cast<Fn>(
                             reinterpret_cast<void*>(GetProcAddress(module_.get(), name)))
                       : nullptr;
    }

  private:
    using VersionFn = uint32_t(__cdecl*)(uint32_t);
    using InitFn = uint32_t(__cdecl*)(uint32_t, uint32_t*);
    using EnumerateFn = uint32_t(__cdecl*)(uint32_t, uint32_t, void*);
    using StatusFn = uint32_t(__cdecl*)(uint32_t);
    using InvokeFn = uint32_t(__cdecl*)(void*, uint32_t, uint32_t, uint32_t);
    using TerminateFn = uint32_t(__cdecl*)(uint32_t);
    using CountFn = int64_t(__cdecl*)();

    struct Unload {
        void operator()(HMODULE module) const;
    };

    std::unique_ptr<std::remove_pointer_t<HMODULE>, Unload> module_;
    std::string fault_;
    VersionFn version_ = nullptr;
    InitFn init_ = nullptr;
    EnumerateFn enumerate_ = nullptr;
    StatusFn status_ = nullptr;
    InvokeFn invoke_ = nullptr;
    TerminateFn terminate_ = nullptr;
    CountFn live_ = nullptr;

    template <typename Fn>
    Fn EntryPoint(const char* name);
};

}  // namespace host
