// The host's exported FX_ functions (all but the dialog ones): records, frames, layers, slots,
// MIDI numbers, selection, commands, redraws, edits and folders, each checking its trailing
// version and recording every breach of the host's rules.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "host/HostBytes.h"
#include "host/HostCall.h"
#include "host/HostCalls.h"
#include "host/HostExports.h"
#include "host/HostFrames.h"
#include "host/HostPitch.h"
#include "host/HostRecords.h"
#include "host/HostSessionState.h"

using host::CallArgs;
using host::HexWord;
using host::HostBytes;
using host::HostCalls;
using host::HostRecords;
using host::HostSession;

namespace {

HostSession& Session() {
    return HostSession::Instance();
}
HostSession::State& State() {
    return HostSession::Instance().Internal();
}

HexWord V(uint32_t version) {
    return HexWord{version};
}

// The record checks shared by the five record functions: a known tag and the record version
// of the running host. Answers the record's identity, or nullopt after reporting.
std::optional<HostRecords::Identity> CheckRecord(const char* name, uint32_t tag, const void* key,
                                                 uint32_t version) {
    auto identity = HostRecords::For(tag, Session().HostVersion());
    if (!identity) {
        Session().ReportProtocolError(std::string(name) + " with tag " + HostCalls::Hex(tag) +
                                      ", which this host does not keep");
        return std::nullopt;
    }
    if (!HostCalls::CheckVersion(name, version, identity->version)) {
        return std::nullopt;
    }
    if (key == nullptr) {
        Session().ReportProtocolError(std::string(name) + " without a key");
        return std::nullopt;
    }
    return identity;
}

HostSession::Region ReadRegion(const void* r) {
    HostSession::Region region;
    region.startQualifier = HostBytes::U16(r, 0);
    region.startSlot = HostBytes::I16(r, 2);
    region.startMeasure = HostBytes::I16(r, 4);
    region.startPos = HostBytes::I32(r, 6);
    region.endQualifier = HostBytes::U16(r, 10);
    region.endSlot = HostBytes::I16(r, 12);
    region.endMeasure = HostBytes::I16(r, 14);
    region.endPos = HostBytes::I32(r, 16);
    return region;
}

void WriteRegion(void* r, const HostSession::Region& region) {
    HostBytes::SetU16(r, 0, region.startQualifier);
    HostBytes::SetI16(r, 2, region.startSlot);
    HostBytes::SetI16(r, 4, region.startMeasure);
    HostBytes::SetI32(r, 6, region.startPos);
    HostBytes::SetU16(r, 10, region.endQualifier);
    HostBytes::SetI16(r, 12, region.endSlot);
    HostBytes::SetI16(r, 14, region.endMeasure);
    HostBytes::SetI32(r, 16, region.endPos);
}

std::string SelectionText() {
    const auto selection = Session().Selection();
    return selection ? HostSession::FormatRegion(*selection) : std::string("no selection");
}

int32_t OpenEdit(const char* name, const std::string& title) {
    auto& state = State();
    if (state.editOpen) {
        Session().ReportProtocolError(std::string(name) + " \"" + title + "\" while the edit \"" +
                                      state.editTitle + "\" is still open");
        return 0;
    }
    state.editOpen = true;
    state.editTitle = title;
    state.editSnapshot = state.score;
    state.editTitles.push_back(title);
    ++state.counters.editsOpened;
    Session().AddEvent("edit opened " + HostCalls::Quote(title));
    return 1;
}

}  // namespace

// ---- Data records ----

HOST_EXPORT int32_t HOST_CALL FX_LoadEData(uint32_t tag, void* key, void* buffer, uint32_t* size,
                                           uint32_t version) {
    HostCalls::Trace trace("FX_LoadEData", CallArgs(HexWord{tag}, key, buffer, size, V(version)));
    const auto identity = CheckRecord("FX_LoadEData", tag, key, version);
    if (!identity) {
        return trace.Answer(0);
    }
    if (size == nullptr || buffer == nullptr) {
        Session().ReportProtocolError("FX_LoadEData without a buffer or size");
        return trace.Answer(0);
    }
    if (*size != identity->size) {
        Session().ReportProtocolError("FX_LoadEData of tag " + HostCalls::Hex(tag) + " with size " +
                                      std::to_string(*size) + ", expected " +
                                      std::to_string(identity->size));
        return trace.Answer(0);
    }
    if (!HostRecords::Load(State().score, tag, HostRecords::ReadKey(key), buffer, *size)) {
        return trace.Answer(0);
    }
    return trace.Answer(1);
}

HOST_EXPORT int32_t HOST_CALL FX_SaveEData(uint32_t tag, void* key, void* buffer, uint32_t size,
                                           uint32_t version) {
    HostCalls::Trace trace("FX_SaveEData", CallArgs(HexWord{tag}, key, buffer, size, V(version)));
    const auto identity = CheckRecord("FX_SaveEData", tag, key, version);
    if (!identity) {
        return trace.Answer(0);
    }
    if (buffer == nullptr || size != identity->size) {
        Session().ReportProtocolError("FX_SaveEData of tag " + HostCalls::Hex(tag) + " with size " +
                                      std::to_string(size) + ", expected " +
                                      std::to_string(identity->size));
        return trace.Answer(0);
    }
    return trace.Answer(
        HostRecords::Save(State().score, tag, HostRecords::ReadKey(key), buffer) ? 1 : 0);
}

HOST_EXPORT int32_t HOST_CALL FX_CreateEData(uint32_t tag, void* key, void* buffer, uint32_t size,
                                             uint32_t version) {
    HostCalls::Trace trace("FX_CreateEData", CallArgs(HexWord{tag}, key, buffer, size, V(version)));
    // The records this host keeps are made by the score itself, never by a plug-in.
    CheckRecord("FX_CreateEData", tag, key, version);
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_DeleteEData(uint32_t tag, void* key, uint32_t version) {
    HostCalls::Trace trace("FX_DeleteEData", CallArgs(HexWord{tag}, key, V(version)));
    CheckRecord("FX_DeleteEData", tag, key, version);
    return trace.Answer(0);
}

HOST_EXPORT int32_t HOST_CALL FX_NextEData(uint32_t tag, void* key, void* zero1, void* zero2,
                                           uint32_t version) {
    HostCalls::Trace trace("FX_NextEData", CallArgs(HexWord{tag}, key, zero1, zero2, V(version)));
    if (!CheckRecord("FX_NextEData", tag, key, version)) {
        return trace.Answer(0);
    }
    if (zero1 != nullptr || zero2 != nullptr) {
        Session().ReportProtocolError("FX_NextEData with non-null third or fourth argument");
    }
    auto next = HostRecords::ReadKey(key);
    if (!HostRecords::Next(State().score, tag, next)) {
        return trace.Answer(0);
    }
    HostRecords::WriteKey(key, next);
    return trace.Answer(1);
}

// ---- Frames ----

HOST_EXPORT void* HOST_CALL FX_LoadTGF(int32_t zero, int32_t slot, int32_t measure,
                                       int32_t layerIndex, int32_t loadOption, uint32_t version) {
    HostCalls::Trace trace("FX_LoadTGF",
                           CallArgs(zero, slot, measure, layerIndex, loadOption, V(version)));
    HostCalls::CheckVersion("FX_LoadTGF", version);
    if (zero != 0) {
        Session().ReportProtocolError("FX_LoadTGF with first argument " + std::to_string(zero) +
                                      ", expected 0");
    }
    return trace.Answer(host::HostFrames::Load(State(), slot, measure, layerIndex));
}

HOST_EXPORT int32_t HOST_CALL FX_SaveTGF(void* frame, uint32_t version) {
    HostCalls::Trace trace("FX_SaveTGF", CallArgs(frame, V(version)));
    HostCalls::CheckVersion("FX_SaveTGF", version);
    return trace.Answer(host::HostFrames::Save(State(), frame));
}

HOST_EXPORT void HOST_CALL FX_FreeTGF(void* frame, uint32_t version) {
    HostCalls::Trace trace("FX_FreeTGF", CallArgs(frame, V(version)));
    HostCalls::CheckVersion("FX_FreeTGF", version);
    host::HostFrames::Free(State(), frame);
}

// ---- Layers, slots, MIDI ----

HOST_EXPORT int32_t HOST_CALL FX_GetMaxLayers(uint32_t version) {
    HostCalls::Trace trace("FX_GetMaxLayers", CallArgs(V(version)));
    HostCalls::CheckVersion("FX_GetMaxLayers", version);
    return trace.Answer(State().score.layerCount);
}

HOST_EXPORT int32_t HOST_CALL FX_GetShowLayer(int32_t layerIndex, uint32_t version) {
    HostCalls::Trace trace("FX_GetShowLayer", CallArgs(layerIndex, V(version)));
    HostCalls::CheckVersion("FX_GetShowLayer", version);
    const auto& score = State().score;
    const int layer = layerIndex + 1;
    return trace.Answer(layer <= score.layerCount && score.IsShown(layer) ? 1 : 0);
}

HOST_EXPORT int32_t HOST_CALL FX_InstToSlot(int32_t staff, int32_t zero, uint32_t version) {
    HostCalls::Trace trace("FX_InstToSlot", CallArgs(staff, zero, V(version)));
    HostCalls::CheckVersion("FX_InstToSlot", version);
    if (zero != 0) {
        Session().ReportProtocolError("FX_InstToSlot with second argument " + std::to_string(zero) +
                                      ", expected 0");
    }
    return trace.Answer(State().score.SlotOf(staff));
}

HOST_EXPORT int32_t HOST_CALL FX_SlotToInst(int32_t slot, int32_t qualifier, uint32_t version) {
    HostCalls::Trace trace("FX_SlotToInst", CallArgs(slot, qualifier, V(version)));
    HostCalls::CheckVersion("FX_SlotToInst", version);
    // Every slot this host hands out carries qualifier 0.
    const auto* staff = qualifier == 0 ? State().score.StaffAtSlot(slot) : nullptr;
    return trace.Answer(staff != nullptr ? staff->id : 0);
}

HOST_EXPORT int32_t HOST_CALL FX_NoteToMidi(void* noteRecord, int32_t keyValue, uint32_t version) {
    HostCalls::Trace trace("FX_NoteToMidi", CallArgs(noteRecord, keyValue, V(version)));
    HostCalls::CheckVersion("FX_NoteToMidi", version);
    if (noteRecord == nullptr) {
        Session().ReportProtocolError("FX_NoteToMidi without a note record");
        return trace.Answer(0);
    }
    const HostSession::NoteNumbers numbers{HostBytes::I16(noteRecord, 0),
                                           HostBytes::I16(noteRecord, 2)};
    const auto midi = host::HostPitch::Midi(numbers, static_cast<uint16_t>(keyValue));
    return trace.Answer(midi.value_or(0));
}

// ---- Selection, document, commands, redraws ----

HOST_EXPORT int32_t HOST_CALL FX_GetCurERegions(int32_t* out, void* region1, void* region2,
                                                uint32_t version) {
    HostCalls::Trace trace("FX_GetCurERegions", CallArgs(out, region1, region2, V(version)));
    HostCalls::CheckVersion("FX_GetCurERegions", version);
    const auto selection = Session().Selection();
    if (!selection) {
        return trace.Answer(0);
    }
    if (region1 == nullptr || region2 == nullptr) {
        Session().ReportProtocolError("FX_GetCurERegions without two region records");
        return trace.Answer(0);
    }
    // The first record is the selection as the user made it; the second, the region to redraw,
    // covers its measures whole.
    HostSession::Region whole = *selection;
    whole.startPos = 0;
    whole.endPos = INT32_MAX;
    WriteRegion(region1, *selection);
    WriteRegion(region2, whole);
    if (out != nullptr) {
        *out = 1;
    }
    return trace.Answer(1);
}

HOST_EXPORT int32_t HOST_CALL FX_SetCurERegion(void* region, uint32_t version) {
    HostCalls::Trace trace("FX_SetCurERegion", CallArgs(region, V(version)));
    HostCalls::CheckVersion("FX_SetCurERegion", version);
    if (region == nullptr) {
        Session().ReportProtocolError("FX_SetCurERegion without a region record");
        return trace.Answer(0);
    }
    const auto r = ReadRegion(region);
    const int slots = Session().StaffCount();
    const int measures = Session().MeasureCount();
    if (r.startSlot < 1 || r.endSlot > slots || r.startSlot > r.endSlot || r.startMeasure < 1 ||
        r.endMeasure > measures || r.startMeasure > r.endMeasure || r.startPos < 0 ||
        r.endPos < 0 || r.startQualifier != 0 || r.endQualifier != 0) {
        Session().ReportProtocolError("FX_SetCurERegion with a region outside the score: " +
                                      HostSession::FormatRegion(r));
        return trace.Answer(0);
    }
    Session().SetSelection(r);
    return trace.Answer(1);
}

HOST_EXPORT int32_t HOST_CALL FX_RedrawMusic(void* region, uint32_t version) {
    HostCalls::Trace trace("FX_RedrawMusic", CallArgs(region, V(version)));
    HostCalls::CheckVersion("FX_RedrawMusic", version);
    if (region == nullptr) {
        Session().ReportProtocolError("FX_RedrawMusic without a region record");
        return trace.Answer(0);
    }
    const auto r = ReadRegion(region);
    auto& state = State();
    ++state.counters.redraws;
    state.redrawRegions.push_back(r);
    Session().AddEvent("redraw " + HostSession::FormatRegion(r));
    return trace.Answer(1);
}

HOST_EXPORT int32_t HOST_CALL FX_GetCurrentEnigmaDocument(uint32_t version) {
    HostCalls::Trace trace("FX_GetCurrentEnigmaDocument", CallArgs(V(version)));
    HostCalls::CheckVersion("FX_GetCurrentEnigmaDocument", version);
    return trace.Answer(1);
}

HOST_EXPORT int32_t HOST_CALL FX_ExecuteMenuItem(int32_t command, uint32_t version) {
    HostCalls::Trace trace("FX_ExecuteMenuItem", CallArgs(command, V(version)));
    HostCalls::CheckVersion("FX_ExecuteMenuItem", version);
    auto& state = State();
    state.menuCommands.push_back(command);
    std::string line = "menu " + std::to_string(command);
    if (command == static_cast<int32_t>(HostSession::kRespaceCommand)) {
        line += " (respace)";
        ++state.counters.respaces;
        if (const auto selection = Session().Selection()) {
            state.respaceRegions.push_back(*selection);
        }
    }
    Session().AddEvent(line + " on " + SelectionText());
    return trace.Answer(1);
}

// ---- Edits ----

HOST_EXPORT int32_t HOST_CALL FX_StartFinaleEdit(const char* title, uint32_t version) {
    const std::string text = title != nullptr ? std::string(title) : std::string();
    HostCalls::Trace trace("FX_StartFinaleEdit", CallArgs(HostCalls::Quote(text), V(version)));
    HostCalls::CheckVersion("FX_StartFinaleEdit", version);
    HostCalls::CheckWidth("FX_StartFinaleEdit", false);
    if (title == nullptr) {
        Session().ReportProtocolError("FX_StartFinaleEdit without a title");
        return trace.Answer(0);
    }
    return trace.Answer(OpenEdit("FX_StartFinaleEdit", text));
}

HOST_EXPORT int32_t HOST_CALL FX_StartFinaleEdit_UTF16(const char16_t* title, uint32_t version) {
    std::u16string units;
    if (title != nullptr) {
        for (size_t i = 0; title[i] != 0 && i < 4096; ++i) {
            units += title[i];
        }
    }
    const std::string text = HostCalls::Utf8(units);
    HostCalls::Trace trace("FX_StartFinaleEdit_UTF16",
                           CallArgs(HostCalls::Quote(text), V(version)));
    HostCalls::CheckVersion("FX_StartFinaleEdit_UTF16", version);
    HostCalls::CheckWidth("FX_StartFinaleEdit_UTF16", true);
    if (title == nullptr) {
        Session().ReportProtocolError("FX_StartFinaleEdit_UTF16 without a title");
        return trace.Answer(0);
    }
    return trace.Answer(OpenEdit("FX_StartFinaleEdit_UTF16", text));
}

HOST_EXPORT int32_t HOST_CALL FX_EndFinaleEdit(uint32_t version) {
    HostCalls::Trace trace("FX_EndFinaleEdit", CallArgs(V(version)));
    HostCalls::CheckVersion("FX_EndFinaleEdit", version);
    auto& state = State();
    if (!state.editOpen) {
        Session().ReportProtocolError("FX_EndFinaleEdit without an open edit");
        return trace.Answer(0);
    }
    state.editOpen = false;
    state.undoSteps.push_back({state.editTitle, std::move(state.editSnapshot)});
    state.editSnapshot = host::HostScore();
    ++state.counters.editsKept;
    Session().AddEvent("edit kept " + HostCalls::Quote(state.editTitle));
    return trace.Answer(1);
}

HOST_EXPORT int32_t HOST_CALL FX_CancelFinaleEdit(uint32_t version) {
    HostCalls::Trace trace("FX_CancelFinaleEdit", CallArgs(V(version)));
    HostCalls::CheckVersion("FX_CancelFinaleEdit", version);
    auto& state = State();
    if (!state.editOpen) {
        Session().ReportProtocolError("FX_CancelFinaleEdit without an open edit");
        return trace.Answer(0);
    }
    state.editOpen = false;
    state.score = std::move(state.editSnapshot);
    state.editSnapshot = host::HostScore();
    ++state.counters.editsCancelled;
    Session().AddEvent("edit cancelled " + HostCalls::Quote(state.editTitle));
    return trace.Answer(1);
}

// ---- Folders ----

HOST_EXPORT int32_t HOST_CALL FX_GetFinalePath(int32_t kind, void* buffer, uint32_t version) {
    HostCalls::Trace trace("FX_GetFinalePath", CallArgs(kind, buffer, V(version)));
    HostCalls::CheckVersion("FX_GetFinalePath", version);
    if (buffer == nullptr) {
        Session().ReportProtocolError("FX_GetFinalePath without a buffer");
        return trace.Answer(0);
    }
    const std::string& folder = Session().SettingsFolder();
    if (folder.empty() || (kind != 7 && kind != 15)) {
        return trace.Answer(0);
    }
#if defined(_WIN32)
    constexpr char kSeparator = '\\';
#else
    constexpr char kSeparator = '/';
#endif
    std::string path = folder;
    if (kind == 7) {
        if (path.back() != kSeparator && path.back() != '/') {
            path += kSeparator;
        }
        path += "kind7";
        const auto wide = HostCalls::Utf16(path);
        std::error_code ignored;
        std::filesystem::create_directories(
            std::filesystem::path(std::u16string(wide.begin(), wide.end())), ignored);
    }
    constexpr size_t kBufferBytes = 520;
    if (Session().HostVersion() >= 0x11000000) {
        const auto wide = HostCalls::Utf16(path);
        if ((wide.size() + 1) * 2 > kBufferBytes) {
            return trace.Answer(0);
        }
        auto* bytes = static_cast<unsigned char*>(buffer);
        for (size_t i = 0; i <= wide.size(); ++i) {
            HostBytes::SetU16(bytes, 2 * i, i < wide.size() ? wide[i] : 0);
        }
    } else {
        if (path.size() + 1 > kBufferBytes) {
            return trace.Answer(0);
        }
        std::memcpy(buffer, path.c_str(), path.size() + 1);
    }
    return trace.Answer(1);
}
