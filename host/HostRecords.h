// HostRecords: the data records the host serves (measure, staff, current staff settings,
// independent cell detail, general and part-scope preferences): their tag, size and version
// for a host version, and their bytes made from and stored into the score.
#pragma once

#include <cstdint>
#include <optional>

#include "host/HostScore.h"

namespace host {

class HostRecords {
  public:
    static constexpr uint32_t kMeasure = 0x534F4D53;         // SOMS
    static constexpr uint32_t kStaff = 0x534F4953;           // SOIS
    static constexpr uint32_t kStaffSpec = 0x534F5343;       // SOSC
    static constexpr uint32_t kCellDetail = 0x4402464C;      // D 0x02 F L
    static constexpr uint32_t kGeneralPrefs = 0x70666770;    // pfgp
    static constexpr uint32_t kPartScopePrefs = 0x6F745047;  // otPG

    struct Identity {
        uint32_t version = 0;
        uint32_t size = 0;
    };
    // The record version and size a host of that version uses for a tag; nullopt for a tag the
    // host does not know.
    static std::optional<Identity> For(uint32_t tag, uint32_t hostVersion);

    // The record's key: two 16-bit item numbers and a 32-bit one.
    struct Key {
        int item1 = 0;
        int item2 = 0;
        int32_t item3 = 0;
    };
    static Key ReadKey(const void* key);
    static void WriteKey(void* key, const Key& value);

    // Fills buffer (size bytes, zeroed first) with the record; false when there is none.
    static bool Load(const HostScore& score, uint32_t tag, const Key& key, void* buffer,
                     uint32_t size);
    // Stores the fields the host keeps; false when there is no such record.
    static bool Save(HostScore& score, uint32_t tag, const Key& key, const void* buffer);
    // The key of the record after key (staves by staff number, measures by number); false at
    // the end or for tags that cannot be walked.
    static bool Next(const HostScore& score, uint32_t tag, Key& key);
};

}  // namespace host
