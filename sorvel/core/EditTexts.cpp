// EditTexts: a bump allocator for edit texts, and the constant texts of small numbers.
#include "sorvel/core/EditTexts.h"

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace sorvel {

namespace {

// The numbers an edit writes most: octaves 0 to 9 and alterations down to -3.
constexpr int kLowestNumber = -3;
constexpr std::array<std::string_view, 13> kNumbers = {"-3", "-2", "-1", "0", "1", "2", "3",
                                                       "4",  "5",  "6",  "7", "8", "9"};

// Block: memory for texts, not cleared first (they are copied in). Not
// make_unique_for_overwrite: the browser build's library lacks it.
std::unique_ptr<char[]> Block(size_t size) {
    return std::unique_ptr<char[]>(new char[size]);  // NOLINT(modernize-make-unique)
}

}  // namespace

std::string_view EditTexts::Keep(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    std::string_view& recent = recent_[std::hash<std::string_view>{}(text) % kRecentSlots];
    if (recent != text) {
        recent = Copy(text);
    }
    return recent;
}

std::string_view EditTexts::Copy(std::string_view text) {
    char* at = nullptr;
    if (text.size() > kBlockSize / 4) {
        // A long text (only hostile indentation makes one) gets a block of its own, so that
        // the current block's free room stays in use.
        large_.push_back(Block(text.size()));
        at = large_.back().get();
    } else {
        if (used_ + text.size() > kBlockSize) {
            blocks_.push_back(Block(kBlockSize));
            used_ = 0;
        }
        at = blocks_.back().get() + used_;
        used_ += text.size();
    }
    std::memcpy(at, text.data(), text.size());
    return {at, text.size()};
}

std::string_view EditTexts::Number(int number) {
    const int index = number - kLowestNumber;
    if (index >= 0 && index < static_cast<int>(kNumbers.size())) {
        return kNumbers[static_cast<size_t>(index)];
    }
    return Keep(std::to_string(number));
}

}  // namespace sorvel
