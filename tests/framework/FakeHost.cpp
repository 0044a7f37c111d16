// FakeHost: the FX_ functions of the scripted host.
#include "tests/framework/FakeHost.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "hostapi/CallingConvention.h"
#include "hostapi/LittleEndian.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace fake {

namespace {

constexpr size_t kArena = size_t{64} << 20;
uint8_t* g_arena = nullptr;
size_t g_used = 0;

uint8_t* MapArena() {
#if defined(_WIN32)
    // 64-bit arithmetic: in a 32-bit process the last address plus the arena passes 4 GiB.
    for (uint64_t address = 0x10000000; address + kArena <= 0xFFFFFFFFULL; address += 0x1000000) {
        void* block = VirtualAlloc(reinterpret_cast<void*>(static_cast<uintptr_t>(address)), kArena,
                                   MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (block != nullptr) {
            return static_cast<uint8_t*>(block);
        }
    }
    return nullptr;
#else
    void* block = mmap(nullptr, kArena, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    return block == MAP_FAILED ? nullptr : static_cast<uint8_t*>(block);
#endif
}

RecordKey KeyOf(uint32_t tag, const void* key) {
    return {tag, le::U16(key, 0), le::U16(key, 2), le::U32(key, 4)};
}

void Log(const char* function, uint32_t tag, const void* key, uint32_t size, uint32_t version) {
    Host::Get().recordCalls.push_back(
        {function, tag, le::U16(key, 0), le::U16(key, 2), le::U32(key, 4), size, version});
}

}  // namespace

void* LowAllocate(size_t size) {
    if (g_arena == nullptr) {
        g_arena = MapArena();
        if (g_arena == nullptr) {
            std::abort();
        }
    }
    size = (size + 15) & ~size_t{15};
    if (g_used + size > kArena) {
        std::abort();
    }
    uint8_t* block = g_arena + g_used;
    g_used += size;
    std::memset(block, 0, size);
    return block;
}

Host& Host::Get() {
    static Host host;
    return host;
}

void Host::Reset() {
    *this = Host();
}

void Host::PutRecord(uint32_t tag, uint16_t item1, uint16_t item2, uint32_t item3,
                     std::vector<uint8_t> bytes) {
    records[{tag, item1, item2, item3}] = std::move(bytes);
}

}  // namespace fake

using fake::Host;

VS_EXPORT int32_t VS_CALL FX_LoadEData(uint32_t tag, void* key, void* buffer, uint32_t* size,
                                       uint32_t version) {
    fake::Log("Load", tag, key, *size, version);
    auto found = Host::Get().records.find(fake::KeyOf(tag, key));
    if (found == Host::Get().records.end()) {
        return 0;
    }
    std::memcpy(buffer, found->second.data(), std::min<size_t>(*size, found->second.size()));
    // The host tells how much it holds, which may be more than the caller's buffer.
    *size = static_cast<uint32_t>(found->second.size());
    return 1;
}

VS_EXPORT int32_t VS_CALL FX_SaveEData(uint32_t tag, void* key, void* buffer, uint32_t size,
                                       uint32_t version) {
    fake::Log("Save", tag, key, size, version);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    Host::Get().records[fake::KeyOf(tag, key)] = std::vector<uint8_t>(bytes, bytes + size);
    return 1;
}

VS_EXPORT int32_t VS_CALL FX_CreateEData(uint32_t tag, void* key, void* buffer, uint32_t size,
                                         uint32_t version) {
    fake::Log("Create", tag, key, size, version);
    uint16_t next = 1;
    for (const auto& [k, bytes] : Host::Get().records) {
        if (std::get<0>(k) == tag) {
            next = std::max<uint16_t>(next, static_cast<uint16_t>(std::get<1>(k) + 1));
        }
    }
    le::SetU16(key, 0, next);
    le::SetU16(key, 2, 0);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    Host::Get().records[fake::KeyOf(tag, key)] = std::vector<uint8_t>(bytes, bytes + size);
    return 1;
}

VS_EXPORT int32_t VS_CALL FX_DeleteEData(uint32_t tag, void* key, uint32_t version) {
    fake::Log("Delete", tag, key, 0, version);
    return Host::Get().records.erase(fake::KeyOf(tag, key)) == 1 ? 1 : 0;
}

VS_EXPORT int32_t VS_CALL FX_NextEData(uint32_t tag, void* key, void* zero1, void* zero2,
                                       uint32_t version) {
    fake::Log(zero1 == nullptr && zero2 == nullptr ? "Next" : "Next?", tag, key, 0, version);
    auto found = Host::Get().records.upper_bound(fake::KeyOf(tag, key));
    if (found == Host::Get().records.end() || std::get<0>(found->first) != tag) {
        return 0;
    }
    le::SetU16(key, 0, std::get<1>(found->first));
    le::SetU16(key, 2, std::get<2>(found->first));
    le::SetU32(key, 4, std::get<3>(found->first));
    return 1;
}

VS_EXPORT int32_t VS_CALL FX_GetMaxLayers(uint32_t /*version*/) {
    return Host::Get().maxLayers;
}

VS_EXPORT int32_t VS_CALL FX_GetShowLayer(int32_t layer, uint32_t /*version*/) {
    return layer >= 0 && layer < 32 && ((Host::Get().shownLayers >> layer) & 1U) != 0 ? 1 : 0;
}

VS_EXPORT int32_t VS_CALL FX_SlotToInst(int32_t slot, int32_t qualifier, uint32_t /*version*/) {
    Host::Get().qualifiersSeen.push_back(static_cast<uint16_t>(qualifier));
    return slot >= 1 && slot <= Host::Get().slotCount ? Host::StaffOfSlot(slot) : 0;
}

VS_EXPORT int32_t VS_CALL FX_InstToSlot(int32_t staff, int32_t zero, uint32_t /*version*/) {
    if (zero != 0 || staff % 10 != 0) {
        return 0;
    }
    const int32_t slot = staff / 10;
    return slot >= 1 && slot <= Host::Get().slotCount ? slot : 0;
}

VS_EXPORT void* VS_CALL FX_LoadTGF(int32_t zero, int32_t slot, int32_t measure, int32_t layer,
                                   int32_t option, uint32_t version) {
    Host& host = Host::Get();
    host.loads.push_back({slot, measure, layer});
    host.loadOptions.push_back(static_cast<uint32_t>(option));
    host.frameVersions.push_back(version);
    if (zero != 0 || host.failingLoads.contains({slot, measure, layer})) {
        return nullptr;
    }
    if (slot < 1 || slot > host.slotCount || layer < 0 || layer >= host.maxLayers) {
        return nullptr;
    }
    const fake::Frame& staffSpec = host.frames[{slot, measure, layer}];
    auto* frame = static_cast<uint8_t*>(fake::LowAllocate(0x20));
    auto* entries = static_cast<uint8_t*>(fake::LowAllocate(146 * (staffSpec.entries.size() + 1)));
    le::SetU16(frame, 0, 0x55);  // slot qualifier
    le::SetU16(frame, 2, static_cast<uint16_t>(slot));
    le::SetU16(frame, 6, static_cast<uint16_t>(measure));
    le::SetU16(frame, 0x0A, staffSpec.saveGuard);
    le::SetU32(frame, 0x0E, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(entries)));
    le::SetI16(frame, 0x12, static_cast<int16_t>(staffSpec.entries.size()));
    for (size_t i = 0; i < staffSpec.entries.size(); ++i) {
        const fake::Entry& e = staffSpec.entries[i];
        uint8_t* record = entries + 146 * i;
        le::SetU32(record, 8, e.isNote ? 0x40000000U : 0U);
        le::SetI16(record, 0x0E, e.declaredCount.value_or(static_cast<int16_t>(e.notes.size())));
        for (size_t j = 0; j < e.notes.size() && j < 12; ++j) {
            le::SetI16(record + 0x10 + 10 * j, 0, e.notes[j].displacement);
            le::SetI16(record + 0x10 + 10 * j, 2, e.notes[j].raiseLower);
        }
        le::SetI32(record, 0x88, e.position);
    }
    host.live[frame] = {slot, measure, layer};
    return frame;
}

VS_EXPORT int32_t VS_CALL FX_SaveTGF(void* frame, uint32_t /*version*/) {
    Host& host = Host::Get();
    auto found = host.live.find(frame);
    if (found == host.live.end()) {
        ++host.badFrees;
        return 0;
    }
    host.saves.push_back(found->second);
    return host.saveAnswer;
}

VS_EXPORT void VS_CALL FX_FreeTGF(void* frame, uint32_t /*version*/) {
    Host& host = Host::Get();
    auto found = host.live.find(frame);
    if (found == host.live.end()) {
        ++host.badFrees;
        return;
    }
    host.frees.push_back(found->second);
    host.live.erase(found);
}

VS_EXPORT int32_t VS_CALL FX_GetCurERegions(int32_t* out, void* region1, void* region2,
                                            uint32_t /*version*/) {
    Host& host = Host::Get();
    if (!host.selection) {
        return 0;
    }
    *out = 1;
    std::memcpy(region1, host.selection->data(), 20);
    std::memcpy(region2, host.selection->data(), 20);
    return 1;
}

VS_EXPORT int32_t VS_CALL FX_GetCurrentEnigmaDocument(uint32_t /*version*/) {
    return Host::Get().document;
}
