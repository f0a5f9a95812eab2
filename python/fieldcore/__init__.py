"""fieldcore: road stake-out and locate over NumPy arrays, with the command-line tool's answers.

    import fieldcore, numpy as np
    road = fieldcore.Road("road.xml", alignment="Main Road")
    a = road.locate(north, east, height)      # dict of arrays: station, offset, cut_fill, status...

Units: every length in and out (coordinates, stations, offsets, heights, max_distance,
deviation) is in the road file's own linear unit (``road.units``). Stations are posted
stations (station equations applied) with their ``region`` (from 1); ``internal`` is the
continuous chainage. Azimuths are decimal degrees from grid north, clockwise, in [0, 360).
Offsets are positive to the right of increasing stations.

No point is ever dropped: answers come in the order of the input, and a point without an
answer has NaN in every float column, 0 in ``element``, ``region`` and ``tie_region``, and a
``status`` code (``STATUS``): 1 a coordinate, height, station or offset not finite or too large (coordinates
below 1e9, heights below 1e5 in size); 2 farther than ``max_distance`` from the alignment or
its extended tangents (or a station that far beyond an end, an offset over it); 3 the engine
gave no answer; 4 a station in an equation's gap, or held by two regions without ``region``.

Design heights follow the profile, and beyond its ends only with ``extend_grades=True``
(NaN otherwise, as where the road has no profile). ``cut_fill`` is the measured height minus
the design height: positive a cut (the point lies above the design), negative a fill; NaN
where either is missing. A measured height given as NaN means "no height".

Batch calls release the GIL and split the points over ``threads`` cores (0, the default:
every core).
"""

import numpy as _np

from . import _core

__version__ = _core.__version__

#: The status codes of the answers, by code.
STATUS = {code: _core.status_text(code) for code in range(5)}
OK, BAD_VALUE, TOO_FAR, NO_ANSWER, BAD_STATION = range(5)

#: Largest distance from the alignment answered unless ``max_distance`` says otherwise (in the
#: road's unit), as the command-line tool's --max-distance.
DEFAULT_MAX_DISTANCE = 1000.0


def _options(max_distance, extend_grades, threads):
    max_distance = float(max_distance)
    if not max_distance > 0.0 or not _np.isfinite(max_distance):
        raise ValueError("max_distance must be a positive number, not %r" % max_distance)
    threads = int(threads)
    if threads < 0 or threads > 1024:
        raise ValueError("threads must be 0 (every core) to 1024, not %d" % threads)
    return _core.Options(max_distance, bool(extend_grades), threads)


def _floats(*arrays):
    """The arrays broadcast to one shape, as contiguous float64 (a scalar broadcasts)."""
    shaped = _np.broadcast_arrays(*[_np.asarray(a, dtype=_np.float64) for a in arrays])
    return shaped[0].shape, [_np.ascontiguousarray(a).ravel() for a in shaped]


def _reshape(answers, shape):
    return {k: v.reshape(shape) for k, v in answers.items()}


class Road:
    """One alignment of a LandXML road file, built and indexed.

    ``alignment``: its name (any case) or number from 1; needed when the file holds several.
    ``profile``: the profile's name; needed when the alignment holds several. A file that cannot
    be read or built raises ValueError with the file's message and line ("FILE:LINE: MESSAGE").
    """

    def __init__(self, path, alignment=None, profile=None):
        self.path = str(path)
        self._road = _core.Road(self.path, "" if alignment is None else str(alignment),
                                "" if profile is None else str(profile))

    @property
    def alignments(self):
        """The names of the file's alignments, in file order."""
        return self._road.alignments

    @property
    def alignment(self):
        """The name of the alignment answering."""
        return self._road.name

    @property
    def number(self):
        """The alignment's number in the file, from 1."""
        return self._road.number

    @property
    def units(self):
        """The file's linear unit ("meter", "USSurveyFoot", "foot", ...)."""
        return self._road.units

    @property
    def metres_per_unit(self):
        return self._road.metres_per_unit

    @property
    def epsg(self):
        """The EPSG code of the file's coordinate system, "" when it names none."""
        return self._road.epsg

    @property
    def stations(self):
        """(start, end): the posted stations of the alignment's ends."""
        return self._road.stations

    @property
    def regions(self):
        """[(region, internal start, posted start, internal end)]: the station regions."""
        return self._road.regions

    def locate(self, north, east, height=None, *, max_distance=DEFAULT_MAX_DISTANCE, extend_grades=False,
               threads=0):
        """Station, offset, design height and cut/fill of points (arrays or scalars, broadcast).

        Returns a dict of arrays of the points' shape: station, offset, north and east (the
        alignment's point at the station), height (design), azimuth, cut_fill, element (the
        file's element number), extent (-1 before the start, 0 inside, 1 beyond the end, on the
        extended tangents), status, region, internal, tie_station and tie_region.

        A point as near to another place of the alignment (on a hairpin's middle line, at an
        arc's centre, inside a kink) is answered at one of them: ``tie_station`` is the other
        place's posted station and ``tie_region`` its region. Elsewhere, and for a point
        without an answer, ``tie_station`` is NaN and ``tie_region`` 0.
        """
        opts = _options(max_distance, extend_grades, threads)
        if height is None:
            shape, (n, e) = _floats(north, east)
            return _reshape(self._road.locate(n, e, None, opts), shape)
        shape, (n, e, h) = _floats(north, east, height)
        return _reshape(self._road.locate(n, e, h, opts), shape)

    def stakeout(self, stations, offsets=0.0, region=0, *, max_distance=DEFAULT_MAX_DISTANCE,
                 extend_grades=False, threads=0):
        """Positions at posted stations and offsets (arrays or scalars, broadcast).

        ``region`` names the region of stations that two regions hold (0: the one that holds
        it). Returns a dict of arrays: station, offset, north, east, height (design), azimuth,
        element, extent, status, region, internal.
        """
        opts = _options(max_distance, extend_grades, threads)
        shape, (s, o, r) = _floats(stations, offsets, region)
        if not _np.all(_np.isfinite(r) & (r == _np.round(r)) & (r >= 0)):
            raise ValueError("region must hold whole numbers from 0")
        return _reshape(self._road.stakeout(s, o, r.astype(_np.int32), opts), shape)

    def sample(self, deviation, offset=0.0, *, extend_grades=False):
        """The centreline (or the line at a constant offset) as vertices within ``deviation``
        of the curve, the profile's vertices added: a dict of arrays station, internal, region,
        offset, north, east, height (NaN where there is no design height)."""
        return self._road.sample(float(deviation), float(offset), bool(extend_grades))

    def geojson(self, deviation, offset=0.0, *, extend_grades=False):
        """The sampled line as a GeoJSON FeatureCollection (a dict): one LineString of
        [east, north, height] ([east, north] where there is no design height), the stations
        and offsets as properties, the file's coordinate system as a named crs."""
        s = self.sample(deviation, offset, extend_grades=extend_grades)
        coords = []
        for e, n, h in zip(s["east"].tolist(), s["north"].tolist(), s["height"].tolist()):
            coords.append([e, n] if h != h else [e, n, h])
        out = {"type": "FeatureCollection"}
        if self.epsg:
            out["crs"] = {"type": "name", "properties": {"name": "urn:ogc:def:crs:EPSG::" + self.epsg}}
        out["features"] = [{
            "type": "Feature",
            "geometry": {"type": "LineString", "coordinates": coords},
            "properties": {"alignment": self.alignment, "units": self.units,
                           "stations": s["station"].tolist(), "offsets": s["offset"].tolist()},
        }]
        return out

    def __repr__(self):
        start, end = self.stations
        return "fieldcore.Road(%r, alignment=%r: stations %.3f to %.3f %s)" % (
            self.path, self.alignment, start, end, self.units)


def floor_sincos_ns(count=10_000_000):
    """Nanoseconds of one std::sin plus one std::cos, timed in C++: the benchmarks' floor."""
    return _core.floor_sincos_ns(count)
