// FramePreparation: what the host needs done to a frame before it takes it back: every note of
// an entry gets a distinct non-zero number mirrored into its flags, unused note records are
// zeroed, and an entry without notes gets one placeholder record marked as a rest.
#pragma once

#include <cstddef>

class FramePreparation {
  public:
    static constexpr size_t kEntrySize = 146;
    static constexpr size_t kNoteSize = 10;
    static constexpr int kMaxNotes = 12;

    static void Prepare(void* frame);
    // PrepareEntry prepares one 146-byte entry record.
    static void PrepareEntry(unsigned char* entry);
};
