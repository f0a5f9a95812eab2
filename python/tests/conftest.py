"""Shared fixtures: the example road, a small road near the origin, the command-line tool."""
import math
import os

import pytest

SOURCE = os.environ.get("FIELDCORE_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
EXAMPLE = os.path.join(SOURCE, "examples", "exampleRoad.xml")


@pytest.fixture
def example_path():
    return EXAMPLE


@pytest.fixture
def tool():
    path = os.environ.get("FIELDCORE_TOOL")
    if not path or not os.path.exists(path):
        pytest.skip("the fieldcore tool is not built (FIELDCORE_TOOL)")
    return path


def write_road(path, text):
    path.write_text(text)
    return str(path)


def origin_road_xml(equation=""):
    """A line north from the origin and a clockwise arc of radius 200 (stations 0 to 200),
    with a vertical profile; near the origin, where coordinates round to 1e-16 m."""
    r, length = 200.0, 100.0
    end_n, end_e = 100.0 + r * math.sin(length / r), r - r * math.cos(length / r)
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">
  <Units><Metric linearUnit="meter" angularUnit="decimal degrees" directionUnit="decimal degrees"/></Units>
  <Alignments>
    <Alignment name="Origin" length="200" staStart="0">
      <CoordGeom>
        <Line length="100"><Start>0 0</Start><End>100 0</End></Line>
        <Curve rot="cw" radius="200" length="100" crvType="arc"><Start>100 0</Start><Center>100 200</Center><End>{end_n:.12f} {end_e:.12f}</End></Curve>
      </CoordGeom>
      {equation}
      <Profile name="P"><ProfAlign name="P">
        <PVI>0 10</PVI><ParaCurve length="60">100 12</ParaCurve><PVI>200 11</PVI>
      </ProfAlign></Profile>
    </Alignment>
  </Alignments>
</LandXML>
"""


@pytest.fixture
def origin_path(tmp_path):
    return write_road(tmp_path / "origin.xml", origin_road_xml())
