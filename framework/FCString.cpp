// FCString: growth, conversions, trimming and comparison of the framework's text type.
#include "framework/FCString.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

#include "shell/HostFunctions.h"
#include "shell/HostVersion.h"

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

FCString::FCString() { Reserve(0); }

FCString::FCString(const char* text8) : FCString() { SetCString(text8); }

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

const char* FCString::ClassName() const { return "FCString"; }

// Reserve grows the buffer when it can't hold n units plus the terminator, to the next multiple
// of ten above n; a string never shrinks its buffer.
void FCString::Reserve(uint32_t n) {
    if (text_ && capacity_ > n + 1) {
        return;
    }
    const uint32_t newCapacity = ((n + 10) / 10) * 10;
    auto grown = std::make_unique<char16_t[]>(newCapacity);
    if (text_) {
        std::copy_n(text_.get(), std::min(length_, newCapacity - 1), grown.get());
    }
    text_ = std::move(grown);
    capacity_ = newCapacity;
    text_[std::min(length_, capacity_ - 1)] = 0;
}

void FCString::Swap(FCString& other) noexcept {
    std::swap(length_, other.length_);
    std::swap(capacity_, other.capacity_);
    text_.swap(other.text_);
    text8_.swap(other.text8_);
}

char16_t FCString::GetCharAt(int64_t index) const {
    if (index < 0 || index >= static_cast<int64_t>(length_) || !text_) {
        return 0;
    }
    return text_[static_cast<size_t>(index)];
}

const char16_t* FCString::GetUTF16() const { return text_ ? text_.get() : u""; }

void FCString::SetCString(const char* text8) {
    if (text8 == nullptr) {
        text_.reset();
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
        std::copy_n(text16, count, text_.get());
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
    std::copy_n(other->text_.get(), other->length_, text_.get());
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
    std::copy_n(source->text_.get(), source->length_, text_.get() + length_);
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
    FCString number;
    number.SetInteger(value);
    AppendString(&number);
}

void FCString::SetInteger(int32_t value) {
    char scratch[100];
    std::snprintf(scratch, sizeof scratch, "%d", static_cast<int>(value));
    SetCString(scratch);
}

int32_t FCString::GetInteger(uint32_t start) {
    if (start > length_) {
        return 0;
    }
    const char* p = GetCString() + start;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    // Saturates instead of overflowing, as the C library's conversion does.
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = std::min<int64_t>(value * 10 + (*p - '0'), int64_t{INT32_MAX} + 1);
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
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

void FCString::TrimWhitespace() { Trim(u" \r\n\t"); }

void FCString::TrimEOL() { Trim(u"\r\n"); }

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
    std::copy(text_.get() + count, text_.get() + length_ + 1, text_.get());
    length_ -= count;
}

bool FCString::IsEqual(const FCString* other) const {
    if (other == nullptr || other->length_ != length_) {
        return false;
    }
    return length_ == 0 || std::equal(text_.get(), text_.get() + length_, other->text_.get());
}

int FCString::CompareNoCase(const FCString* other) const {
    if (other == nullptr) {
        return 1;
    }
    FCString a(*this);
    FCString b(*other);
    a.ToLowerCase();
    b.ToLowerCase();
    const auto* pa = reinterpret_cast<const unsigned char*>(a.GetCString());
    const auto* pb = reinterpret_cast<const unsigned char*>(b.GetCString());
    while (*pa != 0 && *pa == *pb) {
        ++pa;
        ++pb;
    }
    if (*pa == *pb) {
        return 0;
    }
    return *pa < *pb ? -1 : 1;
}

void FCString::ToLowerCase() {
    for (uint32_t i = 0; i < length_; ++i) {
        if (text_[i] >= u'A' && text_[i] <= u'Z') {
            text_[i] = static_cast<char16_t>(text_[i] - u'A' + u'a');
        }
    }
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
