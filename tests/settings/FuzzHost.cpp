// The settings fuzzers' folder and their FX_GetFinalePath.
#include "tests/settings/FuzzHost.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "hostapi/CallingConvention.h"
#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"

namespace fuzz_host {
namespace {

std::string MakeFolder() {
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/vs-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    static const std::string made = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(made, ignored);
    });
    return pattern + "/";
}

}  // namespace

const std::string& Folder() {
    static const std::string folder = MakeFolder();
    return folder;
}

void WriteFile(const char* name, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen((Folder() + name).c_str(), "wb");
    Check(file != nullptr, "the fuzz input can be written");
    Check(size == 0 || std::fwrite(data, 1, size, file) == size, "the fuzz input is written");
    std::fclose(file);
}

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

}  // namespace fuzz_host

VS_EXPORT int32_t VS_CALL FX_GetFinalePath(int32_t /*kind*/, void* buffer520,
                                           uint32_t /*version*/) {
    const std::string& folder = fuzz_host::Folder();
    for (size_t i = 0; i < folder.size() && 2 * i + 2 < 520; ++i) {
        if (HostVersion::UsesUTF16()) {
            le::SetU16(buffer520, 2 * i, static_cast<uint8_t>(folder[i]));
        } else {
            static_cast<uint8_t*>(buffer520)[i] = static_cast<uint8_t>(folder[i]);
        }
    }
    return 1;
}
