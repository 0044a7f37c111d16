// FCMeasure: measure records and their key word.
#include "framework/FCMeasure.h"

#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"

namespace {
constexpr size_t kKeyWord = 2;
bool HasLongLayout() {
    return HostVersion::Get() >= 0x12000000;
}
}  // namespace

FCMeasure::FCMeasure() = default;

FCMeasure::~FCMeasure() = default;

const char* FCMeasure::ClassName() const {
    return "FCMeasure";
}

uint8_t* FCMeasure::GetRecordBuffer() {
    return HasLongLayout() ? record12_ : record11_;
}

__FCBaseData* FCMeasure::CreateObject() const {
    return new FCMeasure();
}

uint32_t FCMeasure::GetVersion() const {
    return HasLongLayout() ? 0x12000000 : 0x0A000000;
}

uint32_t FCMeasure::GetRecordSize() const {
    return HasLongLayout() ? sizeof(record12_) : sizeof(record11_);
}

bool FCMeasure::Save() {
    if (keySignature_ && IsLoaded()) {
        le::SetU16(GetRecordBuffer(), kKeyWord, keySignature_->GetKeyWord());
    }
    return __FCNoInciOther::Save();
}

bool FCMeasure::LoadFirst() {
    return Load(1);
}

bool FCMeasure::Load(uint16_t itemNo) {
    keySignature_.reset();
    return __FCNoInciOther::Load(itemNo);
}

bool FCMeasure::LoadNext() {
    keySignature_.reset();
    return __FCNoInciOther::LoadNext();
}

void FCMeasure::CopyFrom(__FCBaseData* other) {
    if (other != this) {
        keySignature_.reset();
    }
    __FCNoInciOther::CopyFrom(other);
}

FCKeySignature* FCMeasure::GetKeySignature() {
    if (!IsLoaded()) {
        return nullptr;
    }
    if (!keySignature_) {
        keySignature_.emplace();
        keySignature_->SetKeyWord(le::U16(GetRecordBuffer(), kKeyWord));
    }
    return &*keySignature_;
}

uint16_t FCMeasure::GetKeyWord() {
    if (!IsLoaded()) {
        return 0;
    }
    return keySignature_ ? keySignature_->GetKeyWord() : le::U16(GetRecordBuffer(), kKeyWord);
}
