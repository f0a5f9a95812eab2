// Locate and stake-out over arrays of points, split over threads: the road answers for
// programs that hold millions of points at once (the Python package, benchmarks).
//
// Every point gets an answer or a status saying why it has none; no point is dropped, and the
// answers keep the order of the input. The rules are the command-line tool's:
// - coordinates must be finite and below 1e9 in size, heights below 1e5 (BadValue);
// - a point farther than maxDistance from the alignment, its extended tangents included (its
//   offset, or its station beyond either end, over maxDistance), has no answer (TooFar); so has
//   a stake-out station more than maxDistance beyond either end or an offset over it;
// - design heights by RoadDesignHeight (road/roadDesignHeight.h), with the end grades carried
//   on when extendGrades; cut/fill is the measured height minus the design height (positive a
//   cut: the point lies above the design).
//
// Units: every length in and out is in one linear unit, `metresPerUnit` metres (the road file's
// own unit: RoadBuild::metresPerUnit), converted with that exact ratio. Stations are posted
// stations (station equations applied) with their region (1 before the first equation after
// the start, road/roadStations.h); `internal` is the continuous chainage. Azimuths in decimal
// degrees from grid north, clockwise, in [0, 360). Offsets right positive.
//
// Missing values: where there is no design height, `height` and `cutFill` are NaN; a measured
// height given as NaN means "no height" (cutFill NaN). A point without an answer has NaN in
// every real output, 0 in `element`, `region` and `tieRegion`, and its status.
//
// Threads: each thread works on its own copy of the alignment with a locator sharing the one
// index (road/roadLocator.h). Calls on one RoadBatch are serialised (a mutex); several
// RoadBatch objects may work at once.
#pragma once

#include "road/roadBuilder.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Why a point has no answer (values are stable: the Python package exposes them).
enum class RoadPointStatus : uint8_t {
    Ok = 0,
    BadValue = 1,    // a coordinate, height, station or offset not finite or too large
    TooFar = 2,      // farther than maxDistance from the alignment or its extended tangents
    NoAnswer = 3,    // the engine could not answer
    BadStation = 4   // a posted station in an equation's gap, in two regions without one
                     // given, or in a region that does not hold it
};

// The words for a status ("ok", "bad value", "too far", "no answer", "bad station").
const char* RoadPointStatusText(RoadPointStatus status);

struct RoadBatchOptions {
    double maxDistance = 1000.0;   // in the batch's unit; must be positive
    bool extendGrades = false;     // design heights beyond the profile along its end grades
    int threads = 0;               // 0: every core (std::thread::hardware_concurrency)
};

// The caller's output arrays, `count` entries each; a null pointer is not written.
struct RoadBatchAnswers {
    double* station = nullptr;    // posted station
    double* internal = nullptr;   // internal chainage
    int32_t* region = nullptr;    // region of the station, from 1
    double* offset = nullptr;
    double* north = nullptr;      // stake-out: the point; locate: the alignment's point at the station
    double* east = nullptr;
    double* height = nullptr;     // design height at the station
    double* azimuth = nullptr;    // direction of increasing station there, degrees
    double* cutFill = nullptr;    // locate only: measured minus design height
    int32_t* element = nullptr;   // the file's element number (1-based) that answered
    int8_t* extent = nullptr;     // -1 before the start, 0 inside, 1 beyond the end
    uint8_t* status = nullptr;    // RoadPointStatus
    // Locate only: another place of the alignment as near as the answer (RoadLocation::
    // tieStation; the answer is then one of two): its posted station and region. NaN and 0
    // where there is none (and in stake-out).
    double* tieStation = nullptr;
    int32_t* tieRegion = nullptr;
};

class RoadBatch {
public:
    RoadBatch();
    ~RoadBatch();
    RoadBatch(const RoadBatch&) = delete;
    RoadBatch& operator=(const RoadBatch&) = delete;

    // Indexes `build`, which must outlive the batch and stay unchanged. False when the
    // alignment cannot be indexed (no elements).
    bool init(const RoadBuild& build);

    // The station, offset, design height and cut/fill of `count` points (north[i], east[i],
    // height[i]; `height` may be null: no measured heights).
    void locate(const double* north, const double* east, const double* height, size_t count,
                const RoadBatchOptions& options, const RoadBatchAnswers& out) const;

    // The points at `count` posted stations and offsets; `regions` (may be null: 0 for each)
    // names the region of each station (0: the one region that holds it).
    void stakeout(const double* stations, const double* offsets, const int32_t* regions, size_t count,
                  const RoadBatchOptions& options, const RoadBatchAnswers& out) const;

    // The number of threads a call with `requested` threads (0: every core) uses for `count`
    // points: never more than one per kMinPointsPerThread points.
    static int threadsFor(int requested, size_t count);
    static constexpr size_t kMinPointsPerThread = 2048;

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};
