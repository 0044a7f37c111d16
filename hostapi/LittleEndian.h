// Little-endian accessors for host records: every record byte is read and written through
// these, never through packed structs, so layout and alignment never depend on the compiler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace le {

inline uint16_t U16(const void* base, size_t offset) {
    const auto* p = static_cast<const uint8_t*>(base) + offset;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline int16_t I16(const void* base, size_t offset) {
    return static_cast<int16_t>(U16(base, offset));
}
inline uint32_t U32(const void* base, size_t offset) {
    const auto* p = static_cast<const uint8_t*>(base) + offset;
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t I32(const void* base, size_t offset) {
    return static_cast<int32_t>(U32(base, offset));
}
inline void SetU16(void* base, size_t offset, uint16_t value) {
    auto* p = static_cast<uint8_t*>(base) + offset;
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}
inline void SetI16(void* base, size_t offset, int16_t value) {
    SetU16(base, offset, static_cast<uint16_t>(value));
}
inline void SetU32(void* base, size_t offset, uint32_t value) {
    auto* p = static_cast<uint8_t*>(base) + offset;
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
    p[2] = static_cast<uint8_t>(value >> 16);
    p[3] = static_cast<uint8_t>(value >> 24);
}
inline void SetI32(void* base, size_t offset, int32_t value) {
    SetU32(base, offset, static_cast<uint32_t>(value));
}
// Pointer32 reads a 32-bit address field, zero-extended: the host keeps such arrays below 4 GiB.
inline uint8_t* Pointer32(const void* base, size_t offset) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the field is an address the host wrote.
    return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(U32(base, offset)));
}

}  // namespace le
