// FCSettingsPair: one setting of a settings file: a key and its value.
#pragma once

#include "framework/FCString.h"

class FCSettingsPair : public __FCBase {
  public:
    // Both texts are copied (null gives an empty text) and trimmed of blanks and line ends.
    FCSettingsPair(const FCString* key, const FCString* value);
    FCSettingsPair(const char* key, const char* value);
    // The texts as units: keyLength units at key and valueLength at value.
    FCSettingsPair(const char16_t* key, uint32_t keyLength, const char16_t* value,
                   uint32_t valueLength);

    [[nodiscard]] FCString& GetKey() { return key_; }
    [[nodiscard]] const FCString& GetKey() const { return key_; }
    [[nodiscard]] FCString& GetValue() { return value_; }
    [[nodiscard]] const FCString& GetValue() const { return value_; }
    // SetValue copies value as it is, untrimmed.
    void SetValue(const FCString* value) { value_.SetString(value); }

  private:
    FCString key_;
    FCString value_;
};
