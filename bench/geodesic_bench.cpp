// Geodesics on WGS-84: the inverse problem (invers) on lines of 10 to 1000 km and the direct
// problem (GeoDirectComp) on lines of 100 m to 10 km, where it runs all 19 of its inverse
// corrections. 1024 lines of random start, azimuth and log-uniform length, prepared outside the
// timed loop. Compare with BM_Floor_SinCos of the same run: targets are invers in 40 floors or
// less and GeoDirectComp in 500 or less.
#include <benchmark/benchmark.h>

#include "cogo/geodesic.h"

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kLines = 1024;
const double kA = 6378137.0, kRf = 298.257223563;

struct Line {
    double p1[2], az, s, p2[2];
};

std::vector<Line> makeLines(double minS, double maxS, unsigned seed)
{
    std::vector<Line> v(kLines);
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    for (Line& l : v) {
        l.p1[0] = 120 * unit(rng) - 60;
        l.p1[1] = 360 * unit(rng) - 180;
        l.az = 360 * unit(rng);
        l.s = minS * std::pow(maxS / minS, unit(rng));
        CogoFunctions::GeoDirectComp(kA, kRf, l.p1, l.az, l.s, l.p2);
    }
    return v;
}

void BM_Geodesic_Invers(benchmark::State& state)
{
    static const std::vector<Line> lines = makeLines(1e4, 1e6, 11);
    size_t i = 0;
    double faz, baz, s, sigma;
    int it, flag, kind;
    for (auto _ : state) {
        const Line& l = lines[i++ & (kLines - 1)];
        invers(kA, kRf, l.p1[0], l.p1[1], l.p2[0], l.p2[1], faz, baz, s, it, sigma, flag, kind);
        benchmark::DoNotOptimize(s);
        benchmark::DoNotOptimize(faz);
    }
}
BENCHMARK(BM_Geodesic_Invers);

void BM_Geodesic_GeoDirectComp(benchmark::State& state)
{
    static const std::vector<Line> lines = makeLines(100, 1e4, 12);
    size_t i = 0;
    double p2[2];
    for (auto _ : state) {
        const Line& l = lines[i++ & (kLines - 1)];
        CogoFunctions::GeoDirectComp(kA, kRf, l.p1, l.az, l.s, p2);
        benchmark::DoNotOptimize(p2);
    }
}
BENCHMARK(BM_Geodesic_GeoDirectComp);

} // namespace
