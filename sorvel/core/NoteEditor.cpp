// NoteEditor: splices inside one note element.
#include "sorvel/core/NoteEditor.h"

#include <algorithm>
#include <array>
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

const char kLetters[] = "ABCDEFG";

}  // namespace

NoteEditor::NoteEditor(const XmlSpans& spans, pugi::xml_node note, pugi::xml_node accidental)
    : spans_(spans),
      note_(note),
      accidental_(accidental),
      begin_(spans.Start(note)),
      end_(spans.End(note)) {}

size_t NoteEditor::Checked(pugi::xml_node element) const {
    const size_t start = spans_.Start(element);
    // Its content is replaced whole: whatever else it held (elements, comments) would be lost.
    if (element.first_child()) {
        const XmlSpans::Place place = spans_.PlaceOf(start);
        Fail(FailureKind::kNotAScore,
             "<" + std::string(element.name()) +
                 "> holds more than its text, which respelling would lose",
             place.line);
    }
    const std::string_view name = element.name();
    if (spans_.Text(start + 1, start + 1 + name.size()) != name) {
        throw std::logic_error("an element is not where its name is");
    }
    if (!spans_.IsEmptyTag(element)) {
        const size_t endTag = spans_.EndTagStart(element);
        if (spans_.Text(endTag + 2, endTag + 2 + name.size()) != name) {
            throw std::logic_error("an end tag is not where its element ends");
        }
    }
    return start;
}

void NoteEditor::Replace(size_t begin, size_t end, std::string text) {
    if (begin < begin_ || end > end_ || begin > end) {
        throw std::logic_error("an edit outside its note");
    }
    splices_.push_back({begin, end, std::move(text)});
}

void NoteEditor::ReplaceContent(pugi::xml_node element, const std::string& text) {
    const size_t start = Checked(element);
    if (spans_.IsEmptyTag(element)) {
        const size_t tagEnd = spans_.StartTagEnd(element);
        Replace(
            start, tagEnd,
            std::string(spans_.Text(start, tagEnd - 2)) + ">" + text + "</" + element.name() + ">");
        return;
    }
    Replace(spans_.StartTagEnd(element), spans_.EndTagStart(element), text);
}

std::string NoteEditor::Indent(pugi::xml_node element) const {
    const size_t start = spans_.Start(element);
    return std::string(spans_.Text(spans_.SpaceBefore(start), start));
}

void NoteEditor::SetPitch(const rules::SpelledPitch& pitch) {
    const pugi::xml_node node = note_.child("pitch");
    const pugi::xml_node step = node.child("step");
    const pugi::xml_node alter = node.child("alter");
    ReplaceContent(step, std::string(1, kLetters[pitch.letter]));
    ReplaceContent(node.child("octave"), std::to_string(pitch.octave));
    if (alter && pitch.alteration != 0) {
        ReplaceContent(alter, std::to_string(pitch.alteration));
    } else if (alter) {
        Replace(spans_.SpaceBefore(Checked(alter)), spans_.End(alter), "");
    } else if (pitch.alteration != 0) {
        const size_t at = spans_.End(step);
        Replace(at, at, Indent(step) + "<alter>" + std::to_string(pitch.alteration) + "</alter>");
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
        Replace(Checked(existing), spans_.End(existing), element);
        return;
    }
    const std::string element = std::string("<accidental>") + value + "</accidental>";
    for (pugi::xml_node child = note_.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element &&
            std::find(kAfterAccidental.begin(), kAfterAccidental.end(),
                      std::string_view(child.name())) != kAfterAccidental.end()) {
            const size_t at = spans_.Start(child);
            Replace(at, at, element + Indent(child));
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
    Replace(at, at, Indent(last) + element);
}

void NoteEditor::HideAccidental() {
    if (const pugi::xml_node existing = accidental_) {
        Replace(spans_.SpaceBefore(Checked(existing)), spans_.End(existing), "");
    }
}

void NoteEditor::MoveEditsInto(std::vector<ScoreEdit>& edits) {
    std::stable_sort(splices_.begin(), splices_.end(),
                     [](const auto& a, const auto& b) { return a.begin < b.begin; });
    size_t at = begin_;
    for (ScoreEdit& splice : splices_) {
        if (splice.begin < at) {
            throw std::logic_error("overlapping edits in one note");
        }
        at = splice.end;
        edits.push_back(std::move(splice));
    }
    splices_.clear();
}

}  // namespace sorvel
