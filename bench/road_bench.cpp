// Road services: locate on roads of 1, 10 and 100 km of mixed elements (lines, clothoids in
// and out, arcs both ways, a compound spiral), for points within 5 m and within 50 m of the
// road; stake-out at random stations and offsets; and `fieldcore road locate` end to end on a
// file of one million points (read, parse, locate, print CSV).
//
// Compare with BM_Floor_SinCos of the same run. The counter "floors" divides each figure by a
// floor measured in this process (bench/benchFloor.h: CPU time of one std::sin plus one
// std::cos). Targets: locate in at most 15 floors on the 10 km road, the 100 km road within 1.2
// times the 10 km figure; stake-out in at most 4 floors; end to end at least two million points
// per second per core.
#include <benchmark/benchmark.h>

#include "benchElements.h"
#include "benchFloor.h"

#include "road/landXmlReader.h"
#include "road/roadBuilder.h"
#include "road/roadLocator.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using bench::arc;
using bench::compoundSpiral;
using bench::segment;
using bench::spiral;

// A road of `km` kilometres: each kilometre a line, a right spiral-arc-spiral (R 400 m), a
// line, and a left arc (R 600 m) easing into R 300 m through a compound spiral, out by a
// spiral, turning back as far as the right curve turned.
std::unique_ptr<CAlnt> mixedRoad(int km)
{
    UseRoadTolerances();
    auto a = std::make_unique<CAlnt>();
    a->setStartChainageInM(0.0);
    a->setStartPos(500000.0, 200000.0, 0.0);
    a->onBulkUpdateStarted();
    for (int k = 0; k < km; ++k) {
        a->appendElement(segment(200.0));
        a->appendElement(spiral(60.0, 400.0, true, true));
        a->appendElement(arc(150.0, 400.0, true));
        a->appendElement(spiral(60.0, 400.0, true, false));
        a->appendElement(segment(150.0));
        a->appendElement(arc(100.0, 600.0, false));
        a->appendElement(compoundSpiral(40.0, 600.0, 300.0, false));
        a->appendElement(arc(52.5, 300.0, false));
        a->appendElement(spiral(50.0, 300.0, false, false));
        a->appendElement(segment(137.5));
    }
    a->onBulkUpdateFinished();
    return a;
}

struct Fixture {
    std::unique_ptr<CAlnt> road;
    RoadLocator locator;
    double length = 0.0;
};

const Fixture& fixture(int km)
{
    static std::map<int, std::unique_ptr<Fixture>> cache;
    std::unique_ptr<Fixture>& f = cache[km];
    if (!f) {
        f = std::make_unique<Fixture>();
        f->road = mixedRoad(km);
        f->road->getHLengthInM(f->length);
        f->locator.build(*f->road);
    }
    return *f;
}

// 4096 points at random stations and offsets up to `within` metres either side.
std::vector<RoadLocation> randomPoints(const Fixture& f, double within)
{
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> station(0.0, f.length), offset(-within, within);
    std::vector<RoadLocation> points(4096);
    for (RoadLocation& p : points)
        RoadPointAt(*f.road, station(rng), offset(rng), p);
    return points;
}

void BM_Road_Locate(benchmark::State& state)
{
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    const std::vector<RoadLocation> points = randomPoints(f, static_cast<double>(state.range(1)));
    size_t i = 0;
    RoadLocation r;
    for (auto _ : state) {
        const RoadLocation& p = points[i++ & 4095];
        f.locator.locate(p.north, p.east, r);
        benchmark::DoNotOptimize(r);
    }
    state.counters["chords"] = f.locator.chordCount();
    state.counters["floors"] = bench::floorsCounter();
}
// Arguments: road length (km), points within (m).
BENCHMARK(BM_Road_Locate)->Args({1, 5})->Args({1, 50})->Args({10, 5})->Args({10, 50})->Args({100, 5})->Args({100, 50});

void BM_Road_Stakeout(benchmark::State& state)
{
    const Fixture& f = fixture(10);
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> station(0.0, f.length), offset(-20.0, 20.0);
    std::vector<std::pair<double, double>> at(4096);
    for (auto& s : at)
        s = {station(rng), offset(rng)};
    size_t i = 0;
    RoadLocation r;
    for (auto _ : state) {
        const auto& s = at[i++ & 4095];
        RoadPointAt(*f.road, s.first, s.second, r);
        benchmark::DoNotOptimize(r);
    }
    state.counters["floors"] = bench::floorsCounter();
}
BENCHMARK(BM_Road_Stakeout);

// The source tree's example road and the tool built beside this benchmark.
std::string sourceExample()
{
    const std::string src = __FILE__;
    return src.substr(0, src.rfind("/bench/")) + "/examples/exampleRoad.xml";
}

std::string toolPath()
{
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return std::string();
    exe[n] = '\0';
    std::string dir(exe);
    dir = dir.substr(0, dir.rfind('/'));
    return dir + "/../tools/fieldcore";
}

// `fieldcore road locate` on one million points of the example road (within 50 m), CSV out.
void BM_Road_LocateCommand(benchmark::State& state)
{
    const std::string tool = toolPath(), road = sourceExample();
    if (access(tool.c_str(), X_OK) != 0 || access(road.c_str(), R_OK) != 0) {
        state.SkipWithError("the fieldcore tool or the example road is missing");
        return;
    }
    const long count = 1000000;
    const std::string input = "/tmp/fieldcore_road_bench_points.txt";
    {
        RoadFile file;
        RoadError err;
        RoadBuild build;
        if (!ReadLandXmlFile(road, file, err) || !BuildRoadAlignment(file, file.alignments[0], "", build, err)) {
            state.SkipWithError("the example road cannot be read");
            return;
        }
        double first = build.alnt.getStartChainageInM(), last;
        build.alnt.getFinalChainageInM(last);
        std::mt19937 rng(11);
        std::uniform_real_distribution<double> station(first, last), offset(-50.0, 50.0), height(40.0, 70.0);
        std::FILE* out = std::fopen(input.c_str(), "w");
        for (long i = 0; i < count; ++i) {
            RoadLocation p;
            RoadPointAt(build.alnt, station(rng), offset(rng), p);
            std::fprintf(out, "%.4f %.4f %.3f\n", p.north, p.east, height(rng));
        }
        std::fclose(out);
    }
    const std::string command = "'" + tool + "' road locate '" + road + "' --alignment 1 --csv --threads " +
                                std::to_string(state.range(0)) + " --input " + input + " > /dev/null";
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (status != 0) {
            state.SkipWithError("fieldcore road locate failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    std::remove(input.c_str());
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["points_per_s_per_thread"] =
        benchmark::Counter(static_cast<double>(count) / state.range(0), benchmark::Counter::kIsIterationInvariantRate);
    // A thread's wall time a point, in floors (the machine's speed of the moment taken out).
    state.counters["floors_per_point"] = benchmark::Counter(
        static_cast<double>(count) / static_cast<double>(state.range(0)) * bench::floorNs() * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
// Argument: threads.
BENCHMARK(BM_Road_LocateCommand)->Arg(1)->Arg(2)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
