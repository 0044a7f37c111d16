// FCNoteEntry: one chord or rest of a frame, with its notes. The entry record (146 bytes) lies
// in the host's frame; the entry owns its FCNote objects, the cell owns the frame.
#pragma once

#include <cstdint>

#include "framework/FCNote.h"
#include "framework/__FCCollection.h"
#include "hostapi/FrameLayout.h"

class FCNoteEntry : public __FCCollection {
  public:
    static constexpr uint32_t kRecordSize = frame_layout::kEntrySize;
    // An entry record has room for twelve note records.
    static constexpr int32_t kMaxNotes = frame_layout::kMaxNotes;
    static constexpr uint32_t kNoteEntryBit = frame_layout::kNoteEntryBit;

    // The entry builds one FCNote per note record the record's note count names, never more
    // than the record has room for.
    FCNoteEntry(uint8_t* record, void* frame, uint16_t measure, int16_t staff);

    const char* ClassName() const override;

    // IsNote: a chord; false for a rest.
    bool IsNote() const;
    // GetNoteCount answers the record's note count within 0 .. 12.
    int32_t GetNoteCount() const;
    // GetPosition: from the start of the measure, in the host's duration units.
    int32_t GetPosition() const;
    uint32_t GetFlags() const;
    uint16_t GetMeasure() const { return measure_; }
    int16_t GetStaff() const { return staff_; }
    FCNote* GetNoteAt(int32_t index) const;

    uint8_t* GetRecord() const { return record_; }
    void* GetFrame() const { return frame_; }

  private:
    uint8_t* record_;
    void* frame_;
    uint16_t measure_;
    int16_t staff_;
};
