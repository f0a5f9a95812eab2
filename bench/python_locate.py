#!/usr/bin/env python3
"""Speed of the Python package: NumPy batch locate against the same answers in a plain C++ loop,
(road/roadBatch.h) against the same batch called from C++ into C++ arrays,
and fieldcore.dask on a LocalCluster of 2 workers against 1 worker. Every time is also given in
floors: one std::sin plus one std::cos, timed in C++ in the same run (fieldcore.floor_sincos_ns,
the work of BM_Floor_SinCos).

    PYTHONPATH=build/python/site /usr/bin/python3 bench/python_locate.py [--points N] [--dask-points N]

Targets: the batch locate on one thread at least 90 % of the C++ per-core rate; 2 Dask workers
at least 1.6 times one worker on 10 million points (on a machine with 2 free cores).
"""
import argparse
import os
import time

import numpy as np

import fieldcore

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLE = os.path.join(HERE, "..", "examples", "exampleRoad.xml")


def survey(road, count, seed):
    """`count` surveyed points within 50 m of the road, with heights about the design."""
    rng = np.random.default_rng(seed)
    start, end = road.stations
    p = road.stakeout(rng.uniform(start, 2200.0, count), rng.uniform(-50.0, 50.0, count), extend_grades=True)
    return p["north"], p["east"], p["height"] + rng.normal(0.0, 0.05, count)


def best_of(runs, fn):
    best = float("inf")
    for _ in range(runs):
        t0 = time.perf_counter()
        fn()
        best = min(best, time.perf_counter() - t0)
    return best


def numpy_rates(road, count, floor):
    n, e, h = survey(road, count, 1)
    cpp = min(road._road._time_cpp_locate(n, e, h) for _ in range(3)) / count * 1e9
    one = best_of(3, lambda: road.locate(n, e, h, threads=1)) / count * 1e9
    cores = os.cpu_count() or 1
    every = best_of(3, lambda: road.locate(n, e, h, threads=0)) / count * 1e9
    print("floor (sin + cos in C++)          %8.2f ns" % floor)
    print("C++ batch locate, 1 thread          %8.1f ns/point  %6.1f floors  %5.2f M points/s"
          % (cpp, cpp / floor, 1e3 / cpp))
    print("NumPy batch locate, 1 thread      %8.1f ns/point  %6.1f floors  %5.2f M points/s  (%.0f %% of C++)"
          % (one, one / floor, 1e3 / one, 100.0 * cpp / one))
    print("NumPy batch locate, %d threads     %8.1f ns/point  %6.1f floors  %5.2f M points/s  (%.2f x 1 thread)"
          % (cores, every, every / floor, 1e3 / every, one / every))


def _partition(path, seed, count):
    import pandas as pd
    import fieldcore.dask as fd
    road = fd.road_for(path, alignment="Main Road")
    n, e, h = survey(road, count, seed)
    return pd.DataFrame({"north": n, "east": e, "height": h})


def _warm(path):
    import fieldcore.dask as fd
    fd.road_for(path, alignment="Main Road")


def dask_seconds(workers, count, partitions):
    import dask
    import dask.dataframe as dd
    from dask.distributed import Client, LocalCluster, wait
    import fieldcore.dask as fd
    path = os.path.abspath(EXAMPLE)
    with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True, dashboard_address=":0") as cluster, \
            Client(cluster) as client:
        per = count // partitions
        parts = [dask.delayed(_partition)(path, seed, per) for seed in range(partitions)]
        df = dd.from_delayed(parts, meta=_partition(path, 0, 0)).persist()
        wait(df)
        client.run(_warm, path)   # every worker reads the road before the clock
        out = fd.locate(df, path, height="height", alignment="Main Road")
        t0 = time.perf_counter()
        ok, cut = dask.compute((out["status"] == 0).sum(), out["cut_fill"].sum())
        seconds = time.perf_counter() - t0
        assert ok > 0.99 * per * partitions, ok
        return seconds


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--points", type=int, default=2_000_000, help="points of the NumPy runs")
    ap.add_argument("--dask-points", type=int, default=10_000_000, help="points of the Dask runs (0: none)")
    ap.add_argument("--partitions", type=int, default=40)
    args = ap.parse_args()
    floor = fieldcore.floor_sincos_ns()
    road = fieldcore.Road(EXAMPLE, alignment="Main Road")
    print("fieldcore %s, %d cores" % (fieldcore.__version__, os.cpu_count() or 1))
    numpy_rates(road, args.points, floor)
    if args.dask_points > 0:
        one = dask_seconds(1, args.dask_points, args.partitions)
        two = dask_seconds(2, args.dask_points, args.partitions)
        for workers, s in ((1, one), (2, two)):
            print("Dask LocalCluster, %d worker(s)    %8.2f s for %d points  %5.2f M points/s  %6.1f floors/point"
                  % (workers, s, args.dask_points, args.dask_points / s / 1e6, s / args.dask_points * 1e9 / floor))
        print("2 workers / 1 worker              %8.2f x" % (one / two))


if __name__ == "__main__":
    main()
