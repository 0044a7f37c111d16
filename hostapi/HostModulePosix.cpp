// HostModule in the native build: the host is the running program itself, whose FX_ functions
// are exported with -rdynamic (a test program linked with the stand-in host).
#include <dlfcn.h>

#include "hostapi/HostModule.h"

void* HostModule::Find() {
    return dlopen(nullptr, RTLD_NOW);
}

void* HostModule::FindProc(void* module, const char* name) {
    return module == nullptr ? nullptr : dlsym(module, name);
}
