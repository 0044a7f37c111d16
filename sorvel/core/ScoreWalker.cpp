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
          reader_(spans, concertScore),
          decide_(*options.rules, options.written) {}

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
        // Staves are edited one after the other: bring the part's edits into text order (they
        // mostly are: one staff, or staves one after the other in each measure).
        const auto first = store_.edits.begin() + static_cast<std::ptrdiff_t>(firstEdit);
        const auto earlier = [](const ScoreEdit& a, const ScoreEdit& b) {
            return a.begin < b.begin;
        };
        if (!std::is_sorted(first, store_.edits.end(), earlier)) {
            std::sort(first, store_.edits.end(), earlier);
        }
    }

    void Respell(const Measure& measure) {
        decisions_.clear();
        // The lines of earlier measures are emptied, not freed, and used again.
        for (auto& [staff, line] : staves_) {
            line.clear();
        }
        bool changed = false;
        for (const MeasureNote& note : measure.notes) {
            decisions_.push_back(decide_.Decide(note));
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
                staves_[note.staff].push_back({&note, &decision});
            }
        }
        if (!changed) {
            return;
        }
        for (auto& [staff, line] : staves_) {
            if (std::none_of(line.begin(), line.end(), [](const StaffNote& n) {
                    return n.decision->newWritten.has_value();
                })) {
                continue;
            }
            const auto sooner = [](const StaffNote& a, const StaffNote& b) {
                return a.note->start < b.note->start ||
                       (a.note->start == b.note->start && a.note->order < b.note->order);
            };
            if (!std::is_sorted(line.begin(), line.end(), sooner)) {
                std::stable_sort(line.begin(), line.end(), sooner);
            }
            result_.accidentalsMended += EditStaff(spans_, line, store_.edits, store_.editTexts);
        }
    }

    void Record(const Measure& measure, const MeasureNote& note, const Decision& decision) {
        ++result_.rowCounts[decision.row];
        if (!options_.listChanges) {
            return;
        }
        ChangeRecord change;
        change.part = static_cast<uint32_t>(result_.parts.size() - 1);
        if (measure.node != namedMeasure_) {
            namedMeasure_ = measure.node;
            measureName_ = store_.Intern(measure.node.attribute("number").value());
        }
        change.measure = measureName_;
        if (measure.beatType != beatType_) {
            beatType_ = measure.beatType;
            beatUnit_ = ScoreTime::Of(beatType_, 4);
        }
        change.beat = ScoreTime{1, 1} + note.start * beatUnit_;
        change.staff = note.staff;
        // Most notes have the voice of the note before: no lookup for it.
        if (note.voice != voiceText_ || !voiceKnown_) {
            voiceText_ = note.voice;
            voiceName_ = store_.Intern(note.voice);
            voiceKnown_ = true;
        }
        change.voice = voiceName_;
        change.row = decision.row;
        change.writtenBefore = ChangeRecord::Pitch::Of(note.written);
        change.writtenAfter = ChangeRecord::Pitch::Of(*decision.newWritten);
        // As PitchView sees a sounding pitch.
        const Transposition& transposition = note.transposition;
        change.soundingKnown = transposition.known;
        if (transposition.present && transposition.known) {
            change.toSoundingSteps = static_cast<int16_t>(transposition.interval.steps);
            change.toSoundingSemitones = static_cast<int16_t>(transposition.interval.semitones);
        }
        store_.records.push_back(change);
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
    DecisionCache decide_;
    std::vector<Decision> decisions_;
    std::map<int32_t, std::vector<StaffNote>> staves_;  // the measure's pitched notes by staff
    pugi::xml_node namedMeasure_;                       // the measure whose number measureName_ is
    uint32_t measureName_ = 0;
    int64_t beatType_ = 4;  // the beat unit of the last change, in quarters
    ScoreTime beatUnit_ = ScoreTime::Of(4, 4);
    std::string_view voiceText_;  // the voice whose number voiceName_ is, if voiceKnown_
    uint32_t voiceName_ = 0;
    bool voiceKnown_ = false;
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

void MakeChanges(RespelledScore& result, RespelledScore::Store& store) {
    result.changes.reserve(result.changes.size() + store.records.size());
    for (const ChangeRecord& record : store.records) {
        NoteChange change;
        change.part = record.part;
        change.measure = store.Name(record.measure);
        change.beat = record.beat;
        change.staff = record.staff;
        change.voice = store.Name(record.voice);
        change.row = record.row;
        change.writtenBefore = record.writtenBefore.Spelled();
        change.writtenAfter = record.writtenAfter.Spelled();
        change.soundingKnown = record.soundingKnown;
        if (change.soundingKnown) {
            // As PitchView: a pitch moved by nothing is itself.
            const rules::PitchInterval toSounding = record.ToSounding();
            const bool moves = toSounding != rules::PitchInterval{};
            change.soundingBefore =
                moves ? toSounding.Apply(change.writtenBefore) : change.writtenBefore;
            change.soundingAfter =
                moves ? toSounding.Apply(change.writtenAfter) : change.writtenAfter;
        }
        result.changes.push_back(change);
    }
    store.records = {};
}

}  // namespace sorvel
