"""The Python answers equal the command-line tool's CSV answers on the same points, to the last
printed digit, rejected points included (their status)."""
import csv
import io
import subprocess

import numpy as np

import fieldcore


def run_tool(tool, args, lines):
    done = subprocess.run([tool] + args, input="".join(lines), capture_output=True, text=True, timeout=120)
    rows = list(csv.DictReader(io.StringIO(done.stdout)))
    return rows


def printed(value, field):
    """`value` printed with the decimals of the tool's `field`; "" for NaN."""
    if field == "" or value != value:
        return ""
    decimals = len(field.split(".")[1]) if "." in field else 0
    text = "%.*f" % (decimals, value)
    return "0." + "0" * decimals if text == "-0." + "0" * decimals else text


EXTENT = {-1: "before", 0: "inside", 1: "beyond"}


def check_fields(rows, answers, columns):
    assert len(rows) == len(answers["status"])
    for i, row in enumerate(rows):
        for column, key in columns:
            assert printed(float(answers[key][i]), row[column]) == row[column], (i, column, row)


def test_locate_equals_the_tool(tool, example_path):
    rng = np.random.default_rng(27)
    count = 3000
    road = fieldcore.Road(example_path, alignment="Main Road")
    staked = road.stakeout(rng.uniform(900.0, 3050.0, count), rng.uniform(-40.0, 40.0, count))
    ok = staked["status"] == fieldcore.OK
    north, east = staked["north"][ok], staked["east"][ok]
    height = np.round(rng.uniform(45.0, 60.0, north.size), 3)
    north[5], east[5] = north[5] + 5000.0, east[5]   # one point too far, rejected in place
    lines = ["P%d %.6f %.6f %.3f\n" % (i, n, e, h) for i, (n, e, h) in enumerate(zip(north, east, height))]
    # The tool reads the printed text: Python reads the same values.
    back = np.array([[float(x) for x in ln.split()[1:]] for ln in lines])
    for extend in (False, True):
        args = ["road", "locate", example_path, "--alignment", "1", "--csv"] + (["--extend-grades"] if extend else [])
        rows = run_tool(tool, args, lines)
        a = road.locate(back[:, 0], back[:, 1], back[:, 2], extend_grades=extend)
        check_fields(rows, a, [("station", "station"), ("offset", "offset"), ("height", "height"),
                               ("cut_fill", "cut_fill")])
        for i, row in enumerate(rows):
            if a["status"][i] == fieldcore.OK:
                assert row["status"] == "ok" and int(row["element"]) == a["element"][i]
                assert row["extent"] == EXTENT[int(a["extent"][i])]
            else:
                assert row["status"] != "ok" and a["status"][i] == fieldcore.TOO_FAR


def test_stakeout_equals_the_tool(tool, example_path):
    rng = np.random.default_rng(28)
    stations = np.round(rng.uniform(900.0, 3050.0, 2000), 3)
    stations = stations[(stations < 2200.0) | (stations > 2250.0)]   # not in the equation's gap
    offsets = np.round(rng.uniform(-30.0, 30.0, stations.size), 3)
    lines = ["%.3f %.3f\n" % (s, o) for s, o in zip(stations, offsets)]
    road = fieldcore.Road(example_path, alignment="Main Road")
    rows = run_tool(tool, ["road", "stakeout", example_path, "--alignment", "1", "--csv", "--extend-grades"], lines)
    p = road.stakeout(stations, offsets, extend_grades=True)
    assert (p["status"] == fieldcore.OK).all()
    check_fields(rows, p, [("station", "station"), ("offset", "offset"), ("north", "north"), ("east", "east"),
                           ("height", "height"), ("azimuth", "azimuth")])
    assert [r["extent"] for r in rows] == [EXTENT[int(x)] for x in p["extent"]]


def test_ties_equal_the_tool(tool, tmp_path):
    # The tool says a tie in the status column ("tie: as near to station S"); Python gives S in
    # tie_station (NaN without a tie). Points on the hairpin's middle line (both sides of the
    # equation), at its arc's centre and 1 mm aside.
    from test_road import HAIRPIN
    path = tmp_path / "hairpin.xml"
    path.write_text(HAIRPIN.format(equation='<StaEquation staBack="150" staAhead="1150" staInternal="150"/>'))
    north = np.array([1050.0, 1100.0, 1050.0, 1020.0, 1099.0])
    east = np.array([2015.0, 2015.0, 2015.001, 2015.0, 2015.0])
    rows = run_tool(tool, ["road", "locate", str(path), "--csv"], ["%.3f %.3f\n" % p for p in zip(north, east)])
    a = fieldcore.Road(str(path)).locate(north, east)
    ties = [row["status"][len("tie: as near to station "):] if row["status"].startswith("tie") else "" for row in rows]
    assert [t != "" for t in ties] == [True, True, False, True, True]
    for i, tie in enumerate(ties):
        assert printed(float(a["tie_station"][i]), tie.split("@")[0]) == tie.split("@")[0], (i, rows[i])
