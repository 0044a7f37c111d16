// FCIndependentCellDetail: a cell's own key signature, for staves whose cells may differ from
// the measure's key.
#pragma once

#include "framework/__FCNoInciCellDetail.h"

class FCCell;

class FCIndependentCellDetail : public __FCNoInciCellDetail {
  public:
    static constexpr uint32_t kTag = 0x4402464C;  // 'D', 0x02, 'F', 'L'
    // Flag bit: the cell carries its own key signature.
    static constexpr uint32_t kOwnKeyBit = 0x800;

    // The detail refers to its cell without owning it.
    explicit FCIndependentCellDetail(const FCCell* cell = nullptr);

    const char* ClassName() const override;

    uint8_t* GetRecordBuffer() override { return record_; }
    __FCBaseData* CreateObject() const override;
    uint32_t GetTag() const override { return kTag; }
    uint32_t GetVersion() const override { return 0x06000000; }
    uint32_t GetRecordSize() const override { return sizeof(record_); }
    bool LoadFirst() override;
    // A cell has one such record: there is no next one.
    bool LoadNext() override;

    // LoadForCell loads the record of the attached cell; false without one.
    bool LoadForCell();

    const FCCell* GetCell() const { return cell_; }
    void SetCell(const FCCell* cell) { cell_ = cell; }

    int16_t GetKeyWord() const;
    uint32_t GetFlags() const;
    bool HasOwnKeySignature() const { return (GetFlags() & kOwnKeyBit) != 0; }

  private:
    uint8_t record_[20] = {};
    const FCCell* cell_;
};
