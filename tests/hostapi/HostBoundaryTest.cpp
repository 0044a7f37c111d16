// The host boundary natively: what Call answers and runs when the work throws, and a fault-
// injection sweep of its own over the pitch run and the two settings files against the stand-in
// host. This program replaces operator new: while a sweep arms it, the chosen allocation of the
// plug-in's code fails (the host's own allocations are never failed). Whichever one fails, the
// failure stops at the boundary, the edit is cancelled, every frame goes back, the score and the
// files are either as they were or wholly new, and (under LeakSanitizer) nothing leaks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>

#include "framework/FCString.h"
#include "host/HostCalls.h"
#include "host/HostSession.h"
#include "host/HostSessionState.h"
#include "hostapi/HostBoundary.h"
#include "hostapi/HostFunctions.h"
#include "hostapi/HostVersion.h"
#include "pitch/FCPitchChangeList.h"
#include "pitch/FCPitchChangerBlockHandler.h"
#include "pitch/FCUndoBlock.h"
#include "settings/StoredOptions.h"
#include "settings/StoredPitchSets.h"
#include "state/PluginState.h"

namespace {

bool g_armed = false;
int64_t g_allocations = 0;
int64_t g_failing = 0;

// Arm makes the n-th allocation of the plug-in's code from now fail; Disarm answers how many
// were made since Arm.
void Arm(int64_t n) {
    g_allocations = 0;
    g_failing = n;
    g_armed = true;
}

int64_t Disarm() {
    g_armed = false;
    return g_allocations;
}

// Allocations made inside one of the host's functions are the host's.
bool InHost() {
    return host::HostCalls::Depth() > 0;
}

void* Allocate(std::size_t size) {
    if (g_armed && !InHost() && ++g_allocations == g_failing) {
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t /*size*/) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t /*size*/) noexcept {
    std::free(block);
}

namespace {

TEST(HostBoundaryTest, AnswersTheWorkOrNothingHappened) {
    const int64_t before = HostBoundary::Failures();
    int failed = 0;
    EXPECT_EQ(HostBoundary::Call(
                  0, [] { return 7; }, [&] { ++failed; }),
              7);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(HostBoundary::Failures(), before);

    struct Case {
        const char* what;
        void (*throws)();
    } cases[] = {
        {"bad_alloc", [] { throw std::bad_alloc(); }},
        {"length_error", [] { throw std::length_error("too long"); }},
        {"not an exception class", [] { throw 42; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        failed = 0;
        const int64_t counted = HostBoundary::Failures();
        EXPECT_EQ(HostBoundary::Call(
                      intptr_t{0},
                      [&]() -> intptr_t {
                          c.throws();
                          return 1;
                      },
                      [&] { ++failed; }),
                  0);
        EXPECT_EQ(failed, 1) << "the failure is reported once";
        EXPECT_EQ(HostBoundary::Failures(), counted + 1);
    }
    // Reporting the failure may fail too: that stays inside as well.
    EXPECT_FALSE(HostBoundary::Call(
        false, []() -> bool { throw std::bad_alloc(); }, [] { throw std::bad_alloc(); }));
}

constexpr const char* kScore = R"({
  "staves": [ {"id": 1, "name": "Flute"}, {"id": 2, "name": "Clarinet in Bb", "transposition": 66} ],
  "measures": [ {"key": 0}, {"key": 1}, {"key": 254} ],
  "layers": {"count": 4, "shown": [1, 2]},
  "entries": [
    {"staff": 1, "measure": 1, "layer": 1, "pos": 0,    "notes": ["A#4", "C5"]},
    {"staff": 1, "measure": 1, "layer": 1, "pos": 1024, "notes": ["C4", "E4", "A#3"]},
    {"staff": 1, "measure": 1, "layer": 2, "pos": 0,    "notes": ["C3"]},
    {"staff": 1, "measure": 2, "layer": 1, "pos": 0,    "rest": true},
    {"staff": 1, "measure": 2, "layer": 1, "pos": 512,  "notes": ["F#4"]},
    {"staff": 1, "measure": 3, "layer": 1, "pos": 0,    "notes": ["Bb4", "C6"]},
    {"staff": 2, "measure": 1, "layer": 1, "pos": 0,    "notes": ["A#3"]},
    {"staff": 2, "measure": 2, "layer": 1, "pos": 0,    "notes": ["C5", "C4"]},
    {"staff": 2, "measure": 3, "layer": 2, "pos": 256,  "notes": ["A#5"]}
  ]
})";

class BoundarySweepTest : public testing::Test {
  protected:
    void SetUp() override {
        Host().Reset();
        HostVersion::Set(0x12050000);
        std::string error;
        ASSERT_TRUE(Host().LoadScoreJson(kScore, error)) << error;
        Host().Select(1, 2, 1, 3);
        original_ = Host().ScoreJson();
        folder_ =
            std::filesystem::temp_directory_path() /
            ("vs-boundary-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        Host().SetSettingsFolder(folder_.string());
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        PluginState::Instance().SetDefaults();
    }
    static host::HostSession& Host() { return host::HostSession::Instance(); }

    static std::string Read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void Write(const std::filesystem::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    }

    // Sweep runs work with each allocation failing in turn, the first run without a failure;
    // before each run, reset puts the world back. check sees each run's outcome: whether the
    // allocation failed and what the boundary answered.
    template <typename Reset, typename Work, typename Check>
    int64_t Sweep(Reset reset, Work work, Check check) {
        int64_t total = 0;
        for (int64_t n = 0; n == 0 || n <= total + 1; ++n) {
            reset();
            const int64_t objects = __FCBase::LiveObjectCount();
            const int64_t failuresBefore = HostBoundary::Failures();
            Arm(n);
            const bool answer = HostBoundary::Call(false, work);
            const int64_t made = Disarm();
            if (n == 0) {
                total = made;
            }
            SCOPED_TRACE("allocation " + std::to_string(n) + " of " + std::to_string(made));
            const bool failed = n > 0 && n <= made;
            EXPECT_EQ(HostBoundary::Failures() - failuresBefore, failed ? 1 : 0);
            EXPECT_EQ(__FCBase::LiveObjectCount(), objects) << "objects left behind";
            check(failed, answer);
            if (HasFailure()) {
                break;
            }
        }
        return total;
    }

    std::string original_;
    std::filesystem::path folder_;
};

TEST_F(BoundarySweepTest, PitchRunIsWhollyDoneOrUndone) {
    FCPitchChangeNodes nodes;
    const struct {
        const char* from;
        const char* to;
        int32_t direction;
    } rows[] = {{"A#", "Bb", 2}, {"C", "D", 0}, {"F#", "Gb", 1}, {"Bb", "A#", 2}};
    for (const auto& row : rows) {
        const FCString from(row.from);
        const FCString to(row.to);
        nodes.AddItem(new FCPitchChangeNode(&from, &to, row.direction));
    }
    std::string changed;
    const int64_t total = Sweep(
        [&] {
            std::string error;
            ASSERT_TRUE(Host().LoadScoreJson(original_, error)) << error;
        },
        [&] {
            FCPitchChangerBlockHandler handler(&nodes, true, false, nullptr);
            FCUndoBlock block;
            const FCString title("Sorvel");
            return block.Execute(&handler, &title);
        },
        [&](bool failed, bool answer) {
            EXPECT_EQ(Host().OutstandingFrames(), 0);
            EXPECT_FALSE(Host().EditOpen());
            EXPECT_EQ(fx::EditNesting(), 0);
            for (const auto& error : Host().ProtocolErrors()) {
                ADD_FAILURE() << "protocol error: " << error;
            }
            if (changed.empty()) {
                changed = Host().ScoreJson();
                ASSERT_NE(changed, original_) << "the run must change the score";
            }
            EXPECT_EQ(answer, !failed);
            EXPECT_EQ(Host().ScoreJson(), failed ? original_ : changed);
        });
    // A spelling allocates nothing; the frames, entries and notes of each cell still do.
    EXPECT_GT(total, 30) << "the sweep covers a real run";
}

TEST_F(BoundarySweepTest, SettingsFilesAreOldOrWhollyNew) {
    const std::string otherPairs = "OTHERPLUGIN_KEY=1\nVESKSORVEL_LIST_FROM_1=E\n";
    const std::string oldSets =
        "VESKSORVEL_LIST_NAME_1=Old\nVESKSORVEL_LIST_FROM_1_1=C\n"
        "VESKSORVEL_LIST_TO_1_1=D\nVESKSORVEL_LIST_UPDIRECTION_1_1=0\n"
        "VESKSORVEL_LIST_INUSE_1_1=1\n";
    PluginState& state = PluginState::Instance();
    for (const char* name : {"Winds", "Brass", "Strings"}) {
        auto set = std::make_unique<FCPitchChangeList>();
        const FCString text(name);
        set->SetName(&text);
        for (const char* from : {"A#", "C#", "D#", "F#", "G#"}) {
            const FCString f(from);
            const FCString t("Bb");
            set->AddItem(new FCPitchChangeNode(&f, &t, 2));
        }
        state.pitchSets.AddItem(set.release());
    }
    for (const char* from : {"E", "F", "G"}) {
        const FCString f(from);
        const FCString t("A");
        state.workingList.AddItem(new FCPitchChangeNode(&f, &t, 1));
    }
    const auto prefs = folder_ / "veskpluginprefs.txt";
    const auto sets = folder_ / "vesksorvel.txt";
    std::string newPrefs;
    std::string newSets;
    const WindowGeometry geometry;
    Sweep(
        [&] {
            Write(prefs, otherPairs);
            Write(sets, oldSets);
        },
        [&] { return StoredPitchSets::SavePitchSets() && StoredOptions::SaveOptions(geometry); },
        [&](bool failed, bool answer) {
            if (newPrefs.empty()) {
                newPrefs = Read(prefs);
                newSets = Read(sets);
            }
            EXPECT_EQ(answer, !failed);
            EXPECT_TRUE(Read(sets) == oldSets || Read(sets) == newSets) << Read(sets);
            EXPECT_TRUE(Read(prefs) == otherPairs || Read(prefs) == newPrefs) << Read(prefs);
            EXPECT_FALSE(std::filesystem::exists(sets.string() + ".tmp"));
            EXPECT_FALSE(std::filesystem::exists(prefs.string() + ".tmp"));
        });
    EXPECT_NE(newSets.find("VESKSORVEL_LIST_NAME_3=Strings"), std::string::npos);
    EXPECT_NE(newPrefs.find("VESKSORVEL_LIST_FROM_3=G"), std::string::npos);
}

}  // namespace
