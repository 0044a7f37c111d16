// FCIndependentCellDetail: a cell's own key.
#include "framework/FCIndependentCellDetail.h"

#include "framework/FCCell.h"
#include "hostapi/LittleEndian.h"

FCIndependentCellDetail::FCIndependentCellDetail(const FCCell* cell) : cell_(cell) {
    SetRecordPointer(record_);
    SetLoadedSize(sizeof(record_));
}

const char* FCIndependentCellDetail::ClassName() const {
    return "FCIndependentCellDetail";
}

__FCBaseData* FCIndependentCellDetail::CreateObject() const {
    return new FCIndependentCellDetail();
}

bool FCIndependentCellDetail::LoadFirst() {
    return LoadForCell();
}

bool FCIndependentCellDetail::LoadNext() {
    return false;
}

bool FCIndependentCellDetail::LoadForCell() {
    if (cell_ == nullptr) {
        return false;
    }
    SetKey(static_cast<uint16_t>(cell_->GetStaff()), static_cast<uint16_t>(cell_->GetMeasure()), 0);
    return LoadUnderKey();
}

int16_t FCIndependentCellDetail::GetKeyWord() const {
    return le::I16(record_, 0);
}

uint32_t FCIndependentCellDetail::GetFlags() const {
    return le::U32(record_, 8);
}
