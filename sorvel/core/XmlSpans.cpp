// XmlSpans: node extents from pugixml's offsets.
#include "sorvel/core/XmlSpans.h"

#include <algorithm>
#include <stdexcept>

size_t XmlSpans::Find(std::string_view what, size_t from) const {
    const size_t at = source_.find(what, from);
    if (at == std::string_view::npos) {
        throw std::logic_error("the text does not hold the parsed document");
    }
    return at;
}

size_t XmlSpans::Start(pugi::xml_node element) const {
    const ptrdiff_t name = element.offset_debug();
    if (name < 1 || static_cast<size_t>(name) > source_.size() || source_[name - 1] != '<') {
        throw std::logic_error("no position for an element");
    }
    return static_cast<size_t>(name) - 1;
}

size_t XmlSpans::StartTagEnd(pugi::xml_node element) const {
    char quote = 0;
    for (size_t i = Start(element) + 1; i < source_.size(); ++i) {
        const char c = source_[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    throw std::logic_error("an unterminated start tag");
}

bool XmlSpans::IsEmptyTag(pugi::xml_node element) const {
    const size_t end = StartTagEnd(element);
    return end >= 2 && source_[end - 2] == '/';
}

size_t XmlSpans::EndTagStart(pugi::xml_node element) const {
    size_t content = StartTagEnd(element);
    if (const pugi::xml_node last = element.last_child()) {
        content = End(last);
    }
    // Only blanks that pugixml dropped can lie between the last child and the end tag.
    return Find("</", content);
}

size_t XmlSpans::End(pugi::xml_node node) const {
    const auto offset = static_cast<size_t>(std::max<ptrdiff_t>(node.offset_debug(), 0));
    switch (node.type()) {
        case pugi::node_element:
            if (IsEmptyTag(node)) {
                return StartTagEnd(node);
            }
            return Find(">", EndTagStart(node)) + 1;
        case pugi::node_pcdata: {
            const size_t next = source_.find('<', offset);
            return next == std::string_view::npos ? source_.size() : next;
        }
        case pugi::node_cdata:
            return Find("]]>", offset) + 3;
        case pugi::node_comment:
            return Find("-->", offset) + 3;
        case pugi::node_pi:
        case pugi::node_declaration:
            return Find("?>", offset) + 2;
        default:
            throw std::logic_error("no end for this kind of node");
    }
}

size_t XmlSpans::SpaceBefore(size_t offset) const {
    while (offset > 0) {
        const char c = source_[offset - 1];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            break;
        }
        --offset;
    }
    return offset;
}

size_t XmlSpans::LineOf(size_t offset) const {
    offset = std::min(offset, source_.size());
    return 1 + static_cast<size_t>(std::count(source_.begin(), source_.begin() + offset, '\n'));
}
