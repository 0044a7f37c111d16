// HostRecords: record identities by host version, and the fields each record carries.
#include "host/HostRecords.h"

#include <algorithm>
#include <cstring>

#include "host/HostBytes.h"

namespace host {

std::optional<HostRecords::Identity> HostRecords::For(uint32_t tag, uint32_t hostVersion) {
    switch (tag) {
        case kMeasure:
            return hostVersion >= 0x12000000 ? Identity{0x12000000, 30} : Identity{0x0A000000, 26};
        case kStaff:
        case kStaffSpec:
            if (hostVersion >= 0x12000000) {
                return Identity{0x12000000, 136};
            }
            if (hostVersion >= 0x11000000) {
                return Identity{0x11000000, 132};
            }
            return Identity{0x0F000000, 114};
        case kCellDetail:
            return Identity{0x06000000, 20};
        case kGeneralPrefs:
            return Identity{0x0D000000, 66};
        case kPartScopePrefs:
            return Identity{0x12050000, 12};
        default:
            return std::nullopt;
    }
}

HostRecords::Key HostRecords::ReadKey(const void* key) {
    return {HostBytes::U16(key, 0), HostBytes::U16(key, 2), HostBytes::I32(key, 4)};
}

void HostRecords::WriteKey(void* key, const Key& value) {
    HostBytes::SetU16(key, 0, static_cast<uint16_t>(value.item1));
    HostBytes::SetU16(key, 2, static_cast<uint16_t>(value.item2));
    HostBytes::SetI32(key, 4, value.item3);
}

bool HostRecords::Load(const HostScore& score, uint32_t tag, const Key& key, void* buffer,
                       uint32_t size) {
    std::memset(buffer, 0, size);
    switch (tag) {
        case kMeasure:
            if (!score.HasMeasure(key.item1) || key.item2 != 0) {
                return false;
            }
            HostBytes::SetU16(buffer, 2, score.measureKeys[static_cast<size_t>(key.item1 - 1)]);
            return true;
        case kStaff: {
            const auto* staff = score.StaffById(key.item1);
            if (staff == nullptr || key.item2 != 0) {
                return false;
            }
            HostBytes::SetU16(buffer, 0x14, staff->transposition);
            HostBytes::SetU16(buffer, 0x16, staff->flags);
            return true;
        }
        case kStaffSpec:
            if (score.StaffById(key.item1) == nullptr || !score.HasMeasure(key.item2)) {
                return false;
            }
            HostBytes::SetU16(buffer, 0x14, score.TranspositionAt(key.item1, key.item2));
            HostBytes::SetU16(buffer, 0x16, score.FlagsAt(key.item1, key.item2));
            return true;
        case kCellDetail: {
            const auto* cellKey = score.FindCellKey(key.item1, key.item2);
            if (cellKey == nullptr) {
                return false;
            }
            HostBytes::SetU16(buffer, 0, cellKey->key);
            HostBytes::SetU32(buffer, 8, 0x800);
            return true;
        }
        case kGeneralPrefs:
            if (key.item1 != 1) {
                return false;
            }
            HostBytes::SetI16(buffer, 0x28, score.octaveShift);
            return true;
        case kPartScopePrefs:
            if (key.item1 != 0xFFFE) {
                return false;
            }
            HostBytes::SetU16(buffer, 0, score.concertPitch ? 0 : 1);
            return true;
        default:
            return false;
    }
}

bool HostRecords::Save(HostScore& score, uint32_t tag, const Key& key, const void* buffer) {
    switch (tag) {
        case kMeasure:
            if (!score.HasMeasure(key.item1) || key.item2 != 0) {
                return false;
            }
            score.measureKeys[static_cast<size_t>(key.item1 - 1)] = HostBytes::U16(buffer, 2);
            return true;
        case kStaff:
            for (auto& staff : score.staves) {
                if (staff.id == key.item1 && key.item2 == 0) {
                    staff.transposition = HostBytes::U16(buffer, 0x14);
                    staff.flags = HostBytes::U16(buffer, 0x16);
                    return true;
                }
            }
            return false;
        case kCellDetail:
            for (auto it = score.cellKeys.begin(); it != score.cellKeys.end(); ++it) {
                if (it->staff == key.item1 && it->measure == key.item2) {
                    if ((HostBytes::U32(buffer, 8) & 0x800) != 0) {
                        it->key = HostBytes::U16(buffer, 0);
                    } else {
                        score.cellKeys.erase(it);
                    }
                    return true;
                }
            }
            return false;
        case kGeneralPrefs:
            if (key.item1 != 1) {
                return false;
            }
            score.octaveShift = HostBytes::I16(buffer, 0x28);
            return true;
        case kPartScopePrefs:
            if (key.item1 != 0xFFFE) {
                return false;
            }
            score.concertPitch = HostBytes::U16(buffer, 0) == 0;
            return true;
        default:
            // The current staff settings are what is in force at a place; it is not stored as such.
            return false;
    }
}

bool HostRecords::Next(const HostScore& score, uint32_t tag, Key& key) {
    if (tag == kStaff || tag == kStaffSpec) {
        int next = 0;
        for (const auto& staff : score.staves) {
            if (staff.id > key.item1 && (next == 0 || staff.id < next)) {
                next = staff.id;
            }
        }
        if (next == 0) {
            return false;
        }
        key.item1 = next;
        return true;
    }
    if (tag == kMeasure) {
        if (!score.HasMeasure(key.item1 + 1)) {
            return false;
        }
        key.item1 += 1;
        return true;
    }
    return false;
}

}  // namespace host
