// TextEncoding: UTF-16 to UTF-8 and back, and the host files' 8-bit texts.
#include "sorvel/core/TextEncoding.h"

#include "sorvel/core/Failure.h"

#include <cstdint>

namespace sorvel {

namespace {

void AppendUtf8(std::string& out, uint32_t code) {
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

// NextUtf8 reads one character at text[i], advancing i; false for a malformed sequence.
bool NextUtf8(std::string_view text, size_t& i, uint32_t& code) {
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    const uint8_t lead = byte(i);
    size_t extra = 0;
    if (lead < 0x80) {
        code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        code = lead & 0x1FU;
        extra = 1;
    } else if ((lead & 0xF0) == 0xE0) {
        code = lead & 0x0FU;
        extra = 2;
    } else if ((lead & 0xF8) == 0xF0) {
        code = lead & 0x07U;
        extra = 3;
    } else {
        return false;
    }
    if (i + extra >= text.size()) {
        return false;
    }
    for (size_t k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return false;
        }
        code = (code << 6) | (byte(i + k) & 0x3FU);
    }
    i += extra + 1;
    return true;
}

void AppendUnit(std::string& out, uint16_t unit, bool bigEndian) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

}  // namespace

DecodedText DecodeText(std::string_view bytes, bool formOnly) {
    const auto at = [&](size_t i) { return i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : 1; };
    DecodedText decoded;
    if ((at(0) == 0xFF && at(1) == 0xFE && at(2) == 0 && at(3) == 0) ||
        (at(0) == 0 && at(1) == 0 && at(2) == 0xFE && at(3) == 0xFF) ||
        (at(0) == '<' && at(1) == 0 && at(2) == 0 && at(3) == 0) ||
        (at(0) == 0 && at(1) == 0 && at(2) == 0 && at(3) == '<')) {
        Fail(FailureKind::kEncoding, "the file is in UTF-32, which this program does not read");
    }
    size_t start = 0;
    if (at(0) == 0xFF && at(1) == 0xFE) {
        decoded.form = TextForm::kUtf16LittleEndian;
        decoded.byteOrderMark = true;
        start = 2;
    } else if (at(0) == 0xFE && at(1) == 0xFF) {
        decoded.form = TextForm::kUtf16BigEndian;
        decoded.byteOrderMark = true;
        start = 2;
    } else if (at(0) == '<' && at(1) == 0) {
        decoded.form = TextForm::kUtf16LittleEndian;
    } else if (at(0) == 0 && at(1) == '<' && at(2) == 0) {
        // "<?" or "<s" without a byte-order mark; a NUL byte before 8-bit text is no UTF-16.
        decoded.form = TextForm::kUtf16BigEndian;
    } else {
        if (!formOnly) {
            decoded.text.assign(bytes);
        }
        return decoded;
    }
    if ((bytes.size() - start) % 2 != 0) {
        Fail(FailureKind::kEncoding, "the file is not valid UTF-16: it has an odd number of bytes");
    }
    const bool bigEndian = decoded.form == TextForm::kUtf16BigEndian;
    const auto unitAt = [&](size_t i) {
        const auto a = static_cast<uint16_t>(static_cast<uint8_t>(bytes[i]));
        const auto b = static_cast<uint16_t>(static_cast<uint8_t>(bytes[i + 1]));
        return static_cast<uint16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    decoded.text.reserve(bytes.size() / 2 + bytes.size() / 8);
    for (size_t i = start; i < bytes.size(); i += 2) {
        const uint16_t unit = unitAt(i);
        uint32_t code = unit;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const uint16_t next = unitAt(i + 2);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                code = 0x10000 + ((static_cast<uint32_t>(unit) - 0xD800) << 10) + (next - 0xDC00);
                i += 2;
            }
        }
        if (code >= 0xD800 && code <= 0xDFFF) {
            Fail(FailureKind::kEncoding,
                 "the file is not valid UTF-16: a lone surrogate at byte " + std::to_string(i));
        }
        AppendUtf8(decoded.text, code);
    }
    return decoded;
}

std::string EncodeText(std::string_view text, TextForm form, bool byteOrderMark) {
    if (form == TextForm::kEightBit) {
        return std::string(text);
    }
    std::string bytes;
    const bool bigEndian = form == TextForm::kUtf16BigEndian;
    bytes.reserve(text.size() * 2 + 2);
    if (byteOrderMark) {
        AppendUnit(bytes, 0xFEFF, bigEndian);
    }
    for (size_t i = 0; i < text.size();) {
        uint32_t code = 0;
        if (!NextUtf8(text, i, code)) {
            Fail(FailureKind::kInternal,
                 "the edited text is not valid UTF-8 at byte " + std::to_string(i));
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            AppendUnit(bytes, static_cast<uint16_t>(0xD800 + (code >> 10)), bigEndian);
            AppendUnit(bytes, static_cast<uint16_t>(0xDC00 + (code & 0x3FF)), bigEndian);
        } else {
            AppendUnit(bytes, static_cast<uint16_t>(code), bigEndian);
        }
    }
    return bytes;
}

std::string Utf8ToLowBytes(std::string_view utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        uint32_t code = 0;
        const size_t before = i;
        if (NextUtf8(utf8, i, code) && code >= 0x10000) {
            // Two UTF-16 units, each cut to its low byte, as the host stores them.
            code -= 0x10000;
            out += static_cast<char>((0xD800 + (code >> 10)) & 0xFF);
            out += static_cast<char>((0xDC00 + (code & 0x3FF)) & 0xFF);
        } else if (i > before) {
            out += static_cast<char>(code & 0xFF);
        } else {
            out += utf8[before];
            i = before + 1;
        }
    }
    return out;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        AppendUtf8(out, static_cast<uint8_t>(c));
    }
    return out;
}

}  // namespace sorvel
