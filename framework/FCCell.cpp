// FCCell: a cell and its key.
#include "framework/FCCell.h"

#include "framework/FCCurrentStaffSpec.h"
#include "framework/FCIndependentCellDetail.h"
#include "framework/FCMeasure.h"

FCCell::FCCell(int32_t measure, int32_t staff) : measure_(measure), staff_(staff) {}

FCCell::~FCCell() = default;

const char* FCCell::ClassName() const {
    return "FCCell";
}

FCKeySignature* FCCell::GetKeySignature() {
    if (keySignature_) {
        return &*keySignature_;
    }
    keySignature_.emplace();

    FCCurrentStaffSpec staffSpec;
    staffSpec.LoadAt(staff_, measure_, 0);
    if (staffSpec.HasIndependentKey()) {
        FCIndependentCellDetail detail(this);
        if (detail.LoadForCell() && detail.HasOwnKeySignature()) {
            keySignature_->SetKeyWord(static_cast<uint16_t>(detail.GetKeyWord()));
            return &*keySignature_;
        }
    }
    // A measure that does not load leaves the key at C major.
    FCMeasure measure;
    measure.Load(static_cast<uint16_t>(measure_));
    keySignature_->SetKeyWord(measure.GetKeyWord());
    return &*keySignature_;
}
