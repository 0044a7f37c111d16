// PitchSpelling: the text form of a pitch: a letter A to G followed by nothing, by "#" signs or
// by "b" signs. Texts typed by the user are checked and brought into this one form, so that
// spellings compare as exact text: "A#" and "Bb" are different spellings.
#pragma once

#include <cstdint>

class FCString;

class PitchSpelling {
  public:
    PitchSpelling() = delete;

    // A spelling is typed as at most a letter and four accidentals ("C####", "Dbbbb").
    static constexpr uint32_t kMaxLength = 5;

    // CheckPitchSpelling answers whether text is a spelling, normalising it in place as it
    // reads: a lower-case first letter a..g becomes upper case, "B" accidentals become "b".
    // What was normalised before a fault stays normalised. "x" (double sharp) is accepted only
    // as the whole accidental ("Cx").
    static bool CheckPitchSpelling(FCString* text);
    // ExpandDoubleSharp writes every "x" as "##".
    static void ExpandDoubleSharp(FCString* text);
    // IsNormalSpelling answers whether text is a spelling exactly as a list holds one after the
    // dialog checked and normalised it: at most kMaxLength characters, an upper-case letter,
    // "#" or "b" signs, no "x". A text read from a file that is not (hand-edited or damaged)
    // must not be applied.
    static bool IsNormalSpelling(const FCString& text);
    // IsSameSpelling: two normalised spellings name the same pitch exactly when they are equal.
    static bool IsSameSpelling(const FCString* a, const FCString* b);
};
