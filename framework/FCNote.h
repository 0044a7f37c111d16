// FCNote: one note of a note entry. Its 10-byte record lies inside the entry record in the
// host's frame, so reads and writes go straight to the frame and reach the document when the
// cell is saved.
#pragma once

#include <cstdint>

#include "framework/__FCBase.h"

class FCNoteEntry;

class FCNote : public __FCBase {
  public:
    static constexpr uint32_t kRecordSize = 10;

    FCNote(int32_t index, uint8_t* record, FCNoteEntry* entry);
    FCNote(const FCNote&) = delete;
    FCNote& operator=(const FCNote&) = delete;

    const char* ClassName() const override;

    // GetIndex is the note's place in its entry.
    int32_t GetIndex() const { return index_; }
    FCNoteEntry* GetEntry() const { return entry_; }

    // Displacement: diatonic steps from the tonic of the governing key.
    int16_t GetDisplacement() const;
    void SetDisplacement(int16_t displacement);
    // Raise/lower: semitones added to what the key signature gives the note's letter.
    int16_t GetRaiseLower() const;
    void SetRaiseLower(int16_t raiseLower);

    // GetRecord is the note's own record in the frame, as the host's pitch functions take it.
    uint8_t* GetRecord() const { return record_; }

  private:
    int32_t index_;
    uint8_t* record_;
    FCNoteEntry* entry_;
};
