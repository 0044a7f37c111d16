// RowMatcher: exact spelling comparison, first row wins.
#include "rules/RowMatcher.h"

#include <utility>

namespace rules {

RowMatcher::RowMatcher(std::vector<std::u16string> fromTexts) : fromTexts_(std::move(fromTexts)) {
    keys_.reserve(fromTexts_.size());
    for (const std::u16string& text : fromTexts_) {
        Key key;
        if (const std::optional<SpelledPitch> pitch = SpelledPitch::FromSpelling(text, 0)) {
            key = {true, pitch->letter, pitch->alteration};
        }
        keys_.push_back(key);
    }
}

bool RowMatcher::Matches(size_t row, std::u16string_view spelling) const {
    return row < fromTexts_.size() && fromTexts_[row] == spelling;
}

std::optional<size_t> RowMatcher::FirstMatch(std::u16string_view spelling) const {
    for (size_t row = 0; row < fromTexts_.size(); ++row) {
        if (fromTexts_[row] == spelling) {
            return row;
        }
    }
    return std::nullopt;
}

std::optional<size_t> RowMatcher::FirstMatch(const SpelledPitch& pitch) const {
    for (size_t row = 0; row < keys_.size(); ++row) {
        const Key& key = keys_[row];
        if (key.canonical && key.letter == pitch.letter && key.alteration == pitch.alteration) {
            return row;
        }
    }
    return std::nullopt;
}

}  // namespace rules
