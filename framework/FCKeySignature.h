// FCKeySignature: a key word and a transposition offset, decoded into tonic, sharps, flats and
// the letters the key alters. It is never loaded from the host: measures, cells and the pitch
// arithmetic fill it.
#pragma once

#include <cstdint>

#include "framework/__FCBaseData.h"

class FCKeySignature : public __FCBaseData {
  public:
    FCKeySignature();

    const char* ClassName() const override;

    uint8_t* GetRecordBuffer() override { return record_; }
    __FCBaseData* CreateObject() const override;
    uint32_t GetTag() const override { return 0; }
    uint32_t GetVersion() const override;
    uint32_t GetRecordSize() const override { return sizeof(record_); }
    // CopyFrom takes the transposition offset along with the key word.
    void CopyFrom(__FCBaseData* other) override;
    bool DeleteData() override { return false; }
    bool LoadFirst() override { return false; }

    // The key word: with bits 14 and 15 clear, the high byte is the mode (0 major, 1 minor) and
    // the low byte a signed count, sharps positive, flats negative; otherwise a non-linear key.
    uint16_t GetKeyWord() const;
    void SetKeyWord(uint16_t keyWord);
    // The transposition offset is added (low byte only) to the count of a linear key.
    int16_t GetTranspositionOffset() const { return offset_; }
    void SetTranspositionOffset(int16_t offset) { offset_ = offset; }

    uint16_t GetEffectiveKey() const;
    bool IsLinear() const;
    bool IsMinor() const;
    // The counts answer -1 for a non-linear key.
    int GetSharpCount() const;
    int GetFlatCount() const;
    // GetTonicLetter answers A = 0 .. G = 6, or -1 for a non-linear key.
    int GetTonicLetter() const;
    bool IsLetterSharpened(int letter) const;
    bool IsLetterFlattened(int letter) const;

  private:
    uint8_t record_[2] = {};
    int16_t offset_ = 0;
};
