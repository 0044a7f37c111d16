// HostModule: finds the host's executable and the functions it exports; the only platform
// dependent part of the host function layer (Win32 or POSIX file beside this one).
#pragma once

class HostModule {
  public:
    // Find answers the host module ("FINALE.EXE", else "FINDEMO.EXE"), or null.
    static void* Find();
    // FindProc answers the address of the named export of module (null: of the running
    // program), or null.
    static void* FindProc(void* module, const char* name);
};
