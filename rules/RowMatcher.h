// RowMatcher: which row of a list a note's spelling matches. A row matches when its from text
// equals the note's spelling exactly (no enharmonic equality: A# is not Bb), and the first
// matching row, in list order, is the one that applies. Each note is tested once against the
// list, so a note changes at most once: the rows A>B and B>A swap the two pitches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/SpelledPitch.h"

namespace rules {

class RowMatcher {
  public:
    explicit RowMatcher(std::vector<std::u16string> fromTexts);

    // Matches answers whether row number row (from 0) matches a spelling text.
    [[nodiscard]] bool Matches(size_t row, std::u16string_view spelling) const;
    // FirstMatch answers the first row that matches the spelling, or none. Only the tests call
    // it: it is the plug-in's walk (Matches, row by row, on the note's spelling text) as one
    // call, which RowMatcherTest holds to the same row as FirstMatch for a spelled note, the
    // form PitchRules and sorvel use.
    [[nodiscard]] std::optional<size_t> FirstMatch(std::u16string_view spelling) const;
    // FirstMatch for a spelled note: its letter and alteration, written as a note's spelling is
    // written (canonical form), compared with every row.
    [[nodiscard]] std::optional<size_t> FirstMatch(const SpelledPitch& pitch) const;

  private:
    // A from text in canonical form, read as letter and alteration; other texts can equal no
    // note's spelling.
    struct Key {
        bool canonical = false;
        int32_t letter = 0;
        int32_t alteration = 0;
    };

    std::vector<std::u16string> fromTexts_;
    std::vector<Key> keys_;
};

}  // namespace rules
