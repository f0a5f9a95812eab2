// The floor that every speed target is measured against: one std::sin plus one std::cos
// of a varying argument. Targets are stated as multiples of this figure from the same run.
#include <benchmark/benchmark.h>

#include <cmath>

static void BM_Floor_SinCos(benchmark::State& state)
{
    double x = 0.1;
    for (auto _ : state) {
        double s = std::sin(x);
        double c = std::cos(x);
        benchmark::DoNotOptimize(s);
        benchmark::DoNotOptimize(c);
        x += 0.0001;
        if (x > 6.0)
            x = 0.1;
    }
}
BENCHMARK(BM_Floor_SinCos);
