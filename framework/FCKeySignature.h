// FCKeySignature: a key word and a transposition offset, decoded into tonic, sharps, flats and
// the letters the key alters. It is never loaded from the host: measures, cells and the pitch
// arithmetic fill it.
#pragma once

#include <cstdint>

#include "framework/__FCBaseData.h"
#include "hostapi/LittleEndian.h"

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
    [[nodiscard]] uint16_t GetKeyWord() const { return le::U16(record_, 0); }
    void SetKeyWord(uint16_t keyWord) { le::SetU16(record_, 0, keyWord); }
    // The transposition offset is added (low byte only) to the count of a linear key.
    int16_t GetTranspositionOffset() const { return offset_; }
    void SetTranspositionOffset(int16_t offset) { offset_ = offset; }

    // The decoders are inline: a spelling asks them a dozen times.
    [[nodiscard]] uint16_t GetEffectiveKey() const {
        const uint16_t word = GetKeyWord();
        if (!IsLinearWord(word)) {
            return word;
        }
        const unsigned low = (word + static_cast<uint16_t>(offset_)) & 0xFFU;
        return static_cast<uint16_t>((word & 0xFF00U) | low);
    }
    [[nodiscard]] bool IsLinear() const { return IsLinearWord(GetEffectiveKey()); }
    [[nodiscard]] bool IsMinor() const {
        const uint16_t key = GetEffectiveKey();
        return IsLinearWord(key) && (key >> 8) == 1;
    }
    // The counts answer -1 for a non-linear key.
    [[nodiscard]] int GetSharpCount() const {
        const uint16_t key = GetEffectiveKey();
        if (!IsLinearWord(key)) {
            return -1;
        }
        const int count = SignedCount(key);
        return count > 0 ? count : 0;
    }
    [[nodiscard]] int GetFlatCount() const {
        const uint16_t key = GetEffectiveKey();
        if (!IsLinearWord(key)) {
            return -1;
        }
        const int count = SignedCount(key);
        return count < 0 ? -count : 0;
    }
    // GetTonicLetter answers A = 0 .. G = 6, or -1 for a non-linear key.
    [[nodiscard]] int GetTonicLetter() const {
        const uint16_t key = GetEffectiveKey();
        if (!IsLinearWord(key)) {
            return -1;
        }
        // Tonics along the circle of fifths, from no accidentals up to seven: C G D A E B F# C#
        // for major keys, A E B F# C# G# D# A# for minor ones; flat keys read the same tables
        // backwards from the end.
        constexpr int kMajor[8] = {2, 6, 3, 0, 4, 1, 5, 2};
        constexpr int kMinor[8] = {0, 4, 1, 5, 2, 6, 3, 0};
        const int* table = (key >> 8) == 1 ? kMinor : kMajor;
        const int count = SignedCount(key);
        if (count < 0) {
            return table[7 - (-count % 7)];
        }
        return table[count % 7];
    }
    bool IsLetterSharpened(int letter) const;
    bool IsLetterFlattened(int letter) const;

  private:
    static constexpr uint16_t kNonLinearBits = 0xC000;
    // A word is linear with bits 14 and 15 clear and mode 0 (major) or 1 (minor).
    static bool IsLinearWord(uint16_t word) {
        const int mode = word >> 8;
        return (word & kNonLinearBits) == 0 && (mode == 0 || mode == 1);
    }
    static int SignedCount(uint16_t word) { return static_cast<int8_t>(word & 0xFF); }

    uint8_t record_[2] = {};
    int16_t offset_ = 0;
};
