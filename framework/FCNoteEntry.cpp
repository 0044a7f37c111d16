// FCNoteEntry: entry record fields and the entry's notes.
#include "framework/FCNoteEntry.h"

#include <algorithm>

#include "hostapi/LittleEndian.h"

namespace {
constexpr size_t kFlags = 8;
constexpr size_t kNoteCount = 0x0E;
constexpr size_t kNotes = 0x10;
constexpr size_t kPosition = 0x88;
}  // namespace

FCNoteEntry::FCNoteEntry(uint8_t* record, void* frame, uint16_t measure, int16_t staff)
    : record_(record), frame_(frame), measure_(measure), staff_(staff) {
    const int32_t count = GetNoteCount();
    for (int32_t i = 0; i < count; ++i) {
        AddItem(new FCNote(
            i, record_ + kNotes + size_t{FCNote::kRecordSize} * static_cast<size_t>(i), this));
    }
}

const char* FCNoteEntry::ClassName() const {
    return "FCNoteEntry";
}

bool FCNoteEntry::IsNote() const {
    return (GetFlags() & kNoteEntryBit) != 0;
}

int32_t FCNoteEntry::GetNoteCount() const {
    return std::clamp<int32_t>(le::I16(record_, kNoteCount), 0, kMaxNotes);
}

int32_t FCNoteEntry::GetPosition() const {
    return le::I32(record_, kPosition);
}

uint32_t FCNoteEntry::GetFlags() const {
    return le::U32(record_, kFlags);
}

FCNote* FCNoteEntry::GetNoteAt(int32_t index) const {
    return static_cast<FCNote*>(GetItemAt(index));
}
