// PitchSpelling: the spelling check and its normalisation.
#include "pitch/PitchSpelling.h"

#include <cstdint>
#include <string>

#include "framework/FCString.h"

namespace {

bool IsLetter(char16_t c) {
    return c >= u'A' && c <= u'G';
}

// StoreIfChanged writes the units back only when something changed.
void StoreIfChanged(FCString* text, const std::u16string& units, bool changed) {
    if (changed) {
        text->SetUTF16Units(units.data(), static_cast<uint32_t>(units.size()));
    }
}

}  // namespace

bool PitchSpelling::CheckPitchSpelling(FCString* text) {
    if (text == nullptr || text->GetLength() == 0) {
        return false;
    }
    std::u16string units(text->GetUTF16(), text->GetLength());
    bool changed = false;

    if (units[0] >= u'a' && units[0] <= u'g') {
        units[0] = static_cast<char16_t>(units[0] - u'a' + u'A');
        changed = true;
    }
    bool valid = IsLetter(units[0]);
    if (valid && units.size() > 1) {
        const char16_t second = units[1];
        if (second == u'#') {
            valid = units.find_first_not_of(u'#', 1) == std::u16string::npos;
        } else if (second == u'b' || second == u'B') {
            for (size_t i = 1; i < units.size() && valid; ++i) {
                if (units[i] == u'B') {
                    units[i] = u'b';
                    changed = true;
                } else if (units[i] != u'b') {
                    valid = false;
                }
            }
        } else if (second == u'x') {
            valid = units.size() == 2;
        } else {
            valid = false;
        }
    }
    StoreIfChanged(text, units, changed);
    return valid;
}

void PitchSpelling::ExpandDoubleSharp(FCString* text) {
    if (text == nullptr) {
        return;
    }
    std::u16string expanded;
    const char16_t* units = text->GetUTF16();
    for (uint32_t i = 0; i < text->GetLength(); ++i) {
        if (units[i] == u'x') {
            expanded += u"##";
        } else {
            expanded += units[i];
        }
    }
    text->SetUTF16Units(expanded.data(), static_cast<uint32_t>(expanded.size()));
}

bool PitchSpelling::IsNormalSpelling(const FCString& text) {
    if (text.GetLength() > kMaxLength) {
        return false;
    }
    FCString normal(text);
    if (!CheckPitchSpelling(&normal)) {
        return false;
    }
    ExpandDoubleSharp(&normal);
    return normal.IsEqual(&text);
}

bool PitchSpelling::IsSameSpelling(const FCString* a, const FCString* b) {
    return a != nullptr && a->IsEqual(b);
}
