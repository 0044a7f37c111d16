// ScoreText: pugixml's verdict, and the checks it leaves to its caller.
#include "sorvel/core/ScoreText.h"

#include <algorithm>
#include <string>

#include "sorvel/core/Failure.h"
#include "sorvel/core/TextTools.h"

namespace sorvel {

namespace {

// Comments, processing instructions and the doctype are kept, so that their spans are known.
// Line ends and blanks in attribute values are left as written (no parse_eol, no
// parse_wconv_attribute): every value the walk reads is trimmed, and the text is never written
// from the parsed document, so that work would be lost.
constexpr unsigned kParseOptions = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_comments |
                                   pugi::parse_pi | pugi::parse_declaration | pugi::parse_doctype |
                                   pugi::parse_embed_pcdata;

[[noreturn]] void FailAt(const XmlSpans& spans, size_t offset, const std::string& message) {
    const XmlSpans::Place place = spans.PlaceOf(offset);
    Fail(FailureKind::kNotWellFormed, message, place.line, place.column);
}

void Refuse(std::string_view text, const pugi::xml_parse_result& parsed) {
    const XmlSpans spans(text);
    if (parsed.status == pugi::status_out_of_memory) {
        Fail(FailureKind::kOutOfMemory, "there is not enough memory to read this score");
    }
    const auto offset = static_cast<size_t>(
        std::clamp<ptrdiff_t>(parsed.offset, 0, static_cast<ptrdiff_t>(text.size())));
    // pugixml reads a NUL byte as the end of the text.
    if (const size_t nul = text.find('\0'); nul != std::string_view::npos && nul <= offset) {
        FailAt(spans, nul, "not well-formed XML (a NUL byte, which XML text cannot hold)");
    }
    if (parsed.status == pugi::status_no_document_element) {
        Fail(FailureKind::kNotAScore, "the file holds no XML element");
    }
    // Nothing whole after the point where reading failed: the file was cut short.
    if (text.find('>', offset) == std::string_view::npos) {
        FailAt(spans, offset,
               "the file ends before its XML does (is it cut short?): " +
                   std::string(parsed.description()));
    }
    FailAt(spans, offset, "not well-formed XML (" + std::string(parsed.description()) + ")");
}

// CheckEnd refuses anything but blanks after the root element: pugixml stops at a NUL byte
// and takes several root elements, where XML allows one.
void CheckEnd(std::string_view text, const pugi::xml_document& document) {
    const XmlSpans spans(text);
    size_t elements = 0;
    for (const pugi::xml_node node : document.children()) {
        if (node.type() == pugi::node_element && ++elements == 2) {
            FailAt(spans, spans.Start(node), "not well-formed XML (a second root element)");
        }
    }
    const size_t end = spans.End(document.last_child());
    const size_t extra = text.find_first_not_of(" \t\r\n", end);
    if (extra != std::string_view::npos) {
        FailAt(spans, extra,
               text[extra] == '\0' ? "not well-formed XML (a NUL byte after the root element)"
                                   : "not well-formed XML (content after the root element)");
    }
}

}  // namespace

void ParseScore(std::string_view text, pugi::xml_document& document) {
    if (Trim(text).empty()) {
        Fail(FailureKind::kNotAScore, "the file is empty");
    }
    const pugi::xml_parse_result parsed =
        document.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
    if (!parsed) {
        Refuse(text, parsed);
    }
    CheckEnd(text, document);
}

}  // namespace sorvel
