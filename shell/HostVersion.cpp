// HostVersion: the process-wide host version number.
#include "shell/HostVersion.h"

namespace {
uint32_t g_hostVersion = HostVersion::kBuild;
}

uint32_t HostVersion::Get() { return g_hostVersion; }
void HostVersion::Set(uint32_t version) { g_hostVersion = version; }
