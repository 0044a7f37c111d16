// DrawingCopy: colouring copies of a score for the drawing.
#include "DrawingCopy.h"

#include <array>
#include <map>
#include <pugixml.hpp>
#include <sstream>

#include "sorvel/core/Failure.h"
#include "sorvel/core/MxlArchive.h"

namespace web {

namespace {

// Parsed: the score text loaded for colouring. pugixml tells the encoding from the byte-order
// mark and the declaration (UTF-8, UTF-16, Latin-1) and keeps the text as UTF-8.
struct Parsed {
    pugi::xml_document document;
    std::vector<pugi::xml_node> notes;
};

void Load(std::string_view bytes, uint64_t maxScoreBytes, Parsed& parsed) {
    std::string text;
    if (sorvel::mxl::LooksLikeZip(bytes)) {
        text = sorvel::mxl::Read(bytes, maxScoreBytes).score;
        bytes = text;
    }
    const pugi::xml_parse_result result = parsed.document.load_buffer(
        bytes.data(), bytes.size(),
        pugi::parse_default | pugi::parse_declaration | pugi::parse_doctype, pugi::encoding_auto);
    if (!result) {
        sorvel::Fail(sorvel::FailureKind::kNotWellFormed,
                     std::string("the drawing copy: ") + result.description());
    }
    for (const pugi::xpath_node& found : parsed.document.select_nodes("//note")) {
        parsed.notes.push_back(found.node());
    }
}

// Same answers whether two elements are alike: names, attributes and content, recursively
// (a missing element is alike only to a missing one).
bool Same(const pugi::xml_node& a, const pugi::xml_node& b) {
    if (!a || !b) {
        return !a && !b;
    }
    if (std::string_view(a.name()) != b.name() || std::string_view(a.value()) != b.value()) {
        return false;
    }
    pugi::xml_attribute x = a.first_attribute();
    pugi::xml_attribute y = b.first_attribute();
    for (; x && y; x = x.next_attribute(), y = y.next_attribute()) {
        if (std::string_view(x.name()) != y.name() || std::string_view(x.value()) != y.value()) {
            return false;
        }
    }
    if (x || y) {
        return false;
    }
    pugi::xml_node c = a.first_child();
    pugi::xml_node d = b.first_child();
    for (; c && d; c = c.next_sibling(), d = d.next_sibling()) {
        if (!Same(c, d)) {
            return false;
        }
    }
    return !c && !d;
}

void Colour(pugi::xml_node note, const char* colour) {
    pugi::xml_attribute attribute = note.attribute("color");
    if (!attribute) {
        attribute = note.append_attribute("color");
    }
    attribute.set_value(colour);
}

void SetId(pugi::xml_node note, const std::string& id) {
    pugi::xml_attribute attribute = note.attribute("id");
    if (!attribute) {
        attribute = note.append_attribute("id");
    }
    attribute.set_value(id.c_str());
}

// MeasureOf answers the position of a note's measure in its part.
size_t MeasureOf(const pugi::xml_node& note) {
    pugi::xml_node measure = note.parent();
    while (measure && std::string_view(measure.name()) != "measure") {
        measure = measure.parent();
    }
    size_t position = 0;
    for (pugi::xml_node m = measure.previous_sibling("measure"); m;
         m = m.previous_sibling("measure")) {
        ++position;
    }
    return position;
}

// The children of <attributes> in the order MusicXML gives them.
constexpr std::array<const char*, 9> kAttributeOrder = {"divisions", "key",           "time",
                                                        "staves",    "part-symbol",   "instruments",
                                                        "clef",      "staff-details", "transpose"};

// AttributesInForce merges the attributes of the measures before first into one element: the
// latest of each kind (per staff or number, where the element has one).
void AddAttributesInForce(const std::vector<pugi::xml_node>& earlier, pugi::xml_node firstKept) {
    std::map<std::string, pugi::xml_node> latest;
    for (const pugi::xml_node& measure : earlier) {
        for (const pugi::xml_node& attributes : measure.children("attributes")) {
            for (const pugi::xml_node& child : attributes.children()) {
                latest[std::string(child.name()) + "/" + child.attribute("number").value()] = child;
            }
        }
    }
    if (latest.empty() || !firstKept) {
        return;
    }
    pugi::xml_node merged = firstKept.prepend_child("attributes");
    for (const char* kind : kAttributeOrder) {
        for (const auto& [key, node] : latest) {
            if (key.substr(0, key.find('/')) == kind) {
                merged.append_copy(node);
            }
        }
    }
}

// Cut keeps the measures first to first + count - 1 of every part, and answers the number of
// measures of the longest part.
size_t Cut(pugi::xml_document& document, size_t first, size_t count) {
    size_t longest = 0;
    for (const pugi::xpath_node& found : document.select_nodes("/score-partwise/part")) {
        pugi::xml_node part = found.node();
        std::vector<pugi::xml_node> measures;
        for (const pugi::xml_node& measure : part.children("measure")) {
            measures.push_back(measure);
        }
        longest = std::max(longest, measures.size());
        const std::vector<pugi::xml_node> earlier(
            measures.begin(),
            measures.begin() + static_cast<std::ptrdiff_t>(std::min(first, measures.size())));
        pugi::xml_node firstKept = first < measures.size() ? measures[first] : pugi::xml_node();
        AddAttributesInForce(earlier, firstKept);
        for (size_t i = 0; i < measures.size(); ++i) {
            if (i < first || i - first >= count) {
                part.remove_child(measures[i]);
            }
        }
    }
    return longest;
}

// Utf8Text writes the document as UTF-8, its declaration saying so.
std::string Utf8Text(pugi::xml_document& document) {
    pugi::xml_node declaration = document.first_child();
    if (declaration.type() == pugi::node_declaration && declaration.attribute("encoding")) {
        declaration.attribute("encoding").set_value("UTF-8");
    }
    std::ostringstream text;
    document.save(text, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    std::string body = text.str();
    return body;
}

}  // namespace

Drawing Make(std::string_view beforeBytes, std::string_view afterBytes, uint64_t maxScoreBytes,
             size_t first, size_t count) {
    Parsed before;
    Parsed after;
    Load(beforeBytes, maxScoreBytes, before);
    Load(afterBytes, maxScoreBytes, after);
    Drawing drawing;
    if (before.notes.size() == after.notes.size()) {
        for (size_t i = 0; i < after.notes.size(); ++i) {
            const pugi::xml_node old = before.notes[i];
            const pugi::xml_node now = after.notes[i];
            if (!Same(old.child("pitch"), now.child("pitch"))) {
                const std::string id =
                    "sorvel-change-" + std::to_string(drawing.respelledIds.size());
                drawing.respelledIds.push_back(id);
                drawing.respelledMeasures.push_back(MeasureOf(now));
                Colour(old, kRespelledColour);
                Colour(now, kRespelledColour);
                SetId(old, id + "-before");
                SetId(now, id);
            } else if (!Same(old.child("accidental"), now.child("accidental"))) {
                ++drawing.mended;
                Colour(now, kMendedColour);
            }
        }
    }
    Cut(before.document, first, count);
    drawing.measureCount = Cut(after.document, first, count);
    drawing.before = Utf8Text(before.document);
    drawing.after = Utf8Text(after.document);
    return drawing;
}

}  // namespace web
