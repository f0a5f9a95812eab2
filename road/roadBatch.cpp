// Locate and stake-out over arrays: the per-point rules, and the split over threads.
#include "road/roadBatch.h"

#include "numeric/units.h"
#include "road/roadDesignHeight.h"
#include "road/roadLocator.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const double kLargestCoordinate = 1e9;
const double kLargestHeight = 1e5;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

bool isCoordinate(double v)
{
    return std::isfinite(v) && std::fabs(v) < kLargestCoordinate;
}

double azimuthDegrees(double radians)
{
    const double deg = std::fmod(radians * kDegPerRad, 360.0);
    return deg < 0.0 ? deg + 360.0 : deg;
}

int8_t extentCode(RoadExtent e)
{
    return e == RoadExtent::BeforeStart ? -1 : e == RoadExtent::BeyondEnd ? 1 : 0;
}

template <class T>
void put(T* array, size_t i, T value)
{
    if (array)
        array[i] = value;
}

// A point without an answer: NaN everywhere, its status.
void reject(const RoadBatchAnswers& out, size_t i, RoadPointStatus status)
{
    for (double* a : {out.station, out.internal, out.offset, out.north, out.east, out.height, out.azimuth, out.cutFill,
                      out.tieStation})
        put(a, i, kNaN);
    put(out.region, i, int32_t{0});
    put(out.tieRegion, i, int32_t{0});
    put(out.element, i, int32_t{0});
    put(out.extent, i, int8_t{0});
    put(out.status, i, static_cast<uint8_t>(status));
}

} // namespace

const char* RoadPointStatusText(RoadPointStatus status)
{
    switch (status) {
    case RoadPointStatus::Ok: return "ok";
    case RoadPointStatus::BadValue: return "bad value";
    case RoadPointStatus::TooFar: return "too far";
    case RoadPointStatus::NoAnswer: return "no answer";
    case RoadPointStatus::BadStation: return "bad station";
    }
    return "unknown";
}

// One thread's alignment copy and the locator that queries it.
struct Worker {
    std::unique_ptr<CAlnt> alnt;
    RoadLocator locator;
};

struct RoadBatch::Impl {
    const RoadBuild* build = nullptr;
    RoadLocator locator;                 // built on build->alnt; only its index is used
    std::vector<int32_t> sourceElement;  // per engine element: the file's element number
    double start = 0.0, end = 0.0;       // internal chainage of the ends, metres
    mutable std::mutex mutex;            // one call at a time (the workers' alignments)
    mutable std::vector<Worker> workers;

    // Workers for `count` threads, made the first time they are needed.
    void ensureWorkers(int count) const
    {
        while (static_cast<int>(workers.size()) < count) {
            Worker w;
            w.alnt = std::make_unique<CAlnt>(build->alnt);
            w.locator = locator.sharedWith(*w.alnt);
            workers.push_back(std::move(w));
        }
    }

    // Whether an answer at an internal station and offset (metres) is within reach.
    bool withinReach(double station, double offset, double limit) const
    {
        return std::max(start - station, station - end) <= limit && std::fabs(offset) <= limit;
    }

    // The answer fields the two services share: station, design height, azimuth, element.
    void answer(const CAlnt& alnt, const RoadLocation& r, double metresPerUnit, const RoadBatchOptions& o,
                const RoadBatchAnswers& out, size_t i, double& design) const
    {
        double h = 0.0;
        design = RoadDesignHeight(alnt, r.station, o.extendGrades, h) != RoadHeightKind::None ? h / metresPerUnit : kNaN;
        put(out.internal, i, r.station / metresPerUnit);
        put(out.offset, i, r.offset / metresPerUnit);
        put(out.height, i, design);
        put(out.azimuth, i, azimuthDegrees(r.azimuth));
        put(out.element, i, r.element >= 0 && r.element < static_cast<int>(sourceElement.size())
                                ? sourceElement[static_cast<size_t>(r.element)] : int32_t{0});
        put(out.extent, i, extentCode(r.extent));
        put(out.status, i, static_cast<uint8_t>(RoadPointStatus::Ok));
    }

    void locateOne(const Worker& w, double north, double east, const double* height, size_t i,
                   const RoadBatchOptions& o, const RoadBatchAnswers& out) const
    {
        const double m = build->metresPerUnit;
        const double measured = height ? height[i] : kNaN;
        if (!isCoordinate(north) || !isCoordinate(east) ||
            (!std::isnan(measured) && !(std::fabs(measured) < kLargestHeight)))
            return reject(out, i, RoadPointStatus::BadValue);
        RoadLocation r;
        if (!w.locator.locate(north * m, east * m, r))
            return reject(out, i, RoadPointStatus::NoAnswer);
        if (!withinReach(r.station, r.offset, o.maxDistance * m))
            return reject(out, i, RoadPointStatus::TooFar);
        double design;
        answer(*w.alnt, r, m, o, out, i, design);
        int region = 1;
        put(out.station, i, build->stations.toPosted(r.station, &region) / m);
        put(out.region, i, static_cast<int32_t>(region));
        put(out.north, i, r.footNorth / m);
        put(out.east, i, r.footEast / m);
        put(out.cutFill, i, RoadCutFill(measured, design));
        int tieRegion = 0;
        put(out.tieStation, i, std::isnan(r.tieStation) ? kNaN : build->stations.toPosted(r.tieStation, &tieRegion) / m);
        put(out.tieRegion, i, static_cast<int32_t>(tieRegion));
    }

    void stakeoutOne(const Worker& w, double posted, double offset, int32_t region, size_t i,
                     const RoadBatchOptions& o, const RoadBatchAnswers& out) const
    {
        const double m = build->metresPerUnit;
        if (!isCoordinate(posted) || !isCoordinate(offset))
            return reject(out, i, RoadPointStatus::BadValue);
        double internal;
        std::string why;
        if (region < 0 || !build->stations.toInternal(posted * m, region, internal, why))
            return reject(out, i, RoadPointStatus::BadStation);
        if (!withinReach(internal, offset * m, o.maxDistance * m))
            return reject(out, i, RoadPointStatus::TooFar);
        RoadLocation p;
        if (!RoadPointAt(*w.alnt, internal, offset * m, p))
            return reject(out, i, RoadPointStatus::NoAnswer);
        double design;
        answer(*w.alnt, p, m, o, out, i, design);
        int held = region;
        if (held == 0)
            build->stations.toPosted(internal, &held);
        put(out.station, i, posted);
        put(out.region, i, static_cast<int32_t>(held));
        put(out.offset, i, offset);
        put(out.north, i, p.north / m);
        put(out.east, i, p.east / m);
        put(out.cutFill, i, kNaN);
        put(out.tieStation, i, kNaN);
        put(out.tieRegion, i, int32_t{0});
    }

    // Answers every point with `one(worker, i)`, split over the threads; a batch that was not
    // built marks every point NoAnswer.
    template <class F>
    void answerEach(size_t count, int requested, const RoadBatchAnswers& out, F one) const
    {
        if (!build) {
            for (size_t i = 0; i < count; ++i)
                reject(out, i, RoadPointStatus::NoAnswer);
            return;
        }
        UseRoadTolerances();
        split(count, requested, one);
    }

    // Runs `one(worker, i)` for i in [0, count), the range split evenly over the threads.
    template <class F>
    void split(size_t count, int requested, F one) const
    {
        const int threads = RoadBatch::threadsFor(requested, count);
        std::lock_guard<std::mutex> lock(mutex);
        ensureWorkers(threads);
        auto run = [&](int t) {
            const size_t begin = count * static_cast<size_t>(t) / static_cast<size_t>(threads);
            const size_t stop = count * static_cast<size_t>(t + 1) / static_cast<size_t>(threads);
            for (size_t i = begin; i < stop; ++i)
                one(workers[static_cast<size_t>(t)], i);
        };
        std::vector<std::thread> pool;
        for (int t = 1; t < threads; ++t)
            pool.emplace_back(run, t);
        run(0);
        for (std::thread& th : pool)
            th.join();
    }
};

RoadBatch::RoadBatch() : m_impl(std::make_unique<Impl>()) {}
RoadBatch::~RoadBatch() = default;

bool RoadBatch::init(const RoadBuild& build)
{
    auto impl = std::make_unique<Impl>();
    impl->build = &build;
    if (!impl->locator.build(build.alnt))
        return false;
    impl->start = build.alnt.getStartChainageInM();
    impl->end = impl->start;
    build.alnt.getFinalChainageInM(impl->end);
    impl->sourceElement.assign(static_cast<size_t>(build.alnt.getNumOfHes()), 0);
    for (size_t i = 0; i < build.engineIndex.size(); ++i)
        if (build.engineIndex[i] >= 0 && static_cast<size_t>(build.engineIndex[i]) < impl->sourceElement.size())
            impl->sourceElement[static_cast<size_t>(build.engineIndex[i])] = static_cast<int32_t>(i) + 1;
    m_impl = std::move(impl);
    return true;
}

int RoadBatch::threadsFor(int requested, size_t count)
{
    // Every core unless asked otherwise; hardware_concurrency may say 0 (unknown): one.
    const int cores = requested > 0 ? requested : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const size_t useful = std::max<size_t>(1, count / kMinPointsPerThread);
    return static_cast<int>(std::min<size_t>(static_cast<size_t>(cores), useful));
}

void RoadBatch::locate(const double* north, const double* east, const double* height, size_t count,
                       const RoadBatchOptions& options, const RoadBatchAnswers& out) const
{
    const Impl& impl = *m_impl;
    impl.answerEach(count, options.threads, out, [&](const Worker& w, size_t i) {
        impl.locateOne(w, north[i], east[i], height, i, options, out);
    });
}

void RoadBatch::stakeout(const double* stations, const double* offsets, const int32_t* regions, size_t count,
                         const RoadBatchOptions& options, const RoadBatchAnswers& out) const
{
    const Impl& impl = *m_impl;
    impl.answerEach(count, options.threads, out, [&](const Worker& w, size_t i) {
        impl.stakeoutOne(w, stations[i], offsets[i], regions ? regions[i] : 0, i, options, out);
    });
}
