// XmlSpans: where the nodes pugixml parsed lie in the text it parsed, so that an edit can
// replace exactly the bytes of one element and keep every other byte of the file. pugixml
// tells where a node's name or value starts; the rest follows from the XML grammar of a text
// pugixml has already accepted: a start tag ends at the first ">" outside a quoted attribute
// value, character data ends at the next "<", a comment at "-->", and an end tag at its ">".
#pragma once

#include <cstddef>
#include <pugixml.hpp>
#include <string_view>

namespace sorvel {

class XmlSpans {
  public:
    // source must be the very text the document was parsed from (before any in-place change).
    explicit XmlSpans(std::string_view source) : source_(source) {}

    // Start: the offset of an element's "<".
    [[nodiscard]] size_t Start(pugi::xml_node element) const;
    // StartTagEnd: just past the ">" of an element's start tag.
    [[nodiscard]] size_t StartTagEnd(pugi::xml_node element) const;
    // IsEmptyTag: the element is written <name/>.
    [[nodiscard]] bool IsEmptyTag(pugi::xml_node element) const;
    // End: just past a node (for an element, past its end tag).
    [[nodiscard]] size_t End(pugi::xml_node node) const;
    // EndTagStart: the offset of the "</" of an element that is not an empty tag.
    [[nodiscard]] size_t EndTagStart(pugi::xml_node element) const;
    // SpaceBefore: the start of the run of blanks and line ends right before offset.
    [[nodiscard]] size_t SpaceBefore(size_t offset) const;
    // PlaceOf: the 1-based line and column of an offset (columns count bytes).
    struct Place {
        size_t line = 1;
        size_t column = 1;
    };
    [[nodiscard]] Place PlaceOf(size_t offset) const;

    [[nodiscard]] std::string_view Text(size_t begin, size_t end) const {
        return source_.substr(begin, end - begin);
    }
    // Find: the first what at or after from (a text that does not hold it is no text this
    // document was parsed from).
    [[nodiscard]] size_t Find(std::string_view what, size_t from) const;

  private:
    // LeafEnd: just past a node that has no children.
    [[nodiscard]] size_t LeafEnd(pugi::xml_node node) const;

    std::string_view source_;
};

}  // namespace sorvel
