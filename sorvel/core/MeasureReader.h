// MeasureReader: one measure of a part read into its notes, each with the key and the
// transposition in force when it sounds. It carries the part's state from measure to measure
// (divisions, the key and transposition of each staff, the beat unit, tablature staves) and
// places every note in time through its duration, <backup> and <forward>, so that a key or
// transposition that changes in the middle of a measure applies from where it stands.
#pragma once

#include <cstdint>
#include <map>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

#include "rules/PitchInterval.h"
#include "rules/SpelledPitch.h"
#include "sorvel/core/ScoreTime.h"
#include "sorvel/core/XmlSpans.h"

namespace sorvel {

struct Key {
    bool traditional = true;  // a key of fifths; false for key-step/key-alter or none readable
    int32_t fifths = 0;
};

struct Transposition {
    bool present = false;
    bool known = true;  // the sounding spelling follows: a diatonic step and whole semitones
    rules::PitchInterval interval;

    [[nodiscard]] bool IsKeyTransposition() const {
        return !present || (known && interval.IsKeyTransposition());
    }
};

// Carried: a value per staff, with the value for staves no element has named yet.
template <class Value>
struct Carried {
    std::map<int32_t, Value> staves;
    Value all{};

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

struct MeasureNote {
    pugi::xml_node node;
    pugi::xml_node accidental;  // the note's <accidental>, if any
    // Of its first <pitch>: the first <step>, <alter> (if any) and <octave>.
    pugi::xml_node step;
    pugi::xml_node alter;
    pugi::xml_node octave;
    int32_t order = 0;  // place among the measure's children
    ScoreTime start;
    int32_t staff = 1;
    std::string_view voice = "1";  // pugixml's text: valid while the document lives
    bool pitched = false;
    bool microtone = false;  // an alteration that is not a whole number of semitones
    bool tieStart = false;
    bool tieStop = false;
    bool fretted = false;  // a tablature staff, or a string and a fret fix the pitch
    rules::SpelledPitch written;
    // In force when the note sounds.
    Key key;
    int32_t keyEpoch = 0;   // changes where a key signature in the measure starts afresh
    bool otherKey = false;  // the staff meets a key without a traditional signature here
    Transposition transposition;
};

struct Measure {
    pugi::xml_node node;
    int64_t beatType = 4;  // the time signature's beat unit, for beats in reports
    std::vector<MeasureNote> notes;
};

class MeasureReader {
  public:
    MeasureReader(const XmlSpans& spans, bool concertScore)
        : spans_(spans), concertScore_(concertScore) {}

    // StartPart forgets the state of the previous part.
    void StartPart();
    // Read reads the next measure of the part.
    const Measure& Read(pugi::xml_node measure);

  private:
    // Event: a key or a transposition that starts at a time of the measure, for one staff
    // (0: all).
    struct Event {
        ScoreTime time;
        int32_t order = 0;
        int32_t staff = 0;
        bool isKey = true;
        Key key;
        Transposition transposition;
    };

    [[noreturn]] void Refuse(pugi::xml_node node, const std::string& message) const;
    [[nodiscard]] ScoreTime Duration(pugi::xml_node duration) const;
    void ReadAttributes(pugi::xml_node attributes, int32_t order);
    void ReadKey(pugi::xml_node node, int32_t order);
    void ReadTransposition(pugi::xml_node node, int32_t order);
    void ReadNote(pugi::xml_node node, int32_t order);
    void ReadPitch(MeasureNote& note, pugi::xml_node pitch) const;
    void ReadNotations(MeasureNote& note, pugi::xml_node notations) const;
    void ResolveEvents();

    const XmlSpans& spans_;
    bool concertScore_;

    // The part's state, carried from measure to measure.
    ScoreTime divisions_{1, 1};
    int64_t beatType_ = 4;
    Carried<Key> keys_;
    Carried<Transposition> transpositions_;
    Carried<bool> tablature_;

    // The measure being read.
    ScoreTime time_;
    ScoreTime lastStart_;
    std::vector<Event> events_;
    Measure measure_;
};

}  // namespace sorvel
