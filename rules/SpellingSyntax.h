// SpellingSyntax: the text form of a pitch name: a letter A to G followed by nothing, by "#"
// signs or by "b" signs ("A#", "Bb", "C##"). Typed texts are checked and brought into this one
// form, so that spellings compare as exact text: "A#" and "Bb" are different spellings. The
// messages are the ones the user sees for a faulty From or To text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rules {

// The two fields a spelling is typed into.
enum class SpellingField { kFrom, kTo };

// A typed spelling is at most this long (C####, Dbbbb); the length is tested as typed.
inline constexpr size_t kMaxTypedSpellingLength = 5;
inline constexpr const char* kSpellingErrorTitle = "Syntax Error";

// CheckSpelling answers whether text is a spelling, normalising it in place as it reads: a
// lower-case first letter a..g becomes upper case and "B" accidentals become "b". What was
// normalised before a fault stays normalised. "x" (double sharp) is accepted only as the whole
// accidental ("Cx").
bool CheckSpelling(std::u16string& text);
// ExpandDoubleSharp writes every "x" as "##"; after CheckSpelling only "Cx" can hold one.
void ExpandDoubleSharp(std::u16string& text);
// IsAcceptableSpelling is the test a typed text must pass: short enough, and a spelling
// (CheckSpelling, so text is normalised as a side effect).
bool IsAcceptableSpelling(std::u16string& typed);
// ValidateSpellingPair tests the from text first and then the to text; it answers the field of
// the first faulty one (the to text is not looked at when the from text fails). Both texts are
// normalised as far as they were read; x is not yet expanded.
std::optional<SpellingField> ValidateSpellingPair(std::u16string& from, std::u16string& to);
// SpellingErrorMessage is the text shown for a faulty field.
const char* SpellingErrorMessage(SpellingField field);
// IsCanonicalSpelling answers whether text is in the form lists hold and notes are spelled in:
// an upper-case letter, then only "#" or only "b".
bool IsCanonicalSpelling(std::u16string_view text);
// IsStoredSpelling answers whether text is a spelling exactly as a list holds one after the
// dialog checked and normalised it: canonical and at most kMaxTypedSpellingLength long. A row
// read from a pitch-list file whose texts are not (hand-edited or damaged) is not applied.
bool IsStoredSpelling(std::u16string_view text);
// Widen turns 8-bit text into code units of the same values (0 to 255), as the settings files
// and the command line deliver it.
std::u16string Widen(std::string_view bytes);
// Narrow keeps the low byte of each unit (the 8-bit form of a text).
std::string Narrow(std::u16string_view units);

}  // namespace rules
