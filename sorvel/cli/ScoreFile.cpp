// ScoreFile: reading and writing the two kinds of MusicXML file.
#include "sorvel/cli/ScoreFile.h"

#include "sorvel/cli/AtomicFile.h"
#include "sorvel/cli/FileBytes.h"
#include "sorvel/core/Failure.h"
#include "sorvel/core/MxlArchive.h"
#include "sorvel/core/RespellScore.h"

bool ScoreFile::Load(const std::string& path, std::string& error) {
    std::string bytes;
    if (!FileBytes::Read(path, bytes, error)) {
        return false;
    }
    compressed = sorvel::mxl::LooksLikeZip(bytes);
    if (compressed) {
        try {
            sorvel::mxl::Entry entry = sorvel::mxl::Read(bytes, sorvel::kDefaultMaxScoreBytes);
            rootfile = std::move(entry.rootfile);
            archive = std::move(bytes);
            bytes = std::move(entry.score);
        } catch (const sorvel::FailureError& failure) {
            error = failure.Get().Text();
            return false;
        }
    }
    TextEncoding::Decoded decoded;
    if (!TextEncoding::Decode(bytes, decoded, error, true)) {
        return false;
    }
    form = decoded.form;
    byteOrderMark = decoded.byteOrderMark;
    // 8-bit text is used as read, without a copy.
    text = form == TextEncoding::Form::kEightBit ? std::move(bytes) : std::move(decoded.text);
    return true;
}

bool ScoreFile::Save(const std::string& source, const std::string& target,
                     const std::vector<std::string_view>& newText, const std::string& keepModeOf,
                     std::string& error) const {
    if (!compressed && form == TextEncoding::Form::kEightBit) {
        return AtomicFile::WriteParts(target, newText, error, keepModeOf);
    }
    std::string joined;
    for (const std::string_view piece : newText) {
        joined.append(piece);
    }
    std::string encoded;
    if (!TextEncoding::Encode(joined, form, byteOrderMark, encoded, error)) {
        return false;
    }
    if (!compressed) {
        return AtomicFile::Write(target, encoded, error, keepModeOf);
    }
    (void)source;
    try {
        return AtomicFile::Write(target, sorvel::mxl::Write(archive, rootfile, encoded), error,
                                 keepModeOf);
    } catch (const sorvel::FailureError& failure) {
        error = failure.Get().Text();
        return false;
    }
}
