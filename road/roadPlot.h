// A road alignment drawn as SVG pages: the plan on top, the profile below; one page, or a
// stretch of stations per page for a long road (RoadPlotPages).
//
// Plan: the centreline (sampled through the position cache within a fifth of a pixel), the
// element joints marked and labelled with their kind and station (road/roadKeyPoints.h), the
// tangents of each curve to its PI dashed with the PI marked, station ticks every interval with
// their "n+rest" text (road/roadStationText.h), station equations, optional offset lines and surveyed
// points, a north arrow and a scale bar. The plan keeps one scale in both axes and is turned so
// that the road's long axis (the principal axis of its centreline) runs across the page, from
// its start on the left, as plan-and-profile sheets are drawn; the north arrow shows north.
// Labels never lie over one another and stay on the page (road/svgScene.h measures each from
// the font's advance widths): joints first (the road's ends first), then PIs, equations,
// stations, offsets and points, each trying places on either side and further out with a
// leader that crosses no other label; joints closer than a label's height share one label
// ("PT/PC 0+840.13/0+841.89", "POB=TS 0+000.00"). Key points whose label finds no place are
// counted in a note on the page (<g id="labels-not-shown" data-count="N">).
//
// Profile: the design line (the profile cache), the grade lines through the VIPs dashed, each
// VIP marked, and labelled by priority where there is room with its station, height and
// vertical curve (length; radius for a circular arc), the grade of each tangent in percent
// where it has room, surveyed points with their cut or fill. Its
// horizontal axis is the station at the plan's scale, starting below the plan's start point
// where the page allows, with the plan's station ticks; heights are exaggerated by the largest of
// 1, 2, 5 times a power of ten that keeps them within 200 px, stated in its heading.
//
// Page coordinates are SVG user units (pixels at 96 dpi), x to the right and y down; no group is
// transformed (only texts turn about their own anchor), so every mark's coordinates are its
// position on the page. Marks carry their
// kind in attributes for programs: <g class="joint" data-name="TS" data-station="1+320.00">
// holds a <circle> at the joint and its <text>; the scale bar <g id="scale-bar"
// data-length="200" data-unit="m"> holds a <line> of that length; the north arrow
// <g id="north-arrow"> a <line> from its tail to its head.
//
// Units: inputs in metres (north/east on the grid, internal chainage); labels in the unit the
// options name, stations posted (station equations applied).
#pragma once

#include "numeric/units.h"
#include "road/roadBuilder.h"
#include "road/roadModel.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

// A surveyed point to show with its cut or fill.
struct RoadPlotPoint {
    double north = 0.0, east = 0.0;   // metres
    bool hasHeight = false;
    double height = 0.0;              // metres
    std::string name;                 // its label; empty: its number in the list (1, 2, ...)
};

struct RoadPlotOptions {
    UNITS units = UNITS_M;          // unit of lengths, heights and stations in the labels
    double stationUnit = 1000.0;    // display units per whole station of the "n+rest" text
    int stationDecimals = 2;        // decimals of station text (road/roadStationText.h)
    double interval = 0.0;          // station ticks every `interval` display units; 0: chosen so
                                    // that ticks lie at least 55 px apart (1, 2 or 5 times a
                                    // power of ten)
    std::vector<double> offsets;    // offset lines to draw, metres, right positive
    std::vector<RoadPlotPoint> points;
    double maxDistance = 1000.0;    // metres: points farther from the road are listed, not drawn
    bool extendGrades = false;      // design heights beyond the profile along its end grades
                                    // (road/roadDesignHeight.h); else points there have no cut/fill
    double width = 1200.0;          // page width, px (at least 400)
    std::string title;              // empty: the alignment's name
    std::string subtitle;           // an extra line under the title (the file, say); may be empty
    // The stretch to draw, internal chainage in metres (NaN: the alignment's start, its end):
    // one page of a longer plot, at its own scale and turned to its own long axis.
    double fromChain = NAN, toChain = NAN;
    std::string pageText;           // a line under the title ("page 2 of 4"); may be empty
    // > 0: the plan at this many px per metre (a scale asked for), smaller only where its lines
    // do not fit the page's width (the page states the scale it is drawn at); 0: the stretch
    // fills the width.
    double pxPerMetre = 0.0;
    // On the first page of several: the stretches of every page (internal chainage, metres),
    // drawn on a key map of the whole road.
    std::vector<std::pair<double, double>> keyMap;
};

// The most station ticks a page holds: an interval that would give more is refused.
const int kRoadPlotMaxTicks = 2000;

// The page of alignment `source` as built in `build` (BuildRoadAlignment). Sets the road
// tolerances. False with `message` when the alignment has no elements, an option is out of range
// (width, interval, more than kRoadPlotMaxTicks ticks), or a line cannot be sampled; `svg` is
// then untouched. Cut/fill is the point's height minus the design height at its located station
// (positive: a cut, the point lies above the design), labelled "cut 0.215", "fill 0.120" or, when
// it rounds to 0 at three decimals, "on grade"; a point located beyond the profile's ends has
// none unless options.extendGrades.
//
// Points farther than options.maxDistance from the alignment (its extended tangents included)
// are not drawn: a note on the page lists them ("name (distance)"), and so does `notDrawn` when
// given, so that the plan keeps the road's scale.
bool RoadPlotSvg(const RoadAlignment& source, const RoadBuild& build, const RoadPlotOptions& options,
                 std::string& svg, std::string& message, std::vector<std::string>* notDrawn = nullptr);

// The plan at a readable scale: on one page a road draws at the scale that fits the page's
// width; below kRoadPlotReadable px per metre (about 1:12600 on a screen of 96 dpi) its labels
// crowd, and the default is as many pages as keep that scale.
const double kRoadPlotReadable = 0.3;
// The most pages a plot takes.
const int kRoadPlotMaxPages = 100;

// How many pages and which stretch each shows.
struct RoadPlotLayout {
    int pages = 0;        // 0: by the road's length (kRoadPlotReadable), else this many
    double scale = 0.0;   // > 0: the plan at 1:scale on a screen of 96 dpi (the pages follow)
};

// The road on one page or several: each page a stretch of stations with an overlap of a
// twentieth of a page's stretch on each side, the first with a key map of every page's stretch
// ("page K of N" under each title). False with `message` as RoadPlotSvg, or for a layout of
// more than kRoadPlotMaxPages pages or a scale that is not positive.
bool RoadPlotPages(const RoadAlignment& source, const RoadBuild& build, const RoadPlotOptions& options,
                   const RoadPlotLayout& layout, std::vector<std::string>& pages, std::string& message,
                   std::vector<std::string>* notDrawn = nullptr);
