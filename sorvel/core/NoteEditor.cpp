// NoteEditor: splices inside one note element.
#include "sorvel/core/NoteEditor.h"

#include <algorithm>
#include <array>
#include <span>
#include <stdexcept>
#include <string_view>

#include "sorvel/core/Failure.h"
#include "sorvel/core/MeasureAccidentals.h"

namespace sorvel {

namespace {

// Children that come after <accidental> in a note, in MusicXML's order.
constexpr std::array<std::string_view, 10> kAfterAccidental = {
    "time-modification", "stem",  "notehead", "notehead-text", "staff", "beam",
    "notations",         "lyric", "play",     "listen"};

// The attribute that says an accidental is a courtesy; a changed note's accidental is not.
// An editor's mark (editorial, parentheses, bracket) stays: it says who suggests the sign.
constexpr std::string_view kCourtesyAttribute = "cautionary";

std::string EscapeAttribute(std::string_view value) {
    std::string text;
    for (const char c : value) {
        switch (c) {
            case '&':
                text += "&amp;";
                break;
            case '<':
                text += "&lt;";
                break;
            case '"':
                text += "&quot;";
                break;
            default:
                text += c;
        }
    }
    return text;
}

constexpr std::string_view kLetters = "ABCDEFG";

}  // namespace

NoteEditor::NoteEditor(const XmlSpans& spans, pugi::xml_node note, pugi::xml_node accidental,
                       EditTexts& texts)
    : spans_(spans),
      note_(note),
      accidental_(accidental),
      texts_(texts),
      begin_(spans.Start(note)),
      end_(spans.End(note)) {}

NoteEditor::Element NoteEditor::Checked(pugi::xml_node element) const {
    Element span;
    span.start = spans_.Start(element);
    // Its content is replaced whole: whatever else it held (elements, comments) would be lost.
    if (element.first_child()) {
        const XmlSpans::Place place = spans_.PlaceOf(span.start);
        sorvel::Fail(sorvel::FailureKind::kNotAScore,
                     "<" + std::string(element.name()) +
                         "> holds more than its text, which respelling would lose",
                     place.line);
    }
    const std::string_view name = element.name();
    if (spans_.Text(span.start + 1, span.start + 1 + name.size()) != name) {
        throw std::logic_error("an element is not where its name is");
    }
    span.tagEnd = spans_.StartTagEnd(element);
    span.empty = spans_.Text(span.tagEnd - 2, span.tagEnd) == "/>";
    if (span.empty) {
        span.end = span.tagEnd;
        return span;
    }
    // Without children, its end tag is the first after its start tag.
    span.endTag = spans_.Find("</", span.tagEnd);
    if (spans_.Text(span.endTag + 2, span.endTag + 2 + name.size()) != name) {
        throw std::logic_error("an end tag is not where its element ends");
    }
    span.end = spans_.Find(">", span.endTag) + 1;
    return span;
}

void NoteEditor::Replace(size_t begin, size_t end, std::string_view text) {
    if (begin < begin_ || end > end_ || begin > end) {
        throw std::logic_error("an edit outside its note");
    }
    if (count_ == kMaxSplices) {
        throw std::logic_error("more edits than a note has places for");
    }
    splices_[count_++] = sorvel::ScoreEdit::Of(begin, end, text);
}

NoteEditor::Element NoteEditor::ReplaceContent(pugi::xml_node element, std::string_view text) {
    const Element span = Checked(element);
    if (span.empty) {
        Replace(span.start, span.tagEnd,
                texts_.Keep(std::string(spans_.Text(span.start, span.tagEnd - 2)) + ">" +
                            std::string(text) + "</" + element.name() + ">"));
    } else if (spans_.Text(span.tagEnd, span.endTag) != text) {
        // (The same bytes again, an octave the new spelling keeps, need no edit.)
        Replace(span.tagEnd, span.endTag, text);
    }
    return span;
}

std::string NoteEditor::Indent(pugi::xml_node element) const {
    const size_t start = spans_.Start(element);
    return std::string(spans_.Text(spans_.SpaceBefore(start), start));
}

void NoteEditor::SetPitch(const rules::SpelledPitch& pitch, const PitchElements& elements) {
    const Element step =
        ReplaceContent(elements.step, kLetters.substr(static_cast<size_t>(pitch.letter), 1));
    ReplaceContent(elements.octave, texts_.Number(pitch.octave));
    if (elements.alter && pitch.alteration != 0) {
        ReplaceContent(elements.alter, texts_.Number(pitch.alteration));
    } else if (elements.alter) {
        const Element span = Checked(elements.alter);
        Replace(spans_.SpaceBefore(span.start), span.end, "");
    } else if (pitch.alteration != 0) {
        const std::string_view indent = spans_.Text(spans_.SpaceBefore(step.start), step.start);
        Replace(step.end, step.end,
                texts_.Keep(std::string(indent) + "<alter>" + std::to_string(pitch.alteration) +
                            "</alter>"));
    }
}

void NoteEditor::ShowAccidental(int32_t alteration) {
    const char* value = AccidentalValue(alteration);
    if (value == nullptr) {
        throw std::logic_error("no accidental for this alteration");
    }
    if (const pugi::xml_node existing = accidental_) {
        std::string element = "<accidental";
        for (const pugi::xml_attribute attribute : existing.attributes()) {
            const std::string_view name = attribute.name();
            if (name != kCourtesyAttribute) {
                element.append(" ").append(name).append("=\"");
                element.append(EscapeAttribute(attribute.value())).append("\"");
            }
        }
        element.append(">").append(value).append("</accidental>");
        const Element span = Checked(existing);
        Replace(span.start, span.end, texts_.Keep(element));
        return;
    }
    const std::string element = std::string("<accidental>") + value + "</accidental>";
    for (pugi::xml_node child = note_.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element &&
            std::find(kAfterAccidental.begin(), kAfterAccidental.end(),
                      std::string_view(child.name())) != kAfterAccidental.end()) {
            const size_t at = spans_.Start(child);
            Replace(at, at, texts_.Keep(element + Indent(child)));
            return;
        }
    }
    pugi::xml_node last;
    for (pugi::xml_node child = note_.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) {
            last = child;
        }
    }
    const size_t at = spans_.End(last);
    Replace(at, at, texts_.Keep(Indent(last) + element));
}

void NoteEditor::HideAccidental() {
    if (const pugi::xml_node existing = accidental_) {
        const Element span = Checked(existing);
        Replace(spans_.SpaceBefore(span.start), span.end, "");
    }
}

void NoteEditor::MoveEditsInto(std::deque<sorvel::ScoreEdit>& edits) {
    const auto splices = std::span(splices_).first(count_);
    std::stable_sort(splices.begin(), splices.end(),
                     [](const auto& a, const auto& b) { return a.begin < b.begin; });
    size_t at = begin_;
    for (const sorvel::ScoreEdit& splice : splices) {
        if (splice.begin < at) {
            throw std::logic_error("overlapping edits in one note");
        }
        at = splice.End();
        edits.push_back(splice);
    }
    count_ = 0;
}

}  // namespace sorvel
