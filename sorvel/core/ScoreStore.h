// ScoreStore: what a RespelledScore keeps so that its new bytes can be written after the parsed
// document is gone: the score's text, the edits to it, how the file was stored (plain or
// compressed, its encoding), and the few texts of the file that the changes name (measure
// numbers and voices, each kept once however many changes name it).
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

#include "sorvel/core/EditTexts.h"
#include "sorvel/core/RespellScore.h"
#include "sorvel/core/TextEncoding.h"

namespace sorvel {

struct RespelledScore::Store {
    std::string_view text;  // the score, UTF-8 (or the file's own 8-bit encoding)
    // What holds the text: a string (decoded, unpacked or handed over as one) or the buffer
    // the file was read into.
    std::string ownedText;
    std::unique_ptr<char[]> ownedBytes;
    // In text order, not overlapping. A deque: no copy of them all as they grow, and no
    // room reserved beyond them, while the parsed document is still in memory.
    std::deque<ScoreEdit> edits;
    EditTexts editTexts;
    TextEncoding::Form form = TextEncoding::Form::kEightBit;
    bool byteOrderMark = false;
    bool compressed = false;
    std::string archive;   // a compressed file as read
    std::string rootfile;  // the score's entry in it
    std::string output;    // the new file whole, where it is not the text with its edits

    // Looked up by a view, so that a text already kept costs no copy.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    std::unordered_set<std::string, NameHash, std::equal_to<>> names;

    std::string_view Intern(std::string_view name) {
        if (const auto kept = names.find(name); kept != names.end()) {
            return *kept;
        }
        return *names.emplace(name).first;
    }
};

}  // namespace sorvel
