// RespellScore: the file's bytes unpacked (an .mxl container) and decoded (UTF-16), the text
// parsed and walked, and the new file packed the same way again. Every failure, memory
// included, is caught here and handed back.
#include "sorvel/core/RespellScore.h"

#include <new>
#include <numeric>
#include <stdexcept>

#include "sorvel/core/MxlArchive.h"
#include "sorvel/core/ScoreStore.h"
#include "sorvel/core/ScoreText.h"
#include "sorvel/core/ScoreWalker.h"

namespace sorvel {

namespace {

// Unpack makes the store's text from the file's bytes.
void Unpack(std::string bytes, const RespellOptions& options, RespelledScore::Store& store) {
    if (mxl::LooksLikeZip(bytes)) {
        mxl::Entry entry = mxl::Read(bytes, options.maxScoreBytes);
        store.compressed = true;
        store.archive = std::move(bytes);
        store.rootfile = std::move(entry.rootfile);
        bytes = std::move(entry.score);
    }
    DecodedText decoded = DecodeText(bytes, true);
    store.form = decoded.form;
    store.byteOrderMark = decoded.byteOrderMark;
    // 8-bit text is used as read, without a copy.
    store.ownedText =
        store.form == TextForm::kEightBit ? std::move(bytes) : std::move(decoded.text);
    store.text = store.ownedText;
}

// Unpack of a buffer: a plain 8-bit score is used as it lies; any other goes the way of a
// string (an .mxl or UTF-16 text is unpacked or decoded into a new one anyway).
void Unpack(ScoreBytes bytes, const RespellOptions& options, RespelledScore::Store& store) {
    const std::string_view view(bytes.data.get(), bytes.size);
    if (mxl::LooksLikeZip(view) || DecodeText(view, true).form != TextForm::kEightBit) {
        Unpack(std::string(view), options, store);
        return;
    }
    store.ownedBytes = std::move(bytes.data);
    store.text = view;
}

// EachTextPiece hands out the text with its edits made, as pieces.
bool EachTextPiece(const RespelledScore::Store& store,
                   const std::function<bool(std::string_view)>& write) {
    const std::string_view text = store.text;
    size_t at = 0;
    for (const ScoreEdit& edit : store.edits) {
        if (!write(text.substr(at, edit.begin - at)) || !write(edit.Text())) {
            return false;
        }
        at = edit.End();
    }
    return write(text.substr(at));
}

// Joined: the text with its edits made, whole.
std::string Joined(const RespelledScore::Store& store) {
    size_t size = store.text.size();
    for (const ScoreEdit& edit : store.edits) {
        size += edit.textSize;
        size -= edit.removed;
    }
    std::string bytes;
    bytes.reserve(size);
    EachTextPiece(store, [&](std::string_view piece) {
        bytes.append(piece);
        return true;
    });
    return bytes;
}

// Pack makes the new file whole where it is not the text with its edits.
void Pack(RespelledScore::Store& store) {
    if (!store.compressed && store.form == TextForm::kEightBit) {
        return;
    }
    if (store.compressed && store.edits.empty()) {
        return;  // the archive as read
    }
    std::string encoded = EncodeText(Joined(store), store.form, store.byteOrderMark);
    store.output =
        store.compressed ? mxl::Write(store.archive, store.rootfile, encoded) : std::move(encoded);
}

RespelledScore Refused(Failure failure) {
    RespelledScore result;
    result.failure = std::move(failure);
    return result;
}

}  // namespace

size_t RespelledScore::Respelled() const {
    return std::accumulate(rowCounts.begin(), rowCounts.end(), size_t{0});
}

bool RespelledScore::Changed() const {
    return store && !store->edits.empty();
}

bool RespelledScore::EachPiece(const std::function<bool(std::string_view)>& write) const {
    if (!store) {
        return true;
    }
    if (!store->output.empty()) {
        return write(store->output);
    }
    if (store->compressed) {
        return write(store->archive);
    }
    return EachTextPiece(*store, write);
}

std::string RespelledScore::Bytes() const {
    if (store && store->output.empty() && !store->compressed) {
        return Joined(*store);
    }
    std::string bytes;
    EachPiece([&](std::string_view piece) {
        bytes.append(piece);
        return true;
    });
    return bytes;
}

void RespelledScore::Release() {
    if (store) {
        // The changes' texts live in names, which stay.
        store->text = {};
        store->ownedText = {};
        store->ownedBytes.reset();
        store->edits = {};
        store->editTexts = {};
        store->archive = {};
        store->output = {};
    }
}

namespace {

// Respell: the one way of both entries.
template <class Bytes>
RespelledScore Respell(Bytes bytes, const RespellOptions& options) {
    try {
        RespelledScore result;
        result.store = std::make_shared<RespelledScore::Store>();
        RespelledScore::Store& store = *result.store;
        Unpack(std::move(bytes), options, store);
        {
            // The parsed document, several times the text's size, is gone before packing.
            pugi::xml_document document;
            ParseScore(store.text, document);
            const XmlSpans spans(store.text);
            WalkScore(document, spans, options, result, store);
        }
        MakeChanges(result, store);
        Pack(store);
        return result;
    } catch (const FailureError& failure) {
        return Refused(failure.Get());
    } catch (const std::bad_alloc&) {
        return Refused({FailureKind::kOutOfMemory, "there is not enough memory to respell it"});
    } catch (const std::overflow_error& fault) {
        return Refused({FailureKind::kNotAScore, fault.what()});
    } catch (const std::logic_error& fault) {
        return Refused({FailureKind::kInternal,
                        std::string("cannot place an edit in this file (") + fault.what() + ")"});
    } catch (const std::exception& fault) {
        return Refused({FailureKind::kInternal, fault.what()});
    }
}

}  // namespace

RespelledScore RespellScore(std::string bytes, const RespellOptions& options) {
    return Respell(std::move(bytes), options);
}

RespelledScore RespellScore(ScoreBytes bytes, const RespellOptions& options) {
    return Respell(std::move(bytes), options);
}

}  // namespace sorvel
