// PitchSpelling: the spelling check and its normalisation (SpellingSyntax of the rules) on the
// framework's text type, for the dialog's fields and the rows it keeps: a letter A to G followed
// by nothing, by "#" signs or by "b" signs, compared as exact text ("A#" and "Bb" differ).
#pragma once

#include <cstdint>
#include <optional>

#include "rules/SpellingSyntax.h"

class FCString;

// A spelling is typed as at most a letter and four accidentals ("C####", "Dbbbb").
inline constexpr uint32_t kMaxSpellingLength = rules::kMaxTypedSpellingLength;

// CheckPitchSpelling answers whether text is a spelling, normalising it in place as it reads
// (rules::CheckSpelling); null is no spelling.
bool CheckPitchSpelling(FCString* text);
// ExpandDoubleSharp writes every "x" as "##".
void ExpandDoubleSharp(FCString* text);
// ValidateSpellingPair tests a typed from text, then a typed to text (length as typed, then the
// check), normalising them as far as they were read; it answers which of the two is the first
// faulty one (rules::ValidateSpellingPair).
std::optional<rules::SpellingField> ValidateSpellingPair(FCString* from, FCString* to);
// IsNormalSpelling answers whether text is a spelling exactly as a list holds one after the
// dialog checked and normalised it (rules::IsStoredSpelling): at most kMaxSpellingLength
// characters, an upper-case letter, "#" or "b" signs, no "x". A text read from a file that is
// not (hand-edited or damaged) must not be applied.
bool IsNormalSpelling(const FCString& text);
// IsSameSpelling: two normalised spellings name the same pitch exactly when they are equal.
bool IsSameSpelling(const FCString* a, const FCString* b);
