// FCNoteEntryCell: the note entries of one measure of one staff, across the layers its layer
// mode selects. It holds the host's frames from Load until FreeFrames; every frame the host
// handed out goes back to it exactly once, whatever path the cell takes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "framework/__FCNoteEntryCollection.h"
#include "hostapi/FrameLayout.h"

class FCMusicRegion;

class FCNoteEntryCell : public __FCNoteEntryCollection {
  public:
    // A cell has room for the frames of twenty layers; layers beyond are never loaded.
    static constexpr int32_t kMaxLayers = 20;
    static constexpr uint32_t kEntryStride = frame_layout::kEntrySize;

    // Layer modes besides 1 .. 4 (one layer) and bit masks (0x100 layer 1 .. 0x800 layer 4).
    static constexpr int32_t kNoLayers = -3;
    static constexpr int32_t kHiddenLayers = -2;
    static constexpr int32_t kAllLayers = -1;
    static constexpr int32_t kShownLayers = 0;

    FCNoteEntryCell(int32_t measure, int32_t staff);
    FCNoteEntryCell(const FCNoteEntryCell&) = delete;
    FCNoteEntryCell& operator=(const FCNoteEntryCell&) = delete;
    ~FCNoteEntryCell() override;

    const char* ClassName() const override;

    // Load frees what the cell holds, loads the frames of the selected layers and builds the
    // entries, by layer and then in frame order. When one frame fails to load the cell ends
    // empty and answers false.
    bool Load();
    // Save writes back every loaded frame whose save guard is 0; true when the host took all.
    bool Save();
    // FreeFrames deletes the entries, then gives every frame back to the host.
    void FreeFrames();
    // GetEntryInRegion answers the entry at index, or null when it lies before the region's
    // start position in its first measure or after its end position in its last.
    FCNoteEntry* GetEntryInRegion(int32_t index, const FCMusicRegion* region) const;

    int32_t GetMeasure() const { return measure_; }
    int32_t GetStaff() const { return staff_; }
    int32_t GetLayerMode() const { return layerMode_; }
    void SetLayerMode(int32_t mode) { layerMode_ = mode; }
    uint8_t GetLoadOption() const { return loadOption_; }
    void SetLoadOption(uint8_t option) { loadOption_ = option; }
    // GetFrame answers the frame of a layer index, or null when that layer is not loaded.
    void* GetFrame(int32_t layerIndex) const;

    // IsLayerSelected tells whether a layer mode selects a layer index (0-based); the shown
    // and hidden modes ask the host.
    static bool IsLayerSelected(int32_t mode, int32_t layerIndex);

  private:
    struct FrameRelease {
        void operator()(void* frame) const;
    };
    using FrameHandle = std::unique_ptr<void, FrameRelease>;

    void BuildEntries(void* frame);

    std::array<FrameHandle, kMaxLayers> frames_;
    int32_t measure_;
    int32_t staff_;
    int32_t layerMode_ = kShownLayers;
    uint8_t loadOption_ = 1;
};
