// HostedPlugin: loading, the host's start-up calls, and unloading.
#include "host/HostedPlugin.h"

#include <cstdio>

#include "host/HostCalls.h"
#include "host/HostWindows.h"

namespace host {
namespace {

// The menu item record FinaleExtensionEnumerate_UTF16 fills: three texts of at most 128 UTF-16
// units, at these byte offsets.
constexpr size_t kMenuRecordSize = 1024;
constexpr size_t kMenuNameOffset = 0;
constexpr size_t kMenuDescriptionOffset = 256;
constexpr size_t kMenuCommandOffset = 512;
constexpr size_t kMenuTextUnits = 128;
// The host stops asking after this many menu items (a plug-in answers 0 after its last).
constexpr uint32_t kMostMenuItems = 64;

std::string Hex8(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string MenuText(const unsigned char* record, size_t offset) {
    std::u16string text;
    for (size_t i = 0; i < kMenuTextUnits; ++i) {
        const auto unit =
            static_cast<char16_t>(record[offset + 2 * i] | (record[offset + 2 * i + 1] << 8));
        if (unit == 0) {
            break;
        }
        text += unit;
    }
    return HostCalls::Utf8(text);
}

}  // namespace

void HostedPlugin::Unload::operator()(HMODULE module) const {
    FreeLibrary(module);
    // Its windows would call into code that is gone: the host takes them back.
    HostWindows::Instance().ForgetPluginModule(module);
}

HostedPlugin::HostedPlugin(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
    if (!module_) {
        fault_ = "cannot be loaded as a plug-in (error " + std::to_string(GetLastError()) + ")";
        return;
    }
    version_ = EntryPoint<VersionFn>("FinaleExtensionVersion");
    init_ = EntryPoint<InitFn>("FinaleExtensionInit");
    enumerate_ = EntryPoint<EnumerateFn>("FinaleExtensionEnumerate_UTF16");
    status_ = EntryPoint<StatusFn>("FinaleExtensionGetMenuStatus");
    invoke_ = EntryPoint<InvokeFn>("FinaleExtensionInvoke");
    terminate_ = EntryPoint<TerminateFn>("FinaleExtensionTerminate");
    live_ = Proc<CountFn>("VeskSorvelLiveObjects");
}

HostedPlugin::~HostedPlugin() = default;

template <typename Fn>
Fn HostedPlugin::EntryPoint(const char* name) {
    const auto entry = Proc<Fn>(name);
    if (entry == nullptr && fault_.empty()) {
        fault_ = std::string("the plug-in does not export ") + name;
    }
    return entry;
}

void HostedPlugin::Start(uint32_t hostVersion, const std::function<void(const std::string&)>& say) {
    auto& windows = HostWindows::Instance();
    windows.SetPluginModule(module_.get());
    windows.RouteBeeps(module_.get());
    const uint32_t interfaceVersion = version_(hostVersion);
    if (say) {
        say("plug-in interface version " + Hex8(interfaceVersion));
    }
    Init();
    for (uint32_t index = 0; index < kMostMenuItems; ++index) {
        unsigned char record[kMenuRecordSize] = {};
        if (enumerate_(0, index, record) == 0) {
            break;
        }
        if (say) {
            say("menu item " + HostCalls::Quote(MenuText(record, kMenuNameOffset)) +
                " description " + HostCalls::Quote(MenuText(record, kMenuDescriptionOffset)) +
                " name " + HostCalls::Quote(MenuText(record, kMenuCommandOffset)));
        }
    }
    status_(0);
    HostWindows::Pump();
}

uint32_t HostedPlugin::Init() {
    uint32_t flags = 0;
    return init_(0, &flags);
}

void HostedPlugin::Invoke(HWND window) {
    invoke_(window, 0, 0, 0);
    HostWindows::Pump();
}

void HostedPlugin::Terminate() {
    terminate_(0);
    HostWindows::Pump();
}

}  // namespace host
