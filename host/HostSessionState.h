// HostSession::State: what the session holds, shared by the host's source files (the session
// itself, the FX_ functions and the Win32 parts).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/HostScore.h"
#include "host/HostSession.h"
#include "host/LowMemory.h"

namespace host {

struct HostSession::State {
    // A frame handed out by FX_LoadTGF, and what it looked like then.
    struct Frame {
        unsigned char* block = nullptr;
        int staff = 0;
        int slot = 0;
        int measure = 0;
        int layer = 0;  // 1-based
        int entryCount = 0;
        uint32_t entryArray = 0;
        uint16_t guard = 0;
        bool freed = false;
        bool leakReported = false;
    };

    // An undo step: the score before a kept edit, and the edit's title.
    struct UndoStep {
        std::string title;
        HostScore before;
    };

    HostScore score;
    uint32_t hostVersion = kDefaultHostVersion;
    std::string settingsFolder;

    std::vector<std::string> protocolErrors;
    std::vector<std::string> transcript;
    std::function<void(const std::string&)> sink;

    Counters counters;
    // Call statistics: every call counted; with timing on, the outermost calls timed in
    // CallClock ticks.
    int64_t calls = 0;
    bool callTiming = false;
    int64_t timedCalls = 0;
    uint64_t callTicks = 0;
    std::vector<Region> respaceRegions;
    std::vector<Region> redrawRegions;
    std::vector<int32_t> menuCommands;
    std::vector<std::string> editTitles;

    bool editOpen = false;
    std::string editTitle;
    HostScore editSnapshot;
    std::vector<UndoStep> undoSteps;

    LowMemory memory;
    // By frame address: the frames out and the freed ones in quarantine (oldest first).
    std::map<uintptr_t, Frame> frames;
    std::deque<uintptr_t> quarantine;

    // Host-side hooks filled by the Win32 parts (none natively).
    std::function<void()> onReset;
};

}  // namespace host
