// FCPitchChanger: matching a note's spelling against the replacements and placing the result.
#include "pitch/FCPitchChanger.h"

#include "framework/FCCell.h"
#include "framework/FCCurrentStaffSpec.h"
#include "framework/FCKeySignature.h"
#include "framework/FCNote.h"
#include "framework/FCNoteEntry.h"
#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"

namespace {

constexpr size_t kEntryFlags2 = 0x0C;
constexpr uint16_t kChangedOnOldHosts = 0x0004;
// Closest moves the result an octave when it lies this many semitones away or more.
constexpr int kFlipSemitones = 6;

bool IsPitchUnit(char16_t unit) {
    return (unit >= u'A' && unit <= u'G') || unit == u'#' || unit == u'b';
}

// PitchPartIs answers whether the letter and accidentals of a spelled note (its units "A" to "G",
// "#" and "b", up to its first 0 unit; the octave number and its sign dropped) are exactly the
// units of pitch.
bool PitchPartIs(const FCString& spelling, const FCString& pitch) {
    const char16_t* units = spelling.GetUTF16();
    const char16_t* wanted = pitch.GetUTF16();
    uint32_t matched = 0;
    for (uint32_t i = 0; i < spelling.GetLength() && units[i] != 0; ++i) {
        if (!IsPitchUnit(units[i])) {
            continue;
        }
        if (matched == pitch.GetLength() || wanted[matched] != units[i]) {
            return false;
        }
        ++matched;
    }
    return matched == pitch.GetLength();
}

// OctavePart answers the octave number at the end of a spelled note ("Bb-1" gives -1).
int32_t OctavePart(const FCString& spelling) {
    uint32_t i = 0;
    while (i < spelling.GetLength() && IsPitchUnit(spelling.GetCharAt(i))) {
        ++i;
    }
    return spelling.GetInteger(i);
}

}  // namespace

FCPitchChanger::FCPitchChanger(const FCPitchChangeNodes* nodes, bool soundingPitch)
    : nodes_(nodes), soundingPitch_(soundingPitch) {
    SetSaveFlag(true);
}

bool FCPitchChanger::Iterate(__FCBase* item) {
    auto* entry = static_cast<FCNoteEntry*>(item);
    if (entry == nullptr || nodes_ == nullptr || !entry->IsNote()) {
        return true;
    }
    const bool written = !soundingPitch_;
    if (written) {
        // Chromatically transposed staves have no written spelling this run can match.
        FCCurrentStaffSpec staffSpec;
        staffSpec.LoadForEntry(entry);
        if (staffSpec.HasTransposition() && staffSpec.IsChromaticTransposition() != 0) {
            return true;
        }
    }
    FCCell cell(entry->GetMeasure(), entry->GetStaff());
    FCKeySignature* key = cell.GetKeySignature();
    // In a non-linear key a stored note has no spelling to read, so it can match nothing, and
    // rewriting it would lose its alteration.
    if (key == nullptr || !key->IsLinear()) {
        return true;
    }
    FCString spelling;
    for (int32_t n = 0; n < nodes_->GetCount(); ++n) {
        const FCPitchChangeNode* node = nodes_->GetNodeAt(n);
        if (node == nullptr) {
            continue;
        }
        for (int32_t i = 0; i < entry->GetCount(); ++i) {
            FCNote* note = entry->GetNoteAt(i);
            if (note == nullptr || note->GetUserValue() != 0) {
                continue;
            }
            note->GetSpelling(&spelling, key, written);
            if (PitchPartIs(spelling, node->GetFromText())) {
                ChangeNote(note, key, node, spelling);
            }
        }
    }
    return true;
}

void FCPitchChanger::ChangeNote(FCNote* note, FCKeySignature* key, const FCPitchChangeNode* node,
                                const FCString& spelling) {
    const bool written = !soundingPitch_;
    const int16_t d0 = note->GetDisplacement();
    const int16_t r0 = note->GetRaiseLower();
    const int32_t direction = node->GetDirection();
    const int m0 = direction == FCPitchChangeNode::kClosest ? note->GetMidiKey() : 0;

    // The target keeps the octave the note shows in the pitch being compared: the written
    // octave in written mode, the sounding one otherwise.
    FCString target(node->GetToText());
    target.AppendInteger(written ? OctavePart(spelling) : note->GetOctave(key, 0));
    note->SetSpelling(&target, key, written);

    const int16_t d1 = note->GetDisplacement();
    const int16_t r1 = note->GetRaiseLower();
    int step = 0;
    if (direction == FCPitchChangeNode::kUp) {
        step = (d1 < d0 || (d1 == d0 && r1 < r0)) ? 1 : 0;
    } else if (direction == FCPitchChangeNode::kDown) {
        step = (d1 > d0 || (d1 == d0 && r1 > r0)) ? -1 : 0;
    } else {
        const int d = note->GetMidiKey() - m0;
        step = d >= kFlipSemitones ? -1 : (d <= -kFlipSemitones ? 1 : 0);
    }
    if (step != 0) {
        note->SetDisplacement(static_cast<int16_t>(d1 + 7 * step));
    }
    if (HostVersion::IsBefore12()) {
        uint8_t* record = note->GetEntry()->GetRecord();
        le::SetU16(record, kEntryFlags2, le::U16(record, kEntryFlags2) | kChangedOnOldHosts);
    }
    note->SetUserValue(1);
    changed_ = true;
}
