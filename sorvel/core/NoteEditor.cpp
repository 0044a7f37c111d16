// NoteEditor: splices inside one note element.
#include "sorvel/core/NoteEditor.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

#include "sorvel/core/MeasureAccidentals.h"

namespace {

// Children that come after <accidental> in a note, in MusicXML's order.
constexpr std::array<std::string_view, 10> kAfterAccidental = {
    "time-modification", "stem",  "notehead", "notehead-text", "staff", "beam",
    "notations",         "lyric", "play",     "listen"};

// Attributes that say an accidental is a courtesy; a changed note's accidental is not.
constexpr std::array<std::string_view, 4> kCourtesyAttributes = {"cautionary", "editorial",
                                                                 "parentheses", "bracket"};

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

NoteEditor::NoteEditor(const XmlSpans& spans, pugi::xml_node note)
    : spans_(spans), note_(note), begin_(spans.Start(note)), end_(spans.End(note)) {}

void NoteEditor::Replace(size_t begin, size_t end, std::string text) {
    if (begin < begin_ || end > end_ || begin > end) {
        throw std::logic_error("an edit outside its note");
    }
    splices_.push_back({begin, end, std::move(text)});
}

void NoteEditor::ReplaceContent(pugi::xml_node element, const std::string& text) {
    if (spans_.IsEmptyTag(element)) {
        const size_t start = spans_.Start(element);
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

void NoteEditor::SetPitch(const SpelledPitch& pitch) {
    const pugi::xml_node node = note_.child("pitch");
    const pugi::xml_node step = node.child("step");
    const pugi::xml_node alter = node.child("alter");
    ReplaceContent(step, std::string(1, kLetters[pitch.letter]));
    ReplaceContent(node.child("octave"), std::to_string(pitch.octave));
    if (alter && pitch.alteration != 0) {
        ReplaceContent(alter, std::to_string(pitch.alteration));
    } else if (alter) {
        Replace(spans_.SpaceBefore(spans_.Start(alter)), spans_.End(alter), "");
    } else if (pitch.alteration != 0) {
        const size_t at = spans_.End(step);
        Replace(at, at, Indent(step) + "<alter>" + std::to_string(pitch.alteration) + "</alter>");
    }
}

void NoteEditor::ShowAccidental(int32_t alteration) {
    const char* value = MeasureAccidentals::ValueFor(alteration);
    if (value == nullptr) {
        throw std::logic_error("no accidental for this alteration");
    }
    if (const pugi::xml_node existing = note_.child("accidental")) {
        std::string element = "<accidental";
        for (const pugi::xml_attribute attribute : existing.attributes()) {
            const std::string_view name = attribute.name();
            if (std::find(kCourtesyAttributes.begin(), kCourtesyAttributes.end(), name) ==
                kCourtesyAttributes.end()) {
                element.append(" ").append(name).append("=\"");
                element.append(EscapeAttribute(attribute.value())).append("\"");
            }
        }
        element.append(">").append(value).append("</accidental>");
        Replace(spans_.Start(existing), spans_.End(existing), element);
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
    if (const pugi::xml_node existing = note_.child("accidental")) {
        Replace(spans_.SpaceBefore(spans_.Start(existing)), spans_.End(existing), "");
    }
}

std::string NoteEditor::Text() const {
    std::vector<Splice> sorted = splices_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Splice& a, const Splice& b) { return a.begin < b.begin; });
    std::string text;
    size_t at = begin_;
    for (const Splice& splice : sorted) {
        if (splice.begin < at) {
            throw std::logic_error("overlapping edits in one note");
        }
        text += spans_.Text(at, splice.begin);
        text += splice.text;
        at = splice.end;
    }
    text += spans_.Text(at, end_);
    return text;
}

bool NoteEditor::Check(pugi::xml_document& document, std::string_view text,
                       const std::optional<SpelledPitch>& pitch, bool accidentalTouched,
                       std::optional<int32_t> accidental, std::string& error) {
    const pugi::xml_parse_result parsed = document.load_buffer(
        text.data(), text.size(), pugi::parse_default | pugi::parse_comments, pugi::encoding_utf8);
    if (!parsed) {
        error = std::string("the edited note is not well-formed: ") + parsed.description();
        return false;
    }
    const pugi::xml_node note = document.child("note");
    if (pitch) {
        const pugi::xml_node node = note.child("pitch");
        const std::string wantedAlter =
            pitch->alteration == 0 ? "" : std::to_string(pitch->alteration);
        if (std::string_view(node.child_value("step")) != std::string(1, kLetters[pitch->letter]) ||
            node.child_value("alter") != wantedAlter ||
            node.child_value("octave") != std::to_string(pitch->octave)) {
            error = "the edited note does not read back as " + pitch->Text();
            return false;
        }
    }
    if (accidentalTouched) {
        const pugi::xml_node shown = note.child("accidental");
        const char* value = accidental ? MeasureAccidentals::ValueFor(*accidental) : nullptr;
        const bool right =
            accidental ? shown && value != nullptr && std::string_view(shown.child_value()) == value
                       : !shown;
        if (!right) {
            error = "the edited note does not read back with the accidental it was given";
            return false;
        }
    }
    return true;
}
