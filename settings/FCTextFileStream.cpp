// FCTextFileStream: reading lines and writing key=value pairs.
#include "settings/FCTextFileStream.h"

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
    auto line = std::make_unique<FCString>();
    while (byte != EOF && byte != '\n' && byte != '\r') {
        line->AppendCharacter(static_cast<char16_t>(byte));
        byte = std::getc(file);
    }
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
