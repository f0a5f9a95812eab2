// fieldcore._core: the road services for Python over NumPy arrays. The Python package
// (python/fieldcore/__init__.py) shapes the arguments (broadcasting, float64, contiguous) and
// documents the answers; this module reads the road file, holds the built alignment and runs
// the batch services (road/roadBatch.h) with the GIL released.
#include "road.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <memory>
#include <string>

namespace py = pybind11;

namespace {

using InArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// The length the arrays share; a ValueError "NAMES differ in length" when they do not.
size_t sameLength(const std::string& names, std::initializer_list<py::ssize_t> sizes)
{
    const py::ssize_t n = *sizes.begin();
    for (py::ssize_t size : sizes)
        if (size != n)
            throw py::value_error(names + " differ in length");
    return static_cast<size_t>(n);
}

// A road file's alignment, built and indexed for the batch services.
class PyRoad {
public:
    // `alignment`: a name (any case) or a number from 1, empty for the file's only alignment.
    PyRoad(const std::string& path, const std::string& alignment, const std::string& profile)
    {
        RoadError err;
        if (!ReadLandXmlFile(path, m_file, err))
            throw py::value_error(err.text());
        if (m_file.alignments.empty())
            throw py::value_error(path + ": the file holds no alignment");
        if (alignment.empty() && m_file.alignments.size() > 1)
            throw py::value_error(path + ": the file holds " + std::to_string(m_file.alignments.size()) +
                                  " alignments; choose one with alignment= (" + names() + ")");
        m_index = alignment.empty() ? 0 : RoadFindAlignment(m_file, alignment);
        if (m_index == kRoadAlignmentNameShared)
            throw py::value_error(path + ": several alignments are named '" + alignment +
                                  "'; choose one by its number (" + names() + ")");
        if (m_index < 0)
            throw py::value_error(path + ": no alignment '" + alignment + "' (" + names() + ")");
        const RoadAlignment& a = m_file.alignments[static_cast<size_t>(m_index)];
        if (a.refused)
            throw py::value_error(a.refusal.text());
        // Heights from the first of several profiles were given unsaid: the choice is asked for.
        if (profile.empty() && a.profiles.size() > 1 && !RoadEveryProfileRefused(a)) {
            std::string list;
            for (const RoadProfile& p : a.profiles)
                list += (list.empty() ? "\"" : ", \"") + p.name + "\"";
            throw py::value_error(path + ": alignment '" + a.name + "' holds " + std::to_string(a.profiles.size()) +
                                  " profiles; choose one with profile= (" + list + ")");
        }
        if (!BuildRoadAlignment(m_file, a, profile, m_build, err))
            throw py::value_error(err.text());
        // Every profile refused: the plan answers, its heights are NaN, and a warning says why.
        if (m_build.profileRefused &&
            PyErr_WarnEx(PyExc_UserWarning, ("alignment '" + a.name + "' has no heights: its profile is refused: " +
                                             m_build.profileRefusal.text()).c_str(), 1) != 0)
            throw py::error_already_set();
        if (!m_batch.init(m_build))
            throw py::value_error(path + ": the alignment \"" + a.name + "\" cannot be indexed");
    }

    std::string names() const
    {
        std::string list;
        for (size_t i = 0; i < m_file.alignments.size(); ++i)
            list += (i ? ", " : "") + std::to_string(i + 1) + " \"" + m_file.alignments[i].name + "\"";
        return list;
    }

    py::list alignments() const
    {
        py::list out;
        for (const RoadAlignment& a : m_file.alignments)
            out.append(a.name);
        return out;
    }

    std::string name() const { return m_file.alignments[static_cast<size_t>(m_index)].name; }
    int number() const { return m_index + 1; }
    std::string units() const { return RoadLinearUnitName(m_file.units.linear); }
    double metresPerUnit() const { return m_build.metresPerUnit; }
    std::string epsg() const { return RoadFileEpsg(m_file); }
    bool hasProfile() const { return m_build.profile >= 0; }

    // Posted stations of the start and end, in the file's unit.
    py::tuple stations() const
    {
        const double start = m_build.alnt.getStartChainageInM();
        double end = start;
        m_build.alnt.getFinalChainageInM(end);
        const double m = m_build.metresPerUnit;
        return py::make_tuple(m_build.stations.toPosted(start) / m, m_build.stations.toPosted(end) / m);
    }

    // Regions: (number, internal start, posted start, internal end) in the file's unit.
    py::list regions() const
    {
        const double m = m_build.metresPerUnit;
        double end = m_build.alnt.getStartChainageInM();
        m_build.alnt.getFinalChainageInM(end);
        py::list out;
        const std::vector<RoadStationing::Region>& rs = m_build.stations.regions();
        for (size_t k = 0; k < rs.size(); ++k)
            out.append(py::make_tuple(static_cast<int>(k) + 1, rs[k].internal / m, rs[k].posted / m,
                                      std::min(rs[k].nextInternal, end) / m));
        return out;
    }

    py::dict locate(const InArray& north, const InArray& east, const py::object& height, const RoadBatchOptions& o) const
    {
        const size_t n = sameLength("north and east", {north.size(), east.size()});
        InArray h;
        if (!height.is_none()) {
            h = height.cast<InArray>();
            if (static_cast<size_t>(h.size()) != n)
                throw py::value_error("height differs in length from north and east");
        }
        Outputs out(n, true);
        const double* pn = north.data();
        const double* pe = east.data();
        const double* ph = height.is_none() ? nullptr : h.data();
        {
            py::gil_scoped_release release;
            m_batch.locate(pn, pe, ph, n, o, out.answers);
        }
        return out.dict(true);
    }

    py::dict stakeout(const InArray& stations, const InArray& offsets, const py::array_t<int32_t, py::array::c_style | py::array::forcecast>& regions,
                      const RoadBatchOptions& o) const
    {
        const size_t n = sameLength("stations, offsets and regions", {stations.size(), offsets.size(), regions.size()});
        Outputs out(n, false);
        const double* ps = stations.data();
        const double* po = offsets.data();
        const int32_t* pr = regions.data();
        {
            py::gil_scoped_release release;
            m_batch.stakeout(ps, po, pr, n, o, out.answers);
        }
        return out.dict(false);
    }

    // The centreline (offset 0) or a constant offset line within `deviation`, with the profile's
    // vertices added: station (posted), internal, region, offset, north, east, height (NaN
    // where there is none).
    py::dict sample(double deviation, double offset, bool extendGrades) const
    {
        const double m = m_build.metresPerUnit;
        if (!std::isfinite(deviation) || !std::isfinite(offset))
            throw py::value_error("deviation and offset must be finite numbers");
        std::vector<RoadSampleVertex> line;
        UseRoadTolerances();
        const bool ok = offset == 0.0 ? SampleRoadCentreline(m_build.alnt, deviation * m, line)
                                      : SampleRoadOffsetLine(m_build.alnt, offset * m, deviation * m, line);
        if (!ok || !AddRoadProfileVertices(m_build.alnt, deviation * m, line))
            throw py::value_error("the road cannot be sampled at a deviation of " + std::to_string(deviation) +
                                  " (at least " + std::to_string(kRoadMinDeviation / m) + ")");
        const size_t n = line.size();
        py::array_t<double> station(n), internal(n), off(n), north(n), east(n), height(n);
        py::array_t<int32_t> region(n);
        for (size_t i = 0; i < n; ++i) {
            const RoadSampleVertex& v = line[i];
            int k = 1;
            station.mutable_at(i) = m_build.stations.toPosted(v.station, &k) / m;
            region.mutable_at(i) = k;
            internal.mutable_at(i) = v.station / m;
            off.mutable_at(i) = v.offset / m;
            north.mutable_at(i) = v.north / m;
            east.mutable_at(i) = v.east / m;
            double h = 0.0;
            height.mutable_at(i) = RoadDesignHeight(m_build.alnt, v.station, extendGrades, h) != RoadHeightKind::None
                                       ? h / m : std::numeric_limits<double>::quiet_NaN();
        }
        py::dict d;
        d["station"] = station;
        d["internal"] = internal;
        d["region"] = region;
        d["offset"] = off;
        d["north"] = north;
        d["east"] = east;
        d["height"] = height;
        return d;
    }

    // Seconds the batch locate takes called from C++ on one thread into fresh C++ arrays: the
    // C++ per-core rate the Python call is compared with (bench/python_locate.py).
    double timeCppLocate(const InArray& north, const InArray& east, const InArray& height) const
    {
        const size_t n = sameLength("north, east and height", {north.size(), east.size(), height.size()});
        RoadBatchOptions o;
        o.threads = 1;
        const double* pn = north.data();
        const double* pe = east.data();
        const double* ph = height.data();
        py::gil_scoped_release release;
        // The output arrays are allocated on the clock and left untouched before the call, as
        // the Python call's are: both pay for the first touch of fresh memory.
        const auto t0 = std::chrono::steady_clock::now();
        std::unique_ptr<double[]> d(new double[9 * n]);
        std::unique_ptr<int32_t[]> region(new int32_t[n]), element(new int32_t[n]), tieRegion(new int32_t[n]);
        std::unique_ptr<int8_t[]> extent(new int8_t[n]);
        std::unique_ptr<uint8_t[]> status(new uint8_t[n]);
        RoadBatchAnswers a;
        double* p = d.get();
        for (double** f : {&a.station, &a.internal, &a.offset, &a.north, &a.east, &a.height, &a.azimuth, &a.cutFill,
                           &a.tieStation}) {
            *f = p;
            p += n;
        }
        a.region = region.get();
        a.element = element.get();
        a.extent = extent.get();
        a.status = status.get();
        a.tieRegion = tieRegion.get();
        m_batch.locate(pn, pe, ph, n, o, a);
        const auto t1 = std::chrono::steady_clock::now();
        return std::chrono::duration<double>(t1 - t0).count();
    }

private:
    // The answer arrays of one batch call; locate's own (cut/fill, the tie) only for locate.
    struct Outputs {
        py::array_t<double> station, internal, offset, north, east, height, azimuth, cutFill, tieStation;
        py::array_t<int32_t> region, element, tieRegion;
        py::array_t<int8_t> extent;
        py::array_t<uint8_t> status;
        RoadBatchAnswers answers;
        Outputs(size_t n, bool locate)
            : station(n), internal(n), offset(n), north(n), east(n), height(n), azimuth(n), cutFill(locate ? n : 0),
              tieStation(locate ? n : 0), region(n), element(n), tieRegion(locate ? n : 0), extent(n), status(n)
        {
            answers.station = station.mutable_data();
            answers.internal = internal.mutable_data();
            answers.offset = offset.mutable_data();
            answers.north = north.mutable_data();
            answers.east = east.mutable_data();
            answers.height = height.mutable_data();
            answers.azimuth = azimuth.mutable_data();
            answers.cutFill = locate ? cutFill.mutable_data() : nullptr;
            answers.tieStation = locate ? tieStation.mutable_data() : nullptr;
            answers.tieRegion = locate ? tieRegion.mutable_data() : nullptr;
            answers.region = region.mutable_data();
            answers.element = element.mutable_data();
            answers.extent = extent.mutable_data();
            answers.status = status.mutable_data();
        }
        py::dict dict(bool locate) const
        {
            py::dict d;
            d["station"] = station;
            d["offset"] = offset;
            d["north"] = north;
            d["east"] = east;
            d["height"] = height;
            d["azimuth"] = azimuth;
            if (locate)
                d["cut_fill"] = cutFill;
            d["element"] = element;
            d["extent"] = extent;
            d["status"] = status;
            d["region"] = region;
            d["internal"] = internal;
            if (locate) {
                d["tie_station"] = tieStation;
                d["tie_region"] = tieRegion;
            }
            return d;
        }
    };

    RoadFile m_file;
    RoadBuild m_build;
    RoadBatch m_batch;
    int m_index = 0;
};

// The floor of the benchmarks: `count` times one std::sin plus one std::cos, in nanoseconds
// per pair, timed here in C++ (the same work as BM_Floor_SinCos).
double floorSinCosNs(int count)
{
    volatile double sink = 0.0;
    double x = 0.1;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        sink = sink + std::sin(x) + std::cos(x);
        x += 1e-7;
    }
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::nano>(t1 - t0).count() / std::max(1, count);
}

} // namespace

PYBIND11_MODULE(_core, m)
{
    m.doc() = "fieldcore road services over NumPy arrays (see the fieldcore package)";
    m.attr("__version__") = FIELDCORE_VERSION;

    py::class_<RoadBatchOptions>(m, "Options")
        .def(py::init([](double maxDistance, bool extendGrades, int threads) {
                 RoadBatchOptions o;
                 o.maxDistance = maxDistance;
                 o.extendGrades = extendGrades;
                 o.threads = threads;
                 return o;
             }),
             py::arg("max_distance"), py::arg("extend_grades"), py::arg("threads"));

    py::class_<PyRoad>(m, "Road")
        .def(py::init<const std::string&, const std::string&, const std::string&>(), py::arg("path"),
             py::arg("alignment"), py::arg("profile"))
        .def_property_readonly("alignments", &PyRoad::alignments)
        .def_property_readonly("name", &PyRoad::name)
        .def_property_readonly("number", &PyRoad::number)
        .def_property_readonly("units", &PyRoad::units)
        .def_property_readonly("metres_per_unit", &PyRoad::metresPerUnit)
        .def_property_readonly("epsg", &PyRoad::epsg)
        .def_property_readonly("has_profile", &PyRoad::hasProfile)
        .def_property_readonly("stations", &PyRoad::stations)
        .def_property_readonly("regions", &PyRoad::regions)
        .def("locate", &PyRoad::locate)
        .def("stakeout", &PyRoad::stakeout)
        .def("sample", &PyRoad::sample)
        .def("_time_cpp_locate", &PyRoad::timeCppLocate);

    m.def("floor_sincos_ns", &floorSinCosNs, py::arg("count") = 10000000,
          "Nanoseconds of one std::sin plus one std::cos, timed in C++ (the benchmarks' floor).");
    m.def("status_text", [](int code) { return std::string(RoadPointStatusText(static_cast<RoadPointStatus>(code))); });
}
