// FCTextFileStream: reading lines and writing key=value pairs.
#include "settings/FCTextFileStream.h"

#include <algorithm>
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
    std::FILE* file = GetFile();
    if (file == nullptr) {
        return nullptr;
    }
    // The rest of the file is read in large blocks and split here exactly as ReadLine splits it
    // (a line ends at CR or LF, a last line may lack its end), so that the lines are counted
    // first and the collection makes its room once: a shared file may hold a hundred thousand.
    constexpr long kLargestSizeHint = 64L * 1024 * 1024;
    std::string bytes;
    const long at = std::ftell(file);
    if (at >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        std::fseek(file, at, SEEK_SET);
        // The size is only a hint: a folder in the file's place answers an absurd one, and
        // its reading then fails on its own.
        if (end > at && end - at <= kLargestSizeHint) {
            bytes.reserve(static_cast<size_t>(end - at));
        }
    }
    char block[1 << 16];
    for (size_t n = 0; (n = std::fread(block, 1, sizeof block, file)) > 0;) {
        bytes.append(block, n);
    }
    auto lineEnd = [&bytes](size_t from) {
        while (from < bytes.size() && bytes[from] != '\n' && bytes[from] != '\r') {
            ++from;
        }
        return from;
    };
    int32_t count = 0;
    size_t longest = 0;
    for (size_t start = 0; start < bytes.size();) {
        const size_t end = lineEnd(start);
        longest = std::max(longest, end - start);
        ++count;
        start = end + 1;
    }
    auto lines = std::make_unique<FCStrings>();
    lines->ReserveItems(count);
    std::u16string units(longest, u'\0');
    for (size_t start = 0; start < bytes.size();) {
        const size_t end = lineEnd(start);
        for (size_t i = start; i < end; ++i) {
            units[i - start] = static_cast<unsigned char>(bytes[i]);
        }
        auto line = std::make_unique<FCString>();
        line->SetUTF16Units(units.data(), static_cast<uint32_t>(end - start));
        line->TrimEOL();
        lines->AddItem(line.release());
        start = end + 1;
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
        // A key that was all blanks reads back empty; written as "=value" its line would be
        // skipped at the next read and another plug-in's pair lost, so it keeps one blank.
        if (pair->GetKey().GetLength() == 0) {
            line += ' ';
        }
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
