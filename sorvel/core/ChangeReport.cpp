// ChangeReport: summaries, change lines, CSV and JSON.
#include "sorvel/core/ChangeReport.h"

#include <nlohmann/json.hpp>

#include "rules/AsciiText.h"
#include "sorvel/core/TextTools.h"

namespace sorvel {

namespace {

// ChangeText: one change's fields as the reports print them.
struct ChangeText {
    std::string partId;
    std::string partName;
    std::string measure;
    std::string beat;
    std::string voice;
    std::string writtenBefore;
    std::string writtenAfter;
    std::string soundingBefore;  // empty when the part's sounding pitch is not known
    std::string soundingAfter;

    ChangeText(const RespelledScore& score, const NoteChange& c)
        : partId(score.parts[c.part].id),
          partName(score.parts[c.part].name),
          measure(c.measure),
          beat(c.beat.Text()),
          voice(c.voice),
          writtenBefore(c.writtenBefore.Text()),
          writtenAfter(c.writtenAfter.Text()),
          soundingBefore(c.soundingKnown ? c.soundingBefore.Text() : std::string()),
          soundingAfter(c.soundingKnown ? c.soundingAfter.Text() : std::string()) {}
};

std::string Plural(size_t count, const std::string& word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

std::string RowCounts(const RespelledScore& outcome, const std::vector<rules::PitchRow>& rows) {
    std::string text;
    for (size_t i = 0; i < rows.size() && i < outcome.rowCounts.size(); ++i) {
        if (outcome.rowCounts[i] > 0) {
            text += (text.empty() ? "" : ", ") + rows[i].Text() + " " +
                    std::to_string(outcome.rowCounts[i]);
        }
    }
    return text;
}

std::string CsvField(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) {
        return value;
    }
    std::string quoted = "\"";
    for (const char c : value) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : ",") + CsvField(fields[i]);
    }
    return line + "\n";
}

std::string RenderCsv(const std::vector<FileResult>& results,
                      const std::vector<rules::PitchRow>& rows) {
    std::string text =
        CsvLine({"kind", "file", "part", "part_name", "measure", "beat", "staff", "voice", "row",
                 "written_before", "written_after", "sounding_before", "sounding_after", "count"});
    std::vector<size_t> totals(rows.size(), 0);
    for (const FileResult& result : results) {
        for (const NoteChange& change : result.score.changes) {
            const ChangeText c(result.score, change);
            text +=
                CsvLine({"change", result.input, c.partId, c.partName, c.measure, c.beat,
                         std::to_string(change.staff), c.voice, rows[change.row].Text(),
                         c.writtenBefore, c.writtenAfter, c.soundingBefore, c.soundingAfter, ""});
        }
        for (size_t i = 0; i < result.score.rowCounts.size(); ++i) {
            totals[i] += result.score.rowCounts[i];
            text += CsvLine({"count", result.input, "", "", "", "", "", "", rows[i].Text(), "", "",
                             "", "", std::to_string(result.score.rowCounts[i])});
        }
        if (!result.ok) {
            text += CsvLine(
                {"error", result.input, "", "", "", "", "", "", "", "", "", "", "", result.error});
        }
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        text += CsvLine({"total", "", "", "", "", "", "", "", rows[i].Text(), "", "", "", "",
                         std::to_string(totals[i])});
    }
    return text;
}

std::string RenderJson(const std::vector<FileResult>& results,
                       const std::vector<rules::PitchRow>& rows) {
    using nlohmann::json;
    std::vector<size_t> totals(rows.size(), 0);
    json files = json::array();
    for (const FileResult& result : results) {
        json file = {{"file", result.input}, {"ok", result.ok}};
        if (!result.output.empty() && result.ok) {
            file["output"] = result.output;
            file["written"] = result.written;
        }
        if (!result.ok) {
            file["error"] = result.error;
        }
        json changes = json::array();
        for (const NoteChange& change : result.score.changes) {
            const ChangeText c(result.score, change);
            changes.push_back(
                {{"part", c.partId},
                 {"partName", c.partName},
                 {"measure", c.measure},
                 {"beat", c.beat},
                 {"staff", change.staff},
                 {"voice", c.voice},
                 {"row", rows[change.row].Text()},
                 {"written", {{"before", c.writtenBefore}, {"after", c.writtenAfter}}},
                 {"sounding", {{"before", c.soundingBefore}, {"after", c.soundingAfter}}}});
        }
        json counts = json::array();
        for (size_t i = 0; i < result.score.rowCounts.size(); ++i) {
            totals[i] += result.score.rowCounts[i];
            counts.push_back({{"row", rows[i].Text()}, {"count", result.score.rowCounts[i]}});
        }
        file["changes"] = std::move(changes);
        file["counts"] = std::move(counts);
        file["accidentalsMended"] = result.score.accidentalsMended;
        file["warnings"] = result.score.warnings;
        files.push_back(std::move(file));
    }
    json total = json::array();
    for (size_t i = 0; i < rows.size(); ++i) {
        total.push_back({{"row", rows[i].Text()}, {"count", totals[i]}});
    }
    const json report = {{"files", std::move(files)}, {"counts", std::move(total)}};
    return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace

bool ReportFormatOf(const std::string& path, ReportFormat& format) {
    const std::string lower = rules::ascii::Lower(path);
    const auto endsWith = [&](const std::string& tail) {
        return lower.size() >= tail.size() &&
               lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (endsWith(".csv")) {
        format = ReportFormat::kCsv;
        return true;
    }
    if (endsWith(".json")) {
        format = ReportFormat::kJson;
        return true;
    }
    return false;
}

std::string SummaryLine(const FileResult& result, const std::vector<rules::PitchRow>& rows,
                        bool dryRun) {
    if (!result.ok) {
        return result.input + ": FAILED: " + result.error;
    }
    const RespelledScore& outcome = result.score;
    std::string line = result.input + ": ";
    if (outcome.Respelled() == 0) {
        line += dryRun ? "nothing to respell" : "nothing respelled";
    } else {
        line += (dryRun ? "would respell " : "respelled ") + Plural(outcome.Respelled(), "note") +
                " (" + RowCounts(outcome, rows) + ")";
    }
    if (outcome.accidentalsMended > 0) {
        line += ", " + Plural(outcome.accidentalsMended, "accidental") +
                (dryRun ? " to mend" : " mended");
    }
    if (!dryRun) {
        line += result.written ? ", written to " + result.output : ", file left as it was";
    }
    return line;
}

std::string ChangeLines(const FileResult& result, const std::vector<rules::PitchRow>& rows) {
    std::string text;
    for (const NoteChange& change : result.score.changes) {
        const ChangeText c(result.score, change);
        text += result.input + ": part " + c.partId +
                (c.partName.empty() ? "" : " (" + c.partName + ")") + ", measure " + c.measure +
                ", beat " + c.beat + ", staff " + std::to_string(change.staff) + ", voice " +
                c.voice + ": " + c.writtenBefore + " -> " + c.writtenAfter;
        if (!c.soundingBefore.empty() && c.soundingBefore != c.writtenBefore) {
            text += " (sounding " + c.soundingBefore + " -> " + c.soundingAfter + ")";
        }
        text += " by " + rows[change.row].Text() + "\n";
    }
    return text;
}

std::string RenderReport(ReportFormat format, const std::vector<FileResult>& results,
                         const std::vector<rules::PitchRow>& rows) {
    return format == ReportFormat::kCsv ? RenderCsv(results, rows) : RenderJson(results, rows);
}

}  // namespace sorvel
