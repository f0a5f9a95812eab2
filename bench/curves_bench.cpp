// Curve elements: the position at a length and the nearest point (getShortestDistAndCurveLen)
// of a segment, an arc, a TS->SC spiral, a CS->ST spiral and a compound spiral, each placed in
// the grid with COrgAzCurveT, and of an intersection-point curve with spirals. Lengths and
// points vary over the element (1024 of each, prepared outside the timed loop; points lie up
// to 5 m either side of the curve). Compare with BM_Floor_SinCos of the same run: targets are a
// placed spiral point in 3 floors and the nearest point on a placed spiral in 60.
#include <benchmark/benchmark.h>

#include "numeric/units.h"

#include "vrkmath/mathCurveIp.h"
#include "vrkmath/mathCurves.h"
#include "vrkmath/mathSpirals.h"

#include <cmath>
#include <vector>

namespace {

constexpr int kSamples = 1024;

template <class T>
COrgAzCurveT<T> placed(const T& curve)
{
    COrgAzCurveT<T> p;
    p.setOrgAz(1000.0, 2000.0, CMathAngle(37.0));
    p.getCurve() = curve;
    return p;
}

COrgAzCurveT<CCurveDataSegment> segment()
{
    CCurveDataSegment c;
    c.setLen(100.0);
    return placed(c);
}
COrgAzCurveT<CCurveDataArc> arc()
{
    CCurveDataArc c;
    c.SetElement(100.0, 150.0, true);
    return placed(c);
}
COrgAzCurveT<CCurveDataSpiral> spiral(bool tssc)
{
    CCurveDataSpiral c;
    c.setLenAndR(100.0, 100.0, true, tssc);
    return placed(c);
}
COrgAzCurveT<CCurveDataSpiral> spiralCompound()
{
    CCurveDataSpiral c;
    c.setLenAndR(100.0, 400.0, 150.0, true);
    return placed(c);
}
CCurveIp ipCurve()
{
    CCurveIp c;
    c.setIp(0.0, 0.0, 80.0, 300.0, 60.0);
    c.setOrg(-400.0, -100.0);
    c.onSetNextIp(500.0, 600.0);
    return c;
}

std::vector<double> lengths(double total)
{
    std::vector<double> l(kSamples);
    for (int i = 0; i < kSamples; ++i)
        l[i] = total * ((i * 617) % kSamples) / (kSamples - 1.0);
    return l;
}

// Points up to 5 m either side of the curve at lengths spread over it.
template <class C, class AzDeg>
std::vector<C2dPos> points(const C& curve, double total, AzDeg azDeg)
{
    std::vector<C2dPos> p(kSamples);
    const std::vector<double> l = lengths(total);
    for (int i = 0; i < kSamples; ++i) {
        double n = 0.0, e = 0.0;
        curve.getPosAtLength(l[i], n, e);
        const double a = azDeg(l[i]) * kRadPerDeg;
        const double d = 5.0 * std::sin(i * 0.7);
        p[i] = C2dPos{n - d * std::sin(a), e + d * std::cos(a)};
    }
    return p;
}

template <class C>
void benchPos(benchmark::State& state, const C& curve)
{
    const std::vector<double> l = lengths(curve.getTotalLength());
    int i = 0;
    for (auto _ : state) {
        double n = 0.0, e = 0.0;
        benchmark::DoNotOptimize(curve.getPosAtLength(l[i], n, e));
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
        i = (i + 1) & (kSamples - 1);
    }
}

template <class C>
void benchNearest(benchmark::State& state, const C& curve, const std::vector<C2dPos>& p)
{
    int i = 0;
    for (auto _ : state) {
        double dist = 0.0, len = 0.0;
        benchmark::DoNotOptimize(curve.getShortestDistAndCurveLen(p[i].north, p[i].east, dist, len));
        benchmark::DoNotOptimize(dist);
        benchmark::DoNotOptimize(len);
        i = (i + 1) & (kSamples - 1);
    }
}

template <class P>
std::vector<C2dPos> placedPoints(const P& p)
{
    return points(p, p.getTotalLength(), [&](double l) { return p.getAzimuthAtLength(l); });
}

} // namespace

static void BM_Segment_PosAtLength(benchmark::State& state) { benchPos(state, segment()); }
static void BM_Segment_Nearest(benchmark::State& state)
{
    const auto c = segment();
    benchNearest(state, c, placedPoints(c));
}
static void BM_Arc_PosAtLength(benchmark::State& state) { benchPos(state, arc()); }
static void BM_Arc_Nearest(benchmark::State& state)
{
    const auto c = arc();
    benchNearest(state, c, placedPoints(c));
}
static void BM_SpiralTSSC_PosAtLength(benchmark::State& state) { benchPos(state, spiral(true)); }
static void BM_SpiralTSSC_Nearest(benchmark::State& state)
{
    const auto c = spiral(true);
    benchNearest(state, c, placedPoints(c));
}
static void BM_SpiralCSST_PosAtLength(benchmark::State& state) { benchPos(state, spiral(false)); }
static void BM_SpiralCSST_Nearest(benchmark::State& state)
{
    const auto c = spiral(false);
    benchNearest(state, c, placedPoints(c));
}
static void BM_SpiralCompound_PosAtLength(benchmark::State& state) { benchPos(state, spiralCompound()); }
static void BM_SpiralCompound_Nearest(benchmark::State& state)
{
    const auto c = spiralCompound();
    benchNearest(state, c, placedPoints(c));
}
static void BM_IpCurve_PosAtLength(benchmark::State& state) { benchPos(state, ipCurve()); }
static void BM_IpCurve_Nearest(benchmark::State& state)
{
    const CCurveIp c = ipCurve();
    benchNearest(state, c, points(c, c.getTotalLength(), [&](double l) { return c.GetAzimuth(l); }));
}

BENCHMARK(BM_Segment_PosAtLength);
BENCHMARK(BM_Segment_Nearest);
BENCHMARK(BM_Arc_PosAtLength);
BENCHMARK(BM_Arc_Nearest);
BENCHMARK(BM_SpiralTSSC_PosAtLength);
BENCHMARK(BM_SpiralTSSC_Nearest);
BENCHMARK(BM_SpiralCSST_PosAtLength);
BENCHMARK(BM_SpiralCSST_Nearest);
BENCHMARK(BM_SpiralCompound_PosAtLength);
BENCHMARK(BM_SpiralCompound_Nearest);
BENCHMARK(BM_IpCurve_PosAtLength);
BENCHMARK(BM_IpCurve_Nearest);
