// PitchRunFixture: runs pitch change lists through the stand-in host and reads the score back
// in musical terms, as the host's own model spells it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "host/HostSession.h"
#include "pitch/FCPitchChangeNodes.h"
#include "pitch/NoSelectionAlert.h"

class PitchRunFixture : public ::testing::Test {
  public:
    // Entry builds one entry's JSON.
    static std::string Entry(int staff, int measure, int layer, int pos,
                             const std::vector<std::string>& notes);

  protected:
    struct Row {
        const char* from;
        const char* to;
        int direction;
    };

    void SetUp() override;
    void TearDown() override;

    static host::HostSession& Host() { return host::HostSession::Instance(); }

    // Load replaces the score; the JSON may leave out "selection" to select everything.
    void Load(const std::string& json);
    // UseHostVersion sets the version on both sides, as the host's version call does.
    static void UseHostVersion(uint32_t version);

    // Run applies the rows as the dialog's Change Checked does; answers Execute's result.
    bool Run(const std::vector<Row>& rows, bool sounding = true, bool respace = true);
    // NoSelectionAlerts counts the runs since SetUp that told the user nothing was selected.
    int NoSelectionAlerts() const { return noSelection_.count; }
    // Note answers the host's spelling of a note (staff, measure, layer, entry, note).
    std::string Note(int staff, int measure, int layer, int entry, int note) const;

    // One-staff C major score helper: a single entry holding the notes.
    static std::string Chord(const std::vector<std::string>& notes, int key = 0,
                             int transposition = 0, int staffFlags = 0);

  private:
    // The runs' alert: a count in place of the dialog's message box.
    struct NoSelectionRecorder : NoSelectionAlert {
        void AlertNoSelection() override { ++count; }
        int count = 0;
    };
    NoSelectionRecorder noSelection_;
};

// Midi answers the key number of a spelled note ("C4" is 60, "B#3" 60, "Cb4" 59).
int Midi(const std::string& spelling);
