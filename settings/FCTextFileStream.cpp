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

bool FCTextFileStream::WritePairs(FCSettingsPairs* pairs) {
    std::FILE* file = GetFile();
    if (file == nullptr) {
        return false;
    }
    bool written = true;
    for (int32_t i = 0; pairs != nullptr && i < pairs->GetCount(); ++i) {
        FCSettingsPair* pair = pairs->GetPairAt(i);
        if (pair == nullptr) {
            continue;
        }
        // Two separate 8-bit copies: each string keeps only its latest one.
        if (std::fprintf(file, "%s=%s\n", pair->GetKey().GetCString(),
                         pair->GetValue().GetCString()) < 0) {
            written = false;
        }
    }
    if (!written) {
        NoteWriteFailure();
    }
    return written;
}
