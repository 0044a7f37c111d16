// FCPitchChanger: matching a note's spelling against the replacements and placing the result.
#include "pitch/FCPitchChanger.h"

#include <string>
#include <string_view>
#include <vector>

#include "framework/FCCell.h"
#include "framework/FCCurrentStaffSpec.h"
#include "framework/FCKeySignature.h"
#include "framework/FCNote.h"
#include "framework/FCNoteEntry.h"
#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"
#include "rules/OctaveChoice.h"
#include "rules/TargetSpelling.h"

namespace {

constexpr size_t kEntryFlags2 = 0x0C;
constexpr uint16_t kChangedOnOldHosts = 0x0004;

bool IsPitchUnit(char16_t unit) {
    return (unit >= u'A' && unit <= u'G') || unit == u'#' || unit == u'b';
}

// PitchPart answers the letter and accidentals of a spelled note: its units "A" to "G", "#" and
// "b", up to its first 0 unit; the octave number and its sign dropped.
std::u16string PitchPart(const FCString& spelling) {
    const char16_t* units = spelling.GetUTF16();
    std::u16string part;
    for (uint32_t i = 0; i < spelling.GetLength() && units[i] != 0; ++i) {
        if (IsPitchUnit(units[i])) {
            part += units[i];
        }
    }
    return part;
}

// FromTexts answers the from text of every node, in list order (empty for a missing node).
std::vector<std::u16string> FromTexts(const FCPitchChangeNodes* nodes) {
    std::vector<std::u16string> texts;
    for (int32_t n = 0; nodes != nullptr && n < nodes->GetCount(); ++n) {
        const FCPitchChangeNode* node = nodes->GetNodeAt(n);
        texts.emplace_back(node != nullptr ? std::u16string(node->GetFromText().GetUTF16(),
                                                            node->GetFromText().GetLength())
                                           : std::u16string());
    }
    return texts;
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
    : nodes_(nodes), soundingPitch_(soundingPitch), matcher_(FromTexts(nodes)) {
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
            if (matcher_.Matches(static_cast<size_t>(n), PitchPart(spelling))) {
                ChangeNote(note, key, node, spelling);
            }
        }
    }
    return true;
}

void FCPitchChanger::ChangeNote(FCNote* note, FCKeySignature* key, const FCPitchChangeNode* node,
                                const FCString& spelling) {
    const bool written = !soundingPitch_;
    const rules::PitchDirection direction = rules::ClampDirection(node->GetDirection());
    const bool closest = direction == rules::PitchDirection::kClosest;
    // Only Closest compares keys: the others ask the host for nothing.
    const rules::NotePlace before{note->GetDisplacement(), note->GetRaiseLower(),
                                  closest ? note->GetMidiKey() : 0};

    // The target keeps the octave the note shows in the pitch being compared: the written
    // octave in written mode, the sounding one otherwise.
    const std::u16string target = rules::TargetText(
        std::u16string_view(node->GetToText().GetUTF16(), node->GetToText().GetLength()),
        written ? OctavePart(spelling) : note->GetOctave(key, 0));
    FCString targetText;
    targetText.SetUTF16Units(target.data(), static_cast<uint32_t>(target.size()));
    note->SetSpelling(&targetText, key, written);

    const rules::NotePlace after{note->GetDisplacement(), note->GetRaiseLower(),
                                 closest ? note->GetMidiKey() : 0};
    const int32_t step = rules::OctaveStep(direction, before, after);
    if (step != 0) {
        note->SetDisplacement(static_cast<int16_t>(after.steps + 7 * step));
    }
    if (HostVersion::IsBefore12()) {
        uint8_t* record = note->GetEntry()->GetRecord();
        le::SetU16(record, kEntryFlags2, le::U16(record, kEntryFlags2) | kChangedOnOldHosts);
    }
    note->SetUserValue(1);
    changed_ = true;
}
