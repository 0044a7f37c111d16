// SettingsFiles: the two settings files and how a reader gets their pairs: the shared settings
// file "veskpluginprefs.txt" (read and written by a whole family of plug-ins) and the
// pitch-list file "vesksorvel.txt" (this plug-in's own), both in folders the host names.
#pragma once

#include <memory>

#include "settings/FCSettingsPairs.h"
#include "settings/FCTextFileStream.h"

class SettingsFiles {
  public:
    static constexpr const char* kSharedFileName = "veskpluginprefs.txt";
    static constexpr const char* kPitchListFileName = "vesksorvel.txt";
    // Host folder kinds: the shared file lies in kind 15, or 7 for hosts before 0x10000000.
    static constexpr int32_t kSettingsFolderKind = 15;
    static constexpr int32_t kOldSettingsFolderKind = 7;

    using StreamFactory = std::unique_ptr<FCTextFileStream> (*)();

    // What became of reading a file: its pairs were read, there is no such file (or no
    // folder), or a file is there that could not be read (permissions, a lock, a read error,
    // a folder in its place). A file that could not be read must never be replaced: it may hold
    // what its reader never saw.
    enum class ReadResult { kRead, kAbsent, kUnreadable };

    // The factories make an unopened stream; the caller opens it.
    static std::unique_ptr<FCTextFileStream> NewSharedSettingsStream();
    static std::unique_ptr<FCTextFileStream> NewPitchListStream();

    // ReadSettingsFile answers the pairs of the factory's file, or null when it is absent or
    // could not be read whole; result, when given, tells which.
    static std::unique_ptr<FCSettingsPairs> ReadSettingsFile(StreamFactory factory,
                                                             ReadResult* result = nullptr);
};
