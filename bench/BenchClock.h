// BenchClock: the two clocks the benchmark reads around a run: wall time, and the CPU time of the
// running thread (which leaves out the time other programs on the machine took the processor).
// Under Wine the thread's CPU time advances in steps of the kernel's clock tick (10 ms), so a
// cell's CPU time is the mean over many runs, whose steps average out.
#pragma once

class BenchClock {
  public:
    BenchClock() = delete;

    static double WallSeconds();
    static double CpuSeconds();
};
