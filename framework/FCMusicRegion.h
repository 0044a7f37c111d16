// FCMusicRegion: a selection rectangle of the score: a slot range, a measure range and the
// positions at which it starts in its first measure and ends in its last. The record is kept
// in the host's 20-byte layout so that it can be exchanged with the host by address.
#pragma once

#include <cstdint>

#include "framework/__FCBase.h"

class FCMusicRegion : public __FCBase {
  public:
    static constexpr uint32_t kRecordSize = 20;

    FCMusicRegion();

    const char* ClassName() const override;

    // IsEqual compares the start qualifier, the staves at both ends (slots are resolved to
    // staves through the host), the measures and the positions.
    virtual bool IsEqual(const FCMusicRegion* other) const;

    uint16_t GetStartSlotQualifier() const;
    int16_t GetStartSlot() const;
    int16_t GetStartMeasure() const;
    int32_t GetStartPosition() const;
    uint16_t GetEndSlotQualifier() const;
    int16_t GetEndSlot() const;
    int16_t GetEndMeasure() const;
    int32_t GetEndPosition() const;
    int16_t GetDocument() const { return document_; }

    void SetStartSlotQualifier(uint16_t qualifier);
    void SetStartSlot(int16_t slot);
    void SetStartMeasure(int16_t measure);
    void SetStartPosition(int32_t position);
    void SetEndSlotQualifier(uint16_t qualifier);
    void SetEndSlot(int16_t slot);
    void SetEndMeasure(int16_t measure);
    void SetEndPosition(int32_t position);
    void SetDocument(int16_t document) { document_ = document; }

    // SetFullStaffRange widens the slot range to every staff of the document, keeping measures
    // and positions; false for an empty region or a document without staves.
    bool SetFullStaffRange();

    // GetRecord is the 20-byte region record the host's selection functions read and fill.
    uint8_t* GetRecord() { return record_; }
    const uint8_t* GetRecord() const { return record_; }

  private:
    uint8_t record_[kRecordSize] = {};
    int16_t document_ = 0;
};
