// FCNote: note record fields.
#include "framework/FCNote.h"

#include "framework/LittleEndian.h"

FCNote::FCNote(int32_t index, uint8_t* record, FCNoteEntry* entry)
    : index_(index), record_(record), entry_(entry) {}

const char* FCNote::ClassName() const {
    return "FCNote";
}

int16_t FCNote::GetDisplacement() const {
    return le::I16(record_, 0);
}
void FCNote::SetDisplacement(int16_t displacement) {
    le::SetI16(record_, 0, displacement);
}
int16_t FCNote::GetRaiseLower() const {
    return le::I16(record_, 2);
}
void FCNote::SetRaiseLower(int16_t raiseLower) {
    le::SetI16(record_, 2, raiseLower);
}
