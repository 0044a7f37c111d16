// __FCBase: root object and the live-object count.
#include "framework/__FCBase.h"

namespace {
// The plug-in runs on the host's one thread, so a plain counter is enough.
int64_t g_liveObjects = 0;
}  // namespace

__FCBase::__FCBase() { ++g_liveObjects; }

__FCBase::__FCBase(const __FCBase& other) : userValue_(other.userValue_) { ++g_liveObjects; }

__FCBase& __FCBase::operator=(const __FCBase& other) {
    userValue_ = other.userValue_;
    return *this;
}

__FCBase::~__FCBase() { --g_liveObjects; }

const char* __FCBase::ClassName() const { return "__FCBase"; }

bool __FCBase::IsSameClass(const __FCBase* other) const {
    return other != nullptr && other->ClassName() == ClassName();
}

int64_t __FCBase::LiveObjectCount() { return g_liveObjects; }
