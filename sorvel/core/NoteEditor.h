// NoteEditor: the edits of one <note> element: its <pitch> children and its <accidental>
// rewritten, every other byte of the element kept. New elements copy the indentation of their
// neighbours, so the file keeps its layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "rules/SpelledPitch.h"
#include "sorvel/core/RespellScore.h"
#include "sorvel/core/XmlSpans.h"

namespace sorvel {

class NoteEditor {
  public:
    // accidental is the note's <accidental> element, if it has one.
    NoteEditor(const XmlSpans& spans, pugi::xml_node note, pugi::xml_node accidental);

    // SetPitch writes step, alter (left out for a natural) and octave.
    void SetPitch(const rules::SpelledPitch& pitch);
    // ShowAccidental gives the note the accidental of a whole-tone alteration: a note that has
    // one keeps its element and attributes (but not the one that marks it cautionary: an
    // editor's mark, parentheses or brackets stay), others get a new element in its place
    // among the note's children.
    void ShowAccidental(int32_t alteration);
    // HideAccidental removes the note's accidental, if it has one.
    void HideAccidental();

    [[nodiscard]] size_t Begin() const { return begin_; }
    [[nodiscard]] size_t End() const { return end_; }
    [[nodiscard]] bool HasEdits() const { return !splices_.empty(); }
    // MoveEditsInto appends the note's edits, in text order, to edits: each replaces only the
    // bytes it changes, so the rest of the note costs nothing to keep.
    void MoveEditsInto(std::vector<ScoreEdit>& edits);

  private:
    void Replace(size_t begin, size_t end, std::string text);
    // Checked answers an element's start after checking that the text holds its tags where
    // the spans place them: an edit never lands anywhere but on the element it means.
    [[nodiscard]] size_t Checked(pugi::xml_node element) const;
    void ReplaceContent(pugi::xml_node element, const std::string& text);
    [[nodiscard]] std::string Indent(pugi::xml_node element) const;

    const XmlSpans& spans_;
    pugi::xml_node note_;
    pugi::xml_node accidental_;
    size_t begin_;
    size_t end_;
    std::vector<ScoreEdit> splices_;
};

}  // namespace sorvel
