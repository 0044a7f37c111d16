// FCCurrentStaffSpec: the staff record as it is in force at one place of the score (staff,
// measure, position), e.g. after a staff change inside the piece. It is only read.
#pragma once

#include "framework/FCStaff.h"

class FCNoteEntry;

class FCCurrentStaffSpec : public FCStaff {
  public:
    static constexpr uint32_t kTag = 0x534F5343;  // "SOSC"

    FCCurrentStaffSpec();

    const char* ClassName() const override;

    __FCBaseData* CreateObject() const override;
    uint32_t GetTag() const override { return kTag; }
    // The item-numbered operations make no sense for a record addressed by a place.
    bool Load(uint16_t itemNo) override;
    bool SaveAs(uint16_t itemNo) override;
    bool SaveNew() override;
    bool Reload() override;

    // LoadForEntry loads the staff settings in force at the entry's staff, measure and position.
    bool LoadForEntry(const FCNoteEntry* entry);
    // LoadAt loads the staff settings in force at a staff, measure and position.
    bool LoadAt(int32_t staff, int32_t measure, int32_t position);
};
