// HostScore: lookups over the host's document.
#include "host/HostScore.h"

#include <algorithm>

namespace host {

const HostScore::Staff* HostScore::StaffAtSlot(int slot) const {
    if (slot < 1 || slot > static_cast<int>(staves.size())) {
        return nullptr;
    }
    return &staves[static_cast<size_t>(slot - 1)];
}

const HostScore::Staff* HostScore::StaffById(int id) const {
    for (const auto& staff : staves) {
        if (staff.id == id) {
            return &staff;
        }
    }
    return nullptr;
}

int HostScore::SlotOf(int staffId) const {
    for (size_t i = 0; i < staves.size(); ++i) {
        if (staves[i].id == staffId) {
            return static_cast<int>(i + 1);
        }
    }
    return 0;
}

bool HostScore::HasMeasure(int measure) const {
    return measure >= 1 && measure <= static_cast<int>(measureKeys.size());
}

namespace {

// The staff settings change that is in force at a measure: the latest one at or before
// it (the file may list them in any order).
const HostScore::StaffSpec* SpecInForce(const std::vector<HostScore::StaffSpec>& specList,
                                        int staffId, int measure) {
    const HostScore::StaffSpec* best = nullptr;
    for (const auto& staffSpec : specList) {
        if (staffSpec.staff == staffId && staffSpec.measure <= measure &&
            (best == nullptr || staffSpec.measure >= best->measure)) {
            best = &staffSpec;
        }
    }
    return best;
}

}  // namespace

uint16_t HostScore::TranspositionAt(int staffId, int measure) const {
    if (const auto* staffSpec = SpecInForce(staffSpecs, staffId, measure)) {
        return staffSpec->transposition;
    }
    const auto* staff = StaffById(staffId);
    return staff != nullptr ? staff->transposition : 0;
}

uint16_t HostScore::FlagsAt(int staffId, int measure) const {
    if (const auto* staffSpec = SpecInForce(staffSpecs, staffId, measure)) {
        return staffSpec->flags;
    }
    const auto* staff = StaffById(staffId);
    return staff != nullptr ? staff->flags : 0;
}

const HostScore::CellKey* HostScore::FindCellKey(int staffId, int measure) const {
    for (const auto& cellKey : cellKeys) {
        if (cellKey.staff == staffId && cellKey.measure == measure) {
            return &cellKey;
        }
    }
    return nullptr;
}

uint16_t HostScore::GoverningKey(int staffId, int measure) const {
    const auto* cellKey = FindCellKey(staffId, measure);
    if (cellKey != nullptr && (FlagsAt(staffId, measure) & 0x8000) != 0) {
        return cellKey->key;
    }
    return HasMeasure(measure) ? measureKeys[static_cast<size_t>(measure - 1)] : 0;
}

bool HostScore::IsShown(int layer) const {
    return std::find(shownLayers.begin(), shownLayers.end(), layer) != shownLayers.end();
}

HostSession::NoteNumbers HostScore::NumbersOf(const Note& note, uint16_t keyWord) const {
    if (!note.spelled) {
        return note.raw;
    }
    // Spelled notes are only kept in cells whose key is linear and whose numbers fit.
    return HostPitch::ToNumbers(note.pitch, keyWord).value_or(note.raw);
}

void HostScore::StoreNumbers(Note& note, HostSession::NoteNumbers numbers, uint16_t keyWord) {
    note.raw = numbers;
    if (auto pitch = HostPitch::FromNumbers(numbers, keyWord)) {
        note.spelled = true;
        note.pitch = *pitch;
    } else {
        note.spelled = false;
    }
}

}  // namespace host
