// TextEncoding: the byte form of a MusicXML text. Files in UTF-8 (or another 8-bit encoding,
// whose bytes pass through untouched) are read as they are; UTF-16 files, either byte order,
// are turned into UTF-8 for reading and editing and back into the same UTF-16 form (byte
// order and byte-order mark kept) for writing. UTF-32 is refused.
#pragma once

#include <string>
#include <string_view>

namespace sorvel {

enum class TextForm { kEightBit, kUtf16LittleEndian, kUtf16BigEndian };

// DecodedText: the text as UTF-8 (or 8-bit) bytes, and how to write it back.
struct DecodedText {
    TextForm form = TextForm::kEightBit;
    bool byteOrderMark = false;
    std::string text;
};

// DecodeText reads the bytes' form and, for UTF-16, their text; it throws a failure of kind
// kEncoding when they are no text this program reads. With formOnly, 8-bit text is not copied
// into the answer's text (the caller keeps the bytes).
DecodedText DecodeText(std::string_view bytes, bool formOnly = false);
// EncodeText writes text (UTF-8 for the UTF-16 forms) back in the given form; it throws a
// failure of kind kInternal for text that is no UTF-8.
std::string EncodeText(std::string_view text, TextForm form, bool byteOrderMark);
// Utf8ToLowBytes is the 8-bit form the host's files use for a text typed as UTF-8: each
// character's code cut to its low byte. Invalid UTF-8 is taken byte by byte.
std::string Utf8ToLowBytes(std::string_view utf8);
// Latin1ToUtf8 shows 8-bit text (as the host's files hold it) on a UTF-8 terminal.
std::string Latin1ToUtf8(std::string_view bytes);

}  // namespace sorvel
