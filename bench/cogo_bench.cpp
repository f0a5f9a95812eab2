// Total-station computations: the direction task and the inverse task on varying stations and
// observations (1024 of each, prepared outside the timed loop), and a resection from four known
// points with directions and distances. Compare with BM_Floor_SinCos of the same run: targets
// are the direction and the inverse task in 4 floors or less; the resection figure is for
// information.
#include <benchmark/benchmark.h>

#include "cogo/instrumentTasks.h"
#include "cogo/resection.h"

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kSamples = 1024;

struct Shot {
    double stn[3], obs[3], tgt[3];
};

const std::vector<Shot>& shots()
{
    static const std::vector<Shot> list = [] {
        std::vector<Shot> v(kSamples);
        std::mt19937_64 rng(7);
        std::uniform_real_distribution<double> coord(-5000, 5000), ha(0, 360), za(60, 120), sd(1, 2000);
        for (Shot& s : v) {
            s.stn[0] = coord(rng);
            s.stn[1] = coord(rng);
            s.stn[2] = coord(rng) / 50;
            s.obs[0] = ha(rng);
            s.obs[1] = za(rng);
            s.obs[2] = sd(rng);
            TaskDirection(s.stn, 12.5, 0.1, s.obs, s.tgt, nullptr);
        }
        return v;
    }();
    return list;
}

void BM_Cogo_TaskDirection(benchmark::State& state)
{
    const std::vector<Shot>& v = shots();
    size_t i = 0;
    double out[3];
    for (auto _ : state) {
        const Shot& s = v[i++ & (kSamples - 1)];
        TaskDirection(s.stn, 12.5, 0.1, s.obs, out, nullptr);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_Cogo_TaskDirection);

void BM_Cogo_TaskInverse(benchmark::State& state)
{
    const std::vector<Shot>& v = shots();
    size_t i = 0;
    double out[3];
    for (auto _ : state) {
        const Shot& s = v[i++ & (kSamples - 1)];
        TaskInverse(s.stn, 12.5, 0.1, s.tgt, out);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_Cogo_TaskInverse);

void BM_Cogo_ThreeDResection(benchmark::State& state)
{
    // Exact observations from (5000, 3000, 250), orientation 37.5, hi 1.6.
    const TResectionObs obs[4] = {
        {5150, 3050, 260, 340.9349488229, 86.4172108653, 158.423515, 1.5, 1, 1, 1, 1},
        {4900, 3200, 245, 79.0650511771, 91.3065695020, 223.664950, 1.5, 1, 1, 1, 1},
        {4950, 2850, 255, 214.0650511771, 88.2249535030, 158.189791, 1.5, 1, 1, 1, 1},
        {5100, 2800, 248, 259.0650511771, 90.5380766637, 223.616659, 1.5, 1, 1, 1, 1},
    };
    TG2gParams g2g;
    TResectionResult r;
    double rha[4], rhd[4], rh[4];
    for (auto _ : state) {
        benchmark::DoNotOptimize(ThreeDResection(4, obs, 1.6, 5, 0.003, 3, g2g, r, rha, rhd, rh));
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_Cogo_ThreeDResection);

} // namespace
