// Four of the six entry points: through them the host learns the interface version, gives its
// own version, has the defaults set and enumerates the one menu item (FinaleExtensionInvoke and
// FinaleExtensionTerminate, which open and close the dialog, are in Invocation.cpp). Like every
// entry point, each answers through the host boundary: whatever fails inside, the host gets an
// answer that means "nothing happened".
#include "shell/EntryPoints.h"

#include <cstddef>

#include "hostapi/HostBoundary.h"
#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"
#include "state/PluginState.h"

namespace {

constexpr size_t kFieldBytes = 256;
constexpr size_t kMaxUnits = 63;  // the host reads at most 63 characters of each text

// WriteField writes text, cut after 63 units, and one terminating unit; the rest of the
// 128-unit field is left as it was.
void WriteField(void* record, size_t offset, const char* text) {
    size_t i = 0;
    for (; i < kMaxUnits && text[i] != 0; ++i) {
        le::SetU16(record, offset + 2 * i, static_cast<unsigned char>(text[i]));
    }
    le::SetU16(record, offset + 2 * i, 0);
}

}  // namespace

VS_EXPORT uint32_t VS_CALL FinaleExtensionVersion(uint32_t hostVersion) {
    return HostBoundary::Call<uint32_t>(0, [&] {
        HostVersion::Set(hostVersion);
        return HostVersion::kInterface;
    });
}

VS_EXPORT uint32_t VS_CALL FinaleExtensionInit(uint32_t /*ignored*/, uint32_t* flags) {
    return HostBoundary::Call<uint32_t>(0, [&] {
        if (flags != nullptr) {
            *flags |= 1U;
        }
        PluginState::Instance().SetDefaults();
        return 1U;
    });
}

VS_EXPORT uint32_t VS_CALL FinaleExtensionEnumerate_UTF16(uint32_t /*ignored*/, uint32_t index,
                                                          void* record) {
    return HostBoundary::Call<uint32_t>(0, [&] {
        if (static_cast<uint16_t>(index) != 0 || record == nullptr) {
            return 0U;
        }
        WriteField(record, 0, "Vesk Sorvel...");
        WriteField(record, kFieldBytes, "Selectively replaces the pitches within the region.");
        WriteField(record, 2 * kFieldBytes, "Sorvel");
        le::SetU32(record, 3 * kFieldBytes, 0);
        return 1U;
    });
}

VS_EXPORT uint32_t VS_CALL FinaleExtensionGetMenuStatus(uint32_t /*ignored*/) {
    return HostBoundary::Call<uint32_t>(0, [] { return 1U; });
}
