// Fixture: __stdcall without an alias exports decorated names (Name@N) on i686.
#define VS_FIXTURE_CALL __stdcall
#include "FixtureEntryPoints.h"
