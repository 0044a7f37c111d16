// Fuzzes frame preparation with arbitrary frames: a frame header whose entry array holds the
// fuzz input's entries (any note counts, numbers and flags), with guard bytes around it.
// Nothing may crash, trip a sanitizer or write outside the entries; afterwards every entry
// holds between 1 and 12 notes with distinct non-zero numbers (where the count was in range),
// each note's flags carry the low five bits of its number, spare note records are zero and an
// empty entry is a rest with one placeholder note.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "hostapi/FramePreparation.h"
#include "hostapi/LittleEndian.h"

namespace {

constexpr size_t kEntry = FramePreparation::kEntrySize;
constexpr size_t kNote = FramePreparation::kNoteSize;
constexpr size_t kGuard = 64;
constexpr uint8_t kGuardByte = 0xA5;

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

const uint8_t* Note(const uint8_t* entry, int j) {
    return entry + 0x10 + kNote * static_cast<size_t>(j);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t count = size / kEntry;
    if (count > 64) {
        return 0;
    }
    // Guard bytes, the entries, guard bytes: a write past an entry shows in the guards.
    std::vector<uint8_t> block(kGuard + count * kEntry + kGuard, kGuardByte);
    uint8_t* entries = block.data() + kGuard;
    if (count > 0) {
        std::memcpy(entries, data, count * kEntry);
    }
    const std::vector<uint8_t> original(entries, entries + count * kEntry);

    // The frame header points at the entries with a 32-bit address, as the host's frames do;
    // on 64-bit machines that is only possible for low memory, so the header is given the
    // address only when it fits and the entries are prepared one by one otherwise.
    const auto address = reinterpret_cast<uintptr_t>(entries);
    if (count > 0 && address <= 0xFFFFFFFFU) {
        uint8_t frame[0x20] = {};
        le::SetU32(frame, 0x0E, static_cast<uint32_t>(address));
        le::SetI16(frame, 0x12, static_cast<int16_t>(count));
        FramePreparation::Prepare(frame);
    } else {
        for (size_t i = 0; i < count; ++i) {
            FramePreparation::PrepareEntry(entries + i * kEntry);
        }
    }
    FramePreparation::Prepare(nullptr);

    for (size_t i = 0; i < kGuard; ++i) {
        Check(block[i] == kGuardByte, "nothing is written before the entries");
        Check(block[kGuard + count * kEntry + i] == kGuardByte,
              "nothing is written after the entries");
    }
    for (size_t e = 0; e < count; ++e) {
        const uint8_t* entry = entries + e * kEntry;
        const uint8_t* before = original.data() + e * kEntry;
        const int16_t oldCount = le::I16(before, 0x0E);
        const int n = oldCount <= 0 ? 0 : (oldCount > 12 ? 12 : oldCount);
        Check(std::memcmp(entry, before, 0x08) == 0, "the entry's first bytes are kept");
        Check(std::memcmp(entry + 0x0C, before + 0x0C, 2) == 0, "the 16-bit flags are kept");
        if (n == 0) {
            Check(le::I16(entry, 0x0E) == 1, "an empty entry gets one placeholder note");
            Check(le::U32(Note(entry, 0), 6) == 0x80000000U, "the placeholder is marked");
            Check((le::U32(entry, 8) & 0x01000000U) != 0, "an empty entry becomes a rest");
            Check((le::U32(entry, 8) & ~0x01000000U) == (le::U32(before, 8) & ~0x01000000U),
                  "the other entry flags stay");
        } else {
            Check(le::I16(entry, 0x0E) == oldCount, "a note count is kept");
            Check(le::U32(entry, 8) == le::U32(before, 8), "the entry flags stay");
            std::set<int16_t> numbers;
            for (int j = 0; j < n; ++j) {
                const int16_t number = le::I16(Note(entry, j), 4);
                Check(number != 0, "every note has a number");
                Check(numbers.insert(number).second, "the numbers are distinct");
                const uint32_t flags = le::U32(Note(entry, j), 6);
                const uint32_t was = le::U32(Note(before, j), 6);
                Check(((flags >> 16) & 0x1F) == (static_cast<uint32_t>(number) & 0x1F),
                      "the flags mirror the number");
                Check((flags & ~0x001F0000U) == (was & ~0x001F0000U), "other note flags stay");
                Check(std::memcmp(Note(entry, j), Note(before, j), 4) == 0, "pitch numbers stay");
                const int16_t old = le::I16(Note(before, j), 4);
                bool shared = false;
                for (int k = 0; k < n; ++k) {
                    shared = shared || (k != j && le::I16(Note(before, k), 4) == old);
                }
                if (old != 0 && !shared) {
                    Check(number == old, "a distinct number is kept");
                }
            }
        }
        for (int j = n == 0 ? 1 : n; j < 12; ++j) {
            for (size_t b = 0; b < kNote; ++b) {
                Check(Note(entry, j)[b] == 0, "spare note records are zeroed");
            }
        }
        Check(std::memcmp(Note(entry, 12), Note(before, 12), kEntry - (0x10 + 12 * kNote)) == 0,
              "the bytes after the note records stay");
    }
    return 0;
}
