// DrawingCopy: colouring copies of a score for the drawing.
#include "DrawingCopy.h"

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

std::string Serialised(const pugi::xml_node& node) {
    std::ostringstream text;
    node.print(text, "", pugi::format_raw);
    return text.str();
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

Drawing Make(std::string_view beforeBytes, std::string_view afterBytes, uint64_t maxScoreBytes) {
    Parsed before;
    Parsed after;
    Load(beforeBytes, maxScoreBytes, before);
    Load(afterBytes, maxScoreBytes, after);
    Drawing drawing;
    if (before.notes.size() == after.notes.size()) {
        for (size_t i = 0; i < after.notes.size(); ++i) {
            const pugi::xml_node old = before.notes[i];
            const pugi::xml_node now = after.notes[i];
            if (Serialised(old.child("pitch")) != Serialised(now.child("pitch"))) {
                const std::string id =
                    "sorvel-change-" + std::to_string(drawing.respelledIds.size());
                drawing.respelledIds.push_back(id);
                Colour(old, kRespelledColour);
                Colour(now, kRespelledColour);
                SetId(old, id + "-before");
                SetId(now, id);
            } else if (Serialised(old.child("accidental")) != Serialised(now.child("accidental"))) {
                ++drawing.mended;
                Colour(now, kMendedColour);
            }
        }
    }
    drawing.before = Utf8Text(before.document);
    drawing.after = Utf8Text(after.document);
    return drawing;
}

}  // namespace web
