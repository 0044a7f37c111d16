// FCSettingsPairs: parsing, case-blind lookup and the writing of the shared settings file.
#include "settings/FCSettingsPairs.h"

#include "settings/SettingsFiles.h"

namespace {

// SameKey answers what CompareNoCase(a, b) == 0 answers (A to Z lower-cased, each unit cut to its
// low byte, compared up to the first 0 byte) without copying either string: a file of many sets
// looks keys up thousands of times.
bool SameKey(const FCString& a, const FCString& b) {
    auto byteOf = [](char16_t unit) {
        if (unit >= u'A' && unit <= u'Z') {
            unit = static_cast<char16_t>(unit - u'A' + u'a');
        }
        return static_cast<uint8_t>(unit & 0xFF);
    };
    // Both buffers end in a 0 unit, so the walk stops at the shorter one's end at the latest.
    for (const char16_t *p = a.GetUTF16(), *q = b.GetUTF16();; ++p, ++q) {
        const uint8_t x = byteOf(*p);
        if (x != byteOf(*q)) {
            return false;
        }
        if (x == 0) {
            return true;
        }
    }
}

}  // namespace

const char* FCSettingsPairs::ClassName() const {
    return "FCSettingsPairs";
}

std::unique_ptr<FCSettingsPairs> FCSettingsPairs::ParseLines(const FCStrings* lines) {
    auto pairs = std::make_unique<FCSettingsPairs>();
    for (int32_t i = 0; lines != nullptr && i < lines->GetCount(); ++i) {
        const FCString* line = lines->GetStringAt(i);
        if (line == nullptr) {
            continue;
        }
        const char16_t* units = line->GetUTF16();
        const uint32_t length = line->GetLength();
        uint32_t equals = 0;
        while (equals < length && units[equals] != u'=') {
            ++equals;
        }
        if (equals == 0 || equals == length) {
            continue;
        }
        FCString key;
        FCString value;
        key.SetUTF16Units(units, equals);
        value.SetUTF16Units(units + equals + 1, length - equals - 1);
        pairs->AddItem(new FCSettingsPair(&key, &value));
    }
    return pairs;
}

FCSettingsPair* FCSettingsPairs::FindPair(const FCString* key) const {
    for (int32_t i = 0; key != nullptr && i < GetCount(); ++i) {
        FCSettingsPair* pair = GetPairAt(i);
        if (pair != nullptr && SameKey(pair->GetKey(), *key)) {
            return pair;
        }
    }
    return nullptr;
}

FCSettingsPair* FCSettingsPairs::FindPair(const char* key) const {
    const FCString text(key);
    return FindPair(&text);
}

FCSettingsPair* FCSettingsPairs::SetValue(const FCString* key, const FCString* value) {
    if (FCSettingsPair* pair = FindPair(key)) {
        pair->SetValue(value);
        return pair;
    }
    auto* pair = new FCSettingsPair(key, value);
    AddItem(pair);
    return pair;
}

FCSettingsPair* FCSettingsPairs::SetValue(const char* key, const char* value) {
    const FCString keyText(key);
    const FCString valueText(value);
    return SetValue(&keyText, &valueText);
}

bool FCSettingsPairs::WriteSharedFile() {
    std::unique_ptr<FCTextFileStream> stream = SettingsFiles::NewSharedSettingsStream();
    if (!stream->OpenWrite()) {
        return false;
    }
    const bool written = stream->WritePairs(this);
    return stream->Close() && written;
}
