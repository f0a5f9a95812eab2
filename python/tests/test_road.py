"""The Road object: reading, choosing the alignment, broadcasting, the round trip at 1e-9 m, and
every refused value marked in status, never dropped."""
import numpy as np
import pytest

import fieldcore
from conftest import origin_road_xml, write_road


def test_version_and_status_words():
    assert fieldcore.__version__.count(".") == 2
    assert fieldcore.STATUS == {0: "ok", 1: "bad value", 2: "too far", 3: "no answer", 4: "bad station"}


def test_the_example_road_needs_its_alignment_chosen(example_path):
    with pytest.raises(ValueError, match=r'2 alignments.*1 "Main Road", 2 "Ramp A1"'):
        fieldcore.Road(example_path)
    by_name = fieldcore.Road(example_path, alignment="main ROAD")
    by_number = fieldcore.Road(example_path, alignment=2)
    assert (by_name.alignment, by_name.number) == ("Main Road", 1)
    assert (by_number.alignment, by_number.number) == ("Ramp A1", 2)
    assert by_name.alignments == ["Main Road", "Ramp A1"]
    assert by_name.units == "meter"
    assert by_name.stations == pytest.approx((1000.0, 2990.0), abs=1e-6)
    # One station equation: 2200 back, 2250 ahead.
    assert [(k, s) for k, _, s, _ in by_name.regions] == [(1, 1000.0), (2, 2250.0)]
    with pytest.raises(ValueError, match="no alignment 'Ramp B'"):
        fieldcore.Road(example_path, alignment="Ramp B")
    with pytest.raises(ValueError, match="no alignment '3'"):
        fieldcore.Road(example_path, alignment=3)


@pytest.mark.parametrize("text, message", [
    (None, "cannot read"),
    ("<LandXML><Alignments>", r"bad\.xml:1"),
    ('<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2">\n<Alignments/>\n</LandXML>', "no alignment"),
])
def test_bad_files_raise_with_the_file_and_line(tmp_path, text, message):
    path = tmp_path / "bad.xml"
    if text is not None:
        path.write_text(text)
    with pytest.raises(ValueError, match=message):
        fieldcore.Road(str(path))


def test_several_profiles_need_the_choice(tmp_path, example_path):
    # Failed before: the first profile's heights, unsaid.
    text = open(example_path).read().replace(
        '<ProfAlign name="Design">', '<ProfAlign name="Old"><PVI>1000 40</PVI><PVI>2940 50</PVI></ProfAlign><ProfAlign name="Design">')
    path = tmp_path / "two.xml"
    path.write_text(text)
    with pytest.raises(ValueError, match=r'holds 2 profiles; choose one with profile= \("Old", "Design"\)'):
        fieldcore.Road(str(path), alignment=1)
    assert fieldcore.Road(str(path), alignment=1, profile="Design").stakeout([2990.0])["height"][0] == pytest.approx(58.9)


def test_every_profile_refused_answers_the_plan_with_a_warning(tmp_path, example_path):
    # Failed before: the plan was refused with its only profile.
    text = open(example_path).read().replace("<PVI>2940.000000 58.900000</PVI>", "<PVI>2940.000000</PVI>")
    path = tmp_path / "bad_profile.xml"
    path.write_text(text)
    with pytest.warns(UserWarning, match=r"has no heights: its profile is refused: .*bad_profile.xml:40: <PVI>"):
        road = fieldcore.Road(str(path), alignment=1)
    out = road.stakeout([2990.0])
    assert out["north"][0] == pytest.approx(6544858.761861335, abs=1e-6)
    assert np.isnan(out["height"][0])
    with pytest.raises(ValueError, match="expected two numbers"):
        fieldcore.Road(str(path), alignment=1, profile="Design")


def test_a_directory_is_no_road_file(tmp_path):
    with pytest.raises(ValueError):
        fieldcore.Road(str(tmp_path))


def test_stakeout_then_locate_round_trips_to_1e9(origin_path):
    road = fieldcore.Road(origin_path)
    rng = np.random.default_rng(44)
    s = rng.uniform(-20.0, 220.0, 50_000)
    o = rng.uniform(-60.0, 60.0, 50_000)
    for threads in (1, 2):
        p = road.stakeout(s, o, threads=threads)
        assert (p["status"] == fieldcore.OK).all()
        q = road.locate(p["north"], p["east"], threads=threads)
        assert (q["status"] == fieldcore.OK).all()
        assert np.abs(q["station"] - s).max() <= 1e-9
        assert np.abs(q["offset"] - o).max() <= 1e-9
        # Beyond the ends: on the extended tangents, flagged.
        assert ((s < 0) == (q["extent"] == -1)).all() and ((s > 200) == (q["extent"] == 1)).all()


def test_broadcasting_and_shapes(origin_path):
    road = fieldcore.Road(origin_path)
    p = road.stakeout(np.array([[10.0, 50.0], [120.0, 150.0]]), [-2.0, 3.0])
    assert p["station"].shape == (2, 2) and p["north"].dtype == np.float64
    np.testing.assert_array_equal(p["offset"], [[-2.0, 3.0], [-2.0, 3.0]])
    one = road.locate(50.0, 1.5, 20.0)
    assert one["station"].shape == () and float(one["station"]) == pytest.approx(50.0, abs=1e-12)
    assert float(one["offset"]) == pytest.approx(1.5, abs=1e-12)
    # Integer and float32 input are taken as float64.
    ints = road.locate(np.array([50, 60], dtype=np.int64), np.array([1, 1], dtype=np.float32))
    assert ints["station"] == pytest.approx([50.0, 60.0], abs=1e-12)
    empty = road.locate(np.array([]), np.array([]))
    assert empty["station"].shape == (0,)
    with pytest.raises(ValueError):
        road.locate([1.0, 2.0, 3.0], [1.0, 2.0])


def test_cut_fill_is_measured_minus_design(origin_path):
    road = fieldcore.Road(origin_path)
    p = road.stakeout([0.0, 50.0, 100.0, 200.0], 1.0)
    design = p["height"]
    a = road.locate(p["north"], p["east"], design + np.array([0.25, -0.5, 0.0, np.nan]))
    np.testing.assert_allclose(a["height"], design, atol=1e-12)
    np.testing.assert_allclose(a["cut_fill"][:3], [0.25, -0.5, 0.0], atol=1e-12)
    assert np.isnan(a["cut_fill"][3]) and a["status"][3] == fieldcore.OK   # NaN height: no height
    # Beyond the profile: no design height unless the end grades are carried on.
    before = road.stakeout([-10.0], 0.0)
    assert np.isnan(before["height"][0])
    assert road.stakeout([-10.0], 0.0, extend_grades=True)["height"][0] == pytest.approx(10.0 - 10.0 * 0.02)


def test_refused_points_keep_their_place(origin_path):
    road = fieldcore.Road(origin_path)
    north = np.array([50.0, np.nan, 1e9, 50.0, 50.0, 20050.0, 50.0, -1500.0])
    east = np.array([1.0, 1.0, 1.0, np.inf, 1.0, 1.0, 1.0, 0.0])
    height = np.array([11.0, 11.0, 11.0, 11.0, 1e5, 11.0, -np.inf, 11.0])
    a = road.locate(north, east, height)
    want = [fieldcore.OK, fieldcore.BAD_VALUE, fieldcore.BAD_VALUE, fieldcore.BAD_VALUE, fieldcore.BAD_VALUE,
            fieldcore.TOO_FAR, fieldcore.BAD_VALUE, fieldcore.TOO_FAR]
    np.testing.assert_array_equal(a["status"], want)
    bad = a["status"] != fieldcore.OK
    for key in ("station", "offset", "north", "east", "height", "azimuth", "cut_fill"):
        assert np.isnan(a[key][bad]).all(), key
    assert (a["element"][bad] == 0).all() and (a["element"][~bad] == 1).all()
    # The guard follows max_distance (the road's unit).
    near = road.locate([50.0, 50.0], [30.0, 60.0], max_distance=50.0)
    np.testing.assert_array_equal(near["status"], [fieldcore.OK, fieldcore.TOO_FAR])
    with pytest.raises(ValueError, match="max_distance"):
        road.locate([50.0], [1.0], max_distance=0.0)
    with pytest.raises(ValueError, match="threads"):
        road.locate([50.0], [1.0], threads=-1)


HAIRPIN = """<?xml version="1.0"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">
<Units><Metric linearUnit="meter"/></Units>
<Alignments><Alignment name="Hairpin" staStart="0"><CoordGeom>
<Line><Start>1000 2000</Start><End>1100 2000</End></Line>
<Curve rot="cw"><Start>1100 2000</Start><Center>1100 2015</Center><End>1100 2030</End></Curve>
<Line><Start>1100 2030</Start><End>1000 2030</End></Line>
</CoordGeom>{equation}</Alignment></Alignments></LandXML>
"""


@pytest.mark.parametrize("equation, middle_tie, middle_region", [
    ("", 150.0 + 15.0 * np.pi, 1),
    ('<StaEquation staBack="150" staAhead="1150" staInternal="150"/>', 1150.0 + 15.0 * np.pi, 2),
])
def test_locate_names_the_place_as_near(tmp_path, equation, middle_tie, middle_region):
    # A hairpin: two 100 m lines 30 m apart joined by a half circle of radius 15. On the middle
    # line at 50 the other place is 100 + 15 pi + 50 along (posted 1197.12 in region 2 past the
    # equation); at the arc's centre every place of the arc is as near; 1 mm aside there is none,
    # nor for a refused point. Failed before: the tie was not returned at all.
    road = fieldcore.Road(write_road(tmp_path / "hairpin.xml", HAIRPIN.format(equation=equation)))
    a = road.locate([1050.0, 1100.0, 1050.0, np.nan], [2015.0, 2015.0, 2015.001, 2015.0])
    np.testing.assert_array_equal(a["status"], [fieldcore.OK, fieldcore.OK, fieldcore.OK, fieldcore.BAD_VALUE])
    assert a["station"][0] == pytest.approx(50.0, abs=1e-9)
    assert a["tie_station"][0] == pytest.approx(middle_tie, abs=1e-9)
    assert 100.0 <= a["tie_station"][1] <= 100.0 + 15.0 * np.pi
    assert np.isnan(a["tie_station"][2:]).all()
    np.testing.assert_array_equal(a["tie_region"], [middle_region, 1, 0, 0])
    assert a["tie_station"].dtype == np.float64 and a["tie_region"].dtype == np.int32
    assert road.locate(1050.0, 2015.0)["tie_station"].shape == ()
    assert "tie_station" not in road.stakeout([50.0])   # stake-out has no ties


def test_stakeout_statuses(tmp_path):
    # An equation running back 20 m at internal 150: posted 130 to 150 lie in two regions.
    eq = '<StaEquation staBack="150" staAhead="130" staInternal="150"/>'
    road = fieldcore.Road(write_road(tmp_path / "eq.xml", origin_road_xml(eq)))
    p = road.stakeout([140.0, 140.0, 140.0, 160.0, 5000.0, 50.0, np.nan], [0, 0, 0, 0, 0, 2000.0, 0],
                      region=[0, 1, 2, 0, 0, 0, 0])
    np.testing.assert_array_equal(p["status"], [fieldcore.BAD_STATION, 0, 0, 0, fieldcore.TOO_FAR,
                                                fieldcore.TOO_FAR, fieldcore.BAD_VALUE])
    assert p["internal"][1] == pytest.approx(140.0) and p["internal"][2] == pytest.approx(160.0)
    np.testing.assert_array_equal(p["region"][1:4], [1, 2, 2])
    # Located back, the station carries its region.
    q = road.locate(p["north"][1:4], p["east"][1:4])
    np.testing.assert_allclose(q["station"], [140.0, 140.0, 160.0], atol=1e-9)
    np.testing.assert_array_equal(q["region"], [1, 2, 2])
    with pytest.raises(ValueError, match="region"):
        road.stakeout([10.0], 0.0, region=0.5)


def test_sample_and_geojson(example_path):
    road = fieldcore.Road(example_path, alignment="Main Road")
    s = road.sample(0.01)
    assert s["station"][0] == pytest.approx(1000.0) and s["station"][-1] == pytest.approx(2990.0)
    assert (np.diff(s["internal"]) > 0).all() and (s["offset"] == 0).all()
    # The sampled vertices lie on the road: located, they come back at offset 0.
    q = road.locate(s["north"], s["east"])
    assert np.abs(q["offset"]).max() < 1e-8
    left = road.sample(0.01, -3.5)
    assert np.abs(road.locate(left["north"], left["east"])["offset"] + 3.5).max() < 1e-8
    g = road.geojson(0.05)
    assert g["type"] == "FeatureCollection"
    line = g["features"][0]["geometry"]
    assert line["type"] == "LineString" and len(line["coordinates"][0]) == 3
    assert len(g["features"][0]["properties"]["stations"]) == len(line["coordinates"])
    ramp = fieldcore.Road(example_path, alignment="Ramp A1").geojson(0.05)   # no profile: 2D
    assert all(len(c) == 2 for c in ramp["features"][0]["geometry"]["coordinates"])
    with pytest.raises(ValueError, match="deviation"):
        road.sample(0.0)


def test_threads_agree_and_calls_from_several_python_threads_too(example_path):
    # Any number of threads answers as one; the GIL is released in the batch calls, so calls
    # from several Python threads run over one road at once.
    from concurrent.futures import ThreadPoolExecutor
    road = fieldcore.Road(example_path, alignment=1)
    rng = np.random.default_rng(9)
    n = rng.uniform(6543200, 6544900, 20_000)
    e = rng.uniform(1234500, 1235500, 20_000)
    want = road.locate(n, e, 55.0, threads=1)
    with ThreadPoolExecutor(4) as pool:
        got = list(pool.map(lambda t: road.locate(n, e, 55.0, threads=t), [1, 2, 0, 2]))
    for g in got:
        for key in want:
            np.testing.assert_array_equal(g[key], want[key], err_msg=key)


# The package broadcasts every argument to one length; the core module, called directly with
# arrays of different lengths, must refuse them rather than read past the shorter ones.
@pytest.mark.parametrize("call, message", [
    (lambda r, o: r.locate(np.zeros(2), np.zeros(3), None, o), "north and east differ in length"),
    (lambda r, o: r.locate(np.zeros(2), np.zeros(2), np.zeros(3), o), "height differs in length"),
    (lambda r, o: r.stakeout(np.zeros(2), np.zeros(2), np.zeros(3, np.int32), o),
     "stations, offsets and regions differ in length"),
    (lambda r, o: r._time_cpp_locate(np.zeros(2), np.zeros(2), np.zeros(1)), "north, east and height differ in length"),
])
def test_the_core_refuses_arrays_of_different_lengths(origin_path, call, message):
    road = fieldcore._core.Road(origin_path, "", "")
    with pytest.raises(ValueError, match=message):
        call(road, fieldcore._core.Options(1000.0, False, 1))
