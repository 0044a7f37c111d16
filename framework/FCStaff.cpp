// FCStaff: staff records and the decoding of their transposition word.
#include "framework/FCStaff.h"

#include <cstring>

#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"

namespace {

constexpr size_t kTransposition = 0x14;
constexpr size_t kFlags = 0x16;

int Layout() {
    const uint32_t h = HostVersion::Get();
    if (h >= 0x12000000) {
        return 12;
    }
    return h >= 0x11000000 ? 11 : 10;
}

// SignExtend reads the low `bits` bits of value as a two's-complement number.
int SignExtend(unsigned value, int bits) {
    const unsigned mask = (1U << bits) - 1U;
    const unsigned sign = 1U << (bits - 1);
    const unsigned v = value & mask;
    return (v & sign) != 0 ? static_cast<int>(v) - static_cast<int>(mask + 1U)
                           : static_cast<int>(v);
}

// ZeroFilled fills a layout with zeros by copying them from a constant block: compilers turn that
// into a few wide stores, while a memset of this size becomes a string instruction whose start
// alone costs more than the stores.
constexpr uint8_t kZeros[136] = {};

template <size_t N>
uint8_t* ZeroFilled(uint8_t (&buffer)[N]) {
    static_assert(N <= sizeof kZeros);
    std::memcpy(buffer, kZeros, N);
    return buffer;
}

}  // namespace

FCStaff::FCStaff() {
    // This class's own buffer, whatever a subclass would answer.
    FCStaff::GetRecordBuffer();
}

const char* FCStaff::ClassName() const {
    return "FCStaff";
}

uint8_t* FCStaff::GetRecordBuffer() {
    const int layout = Layout();
    const auto bit = static_cast<uint8_t>(1U << (layout - 10));
    const bool fill = (zeroedLayouts_ & bit) == 0;
    zeroedLayouts_ |= bit;
    switch (layout) {
        case 12:
            return fill ? ZeroFilled(record12_) : record12_;
        case 11:
            return fill ? ZeroFilled(record11_) : record11_;
        default:
            return fill ? ZeroFilled(record10_) : record10_;
    }
}

__FCBaseData* FCStaff::CreateObject() const {
    return new FCStaff();
}

uint32_t FCStaff::GetVersion() const {
    switch (Layout()) {
        case 12:
            return 0x12000000;
        case 11:
            return 0x11000000;
        default:
            return 0x0F000000;
    }
}

uint32_t FCStaff::GetRecordSize() const {
    switch (Layout()) {
        case 12:
            return sizeof(record12_);
        case 11:
            return sizeof(record11_);
        default:
            return sizeof(record10_);
    }
}

bool FCStaff::LoadFirst() {
    SetKey(0, 0, GetKeyItem3());
    return LoadNext();
}

uint16_t FCStaff::GetWordAt5E() {
    return le::U16(GetRecordBuffer(), 0x5E);
}
uint16_t FCStaff::GetWordAt62() {
    return le::U16(GetRecordBuffer(), 0x62);
}

uint16_t FCStaff::GetTranspositionWord() {
    return le::U16(GetRecordBuffer(), kTransposition);
}

uint16_t FCStaff::GetFlags() {
    return le::U16(GetRecordBuffer(), kFlags);
}

bool FCStaff::HasTransposition() {
    return (GetTranspositionWord() & 0xBFFF) != 0;
}

int FCStaff::IsChromaticTransposition() {
    return (GetTranspositionWord() >> 13) & 1;
}

int FCStaff::GetTranspositionAlteration() {
    if (!HasTransposition()) {
        return 0;
    }
    const uint16_t word = GetTranspositionWord();
    if (IsChromaticTransposition() != 0) {
        return SignExtend(word >> 8, 4);
    }
    return SignExtend(word, 6);
}

int FCStaff::GetTranspositionInterval() {
    if (!HasTransposition()) {
        return 0;
    }
    const uint16_t word = GetTranspositionWord();
    if (IsChromaticTransposition() != 0) {
        const int low = SignExtend(word, 8);
        return low >= 0 ? low + 1 : low;
    }
    return SignExtend(word >> 6, 6);
}
