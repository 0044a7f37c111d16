// FCString: growth, conversions, trimming and comparison of the framework's text type.
#include "framework/FCString.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <utility>

#include "hostapi/HostFunctions.h"
#include "hostapi/HostVersion.h"
#include "rules/AsciiText.h"
#include "rules/DecimalNumber.h"

namespace {

uint32_t Length16(const char16_t* text) {
    uint32_t n = 0;
    while (text[n] != 0) {
        ++n;
    }
    return n;
}

bool InSet(char16_t unit, const char16_t* set) {
    for (; *set != 0; ++set) {
        if (*set == unit) {
            return true;
        }
    }
    return false;
}

}  // namespace

FCString::FCString() {
    Reserve(0);
}

FCString::FCString(const char* text8) : FCString() {
    SetCString(text8);
}

FCString::FCString(const FCString& other) : __FCBase(other) {
    Reserve(0);
    SetString(&other);
}

FCString& FCString::operator=(const FCString& other) {
    if (this != &other) {
        __FCBase::operator=(other);
        SetString(&other);
    }
    return *this;
}

FCString::~FCString() = default;

const char* FCString::ClassName() const {
    return "FCString";
}

// Reserve grows the buffer when it can't hold n units plus the terminator, to the next multiple
// of ten above n; a string never shrinks its buffer. A buffer of ten units is the one inside
// the object.
void FCString::Reserve(uint32_t n) {
    if (text_ != nullptr && capacity_ > n + 1) {
        return;
    }
    const uint32_t newCapacity = ((n + kStep) / kStep) * kStep;
    char16_t* grown = local_;
    std::unique_ptr<char16_t[]> heap;
    if (newCapacity > kStep) {
        heap = std::make_unique<char16_t[]>(newCapacity);
        grown = heap.get();
    }
    if (text_ != nullptr && grown != text_) {
        std::copy_n(text_, std::min(length_, newCapacity - 1), grown);
    }
    text_ = grown;
    heap_ = std::move(heap);
    capacity_ = newCapacity;
    text_[std::min(length_, capacity_ - 1)] = 0;
}

void FCString::Swap(FCString& other) noexcept {
    // A text kept inside the object moves with the object's buffer, one on the heap with its
    // pointer; so text_ is pointed again at whichever buffer now holds it.
    enum class Buffer { kNone, kLocal, kHeap };
    const auto where = [](const FCString& s) {
        return s.text_ == nullptr ? Buffer::kNone
                                  : (s.text_ == s.local_ ? Buffer::kLocal : Buffer::kHeap);
    };
    const Buffer mine = where(*this);
    const Buffer theirs = where(other);
    std::swap(local_, other.local_);
    heap_.swap(other.heap_);
    text8_.swap(other.text8_);
    std::swap(length_, other.length_);
    std::swap(capacity_, other.capacity_);
    const auto point = [](FCString& s, Buffer buffer) {
        s.text_ = buffer == Buffer::kNone ? nullptr
                                          : (buffer == Buffer::kLocal ? s.local_ : s.heap_.get());
    };
    point(*this, theirs);
    point(other, mine);
}

char16_t FCString::GetCharAt(int64_t index) const {
    if (index < 0 || index >= static_cast<int64_t>(length_) || !text_) {
        return 0;
    }
    return text_[static_cast<size_t>(index)];
}

const char16_t* FCString::GetUTF16() const {
    return text_ != nullptr ? text_ : u"";
}

void FCString::SetCString(const char* text8) {
    if (text8 == nullptr) {
        text_ = nullptr;
        heap_.reset();
        length_ = 0;
        capacity_ = 0;
        return;
    }
    const auto n = static_cast<uint32_t>(std::strlen(text8));
    Reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        text_[i] = static_cast<unsigned char>(text8[i]);
    }
    length_ = n;
    text_[n] = 0;
}

void FCString::SetUTF16(const char16_t* text16) {
    SetUTF16Units(text16, text16 == nullptr ? 0 : Length16(text16));
}

void FCString::SetUTF16Units(const char16_t* text16, uint32_t count) {
    Reserve(count);
    if (count > 0) {
        std::copy_n(text16, count, text_);
    }
    length_ = count;
    text_[count] = 0;
}

void FCString::SetString(const FCString* other) {
    if (other == this) {
        return;
    }
    if (other != nullptr && other->length_ > 0) {
        // Room first: should it not be had, the string keeps its text.
        Reserve(other->length_ + 1);
    }
    length_ = 0;
    if (text_) {
        text_[0] = 0;
    }
    if (other == nullptr || other->length_ == 0) {
        return;
    }
    std::copy_n(other->text_, other->length_, text_);
    length_ = other->length_;
    text_[length_] = 0;
}

const char* FCString::GetCString() {
    text8_ = std::make_unique<char[]>(length_ + 1);
    for (uint32_t i = 0; i < length_; ++i) {
        text8_[i] = static_cast<char>(text_[i] & 0xFF);
    }
    text8_[length_] = 0;
    return text8_.get();
}

void FCString::AppendString(const FCString* other) {
    if (other == nullptr || other->length_ == 0) {
        return;
    }
    // Appending a string to itself reads the source before the buffer may move.
    const FCString copy = (other == this) ? *this : FCString();
    const FCString* source = (other == this) ? &copy : other;
    Reserve(length_ + source->length_);
    std::copy_n(source->text_, source->length_, text_ + length_);
    length_ += source->length_;
    text_[length_] = 0;
}

void FCString::AppendCString(const char* text8) {
    if (text8 == nullptr) {
        return;
    }
    const auto n = static_cast<uint32_t>(std::strlen(text8));
    Reserve(length_ + n);
    for (uint32_t i = 0; i < n; ++i) {
        text_[length_ + i] = static_cast<unsigned char>(text8[i]);
    }
    length_ += n;
    text_[length_] = 0;
}

void FCString::AppendCharacter(char16_t unit) {
    Reserve(length_ + 1);
    text_[length_++] = unit;
    text_[length_] = 0;
}

void FCString::AppendInteger(int32_t value) {
    // The decimal text as "%d" writes it: an optional "-" and the digits.
    char digits[12];
    const char* end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    const auto n = static_cast<uint32_t>(end - digits);
    Reserve(length_ + n);
    for (uint32_t i = 0; i < n; ++i) {
        text_[length_ + i] = static_cast<char16_t>(digits[i]);
    }
    length_ += n;
    text_[length_] = 0;
}

void FCString::SetInteger(int32_t value) {
    SetCString("");
    AppendInteger(value);
}

int32_t FCString::GetInteger(uint32_t start) const {
    // The text is read as its 8-bit copy would be (each unit's low byte, ending at a 0 byte),
    // without making that copy: as every stored number is read.
    return rules::ReadDecimal(std::u16string_view(text_, length_), start);
}

void FCString::Trim(const char16_t* set) {
    while (length_ > 0 && InSet(text_[length_ - 1], set)) {
        text_[--length_] = 0;
    }
    uint32_t lead = 0;
    while (lead < length_ && InSet(text_[lead], set)) {
        ++lead;
    }
    DeleteLeft(lead);
}

void FCString::TrimWhitespace() {
    Trim(u" \r\n\t");
}

void FCString::TrimEOL() {
    Trim(u"\r\n");
}

void FCString::TruncateAt(uint32_t index) {
    if (index < length_) {
        length_ = index;
        text_[index] = 0;
    }
}

void FCString::DeleteLeft(uint32_t count) {
    if (count == 0 || count > length_) {
        return;
    }
    std::copy(text_ + count, text_ + length_ + 1, text_);
    length_ -= count;
}

bool FCString::IsEqual(const FCString* other) const {
    if (other == nullptr || other->length_ != length_) {
        return false;
    }
    return length_ == 0 || std::equal(text_, text_ + length_, other->text_);
}

uint8_t FCString::FoldedByteAt(uint32_t index) const {
    if (index >= length_) {
        return 0;
    }
    return static_cast<uint8_t>(rules::ascii::ToLower(text_[index]) & 0xFF);
}

int FCString::CompareNoCase(const FCString* other) const {
    if (other == nullptr) {
        return 1;
    }
    // The lower-cased 8-bit copies of both, compared byte by byte up to the first difference or
    // the first 0 byte, without making either copy.
    for (uint32_t i = 0;; ++i) {
        const uint8_t a = FoldedByteAt(i);
        const uint8_t b = other->FoldedByteAt(i);
        if (a != b) {
            return a < b ? -1 : 1;
        }
        if (a == 0) {
            return 0;
        }
    }
}

uint64_t FCString::HashNoCase() const {
    // The bytes CompareNoCase compares, up to the first 0 byte, taken eight at a time: a settings
    // file hashes each of its keys a few times, and one multiplication per byte made a chain as
    // long as the key.
    constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
    auto mix = [](uint64_t value) {
        value *= kMultiplier;
        return value ^ (value >> 29);
    };
    uint64_t hash = 0;
    uint64_t word = 0;
    uint32_t count = 0;
    for (; count < length_; ++count) {
        const auto byte = static_cast<uint8_t>(rules::ascii::ToLower(text_[count]) & 0xFF);
        if (byte == 0) {
            break;
        }
        word |= static_cast<uint64_t>(byte) << (8 * (count % 8));
        if (count % 8 == 7) {
            hash = mix(hash ^ word);
            word = 0;
        }
    }
    return mix(mix(hash ^ word) ^ count);
}

bool FCString::StartsWithNoCase(const FCString* prefix) const {
    if (prefix == nullptr || length_ < prefix->length_) {
        return prefix != nullptr && CompareNoCase(prefix) == 0;
    }
    for (uint32_t i = 0; i < prefix->length_; ++i) {
        const uint8_t a = FoldedByteAt(i);
        if (a != prefix->FoldedByteAt(i)) {
            return false;
        }
        if (a == 0) {
            return true;
        }
    }
    return true;
}

void FCString::ToLowerCase() {
    std::transform(text_, text_ + length_, text_, rules::ascii::ToLower<char16_t>);
}

void FCString::SetToHostPath() {
    char16_t buffer[260] = {};  // 520 bytes, zero-filled before the host writes into it
    static_assert(sizeof buffer == 520);
    SetCString("");
    fx::GetFinalePath(15, buffer);
    if (HostVersion::UsesUTF16()) {
        uint32_t n = 0;
        while (n < 260 && buffer[n] != 0) {
            ++n;
        }
        SetUTF16Units(buffer, n);
    } else {
        const auto* bytes = reinterpret_cast<const char*>(buffer);
        uint32_t n = 0;
        while (n < 520 && bytes[n] != 0) {
            ++n;
        }
        Reserve(n);
        for (uint32_t i = 0; i < n; ++i) {
            text_[i] = static_cast<unsigned char>(bytes[i]);
        }
        length_ = n;
        text_[n] = 0;
    }
}
