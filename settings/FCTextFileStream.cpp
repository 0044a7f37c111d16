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
    std::string bytes;
    const long at = std::ftell(file);
    if (at >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        std::fseek(file, at, SEEK_SET);
        if (end > at) {
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
        lines->AddItem(line.get());
        line.release();
        start = end + 1;
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
