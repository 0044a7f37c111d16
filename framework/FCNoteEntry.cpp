// FCNoteEntry: entry record fields and the entry's notes.
#include "framework/FCNoteEntry.h"

#include <algorithm>

#include "hostapi/LittleEndian.h"

FCNoteEntry::FCNoteEntry(uint8_t* record, void* frame, uint16_t measure, int16_t staff)
    : record_(record), frame_(frame), measure_(measure), staff_(staff) {
    const int32_t count = GetNoteCount();
    for (int32_t i = 0; i < count; ++i) {
        AddItem(new FCNote(
            i,
            record_ + frame_layout::kNotes + size_t{FCNote::kRecordSize} * static_cast<size_t>(i),
            this));
    }
}

const char* FCNoteEntry::ClassName() const {
    return "FCNoteEntry";
}

bool FCNoteEntry::IsNote() const {
    return (GetFlags() & kNoteEntryBit) != 0;
}

int32_t FCNoteEntry::GetNoteCount() const {
    return std::clamp<int32_t>(le::I16(record_, frame_layout::kNoteCount), 0, kMaxNotes);
}

int32_t FCNoteEntry::GetPosition() const {
    return le::I32(record_, frame_layout::kPosition);
}

uint32_t FCNoteEntry::GetFlags() const {
    return le::U32(record_, frame_layout::kEntryFlags);
}

FCNote* FCNoteEntry::GetNoteAt(int32_t index) const {
    return static_cast<FCNote*>(GetItemAt(index));
}
