// HostScore: the document the stand-in host keeps: staves in slot order, measures with their
// key words, independent cell keys, staff settings changes, layers, preferences, the note
// entries of every cell and layer, the locked frames and the selection. Plain data with the
// lookups the host needs; copying it is how an edit takes its snapshot.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "host/HostPitch.h"
#include "host/HostSession.h"

namespace host {

class HostScore {
  public:
    struct Staff {
        int id = 0;
        std::string name;
        uint16_t transposition = 0;
        uint16_t flags = 0;
    };
    struct StaffSpec {
        int staff = 0;
        int measure = 0;
        uint16_t transposition = 0;
        uint16_t flags = 0;
    };
    struct CellKey {
        int staff = 0;
        int measure = 0;
        uint16_t key = 0;
    };
    // A note keeps its spelling while its cell's key is linear; otherwise its raw numbers.
    struct Note {
        bool spelled = true;
        HostPitch::Spelled pitch;
        HostSession::NoteNumbers raw;
        int16_t number = 0;
        uint32_t flags = 0;
    };
    struct Entry {
        int32_t pos = 0;
        bool rest = false;
        uint32_t flags = 0;    // entry record offset 8, besides the note-entry bit
        uint16_t flags16 = 0;  // entry record offset 0x0C
        std::vector<Note> notes;
    };
    // (staff number, measure, layer 1..4)
    using CellAddress = std::tuple<int, int, int>;

    std::vector<Staff> staves;
    std::vector<uint16_t> measureKeys;  // measure m at index m - 1
    std::vector<CellKey> cellKeys;
    std::vector<StaffSpec> staffSpecs;
    int layerCount = 4;
    std::vector<int> shownLayers = {1, 2, 3, 4};
    int16_t octaveShift = 0;
    bool concertPitch = false;
    std::map<CellAddress, std::vector<Entry>> entries;
    std::set<CellAddress> lockedFrames;
    std::optional<HostSession::Region> selection;

    static constexpr int kMaxNotes = 12;

    // The staff at a slot (1-based), or null.
    const Staff* StaffAtSlot(int slot) const;
    const Staff* StaffById(int id) const;
    // The slot of a staff number, 0 when there is none.
    int SlotOf(int staffId) const;
    bool HasMeasure(int measure) const;
    // Transposition and flag words in force for a staff at a measure (its current staff settings).
    uint16_t TranspositionAt(int staffId, int measure) const;
    uint16_t FlagsAt(int staffId, int measure) const;
    // The key word governing a cell: the cell's own key when it has one and the staff's
    // independent-key bit is set at that measure, otherwise the measure's key.
    uint16_t GoverningKey(int staffId, int measure) const;
    const CellKey* FindCellKey(int staffId, int measure) const;
    bool IsShown(int layer) const;

    // A note's numbers in the key governing its cell.
    HostSession::NoteNumbers NumbersOf(const Note& note, uint16_t keyWord) const;
    // Stores numbers into a note, spelled when the key allows.
    static void StoreNumbers(Note& note, HostSession::NoteNumbers numbers, uint16_t keyWord);
};

}  // namespace host
