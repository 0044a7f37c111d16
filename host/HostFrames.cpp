// HostFrames: building frames from the score, checking and storing them back, freeing them.
#include "host/HostFrames.h"

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "host/HostBytes.h"

namespace host {
namespace {

// What a freed frame's block is filled with.
constexpr unsigned char kFreedByte = 0xDD;

std::string Describe(const HostSession::State::Frame& frame) {
    return "frame of staff " + std::to_string(frame.staff) + " measure " +
           std::to_string(frame.measure) + " layer " + std::to_string(frame.layer);
}

unsigned char* NoteAt(unsigned char* entry, int index) {
    return entry + HostFrames::kNotes + HostFrames::kNoteSize * static_cast<size_t>(index);
}

size_t BlockSize(int entryCount) {
    return HostFrames::kHeaderSize +
           HostFrames::kEntrySize * static_cast<size_t>(entryCount > 0 ? entryCount : 1);
}

bool AllZero(const unsigned char* bytes, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

void* HostFrames::Load(HostSession::State& state, int slot, int measure, int layerIndex) {
    const auto& score = state.score;
    const auto* staff = score.StaffAtSlot(slot);
    if (staff == nullptr || !score.HasMeasure(measure) || layerIndex < 0 ||
        layerIndex >= score.layerCount) {
        return nullptr;
    }
    const int layer = layerIndex + 1;
    static const std::vector<HostScore::Entry> kNone;
    const auto cell = score.entries.find({staff->id, measure, layer});
    const auto& entries = cell == score.entries.end() ? kNone : cell->second;
    auto* block = static_cast<unsigned char*>(
        state.memory.Allocate(BlockSize(static_cast<int>(entries.size()))));
    if (block == nullptr) {
        return nullptr;
    }
    const uint16_t keyWord = score.GoverningKey(staff->id, measure);
    unsigned char* array = block + kHeaderSize;
    const bool locked = score.lockedFrames.contains({staff->id, measure, layer});
    HostBytes::SetU16(block, kQualifier, 0);
    HostBytes::SetU16(block, kSlot, static_cast<uint16_t>(slot));
    HostBytes::SetU16(block, kStaff, static_cast<uint16_t>(staff->id));
    HostBytes::SetU16(block, kMeasure, static_cast<uint16_t>(measure));
    HostBytes::SetU16(block, kLayer, static_cast<uint16_t>(layerIndex));
    HostBytes::SetU16(block, kGuard, locked ? 1 : 0);
    HostBytes::SetU32(block, kEntryArray,
                      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(array)));
    HostBytes::SetI16(block, kEntryCount, static_cast<int16_t>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto& entry = entries[i];
        unsigned char* record = array + kEntrySize * i;
        HostBytes::SetU32(record, kEntryFlags, entry.flags | (entry.rest ? 0 : kNoteEntryBit));
        HostBytes::SetU16(record, kEntryFlags16, entry.flags16);
        // A rest goes out without a note record; the plug-in adds the placeholder.
        HostBytes::SetI16(record, kNoteCount, static_cast<int16_t>(entry.notes.size()));
        for (size_t j = 0; j < entry.notes.size(); ++j) {
            const auto& note = entry.notes[j];
            unsigned char* n = NoteAt(record, static_cast<int>(j));
            const auto numbers = score.NumbersOf(note, keyWord);
            HostBytes::SetI16(n, 0, numbers.displacement);
            HostBytes::SetI16(n, 2, numbers.raiseLower);
            HostBytes::SetI16(n, 4, note.number);
            HostBytes::SetU32(n, 6, note.flags);
        }
        HostBytes::SetI32(record, kPosition, entry.pos);
    }
    HostSession::State::Frame frame;
    frame.block = block;
    frame.staff = staff->id;
    frame.slot = slot;
    frame.measure = measure;
    frame.layer = layer;
    frame.entryCount = static_cast<int>(entries.size());
    frame.entryArray = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(array));
    frame.guard = locked ? 1 : 0;
    state.frames[reinterpret_cast<uintptr_t>(block)] = frame;
    return block;
}

int32_t HostFrames::Save(HostSession::State& state, void* handle) {
    auto& session = HostSession::Instance();
    const auto it = state.frames.find(reinterpret_cast<uintptr_t>(handle));
    if (it == state.frames.end()) {
        session.ReportProtocolError("FX_SaveTGF on an address that is no frame");
        return 0;
    }
    const auto& frame = it->second;
    if (frame.freed) {
        session.ReportProtocolError("FX_SaveTGF on a " + Describe(frame) +
                                    " that was already freed");
        return 0;
    }
    unsigned char* block = frame.block;
    if (frame.guard != 0) {
        session.ReportProtocolError("FX_SaveTGF on a " + Describe(frame) +
                                    " whose save guard is set");
        return 0;
    }
    std::vector<std::string> faults;
    if (HostBytes::U16(block, kSlot) != frame.slot ||
        HostBytes::U16(block, kMeasure) != frame.measure ||
        HostBytes::U16(block, kGuard) != frame.guard ||
        HostBytes::U32(block, kEntryArray) != frame.entryArray ||
        HostBytes::I16(block, kEntryCount) != frame.entryCount) {
        faults.emplace_back(
            "its header (slot, measure, save guard, entry array or count) was "
            "changed");
    }
    const auto& score = state.score;
    static const std::vector<HostScore::Entry> kNone;
    const auto cell = score.entries.find({frame.staff, frame.measure, frame.layer});
    const auto& entries = cell == score.entries.end() ? kNone : cell->second;
    if (faults.empty() && entries.size() != static_cast<size_t>(frame.entryCount)) {
        faults.emplace_back("the score's cell changed while the frame was out");
    }
    unsigned char* array = block + kHeaderSize;
    for (size_t i = 0; faults.empty() && i < entries.size(); ++i) {
        const auto& entry = entries[i];
        unsigned char* record = array + kEntrySize * i;
        const std::string where = "entry " + std::to_string(i) + ": ";
        const uint32_t flags = HostBytes::U32(record, kEntryFlags);
        const int count = HostBytes::I16(record, kNoteCount);
        if (((flags & kNoteEntryBit) != 0) == entry.rest) {
            faults.push_back(where + "the note-entry bit was changed");
        }
        if (HostBytes::I32(record, kPosition) != entry.pos) {
            faults.push_back(where + "its position was changed");
        }
        if (entry.rest) {
            if (count != 1 || HostBytes::U32(NoteAt(record, 0), 6) != kPlaceholderFlags ||
                (flags & kNoNoteBit) == 0) {
                faults.push_back(where +
                                 "a rest must come back with one placeholder note (flags "
                                 "0x80000000) and entry flag 0x01000000");
            }
        } else if (count != static_cast<int>(entry.notes.size())) {
            faults.push_back(where + "the note count was changed from " +
                             std::to_string(entry.notes.size()) + " to " + std::to_string(count));
        } else {
            std::set<int> numbers;
            for (int j = 0; j < count; ++j) {
                unsigned char* n = NoteAt(record, j);
                const int number = HostBytes::I16(n, 4);
                if (number == 0 || !numbers.insert(number).second) {
                    faults.push_back(where + "note " + std::to_string(j) +
                                     " has a zero or repeated note number " +
                                     std::to_string(number));
                } else if (((HostBytes::U32(n, 6) >> 16) & 0x1F) !=
                           static_cast<uint32_t>(number & 0x1F)) {
                    faults.push_back(where + "note " + std::to_string(j) +
                                     ": flag bits 16-20 do not mirror its note number");
                }
            }
        }
        const int used = entry.rest ? 1 : count;
        if (used >= 0 && used <= HostScore::kMaxNotes &&
            !AllZero(NoteAt(record, used),
                     kNoteSize * static_cast<size_t>(HostScore::kMaxNotes - used))) {
            faults.push_back(where + "the unused note records are not cleared");
        }
    }
    if (!faults.empty()) {
        for (const auto& fault : faults) {
            session.ReportProtocolError("FX_SaveTGF refused the " + Describe(frame) + ": " + fault);
        }
        return 0;
    }
    auto& cellEntries = state.score.entries[{frame.staff, frame.measure, frame.layer}];
    const uint16_t keyWord = score.GoverningKey(frame.staff, frame.measure);
    for (size_t i = 0; i < cellEntries.size(); ++i) {
        auto& entry = cellEntries[i];
        unsigned char* record = array + kEntrySize * i;
        entry.flags = HostBytes::U32(record, kEntryFlags) & ~(kNoteEntryBit | kNoNoteBit);
        entry.flags16 = HostBytes::U16(record, kEntryFlags16);
        for (size_t j = 0; j < entry.notes.size(); ++j) {
            auto& note = entry.notes[j];
            unsigned char* n = NoteAt(record, static_cast<int>(j));
            HostScore::StoreNumbers(note, {HostBytes::I16(n, 0), HostBytes::I16(n, 2)}, keyWord);
            note.number = HostBytes::I16(n, 4);
            note.flags = HostBytes::U32(n, 6);
        }
    }
    return 1;
}

void HostFrames::Free(HostSession::State& state, void* handle) {
    auto& session = HostSession::Instance();
    const auto it = state.frames.find(reinterpret_cast<uintptr_t>(handle));
    if (it == state.frames.end()) {
        session.ReportProtocolError("FX_FreeTGF on an address that is no frame");
        return;
    }
    auto& frame = it->second;
    if (frame.freed) {
        session.ReportProtocolError("FX_FreeTGF: the " + Describe(frame) + " was freed twice");
        return;
    }
    frame.freed = true;
    // A plug-in that keeps reading a freed frame finds rubbish, not the old notes.
    std::memset(frame.block, kFreedByte, BlockSize(frame.entryCount));
    state.quarantine.push_back(it->first);
    if (state.quarantine.size() > kQuarantine) {
        const auto oldest = state.frames.find(state.quarantine.front());
        state.quarantine.pop_front();
        if (oldest != state.frames.end() && oldest->second.freed) {
            state.memory.Free(oldest->second.block, BlockSize(oldest->second.entryCount));
            state.frames.erase(oldest);
        }
    }
}

}  // namespace host
