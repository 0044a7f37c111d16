// FCString: the plug-in's only text type: UTF-16 code units with a terminating 0, grown in steps
// of ten units, with a byte-for-byte 8-bit view for the host's 8-bit interfaces and the files.
// The first ten units live inside the object, so that the short texts a run makes for every
// note (spellings, octave numbers) need no heap block.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/__FCBase.h"

class FCString : public __FCBase {
  public:
    // A new string is empty with a 10-unit buffer.
    FCString();
    // FCString(text8) starts from an 8-bit zero-terminated text, as SetCString does.
    explicit FCString(const char* text8);
    FCString(const FCString& other);
    FCString& operator=(const FCString& other);
    ~FCString() override;

    const char* ClassName() const override;

    uint32_t GetLength() const { return length_; }
    uint32_t GetCapacity() const { return capacity_; }
    // GetCharAt answers 0 outside 0 .. length-1.
    char16_t GetCharAt(int64_t index) const;
    // GetUTF16 answers the zero-terminated units (an empty text when there is no buffer).
    const char16_t* GetUTF16() const;

    // SetCString(nullptr) releases the buffer; otherwise each byte becomes the unit of its value.
    void SetCString(const char* text8);
    void SetUTF16(const char16_t* text16);
    // SetUTF16Units sets the first count units of text16 (no terminator needed).
    void SetUTF16Units(const char16_t* text16, uint32_t count);
    void SetString(const FCString* other);
    // Swap exchanges the texts of two strings; it never fails, so a text made beforehand can
    // take another's place at the end of an operation that must not stop half way.
    void Swap(FCString& other) noexcept;
    // GetCString rebuilds the 8-bit copy (low byte of each unit); it stays valid until the next
    // call or the string's destruction.
    const char* GetCString();

    void AppendString(const FCString* other);
    void AppendCString(const char* text8);
    void AppendCharacter(char16_t unit);
    void AppendInteger(int32_t value);
    void SetInteger(int32_t value);
    // GetInteger converts the decimal number at index start of the 8-bit copy: blanks skipped,
    // optional sign, digits; 0 without digits or when start lies beyond the length.
    int32_t GetInteger(uint32_t start = 0) const;

    void TrimWhitespace();
    void TrimEOL();
    void TruncateAt(uint32_t index);
    void DeleteLeft(uint32_t count);

    bool IsEqual(const FCString* other) const;
    // CompareNoCase compares lower-cased 8-bit copies as unsigned bytes: -1, 0 or 1; 1 for null.
    int CompareNoCase(const FCString* other) const;
    // HashNoCase agrees with CompareNoCase: texts it finds equal have the same hash.
    uint64_t HashNoCase() const;
    // StartsWithNoCase answers whether the text cut to the prefix's length is what
    // CompareNoCase finds equal to prefix.
    bool StartsWithNoCase(const FCString* prefix) const;
    void ToLowerCase();

    // SetToHostPath becomes the host's settings folder (kind 15); empty when the host can't say.
    void SetToHostPath();

  private:
    static constexpr uint32_t kStep = 10;

    void Reserve(uint32_t n);
    void Trim(const char16_t* set);
    // FoldedByteAt is the byte CompareNoCase compares at index: A to Z lower-cased, then the
    // unit's low byte; 0 at the end of the text.
    uint8_t FoldedByteAt(uint32_t index) const;

    uint32_t length_ = 0;
    uint32_t capacity_ = 0;
    char16_t* text_ = nullptr;  // local_, heap_ or null (no buffer)
    char16_t local_[kStep] = {};
    std::unique_ptr<char16_t[]> heap_;
    std::unique_ptr<char[]> text8_;
};
