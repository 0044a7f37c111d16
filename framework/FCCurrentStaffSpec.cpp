// FCCurrentStaffSpec: staff records addressed by a place in the score.
#include "framework/FCCurrentStaffSpec.h"

#include "framework/FCNoteEntry.h"

FCCurrentStaffSpec::FCCurrentStaffSpec() = default;

const char* FCCurrentStaffSpec::ClassName() const {
    return "FCCurrentStaffSpec";
}

__FCBaseData* FCCurrentStaffSpec::CreateObject() const {
    return new FCCurrentStaffSpec();
}

bool FCCurrentStaffSpec::Load(uint16_t /*itemNo*/) {
    return false;
}
bool FCCurrentStaffSpec::SaveAs(uint16_t /*itemNo*/) {
    return false;
}
bool FCCurrentStaffSpec::SaveNew() {
    return false;
}

bool FCCurrentStaffSpec::Reload() {
    if (!IsLoaded()) {
        return false;
    }
    return LoadUnderKey();
}

bool FCCurrentStaffSpec::LoadForEntry(const FCNoteEntry* entry) {
    if (entry == nullptr) {
        return false;
    }
    return LoadAt(entry->GetStaff(), entry->GetMeasure(), entry->GetPosition());
}

bool FCCurrentStaffSpec::LoadAt(int32_t staff, int32_t measure, int32_t position) {
    SetKey(static_cast<uint16_t>(staff), static_cast<uint16_t>(measure),
           static_cast<uint32_t>(position));
    return LoadUnderKey();
}
