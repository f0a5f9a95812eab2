// fieldcore road info: what a road file holds, as the engine sees it: its alignments, their
// elements with stations, lengths and radii, the key points (TS, SC, CS, ST, PC, PT, PI ...)
// with their coordinates, and the profile's VIPs and vertical curves.
#include "roadPrologue.h"

#include "numeric/units.h"
#include "road/roadDesignHeight.h"
#include "road/roadKeyPoints.h"

#include <cmath>
#include <cstdio>
#include <iostream>

namespace {

const char* const kSub = "info";

const char* const kHelp =
    "usage: fieldcore road info ROAD|--example [--alignment NAME] [--profile NAME]\n"
    "                           [--units m|usft|ift] [--angles deg|dms|grd] [--decimals N]\n"
    "                           [--station-unit N]\n"
    "\n"
    "Lists what the road file ROAD (LandXML) holds, as the alignment engine built it:\n"
    "  - each alignment: its stations, length and station equations;\n"
    "  - its elements: kind (line, arc, spiral in: tangent to curve, spiral out: curve to\n"
    "    tangent, compound spiral: between two radii), start and end station, length, radius\n"
    "    at start and end (INF: a tangent end), turning side, start azimuth, source line;\n"
    "  - its key points: POB and POE (start and end), PC, PT, PCC and PRC (arcs), TS, SC, CS,\n"
    "    ST (spirals), SS (spiral directly after spiral), POT (line after line) with station,\n"
    "    north, east and the profile's height there, and the PI of each curve group (arcs\n"
    "    and spirals turning the same way: where the tangents at its start and end meet);\n"
    "  - the profile: each VIP with station, elevation, the grades into and out of it, and its\n"
    "    vertical curve (parabola; unsym: two parabolas of lengths in+out meeting under the\n"
    "    VIP; or circular arc), length along the chainage, signed radius:\n"
    "    positive for a sag, negative for a crest).\n"
    "\n"
    "Options:\n"
    "  --alignment NAME   only this alignment, by name (any case) or number (default: all)\n"
    "  --profile NAME     the profile (ProfAlign or Profile name) to list (default: the first;\n"
    "                     the others are named)\n"
    "  --units U          lengths and coordinates in m, usft (US survey feet, 1200/3937 m) or\n"
    "                     ift (0.3048 m); default: the linear unit the file declares\n"
    "  --angles A         azimuths in deg (default), dms (packed DDD.MMSS) or grd\n"
    "  --decimals N       decimals of lengths, coordinates and stations, 4 to 12 (default 4;\n"
    "                     stations 2)\n"
    "  --station-unit N   display units per whole station in the \"n+rest\" station text\n"
    "                     (default 1000 for metres, 100 for feet)\n"
    "\n"
    "Stations are posted stations (station equations applied) in the display unit; grades in\n"
    "percent.\n"
    "\n"
    "Examples:\n"
    "  fieldcore road info --example                     the bundled example road\n"
    "  fieldcore road info road.xml --alignment \"Main Road\" --units usft\n"
    "\n"
    "Errors: a file that cannot be read or is not LandXML, malformed XML, a missing or\n"
    "non-numeric attribute, an unknown unit, an unsupported spiral type, a gap over 1 mm\n"
    "between elements, an alignment without geometry: a message on stderr names the file and\n"
    "line (\"fieldcore road info: FILE:LINE: MESSAGE\") and nothing is listed.\n"
    "\n"
    "Exit status: 0 listed; 2 bad input or usage.\n";

struct View {
    cli::DisplayUnits units;
    roadcli::StationForm form;
    int number = 0;   // the alignment's number in the file, from 1
    const RoadAlignment* source = nullptr;
    const RoadBuild* build = nullptr;

    std::string station(double chain) const
    {
        return roadcli::stationText(build->stations, chain, units, form);
    }
    std::string radius(double r, double k) const
    {
        return r == 0.0 ? std::string("INF") : units.showLength(std::fabs(r) * k);
    }
};

std::string pad(const std::string& s, size_t width)
{
    return s.size() >= width ? s + " " : s + std::string(width - s.size(), ' ');
}

std::string kindName(const RoadElementShape& s)
{
    switch (s.kind) {
    case RoadShapeKind::Line: return "line";
    case RoadShapeKind::Arc: return "arc";
    case RoadShapeKind::Spiral:
        if (s.radiusStart == 0.0)
            return "spiral in";
        if (s.radiusEnd == 0.0)
            return "spiral out";
        return "compound spiral";
    }
    return "line";
}

void printElements(const View& v)
{
    const RoadAlignment& a = *v.source;
    const RoadBuild& b = *v.build;
    const double k = b.metresPerUnit;
    std::cout << "  elements:\n    " << pad("no", 4) << pad("kind", 17) << pad("from", 13) << pad("to", 13)
              << pad("length", 14) << pad("radius in", 14) << pad("radius out", 14) << pad("turn", 7)
              << pad("azimuth", 12) << "line\n";
    double chain = a.staStart * k;
    for (size_t i = 0; i < a.elements.size(); ++i) {
        const RoadElementShape& s = b.shapes[i];
        double start = chain, length = 0.0;
        if (b.engineIndex[i] >= 0) {
            const CAlntHe* he = b.alnt.getHe(b.engineIndex[i]);
            he->getStartChainageInM(start);
            he->getHLengthInM(length);
        }
        chain = start + length;
        const std::string turn = s.kind == RoadShapeKind::Line ? "-"
                                 : (s.radiusStart + s.radiusEnd > 0.0) ? "right"
                                                                       : "left";
        std::cout << "    " << pad(std::to_string(i + 1), 4) << pad(kindName(s), 17) << pad(v.station(start), 13)
                  << pad(v.station(chain), 13) << pad(v.units.showLength(length), 14)
                  << pad(s.kind == RoadShapeKind::Line ? "-" : v.radius(s.radiusStart, k), 14)
                  << pad(s.kind == RoadShapeKind::Line ? "-" : v.radius(s.radiusEnd, k), 14) << pad(turn, 7)
                  << pad(v.units.showAngle(s.startAz * kDegPerRad), 12) << a.elements[i].line << '\n';
    }
}

void printPoint(const View& v, const std::string& name, const std::string& station, double n, double e,
                bool hasHeight, double h)
{
    std::cout << "    " << pad(name, 6) << pad(station, 13) << pad(v.units.showLength(n), 20)
              << pad(v.units.showLength(e), 20) << (hasHeight ? v.units.showLength(h) : std::string("-")) << '\n';
}

void printKeyPoints(const View& v)
{
    const RoadBuild& b = *v.build;
    std::cout << "  key points:\n    " << pad("point", 6) << pad("station", 13) << pad("north", 20)
              << pad("east", 20) << "height\n";
    for (const RoadKeyPoint& p : RoadKeyPoints(b)) {
        if (p.isPi) {
            printPoint(v, "PI", "-", p.north, p.east, false, 0.0);
            continue;
        }
        double h = 0.0;
        const bool hasHeight = RoadDesignHeight(b.alnt, p.station, false, h) != RoadHeightKind::None;
        printPoint(v, p.name, v.station(p.station), p.north, p.east, hasHeight, h);
    }
}

void printProfile(const View& v)
{
    const RoadBuild& b = *v.build;
    if (b.profile < 0) {
        // Every profile refused: each with its reason (the plan above still answers).
        std::cout << "  profile: none" << (b.profileRefused ? " (every profile is refused)" : "") << '\n';
        for (const RoadProfile& p : v.source->profiles)
            std::cout << "  profile \"" << p.name << "\" (line " << p.line << "): refused: " << p.refusal.message
                      << " (line " << p.refusal.line << ")\n";
        return;
    }
    const RoadProfile& p = v.source->profiles[b.profile];
    const std::vector<CLsInfo> vips = RoadProfileVips(*v.source, b);
    const double k = b.metresPerUnit;
    std::cout << "  profile \"" << p.name << "\" (line " << p.line << "): " << p.vips.size() << " VIPs\n    "
              << pad("no", 4) << pad("vip", 15) << pad("station", 13) << pad("elevation", 14) << pad("grade in", 11)
              << pad("grade out", 11) << pad("curve", 10) << pad("shape", 7) << pad("length", 14) << pad("radius", 16)
              << "line\n";
    for (size_t i = 0; i < p.vips.size(); ++i) {
        const RoadVip& vip = p.vips[i];
        auto grade = [&](size_t a, size_t c) {
            const double g = 100.0 * (p.vips[c].elevation - p.vips[a].elevation) / (p.vips[c].station - p.vips[a].station);
            return cli::fixedNoNegativeZero(g, 4) + "%";
        };
        const bool known = i < vips.size();
        const CLsInfo info = known ? vips[i] : CLsInfo();
        std::string curve = "-", shape = "-", length = "-", radius = "-";
        if (known && info.curveLen > 0.0) {
            const bool arc = vip.kind == RoadVipKind::CircCurve;
            const double gIn = (vip.elevation - p.vips[i - 1].elevation) / (vip.station - p.vips[i - 1].station);
            const double gOut = (p.vips[i + 1].elevation - vip.elevation) / (p.vips[i + 1].station - vip.station);
            curve = arc ? "arc" : vip.kind == RoadVipKind::UnsymParaCurve ? "unsym" : "parabola";
            shape = gOut > gIn ? "sag" : "crest";
            length = vip.kind == RoadVipKind::UnsymParaCurve
                         ? v.units.showLength(vip.lengthIn * k) + "+" + v.units.showLength(vip.lengthOut * k)
                         : v.units.showLength(info.curveLen);
            if (arc)
                radius = v.units.showLength(info.radius);
        }
        std::cout << "    " << pad(std::to_string(i + 1), 4) << pad(RoadVipKindName(vip.kind), 15)
                  << pad(v.station(vip.station * k), 13) << pad(v.units.showLength(vip.elevation * k), 14)
                  << pad(i > 0 ? grade(i - 1, i) : "-", 11) << pad(i + 1 < p.vips.size() ? grade(i, i + 1) : "-", 11)
                  << pad(curve, 10) << pad(shape, 7) << pad(length, 14) << pad(radius, 16)
                  << vip.line << '\n';
    }
    // The others by name: the commands that answer heights need the choice among them.
    for (size_t i = 0; i < v.source->profiles.size(); ++i)
        if (static_cast<int>(i) != b.profile)
        {
            const RoadProfile& other = v.source->profiles[i];
            std::cout << "  other profile \"" << other.name << "\" (line " << other.line << "): "
                      << (other.refused ? "refused: " + other.refusal.message + " (line " + std::to_string(other.refusal.line) + ")"
                                        : std::string("--profile chooses it"))
                      << '\n';
        }
}

void printAlignment(const View& v)
{
    const RoadAlignment& a = *v.source;
    const RoadBuild& b = *v.build;
    double length = 0.0, end = 0.0;
    b.alnt.getHLengthInM(length);
    b.alnt.getFinalChainageInM(end);
    std::cout << "\nalignment " << v.number << " \"" << a.name << "\" (line " << a.line << "): " << a.elements.size()
              << " elements, length "
              << v.units.showLength(length) << ", stations " << v.station(b.alnt.getStartChainageInM()) << " to "
              << v.station(end) << '\n';
    // The equations as the file states them (its back station as written, "-" when none), then
    // the regions they make when there is more than one.
    for (size_t i = 0; i < a.equations.size(); ++i) {
        const RoadStationing::Equation& q = b.stations.equations()[i];
        std::cout << "  station equation (line " << a.equations[i].line << "): back "
                  << (std::isnan(q.back) ? std::string("-") : roadcli::postedText(q.back, v.units, v.form)) << " = ahead "
                  << roadcli::postedText(q.ahead, v.units, v.form) << " at chainage " << v.units.showLength(q.internal)
                  << (q.internal <= b.alnt.getStartChainageInM() ? " (at or before the start: the start's station)"
                      : q.internal > end                          ? " (beyond the end: it posts no station)"
                                                                  : "")
                  << '\n';
    }
    // The regions along the alignment (one beyond its end was listed running backwards, "5+250.00
    // to 2+990.00, chainage 5200.0000 to 2940.0000").
    const std::vector<RoadStationing::Region>& regions = b.stations.regions();
    size_t along = 0;
    while (along < regions.size() && (along == 0 || regions[along].internal <= end))
        ++along;
    if (along > 1) {
        for (size_t k = 0; k < along; ++k) {
            const double from = k == 0 ? b.alnt.getStartChainageInM() : regions[k].internal;
            const double to = k + 1 < along ? regions[k].nextInternal : end;
            std::cout << "  region " << k + 1 << ": stations "
                      << roadcli::postedText(regions[k].posted + (from - regions[k].internal), v.units, v.form) << " to "
                      << roadcli::postedText(regions[k].posted + (to - regions[k].internal), v.units, v.form)
                      << ", chainage " << v.units.showLength(from) << " to " << v.units.showLength(to) << '\n';
        }
    }
    printElements(v);
    printKeyPoints(v);
    printProfile(v);
}

int runInfo(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (roadcli::printedRoadHelp(args, kHelp))
        return cli::EXIT_OK;
    roadcli::RoadSession s(kSub, roadcli::kOptAlignment | roadcli::kOptProfile | roadcli::kOptUnits |
                                     roadcli::kOptStationUnit);
    std::string message;
    if (!roadcli::readRoadOptions(args, s, message))
        return cli::usageError(s.command, message);
    const int status = roadcli::loadRoadSession(s, false);
    if (status != cli::EXIT_OK)
        return status;
    View v;
    v.units = s.units;
    v.form = s.form;
    const roadcli::LoadedRoad& road = s.loaded;
    const std::string& alignment = s.alignment;
    const RoadUnits& u = road.file.units;
    std::cout << "file " << road.file.path << ": LandXML " << (road.file.version.empty() ? "?" : road.file.version)
              << ", linear unit " << RoadLinearUnitName(u.linear)
              << (road.file.unitsDeclared ? "" : " (not declared: assumed)") << ", angular unit "
              << RoadAngularUnitName(u.angular) << ", " << road.file.alignments.size() << " alignment"
              << (road.file.alignments.size() == 1 ? "" : "s") << '\n'
              << "listed in " << (v.units.dist == UNITS_USFT ? "US survey feet" : v.units.dist == UNITS_IFT ? "feet" : "metres")
              << ", stations of "
              << cli::formatDisplay(v.form.unit) << ", azimuths in "
              << (v.units.angle == cli::kDegrees ? "degrees" : v.units.angle == ANGLES_DMS ? "DDD.MMSS" : "grads") << '\n';
    // Every alignment asked for in the file's order; a refused one with its reason and line.
    size_t next = 0;
    for (size_t i = 0; i < road.file.alignments.size(); ++i) {
        const RoadAlignment& a = road.file.alignments[i];
        v.number = static_cast<int>(i) + 1;
        if (next < road.selected.size() && road.selected[next] == static_cast<int>(i)) {
            v.source = &a;
            v.build = &road.builds[next++];
            printAlignment(v);
        } else if (a.refused && (alignment.empty() || roadcli::findAlignment(road.file, alignment) == static_cast<int>(i))) {
            std::cout << "\nalignment " << v.number << " \"" << a.name << "\" (line " << a.line << "): refused: " << a.refusal.message
                      << " (line " << a.refusal.line << ")\n";
        }
    }
    return cli::EXIT_OK;
}

const bool registered = roadcli::registerSubcommand(kSub, "list the alignments, elements, key points and profile", &runInfo);

} // namespace
