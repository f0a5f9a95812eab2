// The floor of the speed targets measured inside a benchmark process, for the counter "floors":
// the CPU time of one std::sin plus one std::cos of a varying argument (as BM_Floor_SinCos).
// Google Benchmark divides rate counters by CPU time, so the floor is CPU time too: on a loaded
// machine wall time would count the time the process waited for a core.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace bench {

inline double threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e9 + t.tv_nsec;
}

// Nanoseconds of CPU time of one sine plus one cosine: the median of five short runs, measured
// at each call (right after the benchmark's loop), because a shared virtual machine's speed
// drifts by a third from minute to minute.
inline double floorNs()
{
    const double ns = [] {
        double runs[5], x = 0.1, sink = 0.0;
        const long n = 400000;
        for (int run = 0; run < 5; ++run) {
            const double t0 = threadCpuNs();
            for (long i = 0; i < n; ++i) {
                double s = std::sin(x), c = std::cos(x);
                benchmark::DoNotOptimize(s);
                benchmark::DoNotOptimize(c);
                sink += s;
                x += 0.0001;
                if (x > 6.0)
                    x = 0.1;
            }
            runs[run] = (threadCpuNs() - t0) / n;
        }
        benchmark::DoNotOptimize(sink);
        std::sort(runs, runs + 5);
        return runs[2];
    }();
    return ns;
}

// The time of one iteration in floors.
inline benchmark::Counter floorsCounter()
{
    return benchmark::Counter(floorNs() * 1e-9,
                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace bench
