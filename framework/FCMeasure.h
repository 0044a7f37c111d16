// FCMeasure: the measure record, for its key signature. Hosts from 0x12000000 on keep a longer
// record than older ones; both layouts are embedded.
#pragma once

#include <optional>

#include "framework/FCKeySignature.h"
#include "framework/__FCNoInciOther.h"

class FCMeasure : public __FCNoInciOther {
  public:
    static constexpr uint32_t kTag = 0x534F4D53;  // "SOMS"

    FCMeasure();
    ~FCMeasure() override;

    const char* ClassName() const override;

    uint8_t* GetRecordBuffer() override;
    __FCBaseData* CreateObject() const override;
    uint32_t GetTag() const override { return kTag; }
    uint32_t GetVersion() const override;
    uint32_t GetRecordSize() const override;
    // Save first writes the cached key signature's key word into the record.
    bool Save() override;
    bool LoadFirst() override;
    // Load, LoadNext and CopyFrom drop the cached key signature: it belongs to the record that
    // was there before.
    bool Load(uint16_t itemNo) override;
    bool LoadNext() override;
    void CopyFrom(__FCBaseData* other) override;

    // GetKeySignature answers null while the measure is not loaded; otherwise the measure's own
    // cached key, which the measure keeps owning.
    FCKeySignature* GetKeySignature();
    // GetKeyWord answers the key word GetKeySignature's key has (0 while not loaded), without
    // making the key.
    uint16_t GetKeyWord();

  private:
    uint8_t record11_[26] = {};
    uint8_t record12_[30] = {};
    std::optional<FCKeySignature> keySignature_;  // inside: a run makes measures for every note
};
