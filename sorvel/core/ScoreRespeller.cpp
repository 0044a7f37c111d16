// ScoreRespeller: the walk through parts and measures, the rules, the accidentals and the
// edits.
#include "sorvel/core/ScoreRespeller.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <pugixml.hpp>
#include <set>
#include <stdexcept>

#include "rules/PitchInterval.h"
#include "sorvel/core/MeasureAccidentals.h"
#include "sorvel/core/NoteEditor.h"
#include "sorvel/core/ScoreTime.h"
#include "sorvel/core/TextTools.h"
#include "sorvel/core/XmlSpans.h"

namespace {

// An alteration beyond an octave is no spelling but a damaged file.
constexpr int32_t kMaxAlter = 12;
// MusicXML octaves.
constexpr int32_t kLowestOctave = 0;
constexpr int32_t kHighestOctave = 9;
// MusicXML has accidentals up to three sharps or flats.
constexpr int32_t kMaxShownAlteration = 3;

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_comments | pugi::parse_pi |
                                   pugi::parse_declaration | pugi::parse_doctype;

// Thrown (and caught at the top) for input this program refuses.
struct Refusal {
    std::string message;
};

// ReadInteger reads a whole number, blanks around it allowed.
std::optional<int64_t> ReadInteger(std::string_view text) {
    ScoreTime value;
    if (!ScoreTime::ParseDecimal(text, value) || !value.IsInteger()) {
        return std::nullopt;
    }
    return value.numerator;
}

// LeadingNumber reads the number a measure's number attribute starts with ("12a" is 12).
std::optional<int64_t> LeadingNumber(std::string_view text) {
    text = TextTools::Trim(text);
    size_t digits = 0;
    while (digits < text.size() && digits < 15 &&
           std::isdigit(static_cast<unsigned char>(text[digits]))) {
        ++digits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return std::strtoll(std::string(text.substr(0, digits)).c_str(), nullptr, 10);
}

struct Key {
    bool traditional = true;
    int32_t fifths = 0;
};

struct Transposition {
    bool present = false;
    bool known = true;  // the sounding spelling follows: a diatonic step and whole semitones
    PitchInterval interval;

    [[nodiscard]] bool IsKeyTransposition() const {
        return !present || (known && interval.IsKeyTransposition());
    }
};

// Carried: a value per staff, with the value for staves no element has named yet.
template <class Value>
struct Carried {
    std::map<int32_t, Value> staves;
    Value all;

    [[nodiscard]] const Value& For(int32_t staff) const {
        const auto it = staves.find(staff);
        return it == staves.end() ? all : it->second;
    }
    void Set(int32_t staff, const Value& value) {
        if (staff == 0) {
            staves.clear();
            all = value;
        } else {
            staves[staff] = value;
        }
    }
};

// Event: a key or a transposition that starts at a time of the measure, for one staff (0: all).
struct Event {
    ScoreTime time;
    int32_t order = 0;  // place among the measure's children
    int32_t staff = 0;
    bool isKey = true;
    Key key;
    Transposition transposition;

    [[nodiscard]] bool Before(const ScoreTime& when, int32_t place) const {
        return time < when || (time == when && order < place);
    }
};

struct NoteData {
    pugi::xml_node node;
    int32_t order = 0;
    ScoreTime start;
    int32_t staff = 1;
    std::string voice;
    bool pitched = false;
    bool microtone = false;
    bool tieStart = false;
    bool tieStop = false;
    bool fretted = false;
    SpelledPitch written;
    // Decided after the measure is read.
    Key key;
    int32_t keyEpoch = 0;
    Transposition transposition;
    std::optional<SpelledPitch> newWritten;
    size_t row = 0;
};

// Warnings: notes left alone, counted per part and reason.
class Warnings {
  public:
    void Count(const std::string& part, const std::string& reason) { ++counts_[{part, reason}]; }
    void Add(std::string text) { extra_.push_back(std::move(text)); }

    void Into(std::vector<std::string>& out) const {
        out = extra_;
        for (const auto& [key, count] : counts_) {
            out.push_back("part " + key.first + ": " + std::to_string(count) + " note" +
                          (count == 1 ? "" : "s") + " left alone: " + key.second);
        }
    }

  private:
    std::map<std::pair<std::string, std::string>, size_t> counts_;
    std::vector<std::string> extra_;
};

class Walker {
  public:
    Walker(const XmlSpans& spans, const RespellSettings& settings, RespellOutcome& outcome)
        : spans_(spans), settings_(settings), outcome_(outcome) {}

    void Run(const pugi::xml_document& document) {
        const pugi::xml_node root = document.document_element();
        const std::string_view rootName = root.name();
        if (rootName == "score-timewise") {
            throw Refusal{
                "a timewise MusicXML score: this program reads partwise scores only "
                "(a notation program, or the MusicXML timewise-to-partwise "
                "stylesheet, converts it)"};
        }
        if (rootName == "opus") {
            throw Refusal{"a MusicXML opus (a list of scores): respell the scores it names"};
        }
        if (rootName != "score-partwise") {
            throw Refusal{"not a MusicXML score: the root element is <" + std::string(rootName) +
                          ">"};
        }
        concertScore_ = root.child("defaults").child("concert-score");
        for (const pugi::xml_node part : root.child("part-list").children("score-part")) {
            partNames_[part.attribute("id").value()] =
                std::string(TextTools::Trim(part.child_value("part-name")));
        }
        for (const std::string& wanted : settings_.parts) {
            const bool found =
                std::any_of(partNames_.begin(), partNames_.end(), [&](const auto& p) {
                    return p.first == wanted ||
                           TextTools::Lower(p.second) == TextTools::Lower(wanted);
                });
            if (!found) {
                warnings_.Add("no part has the id or name \"" + wanted + "\"");
            }
        }
        outcome_.rowCounts.assign(settings_.rules->GetRows().size(), 0);
        for (const pugi::xml_node part : root.children("part")) {
            WalkPart(part);
        }
        warnings_.Into(outcome_.warnings);
    }

  private:
    [[noreturn]] void Refuse(pugi::xml_node node, const std::string& message) const {
        throw Refusal{"line " + std::to_string(spans_.LineOf(spans_.Start(node))) + ": " + message};
    }

    [[nodiscard]] bool PartSelected(const std::string& id, const std::string& name) const {
        if (settings_.parts.empty()) {
            return true;
        }
        return std::any_of(
            settings_.parts.begin(), settings_.parts.end(), [&](const std::string& wanted) {
                return wanted == id ||
                       (!name.empty() && TextTools::Lower(wanted) == TextTools::Lower(name));
            });
    }

    [[nodiscard]] bool MeasureSelected(std::string_view number) const {
        if (settings_.measures.empty()) {
            return true;
        }
        const std::optional<int64_t> value = LeadingNumber(number);
        return value && std::any_of(settings_.measures.begin(), settings_.measures.end(),
                                    [&](const MeasureRange& r) {
                                        return *value >= r.first && *value <= r.last;
                                    });
    }

    [[nodiscard]] ScoreTime Duration(pugi::xml_node element) const {
        const pugi::xml_node duration = element.child("duration");
        if (!duration) {
            return {};
        }
        ScoreTime value;
        if (!ScoreTime::ParseDecimal(duration.child_value(), value) || value < ScoreTime{}) {
            Refuse(duration, "the duration \"" + std::string(duration.child_value()) +
                                 "\" is not a number of divisions");
        }
        return value / divisions_;
    }

    static int32_t StaffOf(pugi::xml_node element) {
        const std::optional<int64_t> staff = ReadInteger(element.attribute("number").value());
        return staff && *staff > 0 && *staff < 1000 ? static_cast<int32_t>(*staff) : 0;
    }

    void ReadAttributes(pugi::xml_node attributes, int32_t order) {
        if (const pugi::xml_node node = attributes.child("divisions")) {
            ScoreTime value;
            if (!ScoreTime::ParseDecimal(node.child_value(), value) || !(ScoreTime{} < value)) {
                Refuse(node, "the divisions \"" + std::string(node.child_value()) +
                                 "\" are not a positive number");
            }
            divisions_ = value;
        }
        for (const pugi::xml_node node : attributes.children("key")) {
            Event event{time_, order, StaffOf(node), true, {}, {}};
            const std::optional<int64_t> fifths = ReadInteger(node.child_value("fifths"));
            if (node.child("fifths") && fifths && std::abs(*fifths) < 100) {
                event.key = {true, static_cast<int32_t>(*fifths)};
            } else {
                event.key = {false, 0};  // key-step/key-alter, or no readable signature
            }
            events_.push_back(event);
        }
        for (const pugi::xml_node node : attributes.children("transpose")) {
            Event event{time_, order, StaffOf(node), false, {}, {}};
            Transposition& t = event.transposition;
            t.present = true;
            const std::optional<int64_t> diatonic = ReadInteger(node.child_value("diatonic"));
            const std::optional<int64_t> chromatic = ReadInteger(node.child_value("chromatic"));
            const std::optional<int64_t> octaves =
                node.child("octave-change") ? ReadInteger(node.child_value("octave-change"))
                                            : std::optional<int64_t>(0);
            t.known = node.child("diatonic") && diatonic && chromatic && octaves &&
                      std::abs(*diatonic) < 100 && std::abs(*chromatic) < 200 &&
                      std::abs(*octaves) < 10;
            if (t.known) {
                t.interval = {static_cast<int32_t>(*diatonic + 7 * *octaves),
                              static_cast<int32_t>(*chromatic + 12 * *octaves)};
            }
            events_.push_back(event);
        }
        if (const pugi::xml_node node = attributes.child("time")) {
            const std::optional<int64_t> beatType = ReadInteger(node.child_value("beat-type"));
            if (beatType && *beatType > 0 && *beatType <= 1024) {
                beatType_ = *beatType;
            }
        }
    }

    void ReadPitch(NoteData& note, pugi::xml_node pitch) const {
        const pugi::xml_node step = pitch.child("step");
        const pugi::xml_node octave = pitch.child("octave");
        if (!step) {
            Refuse(pitch, "a <pitch> without <step>");
        }
        if (!octave) {
            Refuse(pitch, "a <pitch> without <octave>");
        }
        const std::string_view letter = TextTools::Trim(step.child_value());
        if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'G') {
            Refuse(step, "the step \"" + std::string(step.child_value()) + "\" is not A to G");
        }
        const std::optional<int64_t> octaveNumber = ReadInteger(octave.child_value());
        if (!octaveNumber || *octaveNumber < kLowestOctave || *octaveNumber > kHighestOctave) {
            Refuse(octave, "the octave \"" + std::string(octave.child_value()) +
                               "\" is not a whole number from 0 to 9");
        }
        note.written.letter = letter[0] - 'A';
        note.written.octave = static_cast<int32_t>(*octaveNumber);
        note.written.alteration = 0;
        if (const pugi::xml_node alter = pitch.child("alter")) {
            ScoreTime value;
            if (!ScoreTime::ParseDecimal(alter.child_value(), value)) {
                Refuse(alter, "the alter \"" + std::string(alter.child_value()) +
                                  "\" is not a number of semitones");
            }
            if (ScoreTime{kMaxAlter, 1} < value || value < ScoreTime{-kMaxAlter, 1}) {
                Refuse(alter, "the alter \"" + std::string(alter.child_value()) +
                                  "\" is more than an octave");
            }
            if (value.IsInteger()) {
                note.written.alteration = static_cast<int32_t>(value.numerator);
            } else {
                note.microtone = true;
            }
        }
        note.pitched = true;
    }

    static void ReadTies(NoteData& note) {
        const auto mark = [&](std::string_view type) {
            note.tieStart = note.tieStart || type == "start";
            note.tieStop = note.tieStop || type == "stop";
        };
        for (const pugi::xml_node tie : note.node.children("tie")) {
            mark(tie.attribute("type").value());
        }
        for (const pugi::xml_node notations : note.node.children("notations")) {
            for (const pugi::xml_node tied : notations.children("tied")) {
                mark(tied.attribute("type").value());
            }
            for (const pugi::xml_node technical : notations.children("technical")) {
                note.fretted = note.fretted || technical.child("fret");
            }
        }
    }

    void ReadNote(pugi::xml_node node, int32_t order) {
        NoteData note;
        note.node = node;
        note.order = order;
        const bool chord = node.child("chord");
        const bool grace = node.child("grace");
        note.start = chord ? lastStart_ : time_;
        if (!chord) {
            lastStart_ = time_;
            if (!grace) {
                time_ = time_ + Duration(node);
            }
        }
        if (const std::optional<int64_t> staff = ReadInteger(node.child_value("staff"));
            staff && *staff > 0 && *staff < 1000) {
            note.staff = static_cast<int32_t>(*staff);
        }
        note.voice = TextTools::Trim(node.child_value("voice"));
        if (note.voice.empty()) {
            note.voice = "1";
        }
        if (const pugi::xml_node pitch = node.child("pitch")) {
            ReadPitch(note, pitch);
        }
        ReadTies(note);
        notes_.push_back(std::move(note));
    }

    // Resolve gives each note the key and transposition in force when it sounds.
    void Resolve(NoteData& note) const {
        note.key = keys_.For(note.staff);
        note.transposition = transpositions_.For(note.staff);
        const Event* lastKey = nullptr;
        const Event* lastTransposition = nullptr;
        for (const Event& event : events_) {
            if ((event.staff != 0 && event.staff != note.staff) ||
                !event.Before(note.start, note.order)) {
                continue;
            }
            const Event*& last = event.isKey ? lastKey : lastTransposition;
            if (last == nullptr || last->Before(event.time, event.order)) {
                last = &event;
            }
        }
        if (lastKey != nullptr) {
            note.key = lastKey->key;
            note.keyEpoch = static_cast<int32_t>(lastKey - events_.data()) + 1;
        }
        if (lastTransposition != nullptr) {
            note.transposition = lastTransposition->transposition;
        }
        if (concertScore_) {
            note.transposition = {};
        }
    }

    // CarryEvents makes the measure's keys and transpositions those the next measure starts in.
    void CarryEvents() {
        std::vector<const Event*> ordered;
        for (const Event& event : events_) {
            ordered.push_back(&event);
        }
        std::stable_sort(ordered.begin(), ordered.end(), [](const Event* a, const Event* b) {
            return a->Before(b->time, b->order);
        });
        for (const Event* event : ordered) {
            if (event->isKey) {
                keys_.Set(event->staff, event->key);
            } else {
                transpositions_.Set(event->staff, event->transposition);
            }
        }
    }

    // StavesInOtherKeys: the staves that meet a key without a traditional signature somewhere
    // in the measure.
    [[nodiscard]] std::set<int32_t> StavesInOtherKeys() const {
        std::set<int32_t> staves;
        for (const NoteData& note : notes_) {
            if (!note.key.traditional) {
                staves.insert(note.staff);
            }
            for (const Event& event : events_) {
                if (event.isKey && !event.key.traditional &&
                    (event.staff == 0 || event.staff == note.staff)) {
                    staves.insert(note.staff);
                }
            }
        }
        return staves;
    }

    void Decide(NoteData& note, const std::string& partLabel, bool inOtherKey) {
        const PitchRules& rules = *settings_.rules;
        const Transposition& t = note.transposition;
        if (!note.pitched || note.microtone) {
            return;
        }
        if (!settings_.written && !t.known) {
            warnings_.Count(partLabel,
                            "its transposition names no diatonic step, so its "
                            "sounding spelling is unknown");
            return;
        }
        const PitchInterval interval = t.present && t.known ? t.interval : PitchInterval{};
        const SpelledPitch compared =
            settings_.written ? note.written : interval.Apply(note.written);
        const std::optional<Respelling> respelling = rules.Apply(compared);
        if (!respelling) {
            return;
        }
        if (settings_.written && !t.IsKeyTransposition()) {
            warnings_.Count(partLabel,
                            "in written pitch, a part whose transposition is not a "
                            "key transposition is left alone");
            return;
        }
        if (inOtherKey) {
            warnings_.Count(partLabel, "in a key without a traditional key signature");
            return;
        }
        if (note.fretted) {
            warnings_.Count(partLabel, "tablature (a string and fret fix its pitch)");
            return;
        }
        const SpelledPitch written =
            settings_.written ? respelling->result : interval.Reversed().Apply(respelling->result);
        if (written == note.written) {
            return;
        }
        if (written.octave < kLowestOctave || written.octave > kHighestOctave ||
            std::abs(written.alteration) > kMaxShownAlteration) {
            warnings_.Count(partLabel,
                            "its new spelling lies beyond MusicXML's octaves 0 to 9 "
                            "or beyond triple sharps and flats");
            return;
        }
        note.newWritten = written;
        note.row = respelling->row;
    }

    void RecordChange(const NoteData& note, const std::string& partId, const std::string& partName,
                      const std::string& measure) {
        NoteChange change;
        change.partId = partId;
        change.partName = partName;
        change.measure = measure;
        change.beat = (ScoreTime{1, 1} + note.start * ScoreTime::Of(beatType_, 4)).Text();
        change.staff = note.staff;
        change.voice = note.voice;
        change.row = note.row;
        change.writtenBefore = note.written.Text();
        change.writtenAfter = note.newWritten->Text();
        const Transposition& t = note.transposition;
        if (t.known) {
            const PitchInterval interval = t.present ? t.interval : PitchInterval{};
            change.soundingBefore = interval.Apply(note.written).Text();
            change.soundingAfter = interval.Apply(*note.newWritten).Text();
        }
        ++outcome_.rowCounts[note.row];
        outcome_.changes.push_back(std::move(change));
    }

    // Edit writes the changed notes and mends the accidentals of one staff in the measure.
    void EditStaff(int32_t staff) {
        std::vector<NoteData*> line;
        for (NoteData& note : notes_) {
            if (note.pitched && note.staff == staff) {
                line.push_back(&note);
            }
        }
        std::stable_sort(line.begin(), line.end(), [](const NoteData* a, const NoteData* b) {
            return a->start < b->start || (a->start == b->start && a->order < b->order);
        });
        std::vector<MeasureAccidentals::Note> before;
        std::vector<MeasureAccidentals::Note> after;
        for (const NoteData* note : line) {
            MeasureAccidentals::Note input;
            input.microtone = note->microtone;
            input.tieStart = note->tieStart;
            input.tieStop = note->tieStop;
            input.keyEpoch = note->keyEpoch;
            const auto fill = [&](const SpelledPitch& pitch) {
                input.letter = pitch.letter;
                input.octave = pitch.octave;
                input.alteration = pitch.alteration;
                input.keyAlteration =
                    MeasureAccidentals::KeyAlteration(note->key.fifths, pitch.letter);
                return input;
            };
            before.push_back(fill(note->written));
            after.push_back(fill(note->newWritten.value_or(note->written)));
        }
        const std::vector<bool> neededBefore = MeasureAccidentals::Needed(before);
        const std::vector<bool> neededAfter = MeasureAccidentals::Needed(after);
        for (size_t i = 0; i < line.size(); ++i) {
            const NoteData& note = *line[i];
            const bool mend = !note.newWritten && neededAfter[i] && !neededBefore[i] &&
                              !note.microtone && !note.node.child("accidental") &&
                              std::abs(note.written.alteration) <= kMaxShownAlteration;
            if (!note.newWritten && !mend) {
                continue;
            }
            NoteEditor editor(spans_, note.node);
            std::optional<int32_t> shown;
            if (note.newWritten) {
                editor.SetPitch(*note.newWritten);
                if (neededAfter[i]) {
                    shown = note.newWritten->alteration;
                    editor.ShowAccidental(*shown);
                } else {
                    editor.HideAccidental();
                }
            } else {
                shown = note.written.alteration;
                editor.ShowAccidental(*shown);
                ++outcome_.accidentalsMended;
            }
            std::string text = editor.Text();
            std::string error;
            if (!NoteEditor::Check(checkDocument_, text, note.newWritten, true, shown, error)) {
                Refuse(note.node, error);
            }
            outcome_.edits.push_back({editor.Begin(), editor.End(), std::move(text)});
        }
    }

    void WalkMeasure(pugi::xml_node measure, bool partSelected, const std::string& partId,
                     const std::string& partName) {
        time_ = {};
        lastStart_ = {};
        notes_.clear();
        events_.clear();
        int32_t order = 0;
        for (const pugi::xml_node child : measure.children()) {
            ++order;
            const std::string_view name = child.name();
            if (name == "note") {
                ReadNote(child, order);
            } else if (name == "backup") {
                time_ = time_ - Duration(child);
            } else if (name == "forward") {
                time_ = time_ + Duration(child);
            } else if (name == "attributes") {
                ReadAttributes(child, order);
            }
        }
        for (NoteData& note : notes_) {
            Resolve(note);
        }
        const std::string number = measure.attribute("number").value();
        if (partSelected && MeasureSelected(number)) {
            const std::string partLabel =
                partName.empty() ? partId : partId + " (" + partName + ")";
            const std::set<int32_t> otherKeys = StavesInOtherKeys();
            std::set<int32_t> changedStaves;
            for (NoteData& note : notes_) {
                Decide(note, partLabel, otherKeys.contains(note.staff));
                if (note.newWritten) {
                    changedStaves.insert(note.staff);
                    RecordChange(note, partId, partName, number);
                }
            }
            for (const int32_t staff : changedStaves) {
                EditStaff(staff);
            }
        }
        CarryEvents();
    }

    void WalkPart(pugi::xml_node part) {
        const std::string id = part.attribute("id").value();
        const std::string name = partNames_.contains(id) ? partNames_.at(id) : std::string();
        const bool selected = PartSelected(id, name);
        divisions_ = {1, 1};
        beatType_ = 4;
        keys_ = {};
        transpositions_ = {};
        const size_t firstEdit = outcome_.edits.size();
        for (const pugi::xml_node measure : part.children("measure")) {
            WalkMeasure(measure, selected, id, name);
        }
        // Staves are edited one after the other: bring the part's edits into text order.
        std::sort(outcome_.edits.begin() + static_cast<std::ptrdiff_t>(firstEdit),
                  outcome_.edits.end(),
                  [](const ScoreEdit& a, const ScoreEdit& b) { return a.begin < b.begin; });
    }

    const XmlSpans& spans_;
    const RespellSettings& settings_;
    RespellOutcome& outcome_;
    Warnings warnings_;
    std::map<std::string, std::string> partNames_;
    bool concertScore_ = false;

    // Reused to read back every edited note.
    pugi::xml_document checkDocument_;

    // The part's state, carried from measure to measure.
    ScoreTime divisions_{1, 1};
    int64_t beatType_ = 4;
    Carried<Key> keys_;
    Carried<Transposition> transpositions_;

    // The measure being read.
    ScoreTime time_;
    ScoreTime lastStart_;
    std::vector<NoteData> notes_;
    std::vector<Event> events_;
};

std::string LocateParseError(std::string_view text, const pugi::xml_parse_result& parsed) {
    const auto offset = static_cast<size_t>(
        std::clamp<ptrdiff_t>(parsed.offset, 0, static_cast<ptrdiff_t>(text.size())));
    const size_t line =
        1 + static_cast<size_t>(std::count(text.begin(), text.begin() + offset, '\n'));
    const size_t lineStart = text.rfind('\n', offset == 0 ? 0 : offset - 1);
    const size_t column =
        lineStart == std::string_view::npos || offset == 0 ? offset + 1 : offset - lineStart;
    return "line " + std::to_string(line) + ", column " + std::to_string(column) +
           ": not well-formed XML (" + parsed.description() + ")";
}

}  // namespace

bool ScoreRespeller::Respell(std::string_view text, const RespellSettings& settings,
                             RespellOutcome& outcome, std::string& error) {
    outcome = RespellOutcome{};
    if (TextTools::Trim(text).empty()) {
        error = "the file is empty";
        return false;
    }
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
    if (!parsed) {
        error = parsed.status == pugi::status_no_document_element ? "the file holds no XML element"
                                                                  : LocateParseError(text, parsed);
        return false;
    }
    const XmlSpans spans(text);
    try {
        Walker walker(spans, settings, outcome);
        walker.Run(document);
    } catch (const Refusal& refusal) {
        error = refusal.message;
        outcome = RespellOutcome{};
        return false;
    } catch (const std::overflow_error& fault) {
        error = fault.what();
        outcome = RespellOutcome{};
        return false;
    } catch (const std::logic_error& fault) {
        error = std::string("cannot place an edit in this file (") + fault.what() + ")";
        outcome = RespellOutcome{};
        return false;
    }
    return true;
}

std::vector<std::string_view> ScoreRespeller::Pieces(std::string_view text,
                                                     const std::vector<ScoreEdit>& edits) {
    std::vector<std::string_view> pieces;
    pieces.reserve(2 * edits.size() + 1);
    size_t at = 0;
    for (const ScoreEdit& edit : edits) {
        pieces.push_back(text.substr(at, edit.begin - at));
        pieces.emplace_back(edit.text);
        at = edit.end;
    }
    pieces.push_back(text.substr(at));
    return pieces;
}

std::string ScoreRespeller::Apply(std::string_view text, const std::vector<ScoreEdit>& edits) {
    const std::vector<std::string_view> pieces = Pieces(text, edits);
    size_t size = 0;
    for (const std::string_view piece : pieces) {
        size += piece.size();
    }
    std::string result;
    result.reserve(size);
    for (const std::string_view piece : pieces) {
        result.append(piece);
    }
    return result;
}
