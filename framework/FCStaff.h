// FCStaff: the staff record, for its transposition and the flags that govern its key. Three
// host layouts (before 0x11000000, before 0x12000000, from 0x12000000) are embedded.
#pragma once

#include "framework/__FCNoInciOther.h"

class FCStaff : public __FCNoInciOther {
  public:
    static constexpr uint32_t kTag = 0x534F4953;  // "SOIS"
    // Flag word bits: the staff ignores key signatures; the staff's cells may carry their own key.
    static constexpr uint16_t kKeyIgnoreBit = 0x0001;
    static constexpr uint16_t kIndependentKeyBit = 0x8000;

    FCStaff();

    const char* ClassName() const override;

    uint8_t* GetRecordBuffer() override;
    __FCBaseData* CreateObject() const override;
    uint32_t GetTag() const override { return kTag; }
    uint32_t GetVersion() const override;
    uint32_t GetRecordSize() const override;
    // LoadFirst starts from key 0 and lets the host find the first record.
    bool LoadFirst() override;

    // Two further 16-bit record words the host keeps; nothing here interprets them.
    virtual uint16_t GetWordAt5E();
    virtual uint16_t GetWordAt62();

    uint16_t GetTranspositionWord();
    uint16_t GetFlags();
    bool IsKeyIgnored() { return (GetFlags() & kKeyIgnoreBit) != 0; }
    bool HasIndependentKey() { return (GetFlags() & kIndependentKeyBit) != 0; }

    // Transposition word: bit 14 alone means none. With bit 13 (chromatic) the alteration is a
    // signed 4-bit number in bits 8-11 and the interval the signed low byte (plus one when not
    // negative); without it, the alteration is a signed 6-bit number in bits 0-5 and the
    // interval one in bits 6-11. All answer 0 without a transposition.
    bool HasTransposition();
    int IsChromaticTransposition();
    int GetTranspositionAlteration();
    int GetTranspositionInterval();

  private:
    // Only the running host's layout is zero-filled when the object is made: the record is
    // made for every spelling of a note, and the other two layouts are never used unless the
    // host version changes, in which case GetRecordBuffer fills them on first use.
    uint8_t record10_[114];
    uint8_t record11_[132];
    uint8_t record12_[136];
    uint8_t zeroedLayouts_ = 0;  // one bit per layout
};
