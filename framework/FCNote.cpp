// FCNote: note record fields.
#include "framework/FCNote.h"

#include <cstdint>
#include <memory>
#include <optional>

#include "framework/FCCell.h"
#include "framework/FCCurrentStaffSpec.h"
#include "framework/FCGeneralPrefs.h"
#include "framework/FCKeySignature.h"
#include "framework/FCNoteEntry.h"
#include "framework/FCPartScopePrefs.h"
#include "framework/FCString.h"
#include "hostapi/HostFunctions.h"
#include "hostapi/LittleEndian.h"
#include "rules/KeySignature.h"
#include "rules/TargetSpelling.h"

FCNote::FCNote(int32_t index, uint8_t* record, FCNoteEntry* entry)
    : index_(index), record_(record), entry_(entry) {}

const char* FCNote::ClassName() const {
    return "FCNote";
}

int16_t FCNote::GetDisplacement() const {
    return le::I16(record_, 0);
}
void FCNote::SetDisplacement(int16_t displacement) {
    le::SetI16(record_, 0, displacement);
}
int16_t FCNote::GetRaiseLower() const {
    return le::I16(record_, 2);
}
void FCNote::SetRaiseLower(int16_t raiseLower) {
    le::SetI16(record_, 2, raiseLower);
}

// ---- Pitch arithmetic ----------------------------------------------------------------------

namespace {

// A spelling is gathered in a local buffer: a letter, up to this many units of accidentals in all,
// and an octave number of at most 11 units ("-2147483648").
constexpr uint32_t kMaxSpelling = 32;
constexpr uint32_t kOctaveDigits = 11;

// Mod7 reduces x into 0..6.
int Mod7(int x) {
    return ((x % 7) + 7) % 7;
}

// FloorDiv7 divides toward minus infinity, so that octaves stay right below octave 0 and
// SetSpelling and GetOctave remain inverse for every sum.
int FloorDiv7(int x) {
    return x >= 0 ? x / 7 : -((-x + 6) / 7);
}

// FifthsShift: how many places along the circle of fifths a chromatic interval moves a key.
int FifthsShift(int interval) {
    switch (interval % 7) {
        case 5:
            return 1;
        case 2:
            return 2;
        case 6:
            return 3;
        case 3:
            return 4;
        case 4:
            return 6;
        case -5:
            return -1;
        case -2:
            return -2;
        case -6:
            return -3;
        case -3:
            return -4;
        case -4:
            return -6;
        default:
            return 0;
    }
}

// KeyFifths: the key's sharps, or its flats as a negative count; a non-linear key alters no
// letter and counts as none.
int KeyFifths(const FCKeySignature& key) {
    const int sharps = key.GetSharpCount();
    if (sharps > 0) {
        return sharps;
    }
    const int flats = key.GetFlatCount();
    return flats > 0 ? -flats : 0;
}

// OctaveShift: the general preference's octave setting in whole octaves.
int OctaveShift() {
    FCGeneralPrefs prefs;
    prefs.Load(1);
    return prefs.GetOctaveShift() / 12;
}

// AppliesTransposition: written pitch is transposed unless the document shows concert pitch.
bool AppliesTransposition() {
    FCPartScopePrefs prefs;
    return !prefs.Load(0) || !prefs.GetConcertPitch();
}

// The transposition of the staff settings in force at an entry, read from one load of them.
struct Transposition {
    bool has = false;
    bool chromatic = false;
    int alteration = 0;
    int interval = 0;
};

Transposition LoadTransposition(const FCNoteEntry* entry) {
    FCCurrentStaffSpec staffSpec;
    staffSpec.LoadForEntry(entry);
    return {staffSpec.HasTransposition(), staffSpec.IsChromaticTransposition() != 0,
            staffSpec.GetTranspositionAlteration(), staffSpec.GetTranspositionInterval()};
}

}  // namespace

char16_t FCNote::GetSoundingLetter() const {
    if (entry_ == nullptr || !entry_->IsNote()) {
        return 0;
    }
    FCCell cell(entry_->GetMeasure(), entry_->GetStaff());
    const FCKeySignature* key = cell.GetKeySignature();
    return static_cast<char16_t>(u'A' + Mod7(key->GetTonicLetter() + GetDisplacement()));
}

char16_t FCNote::GetWrittenLetter() const {
    if (entry_ == nullptr || !entry_->IsNote()) {
        return 0;
    }
    FCCell cell(entry_->GetMeasure(), entry_->GetStaff());
    FCKeySignature* key = cell.GetKeySignature();
    FCCurrentStaffSpec staffSpec;
    staffSpec.LoadForEntry(entry_);
    const bool chromatic = staffSpec.IsChromaticTransposition() != 0;
    if (staffSpec.HasTransposition() && !chromatic) {
        key->SetTranspositionOffset(static_cast<int16_t>(staffSpec.GetTranspositionAlteration()));
    }
    int i = (key->GetTonicLetter() + GetDisplacement()) % 7;
    if (chromatic) {
        i += staffSpec.GetTranspositionInterval() - 1;
    }
    return static_cast<char16_t>(u'A' + Mod7(i));
}

int16_t FCNote::GetAlteration(bool written) const {
    if (entry_ == nullptr || !entry_->IsNote()) {
        return 0;
    }
    FCCell cell(entry_->GetMeasure(), entry_->GetStaff());
    const FCKeySignature* key = cell.GetKeySignature();
    if (!key->IsLinear()) {
        return 0;
    }
    int shift = 0;
    if (written) {
        FCCurrentStaffSpec staffSpec;
        staffSpec.LoadForEntry(entry_);
        const bool chromatic = staffSpec.IsChromaticTransposition() != 0;
        shift = chromatic ? FifthsShift(staffSpec.GetTranspositionInterval())
                          : staffSpec.GetTranspositionAlteration();
    }
    // The key along the circle of fifths (sharps positive), moved by the written transposition.
    const int n = KeyFifths(*key) + shift;
    const char16_t letter = written ? GetWrittenLetter() : GetSoundingLetter();
    if (letter == 0) {
        return 0;
    }
    return static_cast<int16_t>(GetRaiseLower() + rules::KeyAlteration(n, letter - u'A'));
}

int16_t FCNote::GetMidiKey() const {
    if (entry_ == nullptr) {
        return 0;
    }
    FCCurrentStaffSpec staffSpec;
    staffSpec.LoadForEntry(entry_);
    uint16_t keyWord = 0;
    if (!staffSpec.IsKeyIgnored()) {
        FCCell cell(entry_->GetMeasure(), entry_->GetStaff());
        keyWord = cell.GetKeySignature()->GetKeyWord();
    }
    return static_cast<int16_t>(fx::NoteToMidi(record_, static_cast<int16_t>(keyWord)));
}

int16_t FCNote::GetOctave(const FCKeySignature* key, int a) const {
    if (key == nullptr) {
        return 0;
    }
    const int t = key->GetTonicLetter();
    const int sum = t + 7 * OctaveShift() + a + GetDisplacement() + 26;
    return static_cast<int16_t>(FloorDiv7(sum) + (t < 2 ? 1 : 0));
}

void FCNote::GetSpelling(FCString* text, FCKeySignature* key, bool written) const {
    if (text == nullptr || entry_ == nullptr) {
        return;
    }
    const bool apply = written && AppliesTransposition();
    std::optional<FCCell> cell;
    if (key == nullptr) {
        cell.emplace(entry_->GetMeasure(), entry_->GetStaff());
        key = cell->GetKeySignature();
    }
    // The staff settings are loaded only when the transposition applies.
    Transposition transposition;
    int interval = 0;
    const int16_t savedOffset = key->GetTranspositionOffset();
    if (apply) {
        transposition = LoadTransposition(entry_);
        key->SetTranspositionOffset(static_cast<int16_t>(transposition.alteration));
        if (!transposition.has || transposition.chromatic) {
            interval = transposition.interval;
        }
    }
    // Letter, accidentals and octave are gathered here and handed to the text at once.
    char16_t units[kMaxSpelling];
    uint32_t length = 0;
    int i = (key->GetTonicLetter() + GetDisplacement()) % 7;
    if (interval != 0) {
        i += interval - 1;
    }
    units[length++] = static_cast<char16_t>(u'A' + Mod7(i));
    // With concert pitch shown, the accidentals are read untransposed, like letter and octave.
    const int f = GetAlteration(apply);
    const int count = f < 0 ? -f : f;
    for (int k = 0; k < count && length < kMaxSpelling; ++k) {
        units[length++] = f > 0 ? u'#' : u'b';
    }
    if (apply) {
        key->SetTranspositionOffset(savedOffset);
    }
    int g = apply ? transposition.interval : 0;
    if (apply && transposition.chromatic && g != 0) {
        g -= 1;
    }
    if (length + kOctaveDigits <= kMaxSpelling) {
        text->SetUTF16Units(units, length);
        text->AppendInteger(GetOctave(key, g));
        return;
    }
    // A key far past seven sharps or flats: more accidentals than the gathered room.
    text->SetUTF16Units(units, 1);
    for (int k = 0; k < count; ++k) {
        text->AppendCharacter(f > 0 ? u'#' : u'b');
    }
    text->AppendInteger(GetOctave(key, g));
}

bool FCNote::SetSpelling(const FCString* text, FCKeySignature* key, bool written) {
    if (text == nullptr || key == nullptr) {
        return false;
    }
    const std::optional<rules::SpelledPitch> target =
        rules::ReadTarget(std::u16string_view(text->GetUTF16(), text->GetLength()));
    if (!target) {
        return false;
    }
    const int letter = target->letter;
    const int accidentals = target->alteration;
    const int octave = target->octave;
    const bool apply = written && AppliesTransposition();
    Transposition transposition;
    bool transposed = false;
    const int16_t savedOffset = key->GetTranspositionOffset();
    if (apply) {
        transposition = LoadTransposition(entry_);
        if (transposition.has) {
            key->SetTranspositionOffset(static_cast<int16_t>(transposition.alteration));
            transposed = true;
        }
    }
    const int shift = OctaveShift();
    // The stored raise/lower is relative to what the (transposed) key gives the letter, counted
    // exactly as a reading counts it, also for keys of more than seven sharps or flats.
    const int raiseLower = accidentals - rules::KeyAlteration(KeyFifths(*key), letter);
    if (transposed) {
        key->SetTranspositionOffset(savedOffset);
    }
    if (raiseLower < INT16_MIN || raiseLower > INT16_MAX) {
        return false;  // the note's raise/lower would wrap round to another pitch
    }
    const int t = key->GetTonicLetter();
    int d = letter - 28 + 7 * (octave - shift) - t;
    if (t < 2) {
        d -= 7;
    }
    if (letter < 2) {
        d += 7;
    }
    if (transposed) {
        d -= transposition.interval;
    }
    SetDisplacement(static_cast<int16_t>(d));
    SetRaiseLower(static_cast<int16_t>(raiseLower));
    return true;
}
