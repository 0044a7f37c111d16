// PitchSpelling: the rules' spelling check applied to the framework's texts.
#include "pitch/PitchSpelling.h"

#include <string>
#include <string_view>

#include "framework/FCString.h"

namespace {

std::u16string Units(const FCString& text) {
    return {text.GetUTF16(), text.GetLength()};
}

// Store writes the units back only when something changed.
void Store(FCString* text, const std::u16string& units) {
    if (std::u16string_view(text->GetUTF16(), text->GetLength()) != units) {
        text->SetUTF16Units(units.data(), static_cast<uint32_t>(units.size()));
    }
}

}  // namespace

bool CheckPitchSpelling(FCString* text) {
    if (text == nullptr) {
        return false;
    }
    std::u16string units = Units(*text);
    const bool valid = rules::CheckSpelling(units);
    Store(text, units);
    return valid;
}

void ExpandDoubleSharp(FCString* text) {
    if (text == nullptr) {
        return;
    }
    std::u16string units = Units(*text);
    rules::ExpandDoubleSharp(units);
    text->SetUTF16Units(units.data(), static_cast<uint32_t>(units.size()));
}

std::optional<rules::SpellingField> ValidateSpellingPair(FCString* from, FCString* to) {
    std::u16string fromUnits = Units(*from);
    std::u16string toUnits = Units(*to);
    const std::optional<rules::SpellingField> fault =
        rules::ValidateSpellingPair(fromUnits, toUnits);
    Store(from, fromUnits);
    Store(to, toUnits);
    return fault;
}

bool IsNormalSpelling(const FCString& text) {
    return rules::IsStoredSpelling(std::u16string_view(text.GetUTF16(), text.GetLength()));
}

bool IsSameSpelling(const FCString* a, const FCString* b) {
    return a != nullptr && a->IsEqual(b);
}
