// HostCalls: version and width checks, trace lines and text conversions.
#include "host/HostCalls.h"

#include <cstdio>

#include "host/CallClock.h"
#include "host/HostSessionState.h"

namespace host {

HostCalls::Trace::Trace(const char* name, std::string args)
    : session_(HostSession::Instance()), name_(name), args_(std::move(args)) {
    auto& state = session_.Internal();
    // The clock is read first and, in the destructor, last, so that the interval holds all of
    // the call's own work.
    if (depth_++ == 0 && state.callTiming) {
        start_ = CallClock::Now();
    }
    ++state.calls;
}

HostCalls::Trace::~Trace() {
    if (session_.Trace()) {
        session_.AddEvent(std::string("call ") + name_ + "(" + args_ + ")" +
                          (result_.empty() ? "" : " -> " + result_));
    }
    if (--depth_ == 0 && start_ != 0) {
        auto& state = session_.Internal();
        state.callTicks += CallClock::Now() - start_;
        ++state.timedCalls;
    }
}

int32_t HostCalls::Trace::Answer(int32_t value) {
    if (session_.Trace()) {
        result_ = std::to_string(value);
    }
    return value;
}

void* HostCalls::Trace::Answer(void* value) {
    if (session_.Trace()) {
        result_ = Pointer(value);
    }
    return value;
}

bool HostCalls::CheckVersion(const char* name, uint32_t version, uint32_t expected) {
    if (version == expected) {
        return true;
    }
    HostSession::Instance().ReportProtocolError(std::string(name) + " called with version " +
                                                Hex(version) + ", expected " + Hex(expected));
    return false;
}

void HostCalls::CheckWidth(const char* name, bool utf16) {
    auto& session = HostSession::Instance();
    const bool wide = session.HostVersion() >= kFirstUtf16Host;
    if (utf16 != wide) {
        session.ReportProtocolError(std::string(name) + " called under host version " +
                                    Hex(session.HostVersion()) + ", which takes " +
                                    (wide ? "UTF-16" : "8-bit") + " texts");
    }
}

std::string HostCalls::Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string HostCalls::Pointer(const void* value) {
    return value == nullptr ? std::string("null") : Hex(reinterpret_cast<uintptr_t>(value));
}

std::string HostCalls::Quote(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            default:
                quoted += c;
        }
    }
    return quoted + "\"";
}

std::u16string HostCalls::Utf16(std::string_view text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        uint32_t code = 0xFFFD;
        size_t length = 1;
        if (c < 0x80) {
            code = c;
        } else if ((c >> 5) == 0x6 || (c >> 4) == 0xE || (c >> 3) == 0x1E) {
            length = (c >> 5) == 0x6 ? 2 : ((c >> 4) == 0xE ? 3 : 4);
            code = c & (0x7F >> length);
            bool ok = i + length <= text.size();
            for (size_t k = 1; ok && k < length; ++k) {
                const auto next = static_cast<unsigned char>(text[i + k]);
                ok = (next >> 6) == 0x2;
                code = (code << 6) | (next & 0x3F);
            }
            if (!ok) {
                code = 0xFFFD;
                length = 1;
            }
        }
        i += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

std::string HostCalls::Utf8(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace host
