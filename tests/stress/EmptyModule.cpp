// A module with the same static C and C++ runtimes as the plug-in and no plug-in code (only a
// function-local static, as the plug-in's state is one): loading and unloading it shows what the
// runtimes and the loader themselves keep per load, the baseline for the plug-in's own load and
// unload cycles.
#include <cstddef>
#include <string>

extern "C" __declspec(dllexport) size_t __cdecl EmptyModuleWork(size_t length) {
    // A function-local static with a destructor, as the plug-in's state has: its destruction is
    // registered with the module's runtime on first use.
    static const std::string text(length, 'x');
    return text.size();
}
