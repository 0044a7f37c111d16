// PitchListFile: parsing the pitch-list file's pairs and its sets.
#include "sorvel/core/PitchListFile.h"

#include <unordered_map>

#include "rules/AsciiText.h"
#include "rules/DecimalNumber.h"
#include "rules/SpellingSyntax.h"
#include "sorvel/core/TextEncoding.h"
#include "sorvel/core/TextTools.h"

namespace sorvel {

namespace {

// KeyForm is how keys compare: A to Z lower-cased, cut at the first 0 byte.
std::string KeyForm(std::string_view key) {
    return rules::ascii::Lower(key.substr(0, key.find('\0')));
}

// Pairs: the file's key=value pairs, looked up by the first of equal keys.
class Pairs {
  public:
    explicit Pairs(std::string_view bytes) {
        size_t start = 0;
        while (start < bytes.size()) {
            size_t end = bytes.find_first_of("\r\n", start);
            if (end == std::string_view::npos) {
                end = bytes.size();
            }
            Add(bytes.substr(start, end - start));
            start = end + 1;
        }
    }

    const std::string* Find(const std::string& key) const {
        const auto it = values_.find(KeyForm(key));
        return it == values_.end() ? nullptr : &it->second;
    }

  private:
    void Add(std::string_view line) {
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            return;
        }
        values_.emplace(KeyForm(Trim(line.substr(0, equals))),
                        std::string(Trim(line.substr(equals + 1))));
    }

    std::unordered_map<std::string, std::string> values_;
};

constexpr const char* kPrefix = "VESKSORVEL_LIST_";

// AsShown: a stored text as the plug-in reads it, every control byte its stand-in "?", so that
// a set is found here under the name the host shows.
std::string AsShown(std::string text) {
    for (char& c : text) {
        c = static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return text;
}

}  // namespace

std::vector<PitchSet> ParsePitchList(std::string_view bytes) {
    const Pairs pairs(bytes);
    std::vector<PitchSet> sets;
    for (int set = 1;; ++set) {
        const std::string* name = pairs.Find(kPrefix + std::string("NAME_") + std::to_string(set));
        if (name == nullptr) {
            break;
        }
        PitchSet pitchSet{AsShown(*name), {}};
        for (int row = 1;; ++row) {
            const std::string suffix = std::to_string(set) + "_" + std::to_string(row);
            const std::string* from = pairs.Find(kPrefix + std::string("FROM_") + suffix);
            const std::string* to = pairs.Find(kPrefix + std::string("TO_") + suffix);
            const std::string* direction =
                pairs.Find(kPrefix + std::string("UPDIRECTION_") + suffix);
            const std::string* inUse = pairs.Find(kPrefix + std::string("INUSE_") + suffix);
            if (from == nullptr || to == nullptr || direction == nullptr || inUse == nullptr) {
                break;
            }
            pitchSet.rows.push_back(
                {{rules::Widen(AsShown(*from)), rules::Widen(AsShown(*to)),
                  DirectionFromFile(rules::ReadDecimal(rules::Widen(*direction)))},
                 *inUse == "1"});
        }
        if (pitchSet.rows.empty()) {
            break;
        }
        sets.push_back(std::move(pitchSet));
    }
    return sets;
}

const PitchSet* FindPitchSet(const std::vector<PitchSet>& sets, std::string_view name) {
    const std::string wanted = KeyForm(name);
    for (const PitchSet& set : sets) {
        if (KeyForm(set.name) == wanted) {
            return &set;
        }
    }
    return nullptr;
}

rules::PitchDirection DirectionFromFile(int32_t code) {
    return rules::DirectionFromFileCode(code);
}

std::vector<rules::PitchRow> AppliedRows(const std::vector<StoredPitchRow>& rows,
                                         std::vector<std::string>& warnings) {
    std::vector<rules::PitchRow> applied;
    for (size_t i = 0; i < rows.size(); ++i) {
        const rules::PitchRow& row = rows[i].row;
        if (!rows[i].ticked) {
            continue;
        }
        if (rules::IsStoredSpelling(row.from) && rules::IsStoredSpelling(row.to)) {
            applied.push_back(row);
            continue;
        }
        warnings.push_back("row " + std::to_string(i + 1) + " of the set, " +
                           Latin1ToUtf8(row.Text()) +
                           ", is not applied: its texts are not spellings as the plug-in stores "
                           "them");
    }
    return applied;
}

}  // namespace sorvel
