// SettingsFiles: locating the two settings files and reading one into pairs.
#include "settings/SettingsFiles.h"

#include <array>

#include "hostapi/HostFunctions.h"
#include "hostapi/HostVersion.h"

std::unique_ptr<FCTextFileStream> SettingsFiles::NewSharedSettingsStream() {
    std::array<uint8_t, FCFileStream::kFolderBufferSize> folder{};
    fx::GetFinalePath(
        HostVersion::UsesSettingsKind15() ? kSettingsFolderKind : kOldSettingsFolderKind,
        folder.data());
    return std::make_unique<FCTextFileStream>(folder.data(), kSharedFileName);
}

std::unique_ptr<FCTextFileStream> SettingsFiles::NewPitchListStream() {
    // The folder keeps its UTF-16 units: cutting them to bytes would lose every folder named
    // outside the 8-bit range.
    FCString folder;
    folder.SetToHostPath();
    return std::make_unique<FCTextFileStream>(folder, HostVersion::UsesUTF16(), kPitchListFileName);
}

std::unique_ptr<FCSettingsPairs> SettingsFiles::ReadSettingsFile(StreamFactory factory,
                                                                 ReadResult* result) {
    ReadResult ignored = ReadResult::kRead;
    ReadResult& outcome = result != nullptr ? *result : ignored;
    std::unique_ptr<FCTextFileStream> stream = factory();
    if (!stream->OpenRead()) {
        outcome = stream->FileExists() ? ReadResult::kUnreadable : ReadResult::kAbsent;
        return nullptr;
    }
    std::unique_ptr<FCStrings> lines = stream->ReadLines();
    // Lines up to a read error are not the file: a caller that saved them would lose the rest.
    if (stream->ReadFailed()) {
        outcome = ReadResult::kUnreadable;
        return nullptr;
    }
    stream->Close();
    outcome = ReadResult::kRead;
    return FCSettingsPairs::ParseLines(lines.get());
}
