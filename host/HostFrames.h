// HostFrames: the frames of note entries the host hands out, takes back and frees, with the
// checks a plug-in must pass: a frame is saved only while it is live and its save guard is 0,
// after the plug-in's preparation (distinct non-zero note numbers mirrored in the note flags,
// unused note records cleared, rests carrying their placeholder note).
#pragma once

#include <cstdint>

#include "host/HostSessionState.h"

namespace host {

class HostFrames {
  public:
    // Frame layout.
    static constexpr size_t kHeaderSize = 0x40;
    static constexpr size_t kQualifier = 0;
    static constexpr size_t kSlot = 2;
    static constexpr size_t kStaff = 4;
    static constexpr size_t kMeasure = 6;
    static constexpr size_t kLayer = 8;
    static constexpr size_t kGuard = 0x0A;
    static constexpr size_t kEntryArray = 0x0E;
    static constexpr size_t kEntryCount = 0x12;
    // Entry and note records.
    static constexpr size_t kEntrySize = 146;
    static constexpr size_t kEntryFlags = 8;
    static constexpr size_t kEntryFlags16 = 0x0C;
    static constexpr size_t kNoteCount = 0x0E;
    static constexpr size_t kNotes = 0x10;
    static constexpr size_t kNoteSize = 10;
    static constexpr size_t kPosition = 0x88;
    static constexpr uint32_t kNoteEntryBit = 0x40000000;
    static constexpr uint32_t kNoNoteBit = 0x01000000;
    static constexpr uint32_t kPlaceholderFlags = 0x80000000;
    // A freed frame stays known, and its block out of use, until this many frames have been
    // freed after it: a save, a free or a read of it until then is recognised as a use after
    // free. Then its block serves a new frame, so a long run needs only a few blocks.
    static constexpr size_t kQuarantine = 256;

    // The frame of a slot, measure and 0-based layer index; null outside the score or when no
    // memory below 4 GiB is left.
    static void* Load(HostSession::State& state, int slot, int measure, int layerIndex);
    // Writes the frame's notes back into the score; 0 when refused (each reason is reported).
    static int32_t Save(HostSession::State& state, void* handle);
    // Free fills the frame with 0xDD and keeps it in quarantine (kQuarantine).
    static void Free(HostSession::State& state, void* handle);
};

}  // namespace host
