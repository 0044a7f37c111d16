// SpellingSyntax: the spelling check, its normalisation and its messages.
#include "rules/SpellingSyntax.h"

namespace rules {

namespace {

bool IsLetter(char16_t c) {
    return c >= u'A' && c <= u'G';
}

}  // namespace

bool CheckSpelling(std::u16string& text) {
    if (text.empty()) {
        return false;
    }
    if (text[0] >= u'a' && text[0] <= u'g') {
        text[0] = static_cast<char16_t>(text[0] - u'a' + u'A');
    }
    if (!IsLetter(text[0])) {
        return false;
    }
    if (text.size() == 1) {
        return true;
    }
    const char16_t second = text[1];
    if (second == u'#') {
        return text.find_first_not_of(u'#', 1) == std::u16string::npos;
    }
    if (second == u'b' || second == u'B') {
        for (size_t i = 1; i < text.size(); ++i) {
            if (text[i] == u'B') {
                text[i] = u'b';
            } else if (text[i] != u'b') {
                return false;
            }
        }
        return true;
    }
    if (second == u'x') {
        return text.size() == 2;
    }
    return false;
}

void ExpandDoubleSharp(std::u16string& text) {
    std::u16string expanded;
    expanded.reserve(text.size() + 1);
    for (const char16_t c : text) {
        if (c == u'x') {
            expanded += u"##";
        } else {
            expanded += c;
        }
    }
    text = std::move(expanded);
}

bool IsAcceptableSpelling(std::u16string& typed) {
    return typed.size() <= kMaxTypedSpellingLength && CheckSpelling(typed);
}

std::optional<SpellingField> ValidateSpellingPair(std::u16string& from, std::u16string& to) {
    if (!IsAcceptableSpelling(from)) {
        return SpellingField::kFrom;
    }
    if (!IsAcceptableSpelling(to)) {
        return SpellingField::kTo;
    }
    return std::nullopt;
}

const char* SpellingErrorMessage(SpellingField field) {
    if (field == SpellingField::kTo) {
        return "The 'To' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), "
               "Dbb, etc.";
    }
    return "The 'From' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), "
           "Dbb, etc.";
}

bool IsCanonicalSpelling(std::u16string_view text) {
    if (text.empty() || !IsLetter(text[0])) {
        return false;
    }
    if (text.size() == 1) {
        return true;
    }
    const char16_t sign = text[1];
    return (sign == u'#' || sign == u'b') &&
           text.find_first_not_of(sign, 1) == std::u16string_view::npos;
}

bool IsStoredSpelling(std::u16string_view text) {
    return text.size() <= kMaxTypedSpellingLength && IsCanonicalSpelling(text);
}

std::u16string Widen(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    for (const char c : bytes) {
        units += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
    return units;
}

std::string Narrow(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(units.size());
    for (const char16_t u : units) {
        bytes += static_cast<char>(u & 0xFF);
    }
    return bytes;
}

}  // namespace rules
