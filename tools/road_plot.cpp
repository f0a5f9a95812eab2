// fieldcore road plot: the plan and the profile of a road alignment as one SVG page
// (road/roadPlot.h).
#include "roadPrologue.h"

#include "road/roadPlot.h"
#include "hostFiles.h"
#include "road/roadPoints.h"

#include <cmath>
#include <fstream>
#include <iostream>

namespace {

const char* const kSub = "plot";

const char* const kHelp =
    "usage: fieldcore road plot ROAD|--example [--alignment NAME] -o FILE.svg [OPTIONS]\n"
    "\n"
    "Draws one alignment of the road file ROAD (LandXML) as an SVG page: the plan on top, the\n"
    "profile below. A road too long for one readable page is drawn on several (see Pages).\n"
    "  Plan: the centreline; the element joints (POB, TS, SC, CS, ST, PC, PT, POE, ...) marked\n"
    "  and labelled with their station; each curve's tangents to its PI dashed, the PI marked\n"
    "  with the arc's radius; station ticks every interval; station equations; a north arrow\n"
    "  and a scale bar. One scale in both axes; the page is turned so that the road's long\n"
    "  axis runs from left (its start) to right.\n"
    "  Profile: the design line, the grade lines through the VIPs (dashed), each VIP with its\n"
    "  station, height and vertical curve (L length, R radius of a circular arc), the grade of\n"
    "  each tangent in percent. Its stations run at the plan's scale, from below the plan's\n"
    "  start; heights are exaggerated by the factor its heading states.\n"
    "\n"
    "Labels: no label is drawn over another, and every label lies on the page. Each text's box\n"
    "is measured from its font size and the advance widths of DejaVu Sans (a full em for CJK\n"
    "and other scripts). Labels are placed in order: the road's ends, the other joints, PIs,\n"
    "station equations, station ticks, offsets and points in the plan; VIPs (the profile's\n"
    "ends, then those with vertical curves, then by grade change), grades and points in the\n"
    "profile. Each tries several places (either side, further out with a leader line that\n"
    "crosses no other label); one that finds none is left out. Joints closer on the page than\n"
    "a label's height share one label (\"PT/PC 0+840.13/0+841.89\"), those at one station\n"
    "print once (\"POB=TS 0+000.00\"). Every VIP keeps its mark; a grade is labelled only where\n"
    "its tangent has room; station tick labels thin out. Key points (joints, PIs, VIPs,\n"
    "equations, points) whose label found no place are counted in a note on the page (\"12\n"
    "labels not shown ...\"): road info lists them all. The page names the fonts \"DejaVu Sans,\n"
    "Noto Sans CJK JP, sans-serif\" (Debian: fonts-dejavu-core, fonts-noto-cjk).\n"
    "\n"
    "Pages: by default one page, unless the plan would be smaller than 0.3 px per metre (about\n"
    "1:12600 at 96 dpi): then as many pages as keep that scale. Each page shows a stretch of\n"
    "stations at its own scale, turned to its own long axis, overlapping its neighbours by a\n"
    "twentieth of a stretch, \"page K of N\" under its title; the first holds a key map of the\n"
    "whole road with each page's start. -o FILE.svg then writes FILE-1.svg, FILE-2.svg, ...\n"
    "\n"
    "Options:\n"
    "  -o FILE.svg, --output FILE.svg   the file to write (required; \"-\": stdout)\n"
    "  --alignment A      the alignment, by name (any case) or number (road info shows it);\n"
    "                     needed when the file holds several\n"
    "  --profile NAME     the profile (ProfAlign or Profile name); needed when the alignment\n"
    "                     holds several\n"
    "  --offsets LIST     offset lines to draw, comma-separated, positive to the right\n"
    "                     (\"-5,5\")\n"
    "  --points FILE      surveyed points to draw: \"[NAME] NORTH EAST [HEIGHT] [CODE]\" per\n"
    "                     line (blanks, tabs, commas or semicolons between; '#' comments),\n"
    "                     or CSV with a header row naming the columns (name, north, east,\n"
    "                     height, code); each is labelled with its name (else its line's\n"
    "                     number) and its cut (height above the design) or fill; \"-\": stdin\n"
    "  --max-distance D   points farther than D from the road (default 1000) are listed on\n"
    "                     the page and on stderr, not drawn\n"
    "  --interval D       station ticks every D (default: 1, 2 or 5 times a power of ten,\n"
    "                     at least 55 px apart)\n"
    "  --width PX         page width in px, 400 to 20000 (default 1200)\n"
    "  --title TEXT       the page's title (default: the alignment's name)\n"
    "  --pages N          draw on N pages (1 to 100; 1: one page whatever the length)\n"
    "  --scale 1:N        the plan at 1:N at 96 dpi (\"1:2000\"), on as many pages as that takes\n"
    "  --units U          labels, offsets, points and the interval in m, usft or ift\n"
    "                     (default: the linear unit the file declares)\n"
    "  --station-unit N   display units per whole station of \"n+rest\" (1000 m, 100 ft)\n"
    "  --extend-grades    cut/fill of points beyond the profile's ends along its end grades\n"
    "\n"
    "The page is plain SVG 1.1 text (UTF-8), without scripts or external references; marks\n"
    "carry their kind for programs (<g class=\"joint\" data-name=\"TS\" data-station=...>).\n"
    "Export it with, for example, rsvg-convert -w 1200 -o plot.png plot.svg.\n"
    "\n"
    "Examples:\n"
    "  fieldcore road plot --example -o example.svg       the bundled example road\n"
    "  fieldcore road plot road.xml --alignment \"Ramp A1\" --offsets -3.5,3.5 -o ramp.svg\n"
    "  fieldcore road plot road.xml --points shots.csv -o check.svg\n"
    "  fieldcore road plot highway.xml --scale 1:5000 -o hw.svg   hw-1.svg, hw-2.svg, ...\n"
    "\n"
    "Errors: the road file's problems as for 'fieldcore road info'; a bad --offsets list, or\n"
    "an offset over --max-distance or reaching the centre of a curve on its side; a\n"
    "points line without two or three numbers (reported with its line number; the others are\n"
    "still drawn, and the exit status is 2); a file that cannot be written.\n"
    "\n"
    "Exit status: 0 written; 2 bad input or usage (several pages to stdout among them).\n";

// Reads the points file (stdin for "-"; display units; the lines road/roadPoints.h accepts);
// bad lines are reported and skipped. A point without a name is named by its line's number.
bool readPoints(const std::string& command, const std::string& path, UNITS units, std::vector<RoadPlotPoint>& out,
                bool& badLines)
{
    const bool fromStdin = path == "-";
    const std::string unreadable = cli::whyUnreadable(path);
    std::ifstream file;
    if (!fromStdin)
        file.open(path, std::ios::binary);
    std::istream& in = fromStdin ? std::cin : file;
    if (!unreadable.empty() || !in) {
        cli::error(command, "--points: " + cli::cannotRead(path, unreadable.empty() ? "a read error" : unreadable));
        return false;
    }
    const std::string name = fromStdin ? std::string(roadcli::kStdinName) : path;
    std::string text, why;
    long lineNo = 0;
    bool first = true;
    RoadPointFormat format;
    while (std::getline(in, text)) {
        ++lineNo;
        if (IsBlankOrCommentLine(text))
            continue;
        if (first) {
            first = false;
            if (ReadRoadPointHeader(text, format))
                continue;
        }
        RoadPointRecord q;
        if (!ParseRoadPointLine(format, text, q, why)) {
            cli::errorAtLine(command, lineNo, name + ": " + why);
            badLines = true;
            continue;
        }
        RoadPlotPoint p;
        p.north = ToMetersEx(q.north, units);
        p.east = ToMetersEx(q.east, units);
        p.hasHeight = q.hasHeight;
        p.height = ToMetersEx(q.height, units);
        p.name = q.name.empty() ? std::to_string(lineNo) : q.name;
        out.push_back(p);
    }
    if (in.bad()) {
        cli::error(command, name + ": cannot be read");
        return false;
    }
    return true;
}

bool readOffsets(const std::string& list, UNITS units, std::vector<double>& out)
{
    for (const std::string& f : cli::splitFields(list)) {
        double v = 0.0;
        if (!cli::parseDouble(f, v) || v == 0.0)
            return false;
        out.push_back(ToMetersEx(v, units));
    }
    return !out.empty();
}

// The plot's own options; the shared ones go through the prologue.
struct PlotOptions {
    std::string out, offsets, points;
    bool offsetsGiven = false;
    RoadPlotLayout layout;
};

// The smallest scale a plan is drawn at: at 1:1e300 the road was one dot (and 1:1000000
// already draws a 10 km road 4 inches long).
const double kLargestScale = 1e6;

// "1:N" (or "N") as the scale's denominator N, 1 to kLargestScale.
bool readScale(const std::string& text, double& scale)
{
    const std::string t = text.compare(0, 2, "1:") == 0 ? text.substr(2) : text;
    return cli::parseDouble(t, scale) && scale >= 1.0 && scale <= kLargestScale;
}

bool readPlotOptions(cli::Args& args, roadcli::RoadSession& s, PlotOptions& p, RoadPlotOptions& o, std::string& message)
{
    std::string interval, width;
    if (!args.option("-o", p.out))
        args.option("--output", p.out);
    p.offsetsGiven = args.option("--offsets", p.offsets);
    args.option("--points", p.points);
    const bool intervalGiven = args.option("--interval", interval);
    const bool widthGiven = args.option("--width", width);
    args.option("--title", o.title);
    std::string pages, scale;
    const bool pagesGiven = args.option("--pages", pages), scaleGiven = args.option("--scale", scale);
    if (!roadcli::readRoadOptions(args, s, message))
        return false;
    if (pagesGiven && (!cli::parseInt(pages, p.layout.pages) || p.layout.pages < 1 || p.layout.pages > kRoadPlotMaxPages))
        return message = "--pages takes a number from 1 to " + std::to_string(kRoadPlotMaxPages), false;
    if (scaleGiven && !readScale(scale, p.layout.scale))
        return message = "--scale takes 1:N with N from 1 to 1000000 (\"1:2000\")", false;
    if (pagesGiven && scaleGiven)
        return message = "give --pages or --scale, not both", false;
    if (p.out.empty())
        return message = "give the output file with -o FILE.svg", false;
    if (p.points == "-" && roadcli::roadFromStdin(s.path))
        return message = roadcli::stdinTakenByRoad("the points (--points -)", "give --points FILE"), false;
    if (intervalGiven && (!cli::parseDouble(interval, o.interval) || !(o.interval > 0.0)))
        return message = "--interval takes a positive number", false;
    if (widthGiven && (!cli::parseDouble(width, o.width) || !(o.width >= 400.0 && o.width <= 20000.0)))
        return message = "--width takes a number of px from 400 to 20000", false;
    return true;
}

// Whether each offset line (`list` as typed, o.offsets in metres) can be drawn: within
// --max-distance (5000 looped through the curves' centres across the page; 1e300 wrote 13 MB of
// unreadable SVG) and short of the centre of every curve on its side. False with the reason.
bool offsetsDrawable(const roadcli::RoadSession& s, const std::string& list, const RoadPlotOptions& o, std::string& why)
{
    const std::vector<std::string> typed = cli::splitFields(list);
    const CAlnt& alnt = s.loaded.builds[0].alnt;
    double end = 0.0;
    alnt.getFinalChainageInM(end);
    for (size_t i = 0; i < o.offsets.size() && i < typed.size(); ++i) {
        if (!(std::fabs(o.offsets[i]) <= o.maxDistance))
            return why = "the offset " + QuotedInputLine(typed[i]) + " is more than --max-distance " +
                         s.units.showLength(o.maxDistance) + " from the road",
                   false;
        if (!roadcli::offsetShortOfCentres(s, typed[i], o.offsets[i], alnt.getStartChainageInM(), end, why))
            return false;
    }
    return true;
}

// The file of page k (from 1) of n: FILE.svg itself for one page, else FILE-k.svg.
std::string pageFile(const std::string& out, size_t k, size_t n)
{
    if (n == 1)
        return out;
    const size_t dot = out.rfind('.'), slash = out.rfind('/');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExt ? out.substr(0, dot) : out) + "-" + std::to_string(k) + (hasExt ? out.substr(dot) : ".svg");
}

// Writes the page to `out` ("-": stdout).
int writePage(const std::string& command, const std::string& out, const std::string& svg, const std::string& name)
{
    if (out == "-") {
        std::cout << svg;
        return cli::EXIT_OK;
    }
    std::string why;
    if (!cli::writeWholeFile(out, svg, why)) {
        cli::error(command, out + ": cannot be written: " + why);
        return cli::EXIT_BAD_INPUT;
    }
    std::cout << out << ": plan and profile of \"" << name << "\"\n";
    return cli::EXIT_OK;
}

int runPlot(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (roadcli::printedRoadHelp(args, kHelp))
        return cli::EXIT_OK;
    roadcli::RoadSession s(kSub, roadcli::kOptAlignment | roadcli::kOptProfile | roadcli::kOptUnits |
                                     roadcli::kOptStationUnit | roadcli::kOptMaxDistance | roadcli::kOptExtendGrades);
    const std::string& command = s.command;
    PlotOptions p;
    RoadPlotOptions o;
    std::string message;
    if (!readPlotOptions(args, s, p, o, message))
        return cli::usageError(command, message);
    const int status = roadcli::loadRoadSession(s, true);
    if (status != cli::EXIT_OK)
        return status;
    o.units = s.units.dist;
    o.stationDecimals = s.form.decimals;
    o.stationUnit = s.form.unit;
    o.maxDistance = s.maxDistance;
    o.extendGrades = s.extendGrades;
    if (p.offsetsGiven && !readOffsets(p.offsets, o.units, o.offsets))
        return cli::usageError(command, "--offsets takes numbers other than 0 separated by commas (\"-5,5\")");
    if (!offsetsDrawable(s, p.offsets, o, message)) {
        cli::error(command, "--offsets: " + message);
        return cli::EXIT_BAD_INPUT;
    }
    bool badLines = false;
    if (!p.points.empty() && !readPoints(command, p.points, o.units, o.points, badLines))
        return cli::EXIT_BAD_INPUT;
    const roadcli::LoadedRoad& road = s.loaded;
    const RoadAlignment& source = road.file.alignments[road.selected[0]];
    const std::string& file = road.file.path;
    o.subtitle = "road file " + file.substr(file.rfind('/') + 1);
    std::vector<std::string> pages, notDrawn;
    if (!RoadPlotPages(source, road.builds[0], o, p.layout, pages, message, &notDrawn)) {
        cli::error(command, message);
        return cli::EXIT_BAD_INPUT;
    }
    for (const std::string& far : notDrawn)
        cli::error(command, "point " + far + " lies farther than --max-distance from the road: not drawn");
    if (pages.size() > 1 && p.out == "-")
        return cli::usageError(command, "the plot takes " + std::to_string(pages.size()) +
                                            " pages: give -o FILE.svg (pages FILE-1.svg ...) or --pages 1");
    for (size_t k = 0; k < pages.size(); ++k)
        if (writePage(command, pageFile(p.out, k + 1, pages.size()), pages[k], source.name) != cli::EXIT_OK)
            return cli::EXIT_BAD_INPUT;
    return badLines ? cli::EXIT_BAD_INPUT : cli::EXIT_OK;
}

const bool registered = roadcli::registerSubcommand(kSub, "draw the plan and profile as an SVG page", &runPlot);

} // namespace
