// HostModule on Windows: the host is the running executable named FINALE.EXE or FINDEMO.EXE.
#include <windows.h>

#include "shell/HostModule.h"

void* HostModule::Find() {
    HMODULE module = GetModuleHandleA("FINALE.EXE");
    if (module == nullptr) {
        module = GetModuleHandleA("FINDEMO.EXE");
    }
    return reinterpret_cast<void*>(module);
}

void* HostModule::FindProc(void* module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
