// SettingsFiles: locating the two settings files and reading one into pairs.
#include "settings/SettingsFiles.h"

#include <array>

#include "shell/HostFunctions.h"
#include "shell/HostVersion.h"

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

std::unique_ptr<FCSettingsPairs> SettingsFiles::ReadSettingsFile(StreamFactory factory) {
    std::unique_ptr<FCTextFileStream> stream = factory();
    if (!stream->OpenRead()) {
        return nullptr;
    }
    std::unique_ptr<FCStrings> lines = stream->ReadLines();
    stream->Close();
    return FCSettingsPairs::ParseLines(lines.get());
}
