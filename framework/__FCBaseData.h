// __FCBaseData: the proxy for one fixed-size host record, addressed by a tag and a key of item
// numbers. Concrete classes embed one buffer per host layout and pick the running one, so the
// bytes exchanged with the host always have the size and version that host expects.
#pragma once

#include <cstdint>

#include "framework/__FCBase.h"
#include "hostapi/LittleEndian.h"

class __FCBaseData : public __FCBase {
  public:
    // A key is three item numbers, laid out as the host reads it: 16, 16 and 32 bits.
    static constexpr uint32_t kKeySize = 8;

    __FCBaseData() = default;
    __FCBaseData(const __FCBaseData&) = delete;
    __FCBaseData& operator=(const __FCBaseData&) = delete;

    // GetRecordBuffer answers the embedded buffer of the running host's layout.
    virtual uint8_t* GetRecordBuffer() = 0;
    virtual void FreeRecordBuffer();
    virtual bool OwnsRecordBuffer() const;
    virtual __FCBaseData* CreateObject() const = 0;
    virtual uint32_t GetTag() const = 0;
    // GetVersion is the record format version passed with every record call.
    virtual uint32_t GetVersion() const = 0;
    virtual uint32_t GetRecordSize() const = 0;
    virtual uint32_t GetLoadedSize() const;
    // CopyFrom takes over the other record's bytes of the running layout and counts as loaded.
    virtual void CopyFrom(__FCBaseData* other);
    // Save writes a loaded record back under its key; false when not loaded.
    virtual bool Save();
    // Reload loads again under the current key; false when not loaded.
    virtual bool Reload();
    virtual bool DeleteData();
    virtual bool LoadFirst() = 0;
    // LoadNext asks the host to advance the key to the next record, then loads that one.
    virtual bool LoadNext();

    bool IsLoaded() const { return loadedSize_ != 0; }
    // GetRecordPointer answers where the record lives: null before the first load.
    uint8_t* GetRecordPointer() const { return record_; }

    uint16_t GetKeyItem1() const;
    uint32_t GetKeyItem3() const;
    // GetKeyAddress is what the host's record functions receive.
    uint8_t* GetKeyAddress() { return key_; }

  protected:
    void SetKey(uint16_t item1, uint16_t item2, uint32_t item3 = 0) {
        le::SetU16(key_, 0, item1);
        le::SetU16(key_, 2, item2);
        le::SetU32(key_, 4, item3);
    }
    // LoadUnderKey is the load every load operation ends in once the key is set.
    bool LoadUnderKey();
    void SetLoadedSize(uint32_t size) { loadedSize_ = size; }
    void SetRecordPointer(uint8_t* record) { record_ = record; }

  private:
    uint8_t* record_ = nullptr;
    uint32_t loadedSize_ = 0;
    uint8_t key_[kKeySize] = {};
};
