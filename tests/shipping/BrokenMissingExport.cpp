// Fixture: FinaleExtensionTerminate is not exported.
#define VS_FIXTURE_NO_TERMINATE
#include "FixtureEntryPoints.h"
