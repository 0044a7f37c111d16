// FileJob: the file's bytes to the core, the core's answer to the disk.
#include "sorvel/cli/FileJob.h"

#include <exception>
#include <filesystem>

#include "sorvel/cli/AtomicFile.h"
#include "sorvel/cli/FileBytes.h"

namespace sorvel {

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code code;
    return std::filesystem::equivalent(a, b, code) && !code;
}

}  // namespace

FileResult RunFileJob(const std::string& input, const std::string& output,
                      const RespellOptions& options) {
    FileResult result;
    result.input = input;
    result.output = output;
    try {
        std::string bytes;
        if (!FileBytes::Read(input, bytes, result.error)) {
            return result;
        }
        result.score = RespellScore(std::move(bytes), options);
        if (!result.score.Ok()) {
            result.error = result.score.failure->Text();
            return result;
        }
        const bool inPlace = !output.empty() && SameFile(input, output);
        if (!output.empty() && !(inPlace && !result.score.Changed())) {
            if (!AtomicFile::WriteParts(output, result.score.Pieces(), result.error,
                                        inPlace ? input : std::string())) {
                result.score = RespelledScore{};
                return result;
            }
            result.written = true;
        }
        // The file's text is no longer needed; a batch keeps only what the report tells.
        result.score.Release();
        result.ok = true;
    } catch (const std::exception& fault) {
        // Memory or a library's own failure: this file fails, the batch goes on.
        result.error = std::string("cannot respell it: ") + fault.what();
        result.score = RespelledScore{};
    }
    return result;
}

}  // namespace sorvel
