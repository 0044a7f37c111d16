// StoredText: the stand-in for characters a settings file cannot hold.
#include "settings/StoredText.h"

#include <string>

namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

bool IsStorableUnit(char16_t unit) {
    return unit >= 0x20 && unit <= 0xFF;
}

void MakeStorable(FCString& text) {
    const uint32_t length = text.GetLength();
    const char16_t* units = text.GetUTF16();
    uint32_t first = 0;
    while (first < length && IsStorableUnit(units[first])) {
        ++first;
    }
    if (first == length) {
        return;
    }
    std::u16string storable(units, first);
    for (uint32_t i = first; i < length; ++i) {
        if (IsStorableUnit(units[i])) {
            storable += units[i];
            continue;
        }
        storable += kStoredStandIn;
        if (IsHighSurrogate(units[i]) && i + 1 < length && IsLowSurrogate(units[i + 1])) {
            ++i;
        }
    }
    text.SetUTF16Units(storable.data(), static_cast<uint32_t>(storable.size()));
}

FCString StorableCopy(const FCString& text) {
    FCString copy(text);
    MakeStorable(copy);
    return copy;
}
