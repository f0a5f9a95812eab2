"""Locate point sets of any size on a Dask cluster: each partition is located on the worker that
holds it, against a road read once per worker process.

    import dask.dataframe as dd, fieldcore.dask
    df = dd.read_csv("survey-*.csv")
    out = fieldcore.dask.locate(df, "road.xml", height="height", alignment="Main Road")

The road file is opened by path on each worker (the first time a worker needs it; it is kept
for the worker's later tasks), so the path must be readable there: a shared or copied file.
A changed file (its size or modification time) is read again.
"""

import os
import threading

import numpy as _np

from . import DEFAULT_MAX_DISTANCE, Road

# The answer columns added, in order, with the names they take in the frame: the alignment's
# point at the station is foot_north/foot_east and the design height design_height, so that
# the input's own north, east and height columns stay as they are.
COLUMNS = [("station", "station"), ("offset", "offset"), ("north", "foot_north"), ("east", "foot_east"),
           ("height", "design_height"), ("azimuth", "azimuth"), ("cut_fill", "cut_fill"),
           ("element", "element"), ("extent", "extent"), ("status", "status"), ("region", "region"),
           ("internal", "internal"), ("tie_station", "tie_station"), ("tie_region", "tie_region")]
_DTYPES = {"element": "int32", "extent": "int8", "status": "uint8", "region": "int32", "tie_region": "int32"}

# The roads this process has read, by (path, alignment, profile, size, mtime).
_roads = {}
_roads_lock = threading.Lock()
_reads = 0   # how many times this process read a road file (for tests)


def road_for(path, alignment=None, profile=None):
    """The road of this process for the file at `path`, read on first use."""
    global _reads
    path = os.path.abspath(path)
    st = os.stat(path)
    key = (path, alignment, profile, st.st_size, st.st_mtime_ns)
    with _roads_lock:
        road = _roads.get(key)
        if road is None:
            road = Road(path, alignment=alignment, profile=profile)
            _roads[key] = road
            _reads += 1
        return road


def reads():
    """How many times this process has read a road file."""
    return _reads


def _meta(df, prefix):
    import pandas as pd
    meta = df._meta.copy() if hasattr(df, "_meta") else df.iloc[:0].copy()
    for key, name in COLUMNS:
        meta[prefix + name] = pd.Series(dtype=_DTYPES.get(key, "float64"))
    return meta


def locate_frame(frame, road_path, north="north", east="east", height=None, *, alignment=None, profile=None,
                 max_distance=DEFAULT_MAX_DISTANCE, extend_grades=False, threads=1, prefix=""):
    """One pandas DataFrame: a copy with the answer columns added (COLUMNS)."""
    road = road_for(road_path, alignment, profile)
    n = frame[north].to_numpy(dtype=_np.float64, na_value=_np.nan)
    e = frame[east].to_numpy(dtype=_np.float64, na_value=_np.nan)
    h = None if height is None else frame[height].to_numpy(dtype=_np.float64, na_value=_np.nan)
    answers = road.locate(n, e, h, max_distance=max_distance, extend_grades=extend_grades, threads=threads)
    out = frame.copy()
    for key, name in COLUMNS:
        out[prefix + name] = answers[key]
    return out


def locate(df, road_path, north="north", east="east", height=None, **opts):
    """A Dask DataFrame with the answer columns (COLUMNS) added to `df`'s, row for row.

    `north`, `east` and optionally `height` name the columns of the points (in the road file's
    unit). Options: alignment, profile, max_distance, extend_grades as fieldcore.Road.locate;
    threads, the cores each task uses (1 by default: Dask's workers are the parallelism);
    prefix, put before the added columns' names. A pandas DataFrame is answered directly.
    """
    for column in (north, east) + (() if height is None else (height,)):
        if column not in df.columns:
            raise KeyError("no column %r in the frame (%s)" % (column, ", ".join(map(str, df.columns))))
    prefix = opts.get("prefix", "")
    if not hasattr(df, "map_partitions"):
        return locate_frame(df, road_path, north, east, height, **opts)
    # The file is checked here once, so that a wrong path or alignment fails at once and not
    # in every task.
    Road(road_path, alignment=opts.get("alignment"), profile=opts.get("profile"))
    return df.map_partitions(locate_frame, os.path.abspath(road_path), north, east, height,
                             meta=_meta(df, prefix), **opts)
