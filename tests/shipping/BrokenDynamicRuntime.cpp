// Fixture: linked against the shared C++ runtime, so it imports libstdc++ and friends.
#include <string>

#include "FixtureEntryPoints.h"

// Using std::string pulls in the runtime DLL.
std::string g_name = std::string("Sorvel") + std::to_string(FinaleExtensionGetMenuStatus(0));
