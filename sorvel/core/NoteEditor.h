// NoteEditor: the edits of one <note> element: its <pitch> children and its <accidental>
// rewritten, every other byte of the element kept. New elements copy the indentation of their
// neighbours, so the file keeps its layout.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "rules/SpelledPitch.h"
#include "sorvel/core/EditTexts.h"
#include "sorvel/core/RespellScore.h"
#include "sorvel/core/XmlSpans.h"

namespace sorvel {

// PitchElements: the first <step>, <alter> (if any) and <octave> of a note's first <pitch>.
struct PitchElements {
    pugi::xml_node step;
    pugi::xml_node alter;
    pugi::xml_node octave;
};

class NoteEditor {
  public:
    // accidental is the note's <accidental> element, if it has one; the edits' texts are kept
    // in texts.
    NoteEditor(const XmlSpans& spans, pugi::xml_node note, pugi::xml_node accidental,
               EditTexts& texts);

    // SetPitch writes step, alter (left out for a natural) and octave, into the elements the
    // reader found.
    void SetPitch(const rules::SpelledPitch& pitch, const PitchElements& elements);
    // ShowAccidental gives the note the accidental of a whole-tone alteration: a note that has
    // one keeps its element and attributes (but not the one that marks it cautionary: an
    // editor's mark, parentheses or brackets stay), others get a new element in its place
    // among the note's children.
    void ShowAccidental(int32_t alteration);
    // HideAccidental removes the note's accidental, if it has one.
    void HideAccidental();

    [[nodiscard]] size_t Begin() const { return begin_; }
    [[nodiscard]] size_t End() const { return end_; }
    [[nodiscard]] bool HasEdits() const { return count_ > 0; }
    // MoveEditsInto appends the note's edits, in text order, to edits: each replaces only the
    // bytes it changes, so the rest of the note costs nothing to keep.
    void MoveEditsInto(std::deque<sorvel::ScoreEdit>& edits);

  private:
    // At most: step, alter, octave and accidental.
    static constexpr size_t kMaxSplices = 4;

    // Replace takes a text that is kept in texts_ or a constant.
    void Replace(size_t begin, size_t end, std::string_view text);
    // Element: where an element without children lies; each offset found once.
    struct Element {
        size_t start = 0;    // its "<"
        size_t tagEnd = 0;   // past its start tag
        bool empty = false;  // written <name/>
        size_t endTag = 0;   // its "</", unless empty
        size_t end = 0;      // past it
    };
    // Checked answers where an element lies after checking that the text holds its tags where
    // the spans place them: an edit never lands anywhere but on the element it means.
    [[nodiscard]] Element Checked(pugi::xml_node element) const;
    // ReplaceContent makes text the element's content (nothing, where it is that already) and
    // answers where the element lies.
    Element ReplaceContent(pugi::xml_node element, std::string_view text);
    [[nodiscard]] std::string Indent(pugi::xml_node element) const;

    const XmlSpans& spans_;
    pugi::xml_node note_;
    pugi::xml_node accidental_;
    EditTexts& texts_;
    size_t begin_;
    size_t end_;
    std::array<sorvel::ScoreEdit, kMaxSplices> splices_{};
    size_t count_ = 0;
};

}  // namespace sorvel
