// HostDialogs in the native build, where there are no windows: every dialog call answers 0 and
// a text read answers an empty text.
#include "host/HostDialogs.h"

namespace host {

int32_t HostDialogs::Open(int32_t /*templateNumber*/, HostDialogProc /*callback*/, void* /*owner*/,
                          void* /*userData*/) {
    return 0;
}

int32_t HostDialogs::End(void* /*dialog*/) {
    return 0;
}

int32_t HostDialogs::EnableItem(const char* /*name*/, void* /*dialog*/, int32_t /*item*/,
                                bool /*enable*/) {
    return 0;
}

int32_t HostDialogs::Focus(const char* /*name*/, void* /*dialog*/, int32_t /*item*/) {
    return 0;
}

int32_t HostDialogs::GetValue(const char* /*name*/, void* /*dialog*/, int32_t /*item*/,
                              int32_t /*kind*/) {
    return 0;
}

int32_t HostDialogs::SetValue(const char* /*name*/, void* /*dialog*/, int32_t /*item*/,
                              int32_t /*kind*/, int32_t /*value*/) {
    return 0;
}

int32_t HostDialogs::GetText(const char* /*name*/, void* /*dialog*/, int32_t /*item*/, char* buffer,
                             int32_t size) {
    if (buffer != nullptr && size > 0) {
        buffer[0] = 0;
    }
    return 0;
}

int32_t HostDialogs::GetText(const char* /*name*/, void* /*dialog*/, int32_t /*item*/,
                             char16_t* buffer, int32_t size) {
    if (buffer != nullptr && size > 0) {
        buffer[0] = 0;
    }
    return 0;
}

int32_t HostDialogs::SetText(const char* /*name*/, void* /*dialog*/, int32_t /*item*/,
                             const char* /*text*/) {
    return 0;
}

int32_t HostDialogs::SetText(const char* /*name*/, void* /*dialog*/, int32_t /*item*/,
                             const std::u16string& /*text*/) {
    return 0;
}

void* HostDialogs::CurrentWindow() {
    return nullptr;
}

}  // namespace host
