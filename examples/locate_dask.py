#!/usr/bin/env python3
"""Locate a surveyed point cloud against the example road on a Dask cluster, and print the
points per second and the cut/fill statistics per 100 m of station.

    PYTHONPATH=build/python/site /usr/bin/python3 examples/locate_dask.py [--points 20000000]

The survey is generated first, as CSV partitions (one file each, written by the workers), as
an as-built scan of the road would arrive: name, north, east, height, within 40 m of the
centreline, heights about the design. Then each worker reads its partitions, locates them
(fieldcore.dask.locate: the road file read once per worker) and reduces them to the
statistics; only the statistics come back. Give --scheduler ADDRESS to run on an existing
cluster (the road file and the CSV folder must then be reachable from every worker).
"""
import argparse
import os
import shutil
import tempfile
import time

import numpy as np

EXAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "exampleRoad.xml")
ALIGNMENT = "Main Road"


def write_partition(road_path, folder, seed, count):
    """One CSV partition of the survey: points near the road, heights about the design."""
    import pandas as pd
    import fieldcore.dask
    road = fieldcore.dask.road_for(road_path, alignment=ALIGNMENT)
    rng = np.random.default_rng(seed)
    start, end = road.stations
    p = road.stakeout(rng.uniform(start, end, count), rng.uniform(-40.0, 40.0, count), extend_grades=True)
    # Stations in a station equation's gap do not exist on the road: drawn again from the rest.
    good = np.flatnonzero(p["status"] == 0)
    pick = good[rng.integers(0, good.size, count)]
    p = {k: v[pick] for k, v in p.items()}
    frame = pd.DataFrame({
        "name": np.char.add("P%d-" % seed, np.arange(count).astype(str)),
        "north": np.round(p["north"], 3),
        "east": np.round(p["east"], 3),
        "height": np.round(p["height"] + rng.normal(0.0, 0.04, count), 3),
    })
    path = os.path.join(folder, "survey-%04d.csv" % seed)
    frame.to_csv(path, index=False)
    return path


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--points", type=int, default=20_000_000)
    ap.add_argument("--partitions", type=int, default=40)
    ap.add_argument("--workers", type=int, default=2, help="workers of the local cluster")
    ap.add_argument("--scheduler", help="address of an existing Dask scheduler")
    ap.add_argument("--folder", help="where the CSV partitions go (default: a temporary folder, removed)")
    ap.add_argument("--road", default=EXAMPLE)
    args = ap.parse_args()

    import dask
    import dask.dataframe as dd
    from dask.distributed import Client, LocalCluster
    import fieldcore.dask

    folder = args.folder or tempfile.mkdtemp(prefix="fieldcore-survey-")
    os.makedirs(folder, exist_ok=True)
    road_path = os.path.abspath(args.road)
    cluster = None if args.scheduler else LocalCluster(n_workers=args.workers, threads_per_worker=1,
                                                       processes=True, dashboard_address=":0")
    try:
        with Client(args.scheduler or cluster) as client:
            cores = sum(client.nthreads().values())
            per = -(-args.points // args.partitions)
            counts = [min(per, args.points - k * per) for k in range(args.partitions)]
            t0 = time.perf_counter()
            dask.compute(*[dask.delayed(write_partition)(road_path, folder, k, c)
                           for k, c in enumerate(counts) if c > 0])
            written = time.perf_counter() - t0
            print("survey: %d points in %d CSV partitions in %s (%.1f s)" % (args.points, args.partitions, folder,
                                                                          written))

            t0 = time.perf_counter()
            df = dd.read_csv(os.path.join(folder, "survey-*.csv"), blocksize=None,
                             dtype={"name": str, "north": float, "east": float, "height": float})
            out = fieldcore.dask.locate(df, road_path, height="height", alignment=ALIGNMENT)
            ok = out[out["status"] == 0]
            ok = ok.assign(block=(ok["station"] // 100.0) * 100.0)
            stats = ok.groupby("block")["cut_fill"].agg(["count", "mean", "std", "min", "max"])
            stats, total, refused = dask.compute(stats, out["status"].count(), (out["status"] != 0).sum())
            seconds = time.perf_counter() - t0
    finally:
        if cluster is not None:
            cluster.close()
        if not args.folder:
            shutil.rmtree(folder, ignore_errors=True)

    print("located %d points (%d without an answer) in %.1f s on %d workers: %.2f million points/s "
          "(%.2f per worker), read and parse included" % (total, refused, seconds, cores,
                                                         total / seconds / 1e6, total / seconds / 1e6 / cores))
    print("cut/fill (measured minus design, m) per 100 m of station:")
    print("  station      points     mean      std      min      max")
    for block, row in stats.sort_index().iterrows():
        if row["count"] == 0:   # located, but off the profile's stations: no design height there
            print("  %7.0f  %10d  no design height" % (block, 0))
            continue
        print("  %7.0f  %10d  %+7.4f  %7.4f  %+7.3f  %+7.3f" % (block, row["count"], row["mean"], row["std"],
                                                              row["min"], row["max"]))


if __name__ == "__main__":
    main()
