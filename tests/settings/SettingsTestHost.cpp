// The settings tests' stand-in for FX_GetFinalePath, and their temporary folders.
#include "tests/settings/SettingsTestHost.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

#include "hostapi/CallingConvention.h"
#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"

namespace settings_test {
namespace {

struct HostFolders {
    std::filesystem::path all;
    std::map<int32_t, std::filesystem::path> byKind;
    bool raw = false;
    std::u16string rawUnits;
    bool none = false;
    bool noneAnswered = false;
    std::vector<int32_t> kinds;
};

HostFolders& Folders() {
    static HostFolders folders;
    return folders;
}

}  // namespace

void FolderHost::SetFolder(const std::filesystem::path& folder) {
    Folders().all = folder;
    Folders().byKind.clear();
    Folders().raw = false;
}

void FolderHost::SetKindFolder(int32_t kind, const std::filesystem::path& folder) {
    Folders().byKind[kind] = folder;
}

void FolderHost::SetRawUnits(const std::u16string& units) {
    Folders().raw = true;
    Folders().rawUnits = units;
}

void FolderHost::SetNoFolder(bool answered) {
    Folders().none = true;
    Folders().noneAnswered = answered;
}

void FolderHost::Reset() {
    Folders() = HostFolders();
}

const std::vector<int32_t>& FolderHost::Kinds() {
    return Folders().kinds;
}

void TempFolderTest::SetUp() {
    HostVersion::Set(HostVersion::kBuild);
    FolderHost::Reset();
    folder_ = MakeFolder(u"plain");
    FolderHost::SetFolder(folder_);
}

void TempFolderTest::TearDown() {
    std::error_code ignored;
    for (const auto& folder : extra_) {
        std::filesystem::remove_all(folder, ignored);
    }
    FolderHost::Reset();
    HostVersion::Set(HostVersion::kBuild);
}

std::filesystem::path TempFolderTest::MakeFolder(const std::u16string& name) {
    static std::mt19937_64 random{std::random_device{}()};
    std::u16string unique = u"vs-settings-";
    for (const char c : std::to_string(random())) {
        unique += static_cast<char16_t>(c);
    }
    unique += u"-" + name;
    auto folder = std::filesystem::temp_directory_path() / std::filesystem::path(unique);
    std::filesystem::create_directories(folder);
    extra_.push_back(folder);
    return folder;
}

std::string TempFolderTest::ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void TempFolderTest::WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::set<std::string> TempFolderTest::Names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

#if !defined(_WIN32)
void ExpectWithoutReadPermission(const std::filesystem::path& file,
                                 const std::function<bool()>& work) {
    constexpr uid_t kNobody = 65534;
    // Writable but not readable, so that only the unread content (not a read-only file) keeps
    // the file from being replaced.
    ASSERT_EQ(chmod(file.c_str(), 0222), 0);
    ASSERT_EQ(chmod(file.parent_path().c_str(), 0777), 0);
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
                std::_Exit(3);
            }
            std::_Exit(work() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    chmod(file.c_str(), 0644);
    chmod(file.parent_path().c_str(), 0755);
}
#endif

}  // namespace settings_test

// The host function itself, found by the plug-in's lookup in this program's exports.
VS_EXPORT int32_t VS_CALL FX_GetFinalePath(int32_t kind, void* buffer520, uint32_t /*version*/) {
    using settings_test::Folders;
    Folders().kinds.push_back(kind);
    constexpr size_t kBytes = 520;
    if (Folders().none) {
        return Folders().noneAnswered ? 1 : 0;
    }
    if (Folders().raw) {
        // Exactly the units given, up to the buffer's end: no terminator when they fill it.
        const std::u16string& units = Folders().rawUnits;
        for (size_t i = 0; i < units.size(); ++i) {
            if (HostVersion::UsesUTF16() && 2 * i + 1 < kBytes) {
                le::SetU16(buffer520, 2 * i, units[i]);
            } else if (!HostVersion::UsesUTF16() && i < kBytes) {
                static_cast<uint8_t*>(buffer520)[i] = static_cast<uint8_t>(units[i]);
            }
        }
        return 1;
    }
    const auto found = Folders().byKind.find(kind);
    const std::filesystem::path& folder =
        found != Folders().byKind.end() ? found->second : Folders().all;
    if (HostVersion::UsesUTF16()) {
        const std::u16string units = folder.u16string();
        for (size_t i = 0; i < units.size() && 2 * i + 2 < kBytes; ++i) {
            le::SetU16(buffer520, 2 * i, units[i]);
        }
    } else {
        const std::string bytes = folder.string();
        for (size_t i = 0; i < bytes.size() && i + 1 < kBytes; ++i) {
            static_cast<uint8_t*>(buffer520)[i] = static_cast<uint8_t>(bytes[i]);
        }
    }
    return 1;
}
