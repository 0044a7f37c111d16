// HostSession: the session's bookkeeping: reset, score files, counters, transcript, selection,
// undo and the frames still out at the end of a run.
#include "host/HostSession.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "host/CallClock.h"
#include "host/HostSessionState.h"
#include "host/ScoreFile.h"

namespace host {

HostSession HostSession::instance_;

HostSession::HostSession() : state_(std::make_unique<State>()) {}

HostSession::~HostSession() = default;

void HostSession::Reset() {
    auto onReset = std::move(state_->onReset);
    if (onReset) {
        onReset();
    }
    state_ = std::make_unique<State>();
    state_->onReset = std::move(onReset);
    trace_ = false;
}

bool HostSession::LoadScoreJson(std::string_view text, std::string& error,
                                std::string_view fileName) {
    return ScoreFile::Read(text, fileName, state_->score, error);
}

bool HostSession::LoadScoreFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return LoadScoreJson(text.str(), error, path);
}

std::string HostSession::ScoreJson() const {
    return ScoreFile::Write(state_->score);
}

void HostSession::SetHostVersion(uint32_t version) {
    state_->hostVersion = version;
}
uint32_t HostSession::HostVersion() const {
    return state_->hostVersion;
}

void HostSession::SetSettingsFolder(std::string folder) {
    state_->settingsFolder = std::move(folder);
}
const std::string& HostSession::SettingsFolder() const {
    return state_->settingsFolder;
}

int HostSession::StaffCount() const {
    return static_cast<int>(state_->score.staves.size());
}
int HostSession::MeasureCount() const {
    return static_cast<int>(state_->score.measureKeys.size());
}

namespace {

const HostScore::Entry* FindEntry(const HostScore& score, int staff, int measure, int layer,
                                  int entry) {
    const auto cell = score.entries.find({staff, measure, layer});
    if (cell == score.entries.end() || entry < 0 ||
        entry >= static_cast<int>(cell->second.size())) {
        return nullptr;
    }
    return &cell->second[static_cast<size_t>(entry)];
}

}  // namespace

int HostSession::EntryCount(int staff, int measure, int layer) const {
    const auto cell = state_->score.entries.find({staff, measure, layer});
    return cell == state_->score.entries.end() ? 0 : static_cast<int>(cell->second.size());
}

int HostSession::NoteCount(int staff, int measure, int layer, int entry) const {
    const auto* e = FindEntry(state_->score, staff, measure, layer, entry);
    return e == nullptr ? 0 : static_cast<int>(e->notes.size());
}

bool HostSession::IsRest(int staff, int measure, int layer, int entry) const {
    const auto* e = FindEntry(state_->score, staff, measure, layer, entry);
    return e != nullptr && e->rest;
}

std::optional<uint16_t> HostSession::EntryFlags16(int staff, int measure, int layer,
                                                  int entry) const {
    const auto* e = FindEntry(state_->score, staff, measure, layer, entry);
    return e == nullptr ? std::nullopt : std::optional<uint16_t>(e->flags16);
}

std::optional<HostSession::NoteNumbers> HostSession::NoteRaw(int staff, int measure, int layer,
                                                             int entry, int note) const {
    const auto* e = FindEntry(state_->score, staff, measure, layer, entry);
    if (e == nullptr || note < 0 || note >= static_cast<int>(e->notes.size())) {
        return std::nullopt;
    }
    return state_->score.NumbersOf(e->notes[static_cast<size_t>(note)],
                                   state_->score.GoverningKey(staff, measure));
}

std::optional<std::string> HostSession::NoteSpelling(int staff, int measure, int layer, int entry,
                                                     int note) const {
    const auto numbers = NoteRaw(staff, measure, layer, entry, note);
    if (!numbers) {
        return std::nullopt;
    }
    const auto pitch = HostPitch::FromNumbers(*numbers, state_->score.GoverningKey(staff, measure));
    return pitch ? HostPitch::Format(*pitch) : std::string();
}

std::optional<uint16_t> HostSession::CellKey(int staff, int measure) const {
    if (state_->score.StaffById(staff) == nullptr || !state_->score.HasMeasure(measure)) {
        return std::nullopt;
    }
    return state_->score.GoverningKey(staff, measure);
}

const std::vector<std::string>& HostSession::ProtocolErrors() const {
    return state_->protocolErrors;
}

void HostSession::ReportProtocolError(std::string text) {
    AddEvent("protocol error: " + text);
    state_->protocolErrors.push_back(std::move(text));
}

const std::vector<std::string>& HostSession::Transcript() const {
    return state_->transcript;
}

void HostSession::AddEvent(std::string line) {
    if (state_->sink) {
        state_->sink(line);
    }
    state_->transcript.push_back(std::move(line));
}

void HostSession::SetEventSink(std::function<void(const std::string&)> sink) {
    state_->sink = std::move(sink);
}

void HostSession::SetTrace(bool on) {
    trace_ = on;
}

HostSession::Counters HostSession::GetCounters() const {
    return state_->counters;
}
HostSession::CallStats HostSession::GetCallStats() const {
    CallStats stats;
    stats.calls = state_->calls;
    if (state_->timedCalls > 0) {
        const double ticks = static_cast<double>(state_->callTicks) -
                             static_cast<double>(state_->timedCalls) * CallClock::ReadingCost();
        stats.nanoseconds = std::llround(std::max(ticks, 0.0) * CallClock::NanosecondsPerTick());
    }
    return stats;
}
void HostSession::ResetCallStats() {
    state_->calls = 0;
    state_->timedCalls = 0;
    state_->callTicks = 0;
}
void HostSession::SetCallTiming(bool on) {
    if (on) {
        // Both are measured now rather than in the middle of a timed run.
        CallClock::NanosecondsPerTick();
        CallClock::ReadingCost();
    }
    state_->callTiming = on;
}
bool HostSession::CallTiming() const {
    return state_->callTiming;
}

const std::vector<HostSession::Region>& HostSession::RespaceRegions() const {
    return state_->respaceRegions;
}
const std::vector<HostSession::Region>& HostSession::RedrawRegions() const {
    return state_->redrawRegions;
}
const std::vector<int32_t>& HostSession::MenuCommands() const {
    return state_->menuCommands;
}
const std::vector<std::string>& HostSession::EditTitles() const {
    return state_->editTitles;
}

int HostSession::OutstandingFrames() const {
    int count = 0;
    for (const auto& [address, frame] : state_->frames) {
        count += frame.freed ? 0 : 1;
    }
    return count;
}

size_t HostSession::FrameMemory() const {
    return state_->memory.MappedBytes();
}

void HostSession::EndRun() {
    for (auto& [address, frame] : state_->frames) {
        if (!frame.freed && !frame.leakReported) {
            frame.leakReported = true;
            ReportProtocolError("frame of staff " + std::to_string(frame.staff) + " measure " +
                                std::to_string(frame.measure) + " layer " +
                                std::to_string(frame.layer) + " was never freed");
        }
    }
}

std::optional<HostSession::Region> HostSession::Selection() const {
    return state_->score.selection;
}

void HostSession::SetSelection(std::optional<Region> region) {
    state_->score.selection = region;
}

void HostSession::Select(int slot1, int slot2, int m1, int m2, int32_t p1, int32_t p2) {
    Region region;
    region.startSlot = static_cast<int16_t>(slot1);
    region.endSlot = static_cast<int16_t>(slot2);
    region.startMeasure = static_cast<int16_t>(m1);
    region.endMeasure = static_cast<int16_t>(m2);
    region.startPos = p1;
    region.endPos = p2;
    SetSelection(region);
}

bool HostSession::Undo() {
    if (state_->editOpen || state_->undoSteps.empty()) {
        return false;
    }
    auto step = std::move(state_->undoSteps.back());
    state_->undoSteps.pop_back();
    // The selection is the document's view, not part of what an edit changed.
    const auto selection = state_->score.selection;
    state_->score = std::move(step.before);
    state_->score.selection = selection;
    ++state_->counters.undos;
    AddEvent("undo \"" + step.title + "\"");
    return true;
}

bool HostSession::EditOpen() const {
    return state_->editOpen;
}

std::string HostSession::FormatRegion(const Region& r) {
    std::string text = "slots " + std::to_string(r.startSlot) + "-" + std::to_string(r.endSlot) +
                       " measures " + std::to_string(r.startMeasure) + "-" +
                       std::to_string(r.endMeasure) + " positions " + std::to_string(r.startPos) +
                       "-" + std::to_string(r.endPos);
    if (r.startQualifier != 0 || r.endQualifier != 0) {
        text += " qualifiers " + std::to_string(r.startQualifier) + "-" +
                std::to_string(r.endQualifier);
    }
    return text;
}

}  // namespace host
