// FCGeneralPrefs: general preferences.
#include "framework/FCGeneralPrefs.h"

#include "hostapi/LittleEndian.h"

FCGeneralPrefs::FCGeneralPrefs() = default;

const char* FCGeneralPrefs::ClassName() const {
    return "FCGeneralPrefs";
}

__FCBaseData* FCGeneralPrefs::CreateObject() const {
    return new FCGeneralPrefs();
}

int16_t FCGeneralPrefs::GetOctaveShift() const {
    return le::I16(record_, 0x28);
}
