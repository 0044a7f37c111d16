// FCNote: one note of a note entry. Its 10-byte record lies inside the entry record in the
// host's frame, so reads and writes go straight to the frame and reach the document when the
// cell is saved.
#pragma once

#include <cstdint>

#include "framework/__FCBase.h"
#include "hostapi/FrameLayout.h"

class FCKeySignature;
class FCNoteEntry;
class FCString;

class FCNote : public __FCBase {
  public:
    static constexpr uint32_t kRecordSize = frame_layout::kNoteSize;

    FCNote(int32_t index, uint8_t* record, FCNoteEntry* entry);
    FCNote(const FCNote&) = delete;
    FCNote& operator=(const FCNote&) = delete;

    const char* ClassName() const override;

    // GetIndex is the note's place in its entry.
    int32_t GetIndex() const { return index_; }
    FCNoteEntry* GetEntry() const { return entry_; }

    // Displacement: diatonic steps from the tonic of the governing key.
    int16_t GetDisplacement() const;
    void SetDisplacement(int16_t displacement);
    // Raise/lower: semitones added to what the key signature gives the note's letter.
    int16_t GetRaiseLower() const;
    void SetRaiseLower(int16_t raiseLower);

    // GetRecord is the note's own record in the frame, as the host's pitch functions take it.
    uint8_t* GetRecord() const { return record_; }

    // Pitch arithmetic. Each operation loads the records it needs afresh; only the key passed
    // in is shared, and written-pitch operations put back its transposition offset before
    // they return, so the caller's key stays in concert terms.

    // GetSoundingLetter answers 'A' .. 'G', or 0 for a rest.
    char16_t GetSoundingLetter() const;
    // GetWrittenLetter is the letter with the staff's transposition applied.
    char16_t GetWrittenLetter() const;
    // GetAlteration counts sharps (positive) or flats (negative) of the note as spelled.
    int16_t GetAlteration(bool written) const;
    // GetMidiKey answers the host's key number of the note (C4 = 60); 0 without the host.
    int16_t GetMidiKey() const;
    // GetOctave answers the octave number in key for the interval adjustment a.
    int16_t GetOctave(const FCKeySignature* key, int a) const;
    // GetSpelling fills text with letter, accidentals and octave ("F#5", "Bbb3", "E-1"). A null
    // key means the key of the note's cell.
    void GetSpelling(FCString* text, FCKeySignature* key, bool written) const;
    // SetSpelling stores the spelling (letter, accidentals, octave -5 .. 15) in key; false
    // leaves the note unchanged.
    bool SetSpelling(const FCString* text, FCKeySignature* key, bool written);

  private:
    int32_t index_;
    uint8_t* record_;
    FCNoteEntry* entry_;
};
