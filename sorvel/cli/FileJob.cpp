// FileJob: the file's bytes to the core, the core's answer to the disk.
#include "sorvel/cli/FileJob.h"

#include <exception>
#include <vector>

#include "sorvel/cli/FileBytes.h"

namespace sorvel {

FileResult RunFileJob(const std::string& input, const std::string& output,
                      const RespellOptions& options, const WriteOptions& write) {
    FileResult result;
    result.input = input;
    result.output = output;
    try {
        ByteBuffer bytes;
        if (const std::optional<Failure> failure = ReadWholeFile(input, bytes)) {
            result.error = failure->Text();
            return result;
        }
        const size_t size = bytes.Size();
        result.score = RespellScore(ScoreBytes{bytes.Release(), size}, options);
        if (!result.score.Ok()) {
            result.error = result.score.failure->Text();
            return result;
        }
        if (!output.empty() && !(write.inPlace && !result.score.Changed())) {
            std::vector<std::string> warnings;
            WriteOptions writeOptions = write;
            writeOptions.warnings = &warnings;
            if (const std::optional<Failure> failure = WriteFileParts(
                    output, [&](const auto& write) { return result.score.EachPiece(write); },
                    writeOptions)) {
                result.error = failure->Text();
                result.score = RespelledScore{};
                return result;
            }
            result.score.warnings.insert(result.score.warnings.end(), warnings.begin(),
                                         warnings.end());
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
