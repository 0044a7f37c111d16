// HeapMeter: the program's heap in use and its peak, counted by the program's own operator new
// and delete, so that the figure is the same natively and under Wine. Each block is booked to
// the host when it is made inside one of the host's FX_ calls, and to the plug-in (or the
// benchmark driving it) otherwise, and is given back to the same account.
#pragma once

#include <cstddef>

class HeapMeter {
  public:
    enum class Account { kPlugin = 0, kHost = 1 };

    HeapMeter() = delete;

    // Bytes allocated through operator new and not yet freed, in all or in one account.
    static size_t InUse();
    static size_t InUse(Account account);
    // The highest InUse of an account since the last StartPeak.
    static size_t Peak(Account account);
    // Blocks an account has allocated since the program started.
    static size_t Allocations(Account account);
    static void StartPeak();
};
