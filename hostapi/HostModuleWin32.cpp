// HostModule on Windows: the host is the running executable named FINALE.EXE or FINDEMO.EXE, or,
// under any other name, the running executable itself.
#include <windows.h>

#include "hostapi/HostModule.h"

void* HostModule::Find() {
    HMODULE module = GetModuleHandleA("FINALE.EXE");
    if (module == nullptr) {
        module = GetModuleHandleA("FINDEMO.EXE");
    }
    return reinterpret_cast<void*>(module);
}

// A host whose program has neither name still exports its functions from the running program:
// the null handle makes GetProcAddress search that program.
void* HostModule::FindProc(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
