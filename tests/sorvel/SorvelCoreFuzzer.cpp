// Fuzzes the core's entry with a score's bytes (plain or .mxl): nothing may crash, trip a
// sanitizer or take memory past the fuzzer's limit, and every result must read back: a
// respelled file is itself a score the core accepts, with the same number of notes, and its
// pitches differ from the input's in exactly the notes the rows changed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "rules/PitchRules.h"
#include "sorvel/core/MxlArchive.h"
#include "sorvel/core/RespellScore.h"
#include "sorvel/core/RowOption.h"

namespace {

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

rules::PitchRules Rules(std::vector<const char*> texts) {
    std::vector<rules::PitchRow> rows;
    for (const char* text : texts) {
        rules::PitchRow row;
        std::string error;
        sorvel::ParseRowOption(text, row, error);
        rows.push_back(row);
    }
    return rules::PitchRules(rows);
}

// Pitches lists the text of every note's pitch, in the file's order.
std::vector<std::string> Pitches(const std::string& bytes) {
    std::string text = bytes;
    if (sorvel::mxl::LooksLikeZip(bytes)) {
        text = sorvel::mxl::Read(bytes, sorvel::kDefaultMaxScoreBytes).score;
    }
    pugi::xml_document document;
    document.load_buffer(text.data(), text.size());
    std::vector<std::string> pitches;
    for (const pugi::xpath_node& pitch : document.select_nodes("//note/pitch")) {
        const pugi::xml_node node = pitch.node();
        pitches.push_back(std::string(node.child_value("step")) + "/" + node.child_value("alter") +
                          "/" + node.child_value("octave"));
    }
    return pitches;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const rules::PitchRules kLists[] = {
        Rules({"A#>Bb", "D#>Eb", "G#>Ab", "C#>Db", "F#>Gb", "Cb>B", "E#>F:up"}),
        Rules({"C>D:up", "D>C:down", "E>F#", "Bb>A#:down", "F>E#:up", "Dbb>C", "C##>D"}),
    };
    static const rules::PitchRules kNone({});
    if (size == 0) {
        return 0;
    }
    // The first byte chooses the rows and the pitch; the rest is the file.
    sorvel::RespellOptions options;
    options.rules = &kLists[data[0] & 1];
    options.written = (data[0] & 2) != 0;
    options.maxScoreBytes = 16 << 20;
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const sorvel::RespelledScore result = sorvel::RespellScore(input, options);
    if (!result.Ok()) {
        Check(!result.failure->message.empty(), "a refusal without a message");
        Check(result.Bytes().empty(), "a refused score offers bytes");
        return 0;
    }
    Check(result.changes.empty() || result.Changed(), "changes without edits");
    Check(result.changes.size() == result.Respelled(), "the list and the counts disagree");
    const std::string output = result.Bytes();
    // Without the list of changes (the command line's way unless it lists or reports them),
    // the same file and counts.
    sorvel::RespellOptions unlisted = options;
    unlisted.listChanges = false;
    const sorvel::RespelledScore counted = sorvel::RespellScore(input, unlisted);
    Check(counted.Ok() && counted.changes.empty() && counted.rowCounts == result.rowCounts &&
              counted.accidentalsMended == result.accidentalsMended && counted.Bytes() == output,
          "a respell without the list of changes differs");
    sorvel::RespellOptions again;
    again.rules = &kNone;
    again.written = options.written;
    const sorvel::RespelledScore reread = sorvel::RespellScore(output, again);
    Check(reread.Ok(), "a respelled score is refused when read back");
    if (!result.Changed()) {
        Check(output == input, "an unchanged score came back different");
    }
    const std::vector<std::string> before = Pitches(input);
    const std::vector<std::string> after = Pitches(output);
    Check(before.size() == after.size(), "the number of notes changed");
    size_t differ = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        differ += before[i] != after[i] ? 1 : 0;
    }
    Check(differ == result.changes.size(), "pitches changed other than the respelled notes");
    return 0;
}
