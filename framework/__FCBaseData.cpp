// __FCBaseData: the load / save / reload / next protocol over the host's record functions.
#include "framework/__FCBaseData.h"

#include <algorithm>
#include <cstring>

#include "hostapi/HostFunctions.h"
#include "hostapi/LittleEndian.h"

void __FCBaseData::FreeRecordBuffer() {}

bool __FCBaseData::OwnsRecordBuffer() const {
    return false;
}

uint32_t __FCBaseData::GetLoadedSize() const {
    return loadedSize_;
}

uint16_t __FCBaseData::GetKeyItem1() const {
    return le::U16(key_, 0);
}
uint32_t __FCBaseData::GetKeyItem3() const {
    return le::U32(key_, 4);
}

bool __FCBaseData::LoadUnderKey() {
    if (record_ != nullptr && OwnsRecordBuffer()) {
        FreeRecordBuffer();
        record_ = nullptr;
        loadedSize_ = 0;
    }
    // The record always lands in the buffer of the running layout, even when the host version
    // changed since an earlier load of the same object.
    record_ = GetRecordBuffer();
    const uint32_t capacity = GetRecordSize();
    if (record_ == nullptr) {
        loadedSize_ = 0;
        return false;
    }
    uint32_t size = capacity;
    if (fx::LoadEData(GetTag(), key_, record_, &size, GetVersion()) == 0) {
        // Readers of a record that did not load see zeros, never a half-written buffer.
        std::memset(record_, 0, capacity);
        loadedSize_ = 0;
        return false;
    }
    // A host that claims more than the buffer holds never makes a later save read past it.
    loadedSize_ = std::min(size, capacity);
    return true;
}

void __FCBaseData::CopyFrom(__FCBaseData* other) {
    uint8_t* own = GetRecordBuffer();
    if (other == nullptr || other == this || own == nullptr) {
        return;
    }
    const uint8_t* source = other->GetRecordBuffer();
    const uint32_t size = std::min(GetRecordSize(), other->GetRecordSize());
    if (source != nullptr) {
        std::memmove(own, source, size);
    }
    record_ = own;
    loadedSize_ = GetRecordSize();
}

bool __FCBaseData::Save() {
    if (!IsLoaded() || record_ == nullptr) {
        return false;
    }
    return fx::SaveEData(GetTag(), key_, record_, loadedSize_, GetVersion()) != 0;
}

bool __FCBaseData::Reload() {
    if (!IsLoaded()) {
        return false;
    }
    return LoadUnderKey();
}

bool __FCBaseData::DeleteData() {
    return fx::DeleteEData(GetTag(), key_, GetVersion()) != 0;
}

bool __FCBaseData::LoadNext() {
    if (fx::NextEData(GetTag(), key_, GetVersion()) == 0) {
        return false;
    }
    return LoadUnderKey();
}
