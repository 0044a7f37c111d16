// FramePreparation: what the host needs done to a frame before it takes it back: every note of
// an entry gets a distinct non-zero number mirrored into its flags, unused note records are
// zeroed, and an entry without notes gets one placeholder record marked as a rest.
#pragma once

#include <cstddef>

#include "hostapi/FrameLayout.h"

class FramePreparation {
  public:
    static constexpr size_t kEntrySize = frame_layout::kEntrySize;
    static constexpr size_t kNoteSize = frame_layout::kNoteSize;
    static constexpr int kMaxNotes = frame_layout::kMaxNotes;

    static void Prepare(void* frame);
    // PrepareEntry prepares one 146-byte entry record.
    static void PrepareEntry(unsigned char* entry);
};
