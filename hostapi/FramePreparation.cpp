// FramePreparation: note renumbering, flag mirroring and rest placeholders before a save.
#include "hostapi/FramePreparation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "hostapi/LittleEndian.h"

using frame_layout::kEntryArray;
using frame_layout::kEntryCount;
using frame_layout::kEntryFlags;
using frame_layout::kNoteCount;
using frame_layout::kNoteFlags;
using frame_layout::kNoteNumber;
using frame_layout::kNotes;

void FramePreparation::Prepare(void* frame) {
    if (frame == nullptr) {
        return;
    }
    unsigned char* entries = le::Pointer32(frame, kEntryArray);
    const int count = le::I16(frame, kEntryCount);
    if (entries == nullptr) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        PrepareEntry(entries + kEntrySize * i);
    }
}

void FramePreparation::PrepareEntry(unsigned char* entry) {
    // A count outside 0..12 never takes the walk outside the entry's twelve note records.
    const int n = std::clamp<int>(le::I16(entry, kNoteCount), 0, kMaxNotes);
    auto note = [entry](int j) { return entry + kNotes + kNoteSize * j; };

    int m = 0;
    for (int j = 0; j < n; ++j) {
        m = std::max<int>(m, le::I16(note(j), kNoteNumber));
    }
    for (int j = 0; j < n; ++j) {
        const int16_t number = le::I16(note(j), kNoteNumber);
        bool shared = false;
        for (int k = 0; k < n && !shared; ++k) {
            shared = (k != j && le::I16(note(k), kNoteNumber) == number);
        }
        if (number == 0 || shared) {
            if (m < INT16_MAX) {
                ++m;
                le::SetI16(note(j), kNoteNumber, static_cast<int16_t>(m));
            } else {
                // Above 32767 a number would wrap onto others: the smallest positive number no
                // note of the entry holds keeps them distinct (twelve notes leave plenty).
                auto held = [&note, n](int16_t value) {
                    for (int k = 0; k < n; ++k) {
                        if (le::I16(note(k), kNoteNumber) == value) {
                            return true;
                        }
                    }
                    return false;
                };
                int16_t free = 1;
                while (held(free)) {
                    ++free;
                }
                le::SetI16(note(j), kNoteNumber, free);
            }
        }
    }
    for (int j = 0; j < n; ++j) {
        const uint32_t low5 = static_cast<uint32_t>(le::I16(note(j), kNoteNumber)) & 0x1F;
        const uint32_t flags = le::U32(note(j), kNoteFlags);
        le::SetU32(note(j), kNoteFlags, (flags & ~0x001F0000U) | (low5 << 16));
    }
    for (int j = n; j < kMaxNotes; ++j) {
        std::memset(note(j), 0, kNoteSize);
    }
    if (n == 0) {
        le::SetI16(entry, kNoteCount, 1);
        le::SetU32(note(0), kNoteFlags, 0x80000000U);
        le::SetU32(entry, kEntryFlags, le::U32(entry, kEntryFlags) | 0x01000000U);
    }
}
