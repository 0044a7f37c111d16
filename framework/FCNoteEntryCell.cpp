// FCNoteEntryCell: layer selection, frame loading and saving, and the entries of the frames.
#include "framework/FCNoteEntryCell.h"

#include <algorithm>

#include "framework/FCMusicRegion.h"
#include "hostapi/FrameLayout.h"
#include "hostapi/HostFunctions.h"
#include "hostapi/LittleEndian.h"

void FCNoteEntryCell::FrameRelease::operator()(void* frame) const {
    fx::FreeTGF(frame);
}

FCNoteEntryCell::FCNoteEntryCell(int32_t measure, int32_t staff)
    : measure_(measure), staff_(staff) {}

FCNoteEntryCell::~FCNoteEntryCell() {
    FreeFrames();
}

const char* FCNoteEntryCell::ClassName() const {
    return "FCNoteEntryCell";
}

bool FCNoteEntryCell::IsLayerSelected(int32_t mode, int32_t layerIndex) {
    switch (mode) {
        case kNoLayers:
            return false;
        case kHiddenLayers:
            return fx::GetShowLayer(layerIndex) == 0;
        case kAllLayers:
            return true;
        case kShownLayers:
            return fx::GetShowLayer(layerIndex) != 0;
        case 1:
        case 2:
        case 3:
        case 4:
            return layerIndex == mode - 1;
        default:
            // Bits 8 to 11 select layers 1 to 4.
            return layerIndex >= 0 && layerIndex < 4 &&
                   ((static_cast<uint32_t>(mode) >> (8 + layerIndex)) & 1U) != 0;
    }
}

void* FCNoteEntryCell::GetFrame(int32_t layerIndex) const {
    if (layerIndex < 0 || layerIndex >= kMaxLayers) {
        return nullptr;
    }
    return frames_[layerIndex].get();
}

bool FCNoteEntryCell::Load() {
    FreeFrames();
    const int32_t layers = std::min(fx::GetMaxLayers(), kMaxLayers);
    for (int32_t layer = 0; layer < layers; ++layer) {
        if (!IsLayerSelected(layerMode_, layer)) {
            continue;
        }
        const int32_t slot = fx::InstToSlot(staff_);
        frames_[layer].reset(fx::LoadTGF(slot, measure_, layer, loadOption_));
        if (!frames_[layer]) {
            FreeFrames();
            return false;
        }
    }
    for (const FrameHandle& frame : frames_) {
        if (frame) {
            BuildEntries(frame.get());
        }
    }
    return true;
}

void FCNoteEntryCell::BuildEntries(void* frame) {
    uint8_t* entries = le::Pointer32(frame, frame_layout::kEntryArray);
    const int32_t count = le::I16(frame, frame_layout::kEntryCount);
    if (entries == nullptr || count <= 0) {
        return;
    }
    const auto measure = le::U16(frame, frame_layout::kMeasure);
    for (int32_t i = 0; i < count; ++i) {
        // Every entry asks the host for its staff: the host answers for the slot as it stands
        // while the entry is made.
        const auto staff = static_cast<int16_t>(fx::SlotToInst(
            le::U16(frame, frame_layout::kSlot), le::U16(frame, frame_layout::kSlotQualifier)));
        AddItem(new FCNoteEntry(entries + static_cast<size_t>(kEntryStride) * i, frame, measure,
                                staff));
    }
}

bool FCNoteEntryCell::Save() {
    bool all = true;
    for (const FrameHandle& frame : frames_) {
        // A frame is written back only while its save guard is 0.
        if (frame && le::U16(frame.get(), frame_layout::kSaveGuard) == 0) {
            all = (fx::SaveTGF(frame.get()) != 0) && all;
        }
    }
    return all;
}

void FCNoteEntryCell::FreeFrames() {
    // Entries point into the frames: they go first.
    ClearAll();
    for (FrameHandle& frame : frames_) {
        frame.reset();
    }
}

FCNoteEntry* FCNoteEntryCell::GetEntryInRegion(int32_t index, const FCMusicRegion* region) const {
    FCNoteEntry* entry = GetEntryAt(index);
    if (entry == nullptr || region == nullptr) {
        return entry;
    }
    if (measure_ == region->GetStartMeasure() &&
        entry->GetPosition() < region->GetStartPosition()) {
        return nullptr;
    }
    if (measure_ == region->GetEndMeasure() && entry->GetPosition() > region->GetEndPosition()) {
        return nullptr;
    }
    return entry;
}
