// VeskSorvelLiveObjects: a seventh export that only the 64-bit test module carries, so that the
// stand-in host's stress tests can count the plug-in's live framework objects across openings,
// closings and terminations. The shipping module never has it.
#include <cstdint>

#include "framework/__FCBase.h"
#include "hostapi/CallingConvention.h"

VS_EXPORT int64_t VS_CALL VeskSorvelLiveObjects() {
    return __FCBase::LiveObjectCount();
}
