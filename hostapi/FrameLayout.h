// FrameLayout: where the fields of a note-entry frame lie, as the host hands it out, for every
// part of the plug-in that reads or prepares one (the framework's cells, entries and notes, and
// the preparation before a save). The stand-in host describes the same layout on its own side
// (host/HostFrames.h), so that a wrong offset here shows as a disagreement rather than being
// shared by both.
#pragma once

#include <cstddef>
#include <cstdint>

namespace frame_layout {

// The frame's header.
constexpr size_t kSlotQualifier = 0;
constexpr size_t kSlot = 2;
constexpr size_t kMeasure = 6;
constexpr size_t kSaveGuard = 0x0A;
constexpr size_t kEntryArray = 0x0E;  // 32-bit pointer to the entry records
constexpr size_t kEntryCount = 0x12;

// An entry record, one after another in the entry array.
constexpr size_t kEntrySize = 146;
constexpr size_t kEntryFlags = 8;
constexpr size_t kNoteCount = 0x0E;
constexpr size_t kNotes = 0x10;  // the note records
constexpr size_t kPosition = 0x88;
constexpr int32_t kMaxNotes = 12;  // room for twelve note records
constexpr uint32_t kNoteEntryBit = 0x40000000;

// A note record.
constexpr size_t kNoteSize = 10;
constexpr size_t kNoteNumber = 4;
constexpr size_t kNoteFlags = 6;

static_assert(kNotes + kMaxNotes * kNoteSize <= kPosition, "the notes end before the position");

}  // namespace frame_layout
