"""fieldcore.dask on a 2-worker LocalCluster (separate processes): the result equals the
single-process answers row for row, and each worker reads the road once."""
import numpy as np
import pandas as pd
import pytest

import fieldcore
import fieldcore.dask

dd = pytest.importorskip("dask.dataframe")
distributed = pytest.importorskip("dask.distributed")


@pytest.fixture(scope="module")
def client():
    cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=":0")
    c = distributed.Client(cluster)
    yield c
    c.close()
    cluster.close()


def points(count, seed):
    rng = np.random.default_rng(seed)
    return pd.DataFrame({
        "id": np.arange(count),
        "north": rng.uniform(6543200.0, 6544900.0, count),
        "east": rng.uniform(1234500.0, 1235500.0, count),
        "height": np.where(rng.random(count) < 0.1, np.nan, rng.uniform(45.0, 60.0, count)),
    })


def test_dask_equals_one_process(client, example_path):
    frame = points(40_000, 44)
    frame.loc[7, "north"] = np.nan   # refused, kept in its row
    frame.loc[9, "north"] += 50_000.0   # too far, kept in its row
    df = dd.from_pandas(frame, npartitions=8)
    out = fieldcore.dask.locate(df, example_path, height="height", alignment="Main Road").compute()
    road = fieldcore.Road(example_path, alignment="Main Road")
    want = road.locate(frame["north"].to_numpy(), frame["east"].to_numpy(), frame["height"].to_numpy())
    assert list(out["id"]) == list(frame["id"])
    pd.testing.assert_frame_equal(out[list(frame.columns)], frame)
    for key, name in fieldcore.dask.COLUMNS:
        np.testing.assert_array_equal(out[name].to_numpy(), want[key], err_msg=name)
    assert out["status"][7] == fieldcore.BAD_VALUE
    assert (out["status"] == fieldcore.TOO_FAR).any() and (out["status"] == fieldcore.OK).any()
    # Each worker process read the road once for its eight partitions' share.
    reads = client.run(fieldcore.dask.reads)
    assert len(reads) == 2 and all(r <= 1 for r in reads.values()) and sum(reads.values()) >= 1


def test_dask_options_and_errors(client, example_path, tmp_path):
    frame = points(2000, 5)
    df = dd.from_pandas(frame, npartitions=2)
    out = fieldcore.dask.locate(df, example_path, alignment=1, max_distance=10.0, prefix="road_").compute()
    road = fieldcore.Road(example_path, alignment=1)
    want = road.locate(frame["north"].to_numpy(), frame["east"].to_numpy(), max_distance=10.0)
    np.testing.assert_array_equal(out["road_status"].to_numpy(), want["status"])
    assert out["road_cut_fill"].isna().all()   # no height column given
    with pytest.raises(KeyError, match="northing"):
        fieldcore.dask.locate(df, example_path, north="northing", alignment=1)
    with pytest.raises(ValueError, match="alignments"):
        fieldcore.dask.locate(df, example_path)
    with pytest.raises(ValueError, match="cannot read"):
        fieldcore.dask.locate(df, str(tmp_path / "missing.xml"))
    # A pandas frame is answered directly.
    direct = fieldcore.dask.locate(frame, example_path, alignment=1, max_distance=10.0)
    np.testing.assert_array_equal(direct["status"].to_numpy(), want["status"])
