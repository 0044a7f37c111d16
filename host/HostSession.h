// HostSession: the stand-in host's one open document and everything it remembers about a run:
// the score, the host version it plays, the settings folder, the selection, edits and their
// undo steps, the frames it has handed out, the counters and the transcript of events. The
// host's exported FX_ functions all work on HostSession::Instance(); a native test program
// linked with the host library drives the same instance through this class.
//
// Staves are addressed by staff number (the score file's "id"), measures from 1 and layers
// from 1 (as in the score file; the host's layer index is layer - 1); entry and note indexes
// are 0-based.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

class HostSession {
  public:
    // A selection rectangle as the 20-byte region record carries it.
    struct Region {
        uint16_t startQualifier = 0;
        int16_t startSlot = 0;
        int16_t startMeasure = 0;
        int32_t startPos = 0;
        uint16_t endQualifier = 0;
        int16_t endSlot = 0;
        int16_t endMeasure = 0;
        int32_t endPos = 0;
        bool operator==(const Region&) const = default;
    };

    // A note's stored numbers, relative to the key that governs its cell.
    struct NoteNumbers {
        int16_t displacement = 0;
        int16_t raiseLower = 0;
        bool operator==(const NoteNumbers&) const = default;
    };

    // Counts since the last Reset.
    struct Counters {
        int editsOpened = 0;
        int editsKept = 0;
        int editsCancelled = 0;
        int respaces = 0;
        int redraws = 0;
        int undos = 0;
    };

    // The host version played unless told otherwise: the newest the plug-in knows.
    static constexpr uint32_t kDefaultHostVersion = 0x12050000;
    // The trailing argument every non-record call must carry: the version of the newest host's
    // function table, whichever host version is played.
    static constexpr uint32_t kCallVersion = kDefaultHostVersion;
    static constexpr uint32_t kRespaceCommand = 12106;

    // The session every FX_ function serves. It is made before main runs and stays where it
    // is, so the calls find it without a check.
    static HostSession& Instance() { return instance_; }

    HostSession();
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Reset forgets everything: an empty score (no staves, no measures, 4 shown layers), host
    // version kDefaultHostVersion, no settings folder, no selection, no edits, counters at 0,
    // empty transcript and error list, trace off. Frames still handed out are dropped silently.
    void Reset();

    // Score files. A failed load leaves the score as it was and fills error with the file name
    // and where in it the fault lies ("score.json: entries[2].notes[0]: ...").
    bool LoadScoreJson(std::string_view text, std::string& error,
                       std::string_view fileName = "score");
    bool LoadScoreFile(const std::string& path, std::string& error);
    // The score in the file format, notes spelled as sounding pitch where a linear key allows.
    std::string ScoreJson() const;

    void SetHostVersion(uint32_t version);
    uint32_t HostVersion() const;

    // The folder that FX_GetFinalePath answers for kind 15 (kind 7: its subfolder "kind7"),
    // as UTF-8 in the platform's path form. Empty: the host has no folder to give.
    void SetSettingsFolder(std::string folder);
    const std::string& SettingsFolder() const;

    // Score contents. Out-of-range addresses answer nullopt or 0.
    int StaffCount() const;
    int MeasureCount() const;
    int EntryCount(int staff, int measure, int layer) const;
    int NoteCount(int staff, int measure, int layer, int entry) const;
    bool IsRest(int staff, int measure, int layer, int entry) const;
    // The note as the score file spells it ("C#4"), or "" when the governing key is not linear.
    std::optional<std::string> NoteSpelling(int staff, int measure, int layer, int entry,
                                            int note) const;
    // The note's numbers in the key that governs its cell (raw numbers where not spellable).
    std::optional<NoteNumbers> NoteRaw(int staff, int measure, int layer, int entry,
                                       int note) const;
    // The entry's 16-bit flag word (entry record offset 0x0C) as last saved.
    std::optional<uint16_t> EntryFlags16(int staff, int measure, int layer, int entry) const;
    // The key word that governs a cell, as the host decides it.
    std::optional<uint16_t> CellKey(int staff, int measure) const;

    // Protocol errors: every breach of the host's rules, in order.
    const std::vector<std::string>& ProtocolErrors() const;
    void ReportProtocolError(std::string text);

    // The transcript: one line per event (alerts, beeps, edits, menu commands, redraws,
    // protocol errors, and with trace on every FX_ call). The sink, when set, sees each line as
    // it is added.
    const std::vector<std::string>& Transcript() const;
    void AddEvent(std::string line);
    void SetEventSink(std::function<void(const std::string&)> sink);
    void SetTrace(bool on);
    bool Trace() const { return trace_; }

    Counters GetCounters() const;

    // Every FX_ call since the last Reset or ResetCallStats, and, while call timing is on, the
    // time spent inside the outermost ones (a call made while another is running counts once,
    // its time inside the outer call's). The time is measured with CallClock and the clock's own
    // cost is taken off; with call timing off it stays 0, and a call costs one count.
    struct CallStats {
        int64_t calls = 0;
        int64_t nanoseconds = 0;
    };
    CallStats GetCallStats() const;
    void ResetCallStats();
    // Call timing is off after Reset: a measured run counts its calls, and a separate pass with
    // timing on tells how long they took.
    void SetCallTiming(bool on);
    bool CallTiming() const;
    // The regions that respace commands ran on and that were redrawn, in order.
    const std::vector<Region>& RespaceRegions() const;
    const std::vector<Region>& RedrawRegions() const;
    // Every menu command run, in order.
    const std::vector<int32_t>& MenuCommands() const;
    // Titles of the edits opened, in order.
    const std::vector<std::string>& EditTitles() const;

    // Frames handed out and not yet freed.
    int OutstandingFrames() const;
    // The bytes mapped below 4 GiB for frame blocks so far (blocks of freed frames are reused).
    size_t FrameMemory() const;
    // EndRun reports every frame never freed as a protocol error (once per frame).
    void EndRun();

    // The current selection of the document; nullopt: nothing selected.
    std::optional<Region> Selection() const;
    void SetSelection(std::optional<Region> region);
    // Select slots slot1..slot2, measures m1..m2, positions p1..p2 (what the script's
    // "select" does).
    void Select(int slot1, int slot2, int m1, int m2, int32_t p1 = 0, int32_t p2 = 2147483647);

    // Undo of the last kept edit: false when there is none. Not allowed while an edit is open.
    bool Undo();
    bool EditOpen() const;

    // "slots 1-2 measures 3-4 positions 0-2147483647", as the transcript writes a region.
    static std::string FormatRegion(const Region& region);

    // Internal state, shared with the host's own source files.
    struct State;
    State& Internal() { return *state_; }

  private:
    static HostSession instance_;
    std::unique_ptr<State> state_;
    bool trace_ = false;  // asked by every call, so kept beside the state rather than in it
};

}  // namespace host
