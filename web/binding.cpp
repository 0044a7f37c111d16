// binding: the page's door into the C++ core, compiled to WebAssembly. It only converts between
// JavaScript values and the core's types; every check, rule, refusal and report text is the
// core's (rules/ and sorvel/core/), the same code the command line runs.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <memory>
#include <string>
#include <vector>

#include "DrawingCopy.h"
#include "RowListEdit.h"
#include "rules/PitchRules.h"
#include "rules/SpellingSyntax.h"
#include "sorvel/core/ChangeReport.h"
#include "sorvel/core/MeasureList.h"
#include "sorvel/core/PitchListFile.h"
#include "sorvel/core/PitchListWriter.h"
#include "sorvel/core/RespellScore.h"
#include "sorvel/core/TextEncoding.h"

using emscripten::val;

namespace {

// BytesOf copies a Uint8Array into the module's memory.
std::string BytesOf(const val& array) {
    std::string bytes(array["length"].as<size_t>(), '\0');
    val view(emscripten::typed_memory_view(bytes.size(),
                                           reinterpret_cast<unsigned char*>(bytes.data())));
    view.call<void>("set", array);
    return bytes;
}

// ArrayOf copies bytes out into a new Uint8Array, which outlives the module's memory moving.
val ArrayOf(std::string_view bytes) {
    const val view(emscripten::typed_memory_view(
        bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())));
    return val::global("Uint8Array").new_(view);
}

val StringList(const std::vector<std::string>& texts) {
    val list = val::array();
    for (const std::string& text : texts) {
        list.call<void>("push", text);
    }
    return list;
}

const char* DirectionWord(rules::PitchDirection direction) {
    switch (direction) {
        case rules::PitchDirection::kUp:
            return "up";
        case rules::PitchDirection::kDown:
            return "down";
        default:
            return "closest";
    }
}

rules::PitchDirection DirectionOf(const std::string& word) {
    return rules::ParseDirectionWord(word).value_or(rules::PitchDirection::kClosest);
}

// CheckPair checks a typed From and To as the dialog does: {ok, from, to} with the texts as a
// row keeps them, or {ok: false, field: "from" | "to", title, message}.
val CheckPair(const std::string& fromTyped, const std::string& toTyped) {
    std::u16string from = rules::Widen(fromTyped);
    std::u16string to = rules::Widen(toTyped);
    val answer = val::object();
    if (const auto fault = rules::ValidateSpellingPair(from, to)) {
        answer.set("ok", false);
        answer.set("field", *fault == rules::SpellingField::kFrom ? "from" : "to");
        answer.set("title", std::string(rules::kSpellingErrorTitle));
        answer.set("message", std::string(rules::SpellingErrorMessage(*fault)));
        return answer;
    }
    rules::ExpandDoubleSharp(from);
    rules::ExpandDoubleSharp(to);
    answer.set("ok", true);
    answer.set("from", rules::Narrow(from));
    answer.set("to", rules::Narrow(to));
    return answer;
}

// ReadPitchList answers the sets of a pitch-list file: [{name, rows: [{from, to, direction,
// ticked, applicable}]}], names shown as UTF-8.
val ReadPitchList(const val& bytes) {
    val sets = val::array();
    for (const sorvel::PitchSet& set : sorvel::ParsePitchList(BytesOf(bytes))) {
        val rows = val::array();
        for (const sorvel::StoredPitchRow& stored : set.rows) {
            val row = val::object();
            row.set("from", sorvel::Latin1ToUtf8(rules::Narrow(stored.row.from)));
            row.set("to", sorvel::Latin1ToUtf8(rules::Narrow(stored.row.to)));
            row.set("direction", std::string(DirectionWord(stored.row.direction)));
            row.set("ticked", stored.ticked);
            row.set("applicable", rules::IsStoredSpelling(stored.row.from) &&
                                      rules::IsStoredSpelling(stored.row.to));
            rows.call<void>("push", row);
        }
        val entry = val::object();
        entry.set("name", sorvel::Latin1ToUtf8(set.name));
        entry.set("rows", rows);
        sets.call<void>("push", entry);
    }
    return sets;
}

// RowsOf reads [{from, to, direction, ticked}] from the page (texts in UTF-8, as shown).
std::vector<sorvel::StoredPitchRow> RowsOf(const val& list) {
    std::vector<sorvel::StoredPitchRow> rows;
    const auto count = list["length"].as<size_t>();
    for (size_t i = 0; i < count; ++i) {
        const val row = list[i];
        sorvel::StoredPitchRow stored;
        stored.row.from = rules::Widen(sorvel::Utf8ToLowBytes(row["from"].as<std::string>()));
        stored.row.to = rules::Widen(sorvel::Utf8ToLowBytes(row["to"].as<std::string>()));
        stored.row.direction = DirectionOf(row["direction"].as<std::string>());
        stored.ticked = row["ticked"].as<bool>();
        rows.push_back(std::move(stored));
    }
    return rows;
}

// WritePitchList answers the pitch-list file for [{name, rows}] as the plug-in writes it.
val WritePitchList(const val& list) {
    std::vector<sorvel::PitchSet> sets;
    const auto count = list["length"].as<size_t>();
    for (size_t i = 0; i < count; ++i) {
        sorvel::PitchSet set;
        set.name = sorvel::StorableName(list[i]["name"].as<std::string>());
        set.rows = RowsOf(list[i]["rows"]);
        sets.push_back(std::move(set));
    }
    return ArrayOf(sorvel::WritePitchList(sets));
}

// StorableName: a typed set name as the file will keep it (empty: no name).
std::string StorableName(const std::string& typed) {
    return sorvel::Latin1ToUtf8(sorvel::StorableName(typed));
}

// EditRows makes one of the dialog's edits ("add", "addInverse", "update") on the page's rows:
// {rows, selected} and, when refused, alert: {title, message, field}.
val EditRows(const std::string& action, const val& list, int selected, const val& typed) {
    std::vector<web::ListRow> rows;
    for (sorvel::StoredPitchRow& stored : RowsOf(list)) {
        rows.push_back({rules::Narrow(stored.row.from), rules::Narrow(stored.row.to),
                        stored.row.direction, stored.ticked});
    }
    const web::Fields fields{typed["from"].as<std::string>(), typed["to"].as<std::string>(),
                             DirectionOf(typed["direction"].as<std::string>())};
    web::EditResult result = action == "add"          ? web::AddRow(rows, fields)
                             : action == "addInverse" ? web::AddInverseRow(rows, fields)
                                                      : web::UpdateRow(rows, selected, fields);
    val answer = val::object();
    val out = val::array();
    for (const web::ListRow& row : result.rows) {
        val entry = val::object();
        entry.set("from", sorvel::Latin1ToUtf8(row.from));
        entry.set("to", sorvel::Latin1ToUtf8(row.to));
        entry.set("direction", std::string(DirectionWord(row.direction)));
        entry.set("ticked", row.ticked);
        out.call<void>("push", entry);
    }
    answer.set("rows", out);
    answer.set("selected", result.selected);
    if (result.alert) {
        val alert = val::object();
        alert.set("title", result.alert->title);
        alert.set("message", result.alert->message);
        alert.set("field", result.alert->field);
        answer.set("alert", alert);
    }
    return answer;
}

val ChangeList(const sorvel::FileResult& result, const std::vector<rules::PitchRow>& rows) {
    val changes = val::array();
    const std::string lines = sorvel::ChangeLines(result, rows);
    size_t start = 0;
    for (const sorvel::NoteChange& change : result.score.changes) {
        const size_t end = lines.find('\n', start);
        val entry = val::object();
        entry.set("line", lines.substr(start, end - start));
        start = end + 1;
        const sorvel::PartInfo& part = result.score.parts[change.part];
        entry.set("part", part.name.empty() ? part.id : part.name);
        entry.set("measure", std::string(change.measure));
        entry.set("beat", change.beat.Text());
        entry.set("writtenBefore", change.writtenBefore.Text());
        entry.set("writtenAfter", change.writtenAfter.Text());
        entry.set("soundingBefore", change.soundingKnown ? change.soundingBefore.Text() : "");
        entry.set("soundingAfter", change.soundingKnown ? change.soundingAfter.Text() : "");
        entry.set("row", rows[change.row].Text());
        changes.call<void>("push", entry);
    }
    return changes;
}

}  // namespace

// Batch: one respelling of several files with one set of options, as one run of the command
// line: each file is respelled as it is added, and the report covers them all.
class Batch {
  public:
    // request: {rows: [{from, to, direction, ticked}], written, parts: [names], measures}.
    // Rows are applied as the dialog's Change Checked applies them: ticked rows whose texts are
    // spellings as a list stores them.
    explicit Batch(const val& request) {
        rows_ = sorvel::AppliedRows(RowsOf(request["rows"]), warnings_);
        rules_ = std::make_unique<rules::PitchRules>(rows_);
        options_.rules = rules_.get();
        options_.written = request["written"].as<bool>();
        const val parts = request["parts"];
        for (size_t i = 0; i < parts["length"].as<size_t>(); ++i) {
            options_.parts.push_back(parts[i].as<std::string>());
        }
        const auto measures = request["measures"].as<std::string>();
        if (!measures.empty() && !sorvel::ParseMeasureList(measures, options_.measures, error_)) {
            error_ = "Measures " + measures + ": " + error_;
        }
    }

    [[nodiscard]] std::string Error() const { return error_; }
    [[nodiscard]] val Warnings() const { return StringList(warnings_); }
    [[nodiscard]] size_t RowCount() const { return rows_.size(); }

    // Add respells one file and answers {ok, error, summary, changed, changes, warnings,
    // accidentalsMended}.
    val Add(const std::string& name, const val& bytes) {
        sorvel::FileResult result;
        result.input = name;
        inputs_.push_back(BytesOf(bytes));
        result.score = sorvel::RespellScore(inputs_.back(), options_);
        result.ok = result.score.Ok();
        if (!result.ok) {
            result.error = result.score.failure->Text();
        }
        val answer = val::object();
        answer.set("ok", result.ok);
        answer.set("error", result.error);
        answer.set("summary", sorvel::SummaryLine(result, rows_, true));
        answer.set("changed", result.ok && result.score.Changed());
        answer.set("changes", ChangeList(result, rows_));
        answer.set("accidentalsMended", result.score.accidentalsMended);
        answer.set("warnings", StringList(result.score.warnings));
        results_.push_back(std::move(result));
        return answer;
    }

    // Bytes answers the respelled file i (the input's bytes when nothing changed).
    [[nodiscard]] val Bytes(size_t i) const { return ArrayOf(results_.at(i).score.Bytes()); }

    // Drawing answers {before, after, respelledIds, respelledMeasures, measureCount, mended}
    // for file i, the copies holding count measures from position first.
    [[nodiscard]] val Drawing(size_t i, size_t first, size_t count) const {
        const web::Drawing drawing = web::Make(inputs_.at(i), results_.at(i).score.Bytes(),
                                               options_.maxScoreBytes, first, count);
        val answer = val::object();
        answer.set("before", drawing.before);
        answer.set("after", drawing.after);
        answer.set("respelledIds", StringList(drawing.respelledIds));
        val measures = val::array();
        for (const size_t measure : drawing.respelledMeasures) {
            measures.call<void>("push", measure);
        }
        answer.set("respelledMeasures", measures);
        answer.set("measureCount", drawing.measureCount);
        answer.set("mended", drawing.mended);
        return answer;
    }

    // Report answers the report of every file added, "csv" or "json".
    [[nodiscard]] std::string Report(const std::string& format) const {
        return sorvel::RenderReport(
            format == "json" ? sorvel::ReportFormat::kJson : sorvel::ReportFormat::kCsv, results_,
            rows_);
    }

  private:
    std::vector<rules::PitchRow> rows_;
    std::unique_ptr<rules::PitchRules> rules_;
    sorvel::RespellOptions options_;
    std::string error_;
    std::vector<std::string> warnings_;
    std::vector<std::string> inputs_;
    std::vector<sorvel::FileResult> results_;
};

EMSCRIPTEN_BINDINGS(sorvel) {
    emscripten::function("checkPair", &CheckPair);
    emscripten::function("readPitchList", &ReadPitchList);
    emscripten::function("writePitchList", &WritePitchList);
    emscripten::function("storableName", &StorableName);
    emscripten::function("editRows", &EditRows);
    emscripten::class_<Batch>("Batch")
        .constructor<val>()
        .function("error", &Batch::Error)
        .function("warnings", &Batch::Warnings)
        .function("rowCount", &Batch::RowCount)
        .function("add", &Batch::Add)
        .function("bytes", &Batch::Bytes)
        .function("drawing", &Batch::Drawing)
        .function("report", &Batch::Report);
}
