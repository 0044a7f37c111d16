// Fixture: a seventh export.
#include "FixtureEntryPoints.h"

VS_FIXTURE_EXPORT int DebugHook() {
    return 0;
}
