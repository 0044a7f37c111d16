// FCPartScopePrefs: the part-scope preferences, of which only the concert-pitch flag is kept.
// The 12-byte record is read into a scratch buffer on every load and save.
#pragma once

#include "framework/__FCPrefsBase.h"

class FCPartScopePrefs : public __FCPrefsBase {
  public:
    static constexpr uint32_t kTag = 0x6F745047;  // "otPG"
    static constexpr uint32_t kRecordSize = 12;

    FCPartScopePrefs();

    const char* ClassName() const override;

    // There is no embedded record: only the flag survives a load.
    uint8_t* GetRecordBuffer() override { return nullptr; }
    __FCBaseData* CreateObject() const override;
    uint32_t GetTag() const override { return kTag; }
    uint32_t GetVersion() const override;
    uint32_t GetRecordSize() const override { return kRecordSize; }
    void CopyFrom(__FCBaseData* other) override;
    // Load reads the record of the whole document; the number is ignored. A failed load
    // leaves the flag as it was.
    bool Load(uint16_t itemNo) override;
    // Save writes the flag back into the host's record.
    bool Save() override;

    // The concert-pitch flag: true when the document shows concert pitch.
    bool GetConcertPitch() const { return concertPitch_; }
    void SetConcertPitch(bool concertPitch) { concertPitch_ = concertPitch; }

  private:
    bool concertPitch_ = false;
};
