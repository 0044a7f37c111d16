// ScoreText: a score's text parsed by pugixml, or the failure that says why it cannot be: not
// well-formed (with its line and column), cut short, holding a NUL byte, content after the
// root element, or memory that ran out.
#pragma once

#include <pugixml.hpp>
#include <string_view>

#include "sorvel/core/XmlSpans.h"

namespace sorvel {

// ParseScore parses text into document, which keeps its own copy; it throws a FailureError.
void ParseScore(std::string_view text, pugi::xml_document& document);

}  // namespace sorvel
