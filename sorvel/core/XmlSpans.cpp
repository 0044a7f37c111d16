// XmlSpans: node extents from pugixml's offsets.
#include "sorvel/core/XmlSpans.h"

#include <algorithm>
#include <stdexcept>

namespace sorvel {

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
    const pugi::xml_node last = element.last_child();
    // Only blanks that pugixml dropped can lie between the last child and the end tag.
    return Find("</", last ? End(last) : StartTagEnd(element));
}

size_t XmlSpans::LeafEnd(pugi::xml_node node) const {
    const auto offset = static_cast<size_t>(std::max<ptrdiff_t>(node.offset_debug(), 0));
    switch (node.type()) {
        case pugi::node_element: {
            // An element without children: its own end tag follows its content.
            const size_t tagEnd = StartTagEnd(node);
            return source_[tagEnd - 2] == '/' ? tagEnd : Find(">", Find("</", tagEnd)) + 1;
        }
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
        case pugi::node_doctype:
            return Find(">", offset) + 1;
        default:
            throw std::logic_error("no end for this kind of node");
    }
}

size_t XmlSpans::End(pugi::xml_node node) const {
    // Down the chain of last children to a node without any, then back up: each element's end
    // tag is the first "</" after its last child. A loop, not recursion, so that the file's
    // nesting depth cannot exhaust the stack.
    pugi::xml_node deepest = node;
    while (deepest.type() == pugi::node_element && deepest.last_child()) {
        deepest = deepest.last_child();
    }
    size_t end = LeafEnd(deepest);
    while (deepest != node) {
        deepest = deepest.parent();
        end = Find(">", Find("</", end)) + 1;
    }
    return end;
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

XmlSpans::Place XmlSpans::PlaceOf(size_t offset) const {
    offset = std::min(offset, source_.size());
    const std::string_view before = source_.substr(0, offset);
    const size_t line = 1 + static_cast<size_t>(std::count(before.begin(), before.end(), '\n'));
    const size_t lineStart = before.rfind('\n');
    const size_t column = lineStart == std::string_view::npos ? offset + 1 : offset - lineStart;
    return {line, column};
}

}  // namespace sorvel
