// FCGeneralPrefs: the general preferences record (number 1), for its octave shift setting.
#pragma once

#include "framework/__FCPrefsBase.h"

class FCGeneralPrefs : public __FCPrefsBase {
  public:
    static constexpr uint32_t kTag = 0x70666770;  // "pfgp"

    FCGeneralPrefs();

    const char* ClassName() const override;

    uint8_t* GetRecordBuffer() override { return record_; }
    __FCBaseData* CreateObject() const override;
    uint32_t GetTag() const override { return kTag; }
    uint32_t GetVersion() const override { return 0x0D000000; }
    uint32_t GetRecordSize() const override { return sizeof(record_); }

    // GetOctaveShift answers the signed octave shift setting, in semitones.
    int16_t GetOctaveShift() const;

  private:
    uint8_t record_[66] = {};
};
