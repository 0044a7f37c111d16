// FCMusicRegion: region record fields, comparison and widening.
#include "framework/FCMusicRegion.h"

#include "hostapi/HostFunctions.h"
#include "hostapi/LittleEndian.h"

namespace {
constexpr size_t kStartQualifier = 0;
constexpr size_t kStartSlot = 2;
constexpr size_t kStartMeasure = 4;
constexpr size_t kStartPosition = 6;
constexpr size_t kEndQualifier = 10;
constexpr size_t kEndSlot = 12;
constexpr size_t kEndMeasure = 14;
constexpr size_t kEndPosition = 16;
// Slots are 16-bit: a host that never reports the end of its staves cannot keep us probing.
constexpr int32_t kLastSlot = 0x7FFF;
}  // namespace

FCMusicRegion::FCMusicRegion() = default;

const char* FCMusicRegion::ClassName() const {
    return "FCMusicRegion";
}

uint16_t FCMusicRegion::GetStartSlotQualifier() const {
    return le::U16(record_, kStartQualifier);
}
int16_t FCMusicRegion::GetStartSlot() const {
    return le::I16(record_, kStartSlot);
}
int16_t FCMusicRegion::GetStartMeasure() const {
    return le::I16(record_, kStartMeasure);
}
int32_t FCMusicRegion::GetStartPosition() const {
    return le::I32(record_, kStartPosition);
}
uint16_t FCMusicRegion::GetEndSlotQualifier() const {
    return le::U16(record_, kEndQualifier);
}
int16_t FCMusicRegion::GetEndSlot() const {
    return le::I16(record_, kEndSlot);
}
int16_t FCMusicRegion::GetEndMeasure() const {
    return le::I16(record_, kEndMeasure);
}
int32_t FCMusicRegion::GetEndPosition() const {
    return le::I32(record_, kEndPosition);
}

void FCMusicRegion::SetStartSlotQualifier(uint16_t qualifier) {
    le::SetU16(record_, kStartQualifier, qualifier);
}
void FCMusicRegion::SetStartSlot(int16_t slot) {
    le::SetI16(record_, kStartSlot, slot);
}
void FCMusicRegion::SetStartMeasure(int16_t measure) {
    le::SetI16(record_, kStartMeasure, measure);
}
void FCMusicRegion::SetStartPosition(int32_t position) {
    le::SetI32(record_, kStartPosition, position);
}
void FCMusicRegion::SetEndSlotQualifier(uint16_t qualifier) {
    le::SetU16(record_, kEndQualifier, qualifier);
}
void FCMusicRegion::SetEndSlot(int16_t slot) {
    le::SetI16(record_, kEndSlot, slot);
}
void FCMusicRegion::SetEndMeasure(int16_t measure) {
    le::SetI16(record_, kEndMeasure, measure);
}
void FCMusicRegion::SetEndPosition(int32_t position) {
    le::SetI32(record_, kEndPosition, position);
}

bool FCMusicRegion::IsEqual(const FCMusicRegion* other) const {
    if (other == nullptr) {
        return false;
    }
    if (GetStartSlotQualifier() != other->GetStartSlotQualifier()) {
        return false;
    }
    // Slots may differ between views of the same score; the staves they show must not.
    if (fx::SlotToInst(GetStartSlot(), GetStartSlotQualifier()) !=
        fx::SlotToInst(other->GetStartSlot(), other->GetStartSlotQualifier())) {
        return false;
    }
    if (fx::SlotToInst(GetEndSlot(), GetEndSlotQualifier()) !=
        fx::SlotToInst(other->GetEndSlot(), other->GetEndSlotQualifier())) {
        return false;
    }
    return GetStartMeasure() == other->GetStartMeasure() &&
           GetEndMeasure() == other->GetEndMeasure() &&
           GetStartPosition() == other->GetStartPosition() &&
           GetEndPosition() == other->GetEndPosition();
}

bool FCMusicRegion::SetFullStaffRange() {
    if (GetStartMeasure() == 0 && GetEndMeasure() == 0) {
        return false;
    }
    const uint16_t qualifier = GetStartSlotQualifier();
    if (fx::SlotToInst(1, qualifier) < 1) {
        return false;
    }
    int32_t last = 1;
    while (last < kLastSlot && fx::SlotToInst(last + 1, qualifier) > 0) {
        ++last;
    }
    SetStartSlot(1);
    SetEndSlot(static_cast<int16_t>(last));
    return true;
}
