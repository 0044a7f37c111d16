// ScoreWalker: parts and measures, the selection, the change records and the warnings.
#include "sorvel/core/ScoreWalker.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "rules/AsciiText.h"
#include "sorvel/core/Failure.h"
#include "sorvel/core/MeasureReader.h"
#include "sorvel/core/NoteDecision.h"
#include "sorvel/core/StaffEditor.h"
#include "sorvel/core/TextTools.h"

namespace sorvel {

namespace {

// LeadingNumber reads the number a measure's number attribute starts with ("12a" is 12).
std::optional<int64_t> LeadingNumber(std::string_view text) {
    text = Trim(text);
    size_t digits = 0;
    while (digits < text.size() && digits < 15 &&
           std::isdigit(static_cast<unsigned char>(text[digits]))) {
        ++digits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return std::stoll(std::string(text.substr(0, digits)));
}

void CheckRoot(pugi::xml_node root) {
    const std::string_view name = root.name();
    if (name == "score-timewise") {
        Fail(FailureKind::kNotAScore,
             "a timewise MusicXML score: this program reads partwise scores only (a notation "
             "program, or the MusicXML timewise-to-partwise stylesheet, converts it)");
    }
    if (name == "opus") {
        Fail(FailureKind::kNotAScore,
             "a MusicXML opus (a list of scores): respell the scores it names");
    }
    if (name != "score-partwise") {
        Fail(FailureKind::kNotAScore,
             "not a MusicXML score: the root element is <" + std::string(name) + ">");
    }
}

class Walker {
  public:
    Walker(const XmlSpans& spans, const RespellOptions& options, RespelledScore& result,
           RespelledScore::Store& store, bool concertScore)
        : spans_(spans),
          options_(options),
          result_(result),
          store_(store),
          reader_(spans, concertScore) {}

    void Parts(pugi::xml_node root) {
        std::map<std::string, std::string, std::less<>> names;
        for (const pugi::xml_node part : root.child("part-list").children("score-part")) {
            names.emplace(part.attribute("id").value(),
                          std::string(Trim(part.child_value("part-name"))));
        }
        for (const std::string& wanted : options_.parts) {
            if (!std::any_of(names.begin(), names.end(), [&](const auto& part) {
                    return Names(wanted, part.first, part.second);
                })) {
                result_.warnings.push_back("no part has the id or name \"" + wanted + "\"");
            }
        }
        result_.rowCounts.assign(options_.rules->GetRows().size(), 0);
        for (const pugi::xml_node part : root.children("part")) {
            const std::string id = part.attribute("id").value();
            const auto name = names.find(id);
            result_.parts.push_back({id, name == names.end() ? std::string() : name->second});
            Part(part);
        }
        Warn();
    }

  private:
    // Names: a wanted part is named by its id, or by its name without regard to case.
    static bool Names(const std::string& wanted, const std::string& id, const std::string& name) {
        return wanted == id || (!name.empty() && rules::ascii::EqualsIgnoreCase(wanted, name));
    }

    [[nodiscard]] bool MeasureSelected(std::string_view number) const {
        if (options_.measures.empty()) {
            return true;
        }
        const std::optional<int64_t> value = LeadingNumber(number);
        return value && std::any_of(options_.measures.begin(), options_.measures.end(),
                                    [&](const MeasureRange& range) {
                                        return *value >= range.first && *value <= range.last;
                                    });
    }

    void Part(pugi::xml_node part) {
        const PartInfo& info = result_.parts.back();
        const bool selected =
            options_.parts.empty() || std::any_of(options_.parts.begin(), options_.parts.end(),
                                                  [&](const std::string& wanted) {
                                                      return Names(wanted, info.id, info.name);
                                                  });
        reader_.StartPart();
        const size_t firstEdit = store_.edits.size();
        for (const pugi::xml_node measure : part.children("measure")) {
            const Measure& read = reader_.Read(measure);
            if (selected && MeasureSelected(measure.attribute("number").value())) {
                Respell(read);
            }
        }
        // Staves are edited one after the other: bring the part's edits into text order.
        std::sort(store_.edits.begin() + static_cast<std::ptrdiff_t>(firstEdit), store_.edits.end(),
                  [](const ScoreEdit& a, const ScoreEdit& b) { return a.begin < b.begin; });
    }

    void Respell(const Measure& measure) {
        decisions_.clear();
        std::map<int32_t, std::vector<StaffNote>> staves;
        bool changed = false;
        for (const MeasureNote& note : measure.notes) {
            decisions_.push_back(Decide(note, *options_.rules, options_.written));
        }
        for (size_t i = 0; i < measure.notes.size(); ++i) {
            const MeasureNote& note = measure.notes[i];
            const Decision& decision = decisions_[i];
            if (!decision.leftAlone.empty()) {
                ++leftAlone_[{static_cast<uint32_t>(result_.parts.size() - 1), decision.leftAlone}];
            }
            if (decision.newWritten) {
                Record(measure, note, decision);
                changed = true;
            }
            if (note.pitched) {
                staves[note.staff].push_back({&note, &decision});
            }
        }
        if (!changed) {
            return;
        }
        for (auto& [staff, line] : staves) {
            if (std::none_of(line.begin(), line.end(), [](const StaffNote& n) {
                    return n.decision->newWritten.has_value();
                })) {
                continue;
            }
            std::stable_sort(line.begin(), line.end(), [](const StaffNote& a, const StaffNote& b) {
                return a.note->start < b.note->start ||
                       (a.note->start == b.note->start && a.note->order < b.note->order);
            });
            result_.accidentalsMended += EditStaff(spans_, line, store_.edits);
        }
    }

    void Record(const Measure& measure, const MeasureNote& note, const Decision& decision) {
        NoteChange change;
        change.part = static_cast<uint32_t>(result_.parts.size() - 1);
        change.measure = store_.Intern(measure.node.attribute("number").value());
        change.beat = ScoreTime{1, 1} + note.start * ScoreTime::Of(measure.beatType, 4);
        change.staff = note.staff;
        change.voice = store_.Intern(note.voice);
        change.row = decision.row;
        change.writtenBefore = note.written;
        change.writtenAfter = *decision.newWritten;
        const PitchView view(false, note.transposition);
        change.soundingKnown = view.Known();
        if (change.soundingKnown) {
            change.soundingBefore = view.Seen(note.written);
            change.soundingAfter = view.Seen(*decision.newWritten);
        }
        ++result_.rowCounts[decision.row];
        result_.changes.push_back(change);
    }

    // Warn counts the notes left alone, by part (in the order of the parts' labels) and reason.
    void Warn() {
        std::map<std::pair<std::string, std::string_view>, size_t> counts;
        for (const auto& [key, count] : leftAlone_) {
            const PartInfo& part = result_.parts[key.first];
            counts[{part.name.empty() ? part.id : part.id + " (" + part.name + ")", key.second}] +=
                count;
        }
        for (const auto& [key, count] : counts) {
            result_.warnings.push_back("part " + key.first + ": " + std::to_string(count) +
                                       " note" + (count == 1 ? "" : "s") +
                                       " left alone: " + std::string(key.second));
        }
    }

    const XmlSpans& spans_;
    const RespellOptions& options_;
    RespelledScore& result_;
    RespelledScore::Store& store_;
    MeasureReader reader_;
    std::vector<Decision> decisions_;
    std::map<std::pair<uint32_t, std::string_view>, size_t> leftAlone_;
};

}  // namespace

void WalkScore(const pugi::xml_document& document, const XmlSpans& spans,
               const RespellOptions& options, RespelledScore& result,
               RespelledScore::Store& store) {
    const pugi::xml_node root = document.document_element();
    CheckRoot(root);
    const bool concertScore = root.child("defaults").child("concert-score");
    Walker(spans, options, result, store, concertScore).Parts(root);
}

}  // namespace sorvel
