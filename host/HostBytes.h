// HostBytes: the host's own little-endian reads and writes of record, frame and region bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace host {

class HostBytes {
  public:
    static uint16_t U16(const void* base, size_t offset) {
        const auto* p = static_cast<const uint8_t*>(base) + offset;
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    static int16_t I16(const void* base, size_t offset) {
        return static_cast<int16_t>(U16(base, offset));
    }
    static uint32_t U32(const void* base, size_t offset) {
        const auto* p = static_cast<const uint8_t*>(base) + offset;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    static int32_t I32(const void* base, size_t offset) {
        return static_cast<int32_t>(U32(base, offset));
    }
    static void SetU16(void* base, size_t offset, uint16_t value) {
        auto* p = static_cast<uint8_t*>(base) + offset;
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
    }
    static void SetI16(void* base, size_t offset, int16_t value) {
        SetU16(base, offset, static_cast<uint16_t>(value));
    }
    static void SetU32(void* base, size_t offset, uint32_t value) {
        auto* p = static_cast<uint8_t*>(base) + offset;
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
        p[2] = static_cast<uint8_t>(value >> 16);
        p[3] = static_cast<uint8_t>(value >> 24);
    }
    static void SetI32(void* base, size_t offset, int32_t value) {
        SetU32(base, offset, static_cast<uint32_t>(value));
    }
};

}  // namespace host
