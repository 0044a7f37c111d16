// finale.exe: the stand-in host's harness program.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "host/Harness.h"

int main() {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    for (int i = 1; i < count; ++i) {
        args.emplace_back(argv[i]);
    }
    LocalFree(argv);
    host::Harness harness;
    return harness.Run(args);
}
