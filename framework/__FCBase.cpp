// __FCBase: root object and the live-object count.
#include "framework/__FCBase.h"

const char* __FCBase::ClassName() const {
    return "__FCBase";
}

bool __FCBase::IsSameClass(const __FCBase* other) const {
    return other != nullptr && other->ClassName() == ClassName();
}

int64_t __FCBase::LiveObjectCount() {
    return liveObjects_;
}
