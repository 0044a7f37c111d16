// PitchListWriter: writing the pitch-list file as the plug-in's settings layer does.
#include "sorvel/core/PitchListWriter.h"

#include <cstdint>

#include "rules/PitchDirection.h"
#include "rules/SpellingSyntax.h"

namespace sorvel {

namespace {

constexpr char kStandIn = '?';

// Storable is a text as a settings file keeps it: the plug-in makes every character below
// U+0020 (a control character, which could end or split a line) a "?" before storing a text.
std::string Storable(std::string_view bytes) {
    std::string text(bytes);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = kStandIn;
        }
    }
    return text;
}

void AppendLine(std::string& out, const std::string& key, const std::string& value) {
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
}

std::string RowKey(const char* field, size_t set, size_t row) {
    return std::string("VESKSORVEL_LIST_") + field + "_" + std::to_string(set) + "_" +
           std::to_string(row);
}

// NextCodePoint reads one UTF-8 character from text at i; a byte that starts no valid
// character is answered as itself.
uint32_t NextCodePoint(std::string_view text, size_t& i) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1FU;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0FU;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07U;
    }
    if (length == 0 || i + length > text.size()) {
        ++i;
        return lead;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0U) != 0x80U) {
            ++i;
            return lead;
        }
        code = (code << 6U) | (byte(i + k) & 0x3FU);
    }
    i += length;
    return code;
}

}  // namespace

std::string WritePitchList(const std::vector<PitchSet>& sets) {
    std::string out;
    for (size_t s = 0; s < sets.size(); ++s) {
        const size_t set = s + 1;
        AppendLine(out, "VESKSORVEL_LIST_NAME_" + std::to_string(set), Storable(sets[s].name));
        for (size_t r = 0; r < sets[s].rows.size(); ++r) {
            const StoredPitchRow& stored = sets[s].rows[r];
            const size_t row = r + 1;
            AppendLine(out, RowKey("FROM", set, row), Storable(rules::Narrow(stored.row.from)));
            AppendLine(out, RowKey("TO", set, row), Storable(rules::Narrow(stored.row.to)));
            AppendLine(out, RowKey("UPDIRECTION", set, row),
                       rules::FileCodeOfDirection(stored.row.direction));
            AppendLine(out, RowKey("INUSE", set, row), stored.ticked ? "1" : "0");
        }
    }
    return out;
}

std::string StorableName(std::string_view utf8) {
    const std::string_view blanks = " \r\n\t";
    const size_t first = utf8.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::string_view trimmed = utf8.substr(first, utf8.find_last_not_of(blanks) - first + 1);
    std::string name;
    for (size_t i = 0; i < trimmed.size();) {
        const uint32_t code = NextCodePoint(trimmed, i);
        name += code < 0x20 || code > 0xFF ? kStandIn : static_cast<char>(code);
    }
    return name;
}

}  // namespace sorvel
