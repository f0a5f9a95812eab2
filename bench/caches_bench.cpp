// Position caches and offset lines on a 10 km road: loading the plan and the profile for a
// deviation of 0.1, 0.01 and 0.001 m (counters: vertices loaded, and seconds per vertex), the
// nearest segment of a point on the loaded plan, and an offset line from a table of 20
// (station, offset) pairs. Compare with BM_Floor_SinCos of the same run: the target is loading
// at 30 floors per vertex or less.
#include <benchmark/benchmark.h>

#include "numeric/units.h"

#include "vrkmath/mathAlntCache.h"
#include "vrkmath/mathAlntOffset.h"
#include "vrkmath/mathAlntVeArc.h"

#include <cmath>
#include <vector>

namespace {

CAlntHeSegment segment(double len)
{
    CCurveDataSegment c;
    c.setLen(len);
    return CAlntHeSegment(c);
}

CAlntHeSpiral spiral(double len, double r, bool right, bool tssc)
{
    CCurveDataSpiral c;
    c.setLenAndR(len, r, right, tssc);
    return CAlntHeSpiral(c);
}

CAlntHeArc arc(double len, double r, bool right)
{
    CCurveDataArc c;
    c.SetElement(len, r, right);
    return CAlntHeArc(c);
}

// A road of at least 10 km in plan: straights, spiral-arc-spiral curves of both hands and runs
// of three intersection-point corners; in profile VIPs 250 m apart on grades of -3 ... 3 %
// with 100 m parabolas and arcs of radius 4000 m in turn.
const CAlnt& road()
{
    static CAlnt a;
    if (a.getNumOfHes() > 0)
        return a;
    a.setStartPos(5000.0, 2000.0, 120.0);
    a.setStartChainageInM(1000.0);
    a.onBulkUpdateStarted();
    a.appendElement(segment(250.0));
    a.onBulkUpdateFinished();
    double len = 0.0;
    for (int g = 0; len < 10000.0; ++g) {
        const bool right = g % 2 == 0;
        if (g % 3 != 2) {
            const double r = 300.0 + 150.0 * (g % 4);
            a.appendElement(spiral(80.0, r, right, true));
            a.appendElement(arc(150.0 + 20.0 * (g % 5), r, right));
            a.appendElement(spiral(80.0, r, right, false));
        } else {
            double n, e, chain, az;
            a.getFinalPosNe(n, e);
            a.getFinalChainageInM(chain);
            a.getAzimuthAtChainExtr(chain + 1.0, az);
            for (int k = 0; k < 3; ++k) {
                n += 400.0 * std::cos(az * kRadPerDeg);
                e += 400.0 * std::sin(az * kRadPerDeg);
                CAlntHeIp ip;
                ip.setIp(n, e, 50.0, 350.0, 50.0);
                a.appendElement(ip);
                az += (k % 2 ? -1.0 : 1.0) * 25.0;
            }
        }
        a.appendElement(segment(200.0));
        a.getHLengthInM(len);
    }
    const double grades[] = {2.5, -1.5, 3.0, -2.0, 0.5, -3.0};
    double ch = 1000.0, ht = 120.0;
    for (int i = 0; ch < 1000.0 + len + 250.0; ++i) {
        if (i > 0) {
            ht += grades[i % 6] / 100.0 * 250.0;
            ch += 250.0;
        }
        if (i % 2)
            a.appendElement(CVerticalLSElement(CLsInfo(ch, ht, 100.0)));
        else
            a.appendElement(CAlntVeLsWithArc(ch, ht, i > 0 ? 4000.0 : 0.0));
    }
    return a;
}

void BM_Caches_LoadForDeviation(benchmark::State& state)
{
    const double deviation = state.range(0) / 1000.0;
    const CAlnt& a = road();
    CAlnt3dPosCache cache;
    for (auto _ : state) {
        const bool ok = cache.getPlan().loadNodesAndPosForDeviation(a, deviation) &&
                        cache.getProfile().loadNodesAndPosForDeviation(a, deviation);
        if (!ok) {
            state.SkipWithError("loading failed");
            return;
        }
        benchmark::DoNotOptimize(cache);
    }
    const double vertices = cache.getPlan().GetSize() + cache.getProfile().GetSize();
    state.counters["vertices"] = vertices;
    state.counters["plan"] = cache.getPlan().GetSize();
    double len = 0.0;
    a.getHLengthInM(len);
    state.counters["length_m"] = len;
    state.counters["s_per_vertex"] =
        benchmark::Counter(vertices, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Caches_LoadForDeviation)->Arg(100)->Arg(10)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Caches_NearestSegment(benchmark::State& state)
{
    const double deviation = state.range(0) / 1000.0;
    const CAlnt& a = road();
    CAlnt2dPosCache plan;
    plan.loadNodesAndPosForDeviation(a, deviation);
    // 1024 points up to 20 m either side of the road, spread along it.
    std::vector<C2dPos> points;
    double len;
    a.getHLengthInM(len);
    for (int i = 0; i < 1024; ++i) {
        C2dPos p;
        a.getPosNeAtChainAndOffsetExtr(1000.0 + len * (i + 0.5) / 1024.0, 20.0 * std::sin(i * 0.7), p.north,
                                       p.east);
        points.push_back(p);
    }
    size_t i = 0;
    for (auto _ : state) {
        double d;
        const int seg = plan.findNearestSegment(points[i++ & 1023], &d);
        benchmark::DoNotOptimize(seg);
        benchmark::DoNotOptimize(d);
    }
    state.counters["vertices"] = plan.GetSize();
}
BENCHMARK(BM_Caches_NearestSegment)->Arg(100)->Arg(10)->Arg(1);

void BM_Caches_OffsetTable(benchmark::State& state)
{
    const CAlnt& a = road();
    CAlnt2dPosCache plan;
    plan.loadNodesAndPosForDeviation(a, 0.01);
    // 20 pairs: widenings and tapers between 3.5 and 7 m on the right, the last to the end.
    TXContainerCArray<StAndOffset> table;
    const double first = plan.GetAt(0).station;
    const double span = plan.GetAt(plan.GetUpperBound()).station - first;
    for (int k = 0; k < 20; ++k) {
        StAndOffset row;
        row.station = k == 19 ? -1.0 : first + span * k / 19.0;
        row.offset = 3.5 + 3.5 * (k % 3 == 1);
        table.Add(row);
    }
    CAlnt2dPosCache line;
    for (auto _ : state) {
        line.clear();
        const bool ok = OffsetPoints(plan, line, table);
        benchmark::DoNotOptimize(ok);
    }
    state.counters["vertices"] = line.GetSize();
}
BENCHMARK(BM_Caches_OffsetTable)->Unit(benchmark::kMicrosecond);

} // namespace
