// MeasureReader: the children of a measure in one pass, then the keys and transpositions swept
// over the notes in time order, so that the work grows with the measure's length, not with
// its notes times its events.
#include "sorvel/core/MeasureReader.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>

#include "sorvel/core/Failure.h"
#include "sorvel/core/TextTools.h"

namespace sorvel {

namespace {

// An alteration beyond an octave is no spelling but a damaged file.
constexpr int32_t kMaxAlter = 12;
// MusicXML octaves.
constexpr int32_t kLowestOctave = 0;
constexpr int32_t kHighestOctave = 9;
// Staff numbers beyond this are taken as damage and read as staff 1 (notes) or all (keys).
constexpr int64_t kMaxStaff = 1000;

// ReadInteger reads a whole number, blanks around it allowed.
std::optional<int64_t> ReadInteger(std::string_view text) {
    ScoreTime value;
    if (!ScoreTime::ParseDecimal(text, value) || !value.IsInteger()) {
        return std::nullopt;
    }
    return value.numerator;
}

// Is: an element's name is this one. pugixml's names end in a zero; they are compared without
// being measured first, as the walk compares every child of every note.
bool Is(const char* name, std::string_view wanted) {
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (name[i] != wanted[i]) {
            return false;  // a shorter name stops here at its zero
        }
    }
    return name[wanted.size()] == '\0';
}

// InTimeOrder: the notes by start, then by their place in the measure.
std::vector<MeasureNote*> InTimeOrder(std::vector<MeasureNote>& measureNotes) {
    std::vector<MeasureNote*> notes;
    notes.reserve(measureNotes.size());
    for (MeasureNote& note : measureNotes) {
        notes.push_back(&note);
    }
    const auto earlier = [](const MeasureNote* a, const MeasureNote* b) {
        return a->start < b->start || (a->start == b->start && a->order < b->order);
    };
    // Mostly in time order already (one voice, chords): then there is nothing to sort.
    if (!std::is_sorted(notes.begin(), notes.end(), earlier)) {
        std::stable_sort(notes.begin(), notes.end(), earlier);
    }
    return notes;
}

int32_t StaffOf(pugi::xml_node element) {
    const std::optional<int64_t> staff = ReadInteger(element.attribute("number").value());
    return staff && *staff > 0 && *staff < kMaxStaff ? static_cast<int32_t>(*staff) : 0;
}

}  // namespace

void MeasureReader::StartPart() {
    divisions_ = {1, 1};
    beatType_ = 4;
    keys_ = {};
    transpositions_ = {};
    tablature_ = {};
}

void MeasureReader::Refuse(pugi::xml_node node, const std::string& message) const {
    const XmlSpans::Place place = spans_.PlaceOf(spans_.Start(node));
    Fail(FailureKind::kNotAScore, message, place.line);
}

ScoreTime MeasureReader::Duration(pugi::xml_node duration) const {
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

void MeasureReader::ReadKey(pugi::xml_node node, int32_t order) {
    Event event{time_, order, StaffOf(node), true, {}, {}};
    const std::optional<int64_t> fifths = ReadInteger(node.child_value("fifths"));
    if (node.child("fifths") && fifths && std::abs(*fifths) < 100) {
        event.key = {true, static_cast<int32_t>(*fifths)};
    } else {
        event.key = {false, 0};  // key-step/key-alter, or no readable signature
    }
    events_.push_back(event);
}

void MeasureReader::ReadTransposition(pugi::xml_node node, int32_t order) {
    Event event{time_, order, StaffOf(node), false, {}, {}};
    Transposition& t = event.transposition;
    t.present = true;
    const std::optional<int64_t> diatonic = ReadInteger(node.child_value("diatonic"));
    const std::optional<int64_t> chromatic = ReadInteger(node.child_value("chromatic"));
    const std::optional<int64_t> octaves = node.child("octave-change")
                                               ? ReadInteger(node.child_value("octave-change"))
                                               : std::optional<int64_t>(0);
    t.known = node.child("diatonic") && diatonic && chromatic && octaves &&
              std::abs(*diatonic) < 100 && std::abs(*chromatic) < 200 && std::abs(*octaves) < 10;
    if (t.known) {
        t.interval = {static_cast<int32_t>(*diatonic + 7 * *octaves),
                      static_cast<int32_t>(*chromatic + 12 * *octaves)};
    }
    events_.push_back(event);
}

void MeasureReader::ReadAttributes(pugi::xml_node attributes, int32_t order) {
    bool divisionsRead = false;
    bool timeRead = false;
    for (const pugi::xml_node node : attributes.children()) {
        const std::string_view name = node.name();
        if (name == "divisions" && !divisionsRead) {
            divisionsRead = true;
            ScoreTime value;
            if (!ScoreTime::ParseDecimal(node.child_value(), value) || !(ScoreTime{} < value)) {
                Refuse(node, "the divisions \"" + std::string(node.child_value()) +
                                 "\" are not a positive number");
            }
            divisions_ = value;
        } else if (name == "key") {
            ReadKey(node, order);
        } else if (name == "transpose") {
            ReadTransposition(node, order);
        } else if (name == "time" && !timeRead) {
            timeRead = true;
            const std::optional<int64_t> beatType = ReadInteger(node.child_value("beat-type"));
            if (beatType && *beatType > 0 && *beatType <= 1024) {
                beatType_ = *beatType;
            }
        } else if (name == "clef") {
            tablature_.Set(StaffOf(node), Trim(node.child_value("sign")) == "TAB");
        }
    }
}

void MeasureReader::ReadPitch(MeasureNote& note, pugi::xml_node pitch) const {
    // The first of each, in one pass over the children.
    pugi::xml_node& step = note.step;
    pugi::xml_node& octave = note.octave;
    pugi::xml_node& alter = note.alter;
    for (const pugi::xml_node child : pitch.children()) {
        const char* name = child.name();
        if (Is(name, "step")) {
            step = step ? step : child;
        } else if (Is(name, "octave")) {
            octave = octave ? octave : child;
        } else if (Is(name, "alter")) {
            alter = alter ? alter : child;
        }
    }
    if (!step) {
        Refuse(pitch, "a <pitch> without <step>");
    }
    if (!octave) {
        Refuse(pitch, "a <pitch> without <octave>");
    }
    const std::string_view letter = Trim(step.child_value());
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
    if (alter) {
        ScoreTime value;
        if (!ScoreTime::ParseDecimal(alter.child_value(), value)) {
            Refuse(alter, "the alter \"" + std::string(alter.child_value()) +
                              "\" is not a number of semitones");
        }
        if (ScoreTime{kMaxAlter, 1} < value || value < ScoreTime{-kMaxAlter, 1}) {
            Refuse(alter,
                   "the alter \"" + std::string(alter.child_value()) + "\" is more than an octave");
        }
        if (value.IsInteger()) {
            note.written.alteration = static_cast<int32_t>(value.numerator);
        } else {
            note.microtone = true;
        }
    }
    note.pitched = true;
}

void MeasureReader::ReadNotations(MeasureNote& note, pugi::xml_node notations) const {
    for (const pugi::xml_node child : notations.children()) {
        const char* name = child.name();
        if (Is(name, "tied")) {
            const std::string_view type = child.attribute("type").value();
            note.tieStart = note.tieStart || type == "start";
            note.tieStop = note.tieStop || type == "stop";
        } else if (Is(name, "technical")) {
            // A fret alone is a fingering hint on an ordinary staff; with a string it fixes
            // the pitch on the instrument.
            note.fretted = note.fretted || (child.child("string") && child.child("fret"));
        }
    }
}

void MeasureReader::ReadNote(pugi::xml_node node, int32_t order) {
    MeasureNote note;
    note.node = node;
    note.order = order;
    bool chord = false;
    bool grace = false;
    pugi::xml_node duration;
    pugi::xml_node pitch;
    pugi::xml_node staff;
    pugi::xml_node voice;
    for (const pugi::xml_node child : node.children()) {
        const char* name = child.name();
        const auto first = [&](pugi::xml_node& slot) { slot = slot ? slot : child; };
        if (Is(name, "chord")) {
            chord = true;
        } else if (Is(name, "grace")) {
            grace = true;
        } else if (Is(name, "duration")) {
            first(duration);
        } else if (Is(name, "pitch")) {
            first(pitch);
        } else if (Is(name, "staff")) {
            first(staff);
        } else if (Is(name, "voice")) {
            first(voice);
        } else if (Is(name, "accidental")) {
            first(note.accidental);
        } else if (Is(name, "tie")) {
            const std::string_view type = child.attribute("type").value();
            note.tieStart = note.tieStart || type == "start";
            note.tieStop = note.tieStop || type == "stop";
        } else if (Is(name, "notations")) {
            ReadNotations(note, child);
        }
    }
    note.start = chord ? lastStart_ : time_;
    if (!chord) {
        lastStart_ = time_;
        if (!grace) {
            time_ = time_ + Duration(duration);
        }
    }
    if (const std::optional<int64_t> number = ReadInteger(staff.child_value());
        number && *number > 0 && *number < kMaxStaff) {
        note.staff = static_cast<int32_t>(*number);
    }
    if (const std::string_view text = Trim(voice.child_value()); !text.empty()) {
        note.voice = text;
    }
    if (pitch) {
        ReadPitch(note, pitch);
    }
    note.fretted = note.fretted || tablature_.For(note.staff);
    measure_.notes.push_back(note);
}

void MeasureReader::ResolveEvents() {
    const auto earlier = [](const auto& a, const auto& b) {
        return a.first < b.first || (a.first == b.first && a.second < b.second);
    };
    std::vector<std::pair<ScoreTime, int32_t>> eventTimes;
    std::vector<size_t> events(events_.size());
    for (size_t i = 0; i < events_.size(); ++i) {
        events[i] = i;
    }
    std::stable_sort(events.begin(), events.end(), [&](size_t a, size_t b) {
        return earlier(std::pair{events_[a].time, events_[a].order},
                       std::pair{events_[b].time, events_[b].order});
    });
    const std::vector<MeasureNote*> notes = InTimeOrder(measure_.notes);
    // Sweep: every event before a note (in time, then in the file's order) is in force for it.
    Carried<int32_t> epochs;
    std::set<int32_t> otherKeyStaves;
    bool otherKeyEverywhere = false;
    size_t next = 0;
    const auto apply = [&](const Event& event, size_t index) {
        if (event.isKey) {
            keys_.Set(event.staff, event.key);
            epochs.Set(event.staff, static_cast<int32_t>(index) + 1);
            if (!event.key.traditional) {
                otherKeyEverywhere = otherKeyEverywhere || event.staff == 0;
                otherKeyStaves.insert(event.staff);
            }
        } else {
            transpositions_.Set(event.staff, event.transposition);
        }
    };
    for (MeasureNote* note : notes) {
        while (next < events.size() &&
               earlier(std::pair{events_[events[next]].time, events_[events[next]].order},
                       std::pair{note->start, note->order})) {
            apply(events_[events[next]], events[next]);
            ++next;
        }
        note->key = keys_.For(note->staff);
        note->keyEpoch = epochs.For(note->staff);
        note->transposition = concertScore_ ? Transposition{} : transpositions_.For(note->staff);
        if (!note->key.traditional) {
            otherKeyStaves.insert(note->staff);
        }
    }
    for (; next < events.size(); ++next) {
        apply(events_[events[next]], events[next]);
    }
    for (MeasureNote& note : measure_.notes) {
        note.otherKey = otherKeyEverywhere || otherKeyStaves.contains(note.staff);
    }
}

const Measure& MeasureReader::Read(pugi::xml_node measure) {
    time_ = {};
    lastStart_ = {};
    events_.clear();
    measure_.node = measure;
    measure_.notes.clear();
    int32_t order = 0;
    for (const pugi::xml_node child : measure.children()) {
        ++order;
        const char* name = child.name();
        if (Is(name, "note")) {
            ReadNote(child, order);
        } else if (Is(name, "backup")) {
            time_ = time_ - Duration(child.child("duration"));
        } else if (Is(name, "forward")) {
            time_ = time_ + Duration(child.child("duration"));
        } else if (Is(name, "attributes")) {
            ReadAttributes(child, order);
        }
    }
    measure_.beatType = beatType_;
    ResolveEvents();
    return measure_;
}

}  // namespace sorvel
