// FakeHost: a scripted host for the record and frame tests. The test program defines the FX_
// functions it needs itself (no stand-in host linked), so every argument the plug-in passes can
// be checked and every answer, failures included, can be chosen.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace fake {

struct RecordCall {
    std::string function;
    uint32_t tag = 0;
    uint16_t item1 = 0;
    uint16_t item2 = 0;
    uint32_t item3 = 0;
    uint32_t size = 0;
    uint32_t version = 0;
};

struct Note {
    int16_t displacement = 0;
    int16_t raiseLower = 0;
};

struct Entry {
    int32_t position = 0;
    bool isNote = true;
    std::vector<Note> notes;
    // The note count written into the record; by default the number of notes.
    std::optional<int16_t> declaredCount;
};

struct Frame {
    std::vector<Entry> entries;
    uint16_t saveGuard = 0;
};

// FrameCall: one frame request, save or release, by slot, measure and layer index.
struct FrameCall {
    int32_t slot = 0;
    int32_t measure = 0;
    int32_t layer = 0;
    bool operator==(const FrameCall&) const = default;
};

using RecordKey = std::tuple<uint32_t, uint16_t, uint16_t, uint32_t>;
using CellKey = std::tuple<int32_t, int32_t, int32_t>;  // slot, measure, layer index

class Host {
  public:
    static Host& Get();
    void Reset();

    // Staff numbers are ten times their slot, so that the two are never confused.
    static int32_t StaffOfSlot(int32_t slot) { return slot * 10; }

    // Records, by tag and key.
    std::map<RecordKey, std::vector<uint8_t>> records;
    std::vector<RecordCall> recordCalls;
    void PutRecord(uint32_t tag, uint16_t item1, uint16_t item2, uint32_t item3,
                   std::vector<uint8_t> bytes);

    // Frames.
    int32_t maxLayers = 4;
    uint32_t shownLayers = 0x1;  // bit L: layer index L is shown (layer 1 only by default)
    int32_t slotCount = 4;
    int32_t saveAnswer = 1;
    std::map<CellKey, Frame> frames;
    std::set<CellKey> failingLoads;
    std::vector<FrameCall> loads;
    std::vector<uint32_t> loadOptions;
    std::vector<uint32_t> frameVersions;
    std::vector<FrameCall> saves;
    std::vector<FrameCall> frees;
    int badFrees = 0;
    std::vector<uint16_t> qualifiersSeen;
    int OutstandingFrames() const { return static_cast<int>(live.size()); }

    // Selection.
    std::optional<std::vector<uint8_t>> selection;
    int32_t document = 7;

    // The frames handed out and not yet freed.
    std::map<void*, FrameCall> live;
};

// LowAllocate answers zero-filled memory whose address fits 32 bits (never released).
void* LowAllocate(size_t size);

}  // namespace fake
