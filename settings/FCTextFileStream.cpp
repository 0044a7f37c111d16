// FCTextFileStream: reading lines and writing key=value pairs.
#include "settings/FCTextFileStream.h"

#include <string>

#include "settings/FCSettingsPairs.h"

bool FCTextFileStream::OpenRead() {
    return OpenFile(false);
}

bool FCTextFileStream::OpenWrite() {
    return OpenFile(true);
}

std::unique_ptr<FCString> FCTextFileStream::ReadLine() {
    std::FILE* file = GetFile();
    if (file == nullptr) {
        return nullptr;
    }
    int byte = std::getc(file);
    if (byte == EOF) {
        return nullptr;
    }
    // The units are gathered first: a string grows ten units at a time, which would make long
    // lines cost quadratic time.
    std::u16string units;
    while (byte != EOF && byte != '\n' && byte != '\r') {
        units += static_cast<char16_t>(byte);
        byte = std::getc(file);
    }
    auto line = std::make_unique<FCString>();
    line->SetUTF16Units(units.data(), static_cast<uint32_t>(units.size()));
    return line;
}

std::unique_ptr<FCStrings> FCTextFileStream::ReadLines() {
    if (!IsOpen()) {
        return nullptr;
    }
    auto lines = std::make_unique<FCStrings>();
    while (std::unique_ptr<FCString> line = ReadLine()) {
        line->TrimEOL();
        lines->AddItem(line.release());
    }
    return lines;
}

namespace {

// AppendLineBytes adds a text as the bytes of one line: each unit's own byte. A unit beyond 8
// bits has no byte of its own (its low byte could be a line end or a 0) and a line end would
// start a line of its own, so both are written as "?". A 0 unit is kept: it ends no line for
// this reader, and another plug-in's value read from the file may hold one.
void AppendLineBytes(std::string& out, const FCString& text) {
    const char16_t* units = text.GetUTF16();
    for (uint32_t i = 0; i < text.GetLength(); ++i) {
        const char16_t unit = units[i];
        out += unit > 0xFF || unit == u'\n' || unit == u'\r' ? '?' : static_cast<char>(unit);
    }
}

}  // namespace

bool FCTextFileStream::WritePairs(FCSettingsPairs* pairs) {
    std::FILE* file = GetFile();
    if (file == nullptr) {
        return false;
    }
    bool written = true;
    std::string line;
    for (int32_t i = 0; pairs != nullptr && i < pairs->GetCount(); ++i) {
        const FCSettingsPair* pair = pairs->GetPairAt(i);
        if (pair == nullptr) {
            continue;
        }
        line.clear();
        AppendLineBytes(line, pair->GetKey());
        line += '=';
        AppendLineBytes(line, pair->GetValue());
        line += '\n';
        if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) {
            written = false;
        }
    }
    if (!written) {
        NoteWriteFailure();
    }
    return written;
}
