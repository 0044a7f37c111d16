// FileJob: the steps of one file, each of which may fail alone.
#include "sorvel/cli/FileJob.h"

#include <exception>
#include <filesystem>

#include "sorvel/cli/ScoreFile.h"

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code code;
    return std::filesystem::equivalent(a, b, code) && !code;
}

}  // namespace

FileResult FileJob::Run(const std::string& input, const std::string& output,
                        const RespellSettings& settings) {
    FileResult result;
    result.input = input;
    result.output = output;
    try {
        ScoreFile file;
        if (!file.Load(input, result.error) ||
            !ScoreRespeller::Respell(file.text, settings, result.outcome, result.error)) {
            return result;
        }
        const bool inPlace = !output.empty() && SameFile(input, output);
        if (!output.empty() && !(inPlace && result.outcome.edits.empty())) {
            if (!file.Save(input, output, ScoreRespeller::Pieces(file.text, result.outcome.edits),
                           inPlace ? input : std::string(), result.error)) {
                result.outcome = RespellOutcome{};
                return result;
            }
            result.written = true;
        }
        // The new texts of the notes are no longer needed; a batch keeps only the report.
        result.outcome.edits = {};
        result.ok = true;
    } catch (const std::exception& fault) {
        // Memory or a library's own failure: this file fails, the batch goes on.
        result.error = std::string("cannot respell it: ") + fault.what();
        result.outcome = RespellOutcome{};
    }
    return result;
}
