// ScoreFile: reading and writing the two kinds of MusicXML file.
#include "sorvel/ScoreFile.h"

#include "sorvel/AtomicFile.h"
#include "sorvel/FileBytes.h"
#include "sorvel/MxlArchive.h"

bool ScoreFile::Load(const std::string& path, std::string& error) {
    std::string bytes;
    if (!FileBytes::Read(path, bytes, error)) {
        return false;
    }
    compressed = MxlArchive::LooksLikeZip(bytes);
    if (compressed) {
        bytes.clear();
        if (!MxlArchive::ReadScore(path, rootfile, bytes, error)) {
            return false;
        }
    }
    TextEncoding::Decoded decoded;
    if (!TextEncoding::Decode(bytes, decoded, error)) {
        return false;
    }
    form = decoded.form;
    byteOrderMark = decoded.byteOrderMark;
    text = std::move(decoded.text);
    return true;
}

bool ScoreFile::Save(const std::string& source, const std::string& target, std::string_view newText,
                     const std::string& keepModeOf, std::string& error) const {
    std::string encoded;
    std::string_view bytes = newText;
    if (form != TextEncoding::Form::kEightBit) {
        if (!TextEncoding::Encode(newText, form, byteOrderMark, encoded, error)) {
            return false;
        }
        bytes = encoded;
    }
    if (!compressed) {
        return AtomicFile::Write(target, bytes, error, keepModeOf);
    }
    const std::string temporary = AtomicFile::TemporaryPathFor(target);
    return MxlArchive::WriteScore(source, temporary, rootfile, bytes, error) &&
           AtomicFile::Commit(temporary, target, keepModeOf, error);
}
