// Height at a chainage on a profile of 20 VIPs whose curves alternate between parabolas and
// circular arcs. Compare with BM_Floor_SinCos of the same run.
#include <benchmark/benchmark.h>

#include "vrkmath/mathAlntV.h"
#include "vrkmath/mathAlntVeArc.h"

namespace {

// VIPs 150 m apart on grades that alternate between rising and falling; the inner VIPs carry
// 60 m parabolas and arcs of radius 2500 m in turn.
void buildProfile(CAlntV& v)
{
    const int n = 20;
    const double grades[] = {2.5, -1.5, 3.0, -2.0, 0.5, -3.5};
    v.setStartChainageInM(1000.0);
    v.setStartHeight(120.0);
    v.onBulkUpdateStarted();
    double ch = 1000.0, ht = 120.0;
    for (int i = 0; i < n; ++i) {
        if (i > 0) {
            ht += grades[i % 6] / 100.0 * 150.0;
            ch += 150.0;
        }
        const bool inner = i > 0 && i + 1 < n;
        if (i % 2)
            v.appendElement(CVerticalLSElement(CLsInfo(ch, ht, inner ? 60.0 : 0.0)));
        else
            v.appendElement(CAlntVeLsWithArc(ch, ht, inner ? 2500.0 : 0.0));
    }
    v.onBulkUpdateFinished();
}

void BM_Vertical_HeightAtChain(benchmark::State& state)
{
    CAlntV v;
    buildProfile(v);
    double len;
    v.getHLengthInM(len);
    const double start = v.getStartChainageInM();
    for (double c = start; c <= start + len; c += 0.5) {
        double h;
        if (!v.getHeightAtChain(c, h)) {
            state.SkipWithError("the profile has a gap");
            return;
        }
    }
    double ch = start;
    for (auto _ : state) {
        double h = 0.0;
        const bool ok = v.getHeightAtChain(ch, h);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(h);
        ch += 7.31;
        if (ch > start + len)
            ch = start;
    }
}
BENCHMARK(BM_Vertical_HeightAtChain);

} // namespace
