// ScoreStore: what a RespelledScore keeps so that its new bytes can be written after the parsed
// document is gone: the score's text, the edits to it, how the file was stored (plain or
// compressed, its encoding), and the few texts of the file that the changes name (measure
// numbers and voices, each kept once however many changes name it).
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "sorvel/core/RespellScore.h"
#include "sorvel/core/TextEncoding.h"

namespace sorvel {

struct RespelledScore::Store {
    std::string text;              // the score, UTF-8 (or the file's own 8-bit encoding)
    std::vector<ScoreEdit> edits;  // in text order, not overlapping
    TextForm form = TextForm::kEightBit;
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
