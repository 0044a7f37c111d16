// HeapMeter: the program's heap in use and its peak, counted by the program's own operator new
// and delete, so that the figure is the same natively and under Wine.
#pragma once

#include <cstddef>

class HeapMeter {
  public:
    HeapMeter() = delete;

    // Bytes allocated through operator new and not yet freed.
    static size_t InUse();
    // The highest InUse since the last StartPeak.
    static size_t Peak();
    static void StartPeak();
};
