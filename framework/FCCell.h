// FCCell: one measure of one staff (a staff number, not a slot), with the key signature that
// governs it, looked up once and kept.
#pragma once

#include <cstdint>
#include <optional>

#include "framework/FCKeySignature.h"
#include "framework/__FCBase.h"

class FCCell : public __FCBase {
  public:
    FCCell(int32_t measure, int32_t staff);
    FCCell(const FCCell&) = delete;
    FCCell& operator=(const FCCell&) = delete;
    ~FCCell() override;

    const char* ClassName() const override;

    int32_t GetMeasure() const { return measure_; }
    int32_t GetStaff() const { return staff_; }

    // GetKeySignature answers the key in force in the cell: the cell's own key when its staff
    // allows independent keys and the cell has one, else the measure's. The cell owns and keeps
    // the answer.
    FCKeySignature* GetKeySignature();

  private:
    int32_t measure_;
    int32_t staff_;
    // Kept inside the cell: a run makes a cell for every spelling of a note.
    std::optional<FCKeySignature> keySignature_;
};
