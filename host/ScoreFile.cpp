// ScoreFile: JSON score files, read strictly (unknown keys, wrong types and values out of range
// are faults) and written back in the same form.
#include "host/ScoreFile.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

namespace host {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

// A fault found while reading: where it is and what it is.
struct Fault {
    std::string where;
    std::string what;
};

class Reader {
  public:
    explicit Reader(HostScore& score) : score_(score) {}

    void ReadAll(const Json& root) {
        Expect(root.is_object(), "", "the score must be a JSON object");
        Keys(root, "",
             {"staves", "measures", "cellKeys", "staffSpecs", "layers", "octaveShift",
              "concertPitch", "entries", "lockedFrames", "selection"});
        if (root.contains("staves")) {
            ReadStaves(root["staves"]);
        }
        if (root.contains("measures")) {
            ReadMeasures(root["measures"]);
        }
        if (root.contains("layers")) {
            ReadLayers(root["layers"]);
        }
        if (root.contains("octaveShift")) {
            score_.octaveShift =
                static_cast<int16_t>(Int(root["octaveShift"], "octaveShift", -32768, 32767));
        }
        if (root.contains("concertPitch")) {
            Expect(root["concertPitch"].is_boolean(), "concertPitch", "must be true or false");
            score_.concertPitch = root["concertPitch"].get<bool>();
        }
        if (root.contains("staffSpecs")) {
            ReadStaffSpecs(root["staffSpecs"]);
        }
        if (root.contains("cellKeys")) {
            ReadCellKeys(root["cellKeys"]);
        }
        if (root.contains("entries")) {
            ReadEntries(root["entries"]);
        }
        if (root.contains("lockedFrames")) {
            ReadLockedFrames(root["lockedFrames"]);
        }
        if (root.contains("selection")) {
            ReadSelection(root["selection"]);
        }
    }

  private:
    HostScore& score_;

    [[noreturn]] static void Fail(const std::string& where, const std::string& what) {
        throw Fault{where.empty() ? std::string("top level") : where, what};
    }
    static void Expect(bool condition, const std::string& where, const std::string& what) {
        if (!condition) {
            Fail(where, what);
        }
    }
    static std::string At(const std::string& where, size_t index) {
        return where + "[" + std::to_string(index) + "]";
    }
    static std::string Member(const std::string& where, const std::string& key) {
        return where.empty() ? key : where + "." + key;
    }

    static void Keys(const Json& object, const std::string& where,
                     std::initializer_list<const char*> allowed) {
        Expect(object.is_object(), where, "must be a JSON object");
        for (const auto& item : object.items()) {
            const bool known = std::any_of(allowed.begin(), allowed.end(),
                                           [&](const char* k) { return item.key() == k; });
            Expect(known, where, "unknown key \"" + item.key() + "\"");
        }
    }
    static void Required(const Json& object, const std::string& where, const char* key) {
        Expect(object.contains(key), where, std::string("missing key \"") + key + "\"");
    }
    static int64_t Int(const Json& value, const std::string& where, int64_t low, int64_t high) {
        Expect(value.is_number_integer(), where, "must be a whole number");
        const auto number = value.get<int64_t>();
        Expect(number >= low && number <= high, where,
               "value " + std::to_string(number) + " is outside " + std::to_string(low) + " to " +
                   std::to_string(high));
        return number;
    }
    static const Json& Array(const Json& value, const std::string& where) {
        Expect(value.is_array(), where, "must be a JSON array");
        return value;
    }
    // 16-bit words may be written unsigned (0 to 65535) or signed (down to -32768).
    static uint16_t Word(const Json& value, const std::string& where) {
        return static_cast<uint16_t>(Int(value, where, -32768, 65535));
    }

    int StaffId(const Json& value, const std::string& where) const {
        const int id = static_cast<int>(Int(value, where, 1, 32767));
        Expect(score_.StaffById(id) != nullptr, where, "no staff with id " + std::to_string(id));
        return id;
    }
    int Measure(const Json& value, const std::string& where) const {
        const int measure = static_cast<int>(Int(value, where, 1, 32767));
        Expect(score_.HasMeasure(measure), where,
               "no measure " + std::to_string(measure) + " (the score has " +
                   std::to_string(score_.measureKeys.size()) + ")");
        return measure;
    }
    int Layer(const Json& value, const std::string& where) const {
        return static_cast<int>(Int(value, where, 1, score_.layerCount));
    }

    void ReadStaves(const Json& staves) {
        const std::string where = "staves";
        size_t i = 0;
        for (const auto& item : Array(staves, where)) {
            const std::string w = At(where, i++);
            Keys(item, w, {"id", "name", "transposition", "flags"});
            Required(item, w, "id");
            HostScore::Staff staff;
            staff.id = static_cast<int>(Int(item["id"], Member(w, "id"), 1, 32767));
            Expect(score_.StaffById(staff.id) == nullptr, Member(w, "id"),
                   "staff id " + std::to_string(staff.id) + " is used twice");
            if (item.contains("name")) {
                Expect(item["name"].is_string(), Member(w, "name"), "must be a text");
                staff.name = item["name"].get<std::string>();
            }
            if (item.contains("transposition")) {
                staff.transposition = Word(item["transposition"], Member(w, "transposition"));
            }
            if (item.contains("flags")) {
                staff.flags = Word(item["flags"], Member(w, "flags"));
            }
            score_.staves.push_back(staff);
        }
    }

    void ReadMeasures(const Json& measures) {
        const std::string where = "measures";
        size_t i = 0;
        for (const auto& item : Array(measures, where)) {
            const std::string w = At(where, i++);
            Keys(item, w, {"key"});
            score_.measureKeys.push_back(item.contains("key") ? Word(item["key"], Member(w, "key"))
                                                              : uint16_t{0});
        }
    }

    void ReadLayers(const Json& layers) {
        const std::string where = "layers";
        Keys(layers, where, {"count", "shown"});
        if (layers.contains("count")) {
            score_.layerCount =
                static_cast<int>(Int(layers["count"], Member(where, "count"), 1, 4));
        }
        score_.shownLayers.clear();
        if (layers.contains("shown")) {
            const std::string w = Member(where, "shown");
            size_t i = 0;
            for (const auto& item : Array(layers["shown"], w)) {
                const int layer = static_cast<int>(Int(item, At(w, i++), 1, score_.layerCount));
                if (!score_.IsShown(layer)) {
                    score_.shownLayers.push_back(layer);
                }
            }
        } else {
            for (int layer = 1; layer <= score_.layerCount; ++layer) {
                score_.shownLayers.push_back(layer);
            }
        }
    }

    void ReadStaffSpecs(const Json& specList) {
        const std::string where = "staffSpecs";
        size_t i = 0;
        for (const auto& item : Array(specList, where)) {
            const std::string w = At(where, i++);
            Keys(item, w, {"staff", "measure", "transposition", "flags"});
            Required(item, w, "staff");
            Required(item, w, "measure");
            HostScore::StaffSpec staffSpec;
            staffSpec.staff = StaffId(item["staff"], Member(w, "staff"));
            staffSpec.measure = Measure(item["measure"], Member(w, "measure"));
            // Words not given keep what was in force before this measure.
            staffSpec.transposition = score_.TranspositionAt(staffSpec.staff, staffSpec.measure);
            staffSpec.flags = score_.FlagsAt(staffSpec.staff, staffSpec.measure);
            if (item.contains("transposition")) {
                staffSpec.transposition = Word(item["transposition"], Member(w, "transposition"));
            }
            if (item.contains("flags")) {
                staffSpec.flags = Word(item["flags"], Member(w, "flags"));
            }
            for (const auto& other : score_.staffSpecs) {
                Expect(other.staff != staffSpec.staff || other.measure != staffSpec.measure, w,
                       "a second staff settings change for the same staff and measure");
            }
            score_.staffSpecs.push_back(staffSpec);
        }
    }

    void ReadCellKeys(const Json& keys) {
        const std::string where = "cellKeys";
        size_t i = 0;
        for (const auto& item : Array(keys, where)) {
            const std::string w = At(where, i++);
            Keys(item, w, {"staff", "measure", "key"});
            Required(item, w, "staff");
            Required(item, w, "measure");
            Required(item, w, "key");
            HostScore::CellKey cellKey;
            cellKey.staff = StaffId(item["staff"], Member(w, "staff"));
            cellKey.measure = Measure(item["measure"], Member(w, "measure"));
            cellKey.key = Word(item["key"], Member(w, "key"));
            Expect(score_.FindCellKey(cellKey.staff, cellKey.measure) == nullptr, w,
                   "a second key for the same cell");
            score_.cellKeys.push_back(cellKey);
        }
    }

    HostScore::Note ReadNote(const Json& item, const std::string& w, uint16_t keyWord) const {
        HostScore::Note note;
        if (item.is_string()) {
            const auto text = item.get<std::string>();
            auto pitch = HostPitch::Parse(text);
            Expect(pitch.has_value(), w,
                   "\"" + text +
                       "\" is not a pitch (letter A-G, then # or b signs, then the "
                       "octave, as in C#4 or Bb-1)");
            Expect(HostPitch::IsLinear(keyWord), w,
                   "\"" + text +
                       "\" cannot be placed in this cell, whose key is not linear; give "
                       "{\"displacement\", \"raiseLower\"}");
            auto numbers = HostPitch::ToNumbers(*pitch, keyWord);
            Expect(numbers.has_value(), w, "\"" + text + "\" lies outside the host's range");
            note.spelled = true;
            note.pitch = *pitch;
            note.raw = *numbers;
        } else {
            Keys(item, w, {"displacement", "raiseLower"});
            Required(item, w, "displacement");
            Required(item, w, "raiseLower");
            const HostSession::NoteNumbers numbers{
                static_cast<int16_t>(
                    Int(item["displacement"], Member(w, "displacement"), -32768, 32767)),
                static_cast<int16_t>(
                    Int(item["raiseLower"], Member(w, "raiseLower"), -32768, 32767))};
            HostScore::StoreNumbers(note, numbers, keyWord);
        }
        return note;
    }

    void ReadEntries(const Json& entries) {
        const std::string where = "entries";
        size_t i = 0;
        for (const auto& item : Array(entries, where)) {
            const std::string w = At(where, i++);
            Keys(item, w, {"staff", "measure", "layer", "pos", "notes", "rest"});
            Required(item, w, "staff");
            Required(item, w, "measure");
            const int staff = StaffId(item["staff"], Member(w, "staff"));
            const int measure = Measure(item["measure"], Member(w, "measure"));
            const int layer = item.contains("layer") ? Layer(item["layer"], Member(w, "layer")) : 1;
            HostScore::Entry entry;
            if (item.contains("pos")) {
                entry.pos = static_cast<int32_t>(Int(item["pos"], Member(w, "pos"), 0, 2147483647));
            }
            if (item.contains("rest")) {
                Expect(item["rest"].is_boolean(), Member(w, "rest"), "must be true or false");
                entry.rest = item["rest"].get<bool>();
            }
            if (entry.rest) {
                Expect(!item.contains("notes") || item["notes"].empty(), w,
                       "a rest cannot have notes");
            } else {
                Expect(item.contains("notes"), w, R"(an entry needs "notes" or "rest": true)");
                const std::string wn = Member(w, "notes");
                const auto& notes = Array(item["notes"], wn);
                Expect(!notes.empty(), wn, "a note entry needs at least one note");
                Expect(notes.size() <= HostScore::kMaxNotes, wn, "an entry holds at most 12 notes");
                const uint16_t keyWord = score_.GoverningKey(staff, measure);
                size_t j = 0;
                for (const auto& noteItem : notes) {
                    auto note = ReadNote(noteItem, At(wn, j), keyWord);
                    note.number = static_cast<int16_t>(j + 1);
                    note.flags = static_cast<uint32_t>(note.number & 0x1F) << 16;
                    entry.notes.push_back(note);
                    ++j;
                }
            }
            auto& cell = score_.entries[{staff, measure, layer}];
            // Entries of a layer are kept in time order; equal positions keep file order.
            auto at = std::upper_bound(
                cell.begin(), cell.end(), entry.pos,
                [](int32_t pos, const HostScore::Entry& e) { return pos < e.pos; });
            cell.insert(at, entry);
        }
    }

    void ReadLockedFrames(const Json& frames) {
        const std::string where = "lockedFrames";
        size_t i = 0;
        for (const auto& item : Array(frames, where)) {
            const std::string w = At(where, i++);
            Keys(item, w, {"staff", "measure", "layer"});
            Required(item, w, "staff");
            Required(item, w, "measure");
            const int staff = StaffId(item["staff"], Member(w, "staff"));
            const int measure = Measure(item["measure"], Member(w, "measure"));
            const int layer = item.contains("layer") ? Layer(item["layer"], Member(w, "layer")) : 1;
            score_.lockedFrames.insert({staff, measure, layer});
        }
    }

    void ReadSelection(const Json& selection) {
        const std::string where = "selection";
        if (selection.is_null()) {
            score_.selection.reset();
            return;
        }
        Keys(selection, where,
             {"startSlot", "endSlot", "startMeasure", "endMeasure", "startPos", "endPos"});
        for (const char* key : {"startSlot", "endSlot", "startMeasure", "endMeasure"}) {
            Required(selection, where, key);
        }
        const int slots = static_cast<int>(score_.staves.size());
        const int measures = static_cast<int>(score_.measureKeys.size());
        Expect(slots > 0 && measures > 0, where, "a selection needs staves and measures");
        HostSession::Region region;
        region.startSlot =
            static_cast<int16_t>(Int(selection["startSlot"], Member(where, "startSlot"), 1, slots));
        region.endSlot =
            static_cast<int16_t>(Int(selection["endSlot"], Member(where, "endSlot"), 1, slots));
        region.startMeasure = static_cast<int16_t>(
            Int(selection["startMeasure"], Member(where, "startMeasure"), 1, measures));
        region.endMeasure = static_cast<int16_t>(
            Int(selection["endMeasure"], Member(where, "endMeasure"), 1, measures));
        region.startPos = selection.contains("startPos")
                              ? static_cast<int32_t>(Int(selection["startPos"],
                                                         Member(where, "startPos"), 0, 2147483647))
                              : 0;
        region.endPos = selection.contains("endPos")
                            ? static_cast<int32_t>(
                                  Int(selection["endPos"], Member(where, "endPos"), 0, 2147483647))
                            : 2147483647;
        Expect(region.startSlot <= region.endSlot, where, "startSlot lies after endSlot");
        Expect(region.startMeasure <= region.endMeasure, where,
               "startMeasure lies after endMeasure");
        score_.selection = region;
    }
};

// "line L, column C" of a byte offset, for syntax errors.
std::string LineAndColumn(std::string_view text, size_t offset) {
    size_t line = 1;
    size_t column = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

bool ScoreFile::Read(std::string_view text, std::string_view fileName, HostScore& score,
                     std::string& error) {
    Json root;
    try {
        root = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        // The library's byte is one past the fault.
        const size_t at = e.byte > 0 ? e.byte - 1 : 0;
        std::string what = e.what();
        const auto cut = what.find("syntax error");
        error = std::string(fileName) + ": " + LineAndColumn(text, at) + ": " +
                (cut != std::string::npos ? what.substr(cut) : what);
        return false;
    }
    HostScore fresh;
    fresh.shownLayers = {1, 2, 3, 4};
    try {
        Reader reader(fresh);
        reader.ReadAll(root);
    } catch (const Fault& fault) {
        error = std::string(fileName) + ": " + fault.where + ": " + fault.what;
        return false;
    } catch (const Json::exception& e) {
        error = std::string(fileName) + ": " + e.what();
        return false;
    }
    score = std::move(fresh);
    return true;
}

std::string ScoreFile::Write(const HostScore& score) {
    OrderedJson root;
    root["staves"] = OrderedJson::array();
    for (const auto& staff : score.staves) {
        OrderedJson item;
        item["id"] = staff.id;
        item["name"] = staff.name;
        item["transposition"] = staff.transposition;
        item["flags"] = staff.flags;
        root["staves"].push_back(item);
    }
    root["measures"] = OrderedJson::array();
    for (const auto key : score.measureKeys) {
        root["measures"].push_back(OrderedJson{{"key", key}});
    }
    root["cellKeys"] = OrderedJson::array();
    for (const auto& cellKey : score.cellKeys) {
        OrderedJson item;
        item["staff"] = cellKey.staff;
        item["measure"] = cellKey.measure;
        item["key"] = cellKey.key;
        root["cellKeys"].push_back(item);
    }
    root["staffSpecs"] = OrderedJson::array();
    for (const auto& staffSpec : score.staffSpecs) {
        OrderedJson item;
        item["staff"] = staffSpec.staff;
        item["measure"] = staffSpec.measure;
        item["transposition"] = staffSpec.transposition;
        item["flags"] = staffSpec.flags;
        root["staffSpecs"].push_back(item);
    }
    root["layers"]["count"] = score.layerCount;
    root["layers"]["shown"] = score.shownLayers;
    root["octaveShift"] = score.octaveShift;
    root["concertPitch"] = score.concertPitch;
    root["entries"] = OrderedJson::array();
    // Staves in slot order, then measures, layers and time.
    for (const auto& staff : score.staves) {
        for (const auto& [address, cell] : score.entries) {
            const auto [staffId, measure, layer] = address;
            if (staffId != staff.id) {
                continue;
            }
            const uint16_t keyWord = score.GoverningKey(staffId, measure);
            for (const auto& entry : cell) {
                OrderedJson item;
                item["staff"] = staffId;
                item["measure"] = measure;
                item["layer"] = layer;
                item["pos"] = entry.pos;
                if (entry.rest) {
                    item["rest"] = true;
                } else {
                    item["notes"] = OrderedJson::array();
                    for (const auto& note : entry.notes) {
                        const auto numbers = score.NumbersOf(note, keyWord);
                        if (auto pitch = HostPitch::FromNumbers(numbers, keyWord)) {
                            item["notes"].push_back(HostPitch::Format(*pitch));
                        } else {
                            item["notes"].push_back(
                                OrderedJson{{"displacement", numbers.displacement},
                                            {"raiseLower", numbers.raiseLower}});
                        }
                    }
                }
                root["entries"].push_back(item);
            }
        }
    }
    root["lockedFrames"] = OrderedJson::array();
    for (const auto& [staffId, measure, layer] : score.lockedFrames) {
        root["lockedFrames"].push_back(
            OrderedJson{{"staff", staffId}, {"measure", measure}, {"layer", layer}});
    }
    if (score.selection) {
        const auto& r = *score.selection;
        OrderedJson item;
        item["startSlot"] = r.startSlot;
        item["endSlot"] = r.endSlot;
        item["startMeasure"] = r.startMeasure;
        item["endMeasure"] = r.endMeasure;
        item["startPos"] = r.startPos;
        item["endPos"] = r.endPos;
        root["selection"] = item;
    } else {
        root["selection"] = nullptr;
    }
    return root.dump(2) + "\n";
}

}  // namespace host
