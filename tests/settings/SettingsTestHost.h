// The small part of the host the settings tests play: FX_GetFinalePath answers the folder a
// test chose (UTF-16 or 8-bit by the host version, as the host does), and each test gets a
// fresh folder of its own, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace settings_test {

// The line end a text-mode write produces on this platform.
#if defined(_WIN32)
inline constexpr const char* kEol = "\r\n";
#else
inline constexpr const char* kEol = "\n";
#endif

// FolderHost is what FX_GetFinalePath answers.
class FolderHost {
  public:
    // SetFolder makes every folder kind answer folder (until SetKindFolder says otherwise).
    static void SetFolder(const std::filesystem::path& folder);
    // SetKindFolder makes one kind answer its own folder.
    static void SetKindFolder(int32_t kind, const std::filesystem::path& folder);
    // SetRawUnits makes every kind answer exactly these units (no terminator is added when they
    // fill the whole buffer).
    static void SetRawUnits(const std::u16string& units);
    // SetNoFolder makes every kind answer no folder: the host fails the call (answered false)
    // or answers an empty folder (answered true).
    static void SetNoFolder(bool answered);
    static void Reset();
    // Kinds answers the folder kinds asked for so far, in order.
    static const std::vector<int32_t>& Kinds();
};

// TempFolderTest gives each test an empty folder, which FolderHost answers for every kind, and
// the host version 0x12050000.
class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path SharedFile() const { return folder_ / "veskpluginprefs.txt"; }
    std::filesystem::path PitchListFile() const { return folder_ / "vesksorvel.txt"; }

    // MakeFolder makes (and remembers for removal) another fresh folder; name may hold any
    // characters.
    std::filesystem::path MakeFolder(const std::u16string& name);

    static std::string ReadBytes(const std::filesystem::path& file);
    static void WriteBytes(const std::filesystem::path& file, const std::string& bytes);
    static std::set<std::string> Names(const std::filesystem::path& folder);

  private:
    std::filesystem::path folder_;
    std::vector<std::filesystem::path> extra_;
};

#if !defined(_WIN32)
// ExpectWithoutReadPermission makes file unreadable (write permission only; its folder open to
// all) and expects work to answer true in a child process that may not read it: an ordinary
// user's process, so a test run as root is made "nobody" there first. Then the modes are set
// back.
void ExpectWithoutReadPermission(const std::filesystem::path& file,
                                 const std::function<bool()>& work);
#endif

}  // namespace settings_test
