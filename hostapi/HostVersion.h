// HostVersion: the host's version number as the host told it (preset to the build version),
// and the thresholds at which texts, folders and record layouts change.
#pragma once

#include <cstdint>

class HostVersion {
  public:
    // The framework version: the preset host version and the trailing argument of host calls.
    static constexpr uint32_t kBuild = 0x12050000;
    // The interface version the plug-in answers to the host.
    static constexpr uint32_t kInterface = 0x0F000000;

    // Get is asked for every record a spelling loads, so it is a plain read.
    static uint32_t Get() { return version_; }
    static void Set(uint32_t version) { version_ = version; }

    // UsesUTF16: texts exchanged with the host are UTF-16 (else 8-bit).
    static bool UsesUTF16() { return Get() >= 0x11000000; }
    // UsesSettingsKind15: the shared settings file lies in folder kind 15 (else 7).
    static bool UsesSettingsKind15() { return Get() >= 0x10000000; }
    // IsBefore12: older record layouts, and changed entries carry an extra flag bit.
    static bool IsBefore12() { return Get() < 0x12000000; }

  private:
    static inline uint32_t version_ = kBuild;
};
