// FCSettingsPair: construction with trimming.
#include "settings/FCSettingsPair.h"

FCSettingsPair::FCSettingsPair(const FCString* key, const FCString* value) {
    key_.SetString(key);
    value_.SetString(value);
    key_.TrimWhitespace();
    value_.TrimWhitespace();
}

FCSettingsPair::FCSettingsPair(const char* key, const char* value) {
    key_.SetCString(key != nullptr ? key : "");
    value_.SetCString(value != nullptr ? value : "");
    key_.TrimWhitespace();
    value_.TrimWhitespace();
}

FCSettingsPair::FCSettingsPair(const char16_t* key, uint32_t keyLength, const char16_t* value,
                               uint32_t valueLength) {
    key_.SetUTF16Units(key, keyLength);
    value_.SetUTF16Units(value, valueLength);
    key_.TrimWhitespace();
    value_.TrimWhitespace();
}
