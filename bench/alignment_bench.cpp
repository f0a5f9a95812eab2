// Horizontal alignment: the position and azimuth at a chainage and offset
// (getPosNeAtChainAndOffsetExtr plus getAzimuthAtChainExtr) on an alignment of 50 mixed
// elements (lines, arcs, spirals of both orientations, a compound spiral, corners with
// spirals), at 1024 chainages spread over it with offsets up to 10 m either side (prepared
// outside the timed loop); and a walk of a 10 km alignment every metre (position and azimuth
// at each of its 10001 stations). Compare with BM_Floor_SinCos of the same run: the target for
// one position and azimuth at a chainage and offset is 4 floors (the counter "floors", see
// bench/benchFloor.h).
#include <benchmark/benchmark.h>

#include "benchElements.h"
#include "benchFloor.h"

#include "numeric/units.h"
#include "vrkmath/mathAlntH.h"

#include <cmath>
#include <vector>

namespace {

using bench::arc;
using bench::compoundSpiral;
using bench::segment;
using bench::spiral;

// Two corners ahead of the alignment's end: the first eased by spirals and an arc, the second
// a simple point where the next straight begins.
void appendCorners(CAlntH& h, double turnDeg)
{
    double n, e, final, az;
    h.getFinalPosNe(n, e);
    h.getFinalChainageInM(final);
    h.getAzimuthAtChainExtr(final + 1.0, az);
    n += 300.0 * std::cos(az * kRadPerDeg);
    e += 300.0 * std::sin(az * kRadPerDeg);
    CAlntHeIp ip;
    ip.setIp(n, e, 50.0, 350.0, 50.0);
    h.appendElement(ip);
    az += turnDeg;
    n += 400.0 * std::cos(az * kRadPerDeg);
    e += 400.0 * std::sin(az * kRadPerDeg);
    ip.setIp(n, e, 0.0, 0.0, 0.0);
    h.appendElement(ip);
}

// One stretch of road, 12 elements: a right spiral-curve-spiral, a left curve easing into a
// sharper one through a compound spiral, and two corners turning by cornerDeg.
void appendStretch(CAlntH& h, double cornerDeg)
{
    h.appendElement(segment(200.0));
    h.appendElement(spiral(60.0, 400.0, true, true));
    h.appendElement(arc(150.0, 400.0, true));
    h.appendElement(spiral(60.0, 400.0, true, false));
    h.appendElement(segment(150.0));
    h.appendElement(arc(100.0, 600.0, false));
    h.appendElement(compoundSpiral(40.0, 600.0, 300.0, false));
    h.appendElement(arc(80.0, 300.0, false));
    h.appendElement(spiral(50.0, 300.0, false, false));
    h.appendElement(segment(100.0));
    appendCorners(h, cornerDeg);
}

// The 50-element alignment: four stretches and two straights.
const CAlntH& mixedAlignment()
{
    static CAlntH h;
    if (h.getNumOfHes() == 0) {
        h.setStartChainageInM(1000.0);
        for (int i = 0; i < 4; ++i)
            appendStretch(h, i % 2 ? -20.0 : 25.0);
        h.appendElement(segment(120.0));
        h.appendElement(segment(80.0));
    }
    return h;
}

// Stretches until the alignment is at least 10 km long.
const CAlntH& longAlignment()
{
    static CAlntH h;
    if (h.getNumOfHes() == 0) {
        double len = 0.0;
        for (int i = 0; h.getHLengthInM(len) && len < 10000.0; ++i)
            appendStretch(h, i % 2 ? -20.0 : 25.0);
    }
    return h;
}

void BM_Alignment_PosAndAzAtChainAndOffset(benchmark::State& state)
{
    const CAlntH& h = mixedAlignment();
    double final;
    h.getFinalChainageInM(final);
    const double start = h.getStartChainageInM();
    constexpr int kSamples = 1024;
    std::vector<double> chains(kSamples), offsets(kSamples);
    for (int i = 0; i < kSamples; ++i) {
        chains[i] = start + (final - start) * ((i * 617) % kSamples) / (kSamples - 1.0);
        offsets[i] = 10.0 * std::sin(i * 0.7);
    }
    int i = 0;
    for (auto _ : state) {
        double n, e, az;
        h.getPosNeAtChainAndOffsetExtr(chains[i], offsets[i], n, e);
        h.getAzimuthAtChainExtr(chains[i], az);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
        benchmark::DoNotOptimize(az);
        i = (i + 1) & (kSamples - 1);
    }
    state.counters["elements"] = h.getNumOfHes();
    state.counters["floors"] = bench::floorsCounter();
}
BENCHMARK(BM_Alignment_PosAndAzAtChainAndOffset);

void BM_Alignment_Walk10kmEveryMetre(benchmark::State& state)
{
    const CAlntH& h = longAlignment();
    const double start = h.getStartChainageInM();
    constexpr int kStations = 10001;
    for (auto _ : state) {
        for (int k = 0; k < kStations; ++k) {
            double n, e, az;
            h.getPosNeAtChainAndOffsetExtr(start + k, 0.0, n, e);
            h.getAzimuthAtChainExtr(start + k, az);
            benchmark::DoNotOptimize(n);
            benchmark::DoNotOptimize(e);
            benchmark::DoNotOptimize(az);
        }
    }
    state.SetItemsProcessed(state.iterations() * kStations);
    state.counters["elements"] = h.getNumOfHes();
}
BENCHMARK(BM_Alignment_Walk10kmEveryMetre)->Unit(benchmark::kMillisecond);

} // namespace
