// Reading road files: LandXML 1.0, 1.1 and 1.2 and national profiles of it, in any namespace
// (elements are matched by their local names), into the road model (road/roadModel.h).
//
// What is read: <Units> (<Metric> or <Imperial>: linear unit metre, millimetre, centimetre,
// kilometre, US survey foot or foot; angular and direction units radians, grads, decimal
// degrees or "decimal dd.mm.ss", radians when none is declared), <CoordinateSystem> (its
// epsgCode and ogcWktCode, kept as written), <CgPoints> (for pntRef),
// and every <Alignments>/<Alignment> with its staStart, the <Line>, <Curve> and <Spiral>
// elements of its <CoordGeom>, its <StaEquation>s and the <ProfAlign>s of its <Profile>s
// (<PVI>, <ParaCurve>, <CircCurve>, <UnsymParaCurve>). Anything else is skipped.
//
// Accepted quirks: numbers such as "280." or "-0.5e3"; infinite radii written "INF", "inf",
// 0 or a huge number (1e12 and above), a vertical curve's too (no curve); a spiral of length 0
// whose Start and End meet (a point); points as "north east" or "north east height" text
// that may wrap lines, or as pntRef references to <CgPoints>; staInternal and staBack "NaN" or
// missing (an equation without staBack marks where posted stations begin; without both it
// cannot be placed); a first equation at or before the alignment's start; Inframodel's km
// posts (equations whose staAhead repeats staInternal, the km number in desc, in a file in
// metres), read as posted stations of km × 1000 plus the metres past the post; files in
// UTF-8 with or without byte-order mark, UTF-16 with byte-order mark, or another encoding as
// the XML declaration says: ISO-8859-1 and -15 and windows-1252 here, any other the C library's
// converter knows (Shift_JIS and GB2312 read as the Windows code pages 932 and GBK that
// programs write under those names, Big5, EUC-JP, ISO-8859-2, windows-1250, ...) through it;
// without the converter other ISO-8859 parts are read as part 1 (only names and descriptions
// are affected).
//
// Refused, with the file and the line: malformed XML, a root element that is not <LandXML>,
// an unknown unit, a file without alignments. Refused for its alignment only (the alignment is
// kept with `refused` set, its name, line and the reason; the others load): a missing or
// non-numeric attribute or point, a spiral type other than clothoid, a geometry element the
// engine does not know (<IrregularLine>, <Chain>), an alignment without geometry, a profile
// element without its values, station equations out of order. When every alignment is refused
// the file is, with the first one's reason. Geometric checks (gaps between elements) belong to
// road/roadBuilder.h.
#pragma once

#include "road/roadModel.h"

#include <string>

// Reads the file at `path` (a host path). True and `file` filled on success (refused alignments
// included, marked); false with `err` (file name and line) otherwise, `file` untouched.
bool ReadLandXmlFile(const std::string& path, RoadFile& file, RoadError& err);

// The same from the file's bytes; `name` names the file in messages.
bool ReadLandXmlBytes(const std::string& bytes, const std::string& name, RoadFile& file, RoadError& err);
