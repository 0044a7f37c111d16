// The host for the settings fuzzers: FX_GetFinalePath answers one private folder (in memory
// backed storage when the machine has it), made at start and removed at exit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz_host {

// Folder answers the folder every kind names, with a trailing "/".
const std::string& Folder();
// WriteFile replaces name in the folder by the given bytes.
void WriteFile(const char* name, const uint8_t* data, size_t size);
// Check ends the run with a crash report when a property does not hold.
void Check(bool holds, const char* what);

}  // namespace fuzz_host
