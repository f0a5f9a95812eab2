#include "road/roadBuilder.h"

#include "cogo/curveFormulas.h"
#include "platform/textCodec.h"
#include "vrkmath/mathAlntVeArc.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

// Elements shorter than this (metres) are left out of the engine: their direction is noise.
const double kShortestElement = 1e-9;

std::string metres(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f m", v);
    return buf;
}

std::string describe(const RoadGeomElement& e, size_t index)
{
    return "element " + std::to_string(index + 1) + " (" + RoadGeomKindName(e.kind) + ", line " +
           std::to_string(e.line) + ")";
}

bool fail(RoadError& err, const RoadFile& file, long line, const std::string& message)
{
    err.file = file.path;
    err.line = line;
    err.message = message;
    return false;
}

CMathAngle angleRad(double rad)
{
    CMathAngle a;
    a.setRad(rad);
    return a;
}

// The full direction change of the clothoid a compound spiral is cut from (radians).
double fullClothoidTurn(double L, double r1, double r2)
{
    const double a = std::fabs(r1), b = std::fabs(r2);
    const double big = std::fmax(a, b), small = std::fmin(a, b);
    return big * L / (2.0 * small * (big - small));
}

// The engine's element for one shape (metres); null with a message when it cannot be made.
std::unique_ptr<CAlntHe> engineElement(const RoadElementShape& s, double k, std::string& message)
{
    const double L = s.length * k;
    const double r1 = s.radiusStart * k;
    const double r2 = s.radiusEnd * k;
    std::unique_ptr<CAlntHe> he;
    switch (s.kind) {
    case RoadShapeKind::Line: {
        CCurveDataSegment seg;
        seg.setAzRad(0.0);
        seg.setLen(L);
        auto e = std::make_unique<CAlntHeSegment>(seg);
        e->setFixedStartAz(angleRad(s.startAz));
        he = std::move(e);
        break;
    }
    case RoadShapeKind::Arc: {
        CCurveDataArc arc;
        arc.SetElement(L, std::fabs(r1), r1 > 0.0);
        auto e = std::make_unique<CAlntHeArc>(arc);
        e->setFixedStartAz(angleRad(s.startAz));
        he = std::move(e);
        break;
    }
    case RoadShapeKind::Spiral: {
        CCurveDataSpiral sp;
        if (r1 == 0.0) {
            sp.setLenAndR(L, std::fabs(r2), r2 > 0.0, true);
        } else if (r2 == 0.0) {
            sp.setLenAndR(L, std::fabs(r1), r1 > 0.0, false);
        } else {
            const double turn = fullClothoidTurn(L, r1, r2);
            if (!(turn <= kRoadMaxClothoidTurn)) {
                char buf[200];
                std::snprintf(buf, sizeof buf,
                              "compound spiral between nearly equal radii: its full clothoid turns %.3g rad, "
                              "more than the engine evaluates (%.3g rad)", turn, kRoadMaxClothoidTurn);
                message = buf;
                return nullptr;
            }
            sp.setLenAndR(L, std::fabs(r1), std::fabs(r2), r1 > 0.0);
        }
        auto e = std::make_unique<CAlntHeSpiral>(sp);
        e->setFixedStartAz(angleRad(s.startAz));
        he = std::move(e);
        break;
    }
    }
    if (!he->isok()) {
        message = "the engine cannot build this element";
        return nullptr;
    }
    return he;
}

bool buildHorizontal(const RoadFile& file, const RoadAlignment& a, RoadBuild& b, RoadError& err)
{
    const double k = b.metresPerUnit;
    const RoadPoint& first = a.elements.front().start;
    b.alnt.setStartChainageInM(a.staStart * k);
    b.alnt.setStartPos(first.north * k, first.east * k, 0.0);
    b.alnt.onBulkUpdateStarted();
    for (size_t i = 0; i < a.elements.size(); ++i) {
        const RoadGeomElement& e = a.elements[i];
        if (i > 0) {
            const RoadGeomElement& p = a.elements[i - 1];
            const double gap = RoadDistance(p.end, e.start) * k;
            if (gap > kRoadJoinTolerance)
                return fail(err, file, e.line, "gap of " + metres(gap) + " between " + describe(p, i - 1) +
                                                   " and " + describe(e, i) + " (at most 0.001 m is absorbed)");
        }
        RoadElementShape shape;
        std::string message;
        if (!DeriveRoadElementShape(e, kRoadJoinTolerance / k, shape, message))
            return fail(err, file, e.line, "<" + std::string(RoadGeomKindName(e.kind)) + ">: " + message);
        b.shapes.push_back(shape);
        if (shape.length * k < kShortestElement) {
            b.engineIndex.push_back(-1);
            continue;
        }
        std::unique_ptr<CAlntHe> he = engineElement(shape, k, message);
        if (!he || !b.alnt.appendElement(*he))
            return fail(err, file, e.line, "<" + std::string(RoadGeomKindName(e.kind)) + ">: " +
                                               (he ? "the engine refused this element" : message));
        b.engineIndex.push_back(b.alnt.getNumOfHes() - 1);
    }
    b.alnt.onBulkUpdateFinished();
    if (b.alnt.getNumOfHes() == 0)
        return fail(err, file, a.line, "alignment '" + a.name + "' has no element longer than zero");
    // Every element's end as the engine places it against the end the file states.
    for (size_t i = 0; i < a.elements.size(); ++i) {
        if (b.engineIndex[i] < 0)
            continue;
        const RoadGeomElement& e = a.elements[i];
        double n, east;
        if (!b.alnt.getHe(b.engineIndex[i])->getFinalPosNe(n, east))
            return fail(err, file, e.line, describe(e, i) + ": the engine cannot place its end");
        const double off = std::hypot(n - e.end.north * k, east - e.end.east * k);
        if (!(off <= kRoadJoinTolerance))
            return fail(err, file, e.line, describe(e, i) + ": its computed end lies " + metres(off) +
                                               " from the End the file states (its length or radii disagree "
                                               "with its coordinates)");
    }
    return true;
}

int findProfile(const RoadAlignment& a, const std::string& name)
{
    // Without a name the first the reader took; none when every one was refused.
    if (name.empty()) {
        for (size_t i = 0; i < a.profiles.size(); ++i)
            if (!a.profiles[i].refused)
                return static_cast<int>(i);
        return -1;
    }
    for (size_t i = 0; i < a.profiles.size(); ++i)
        if (a.profiles[i].name == name)
            return static_cast<int>(i);
    for (size_t i = 0; i < a.profiles.size(); ++i)
        if (a.profiles[i].profileName == name)
            return static_cast<int>(i);
    return -2;
}

// The grade (a fraction) between two VIPs of the file.
double gradeBetween(const RoadVip& a, const RoadVip& b)
{
    return (b.elevation - a.elevation) / (b.station - a.station);
}

bool buildVertical(const RoadFile& file, const RoadProfile& p, RoadBuild& b, RoadError& err)
{
    const double k = b.metresPerUnit;
    if (p.vips.empty())
        return true;
    std::vector<size_t> source;   // per engine VIP element: its VIP in the file
    for (size_t i = 0; i < p.vips.size(); ++i) {
        const RoadVip& v = p.vips[i];
        const std::string tag = "<" + std::string(RoadVipKindName(v.kind)) + ">: ";
        if (i > 0 && !(v.station > p.vips[i - 1].station))
            return fail(err, file, v.line, tag + "the VIP stations must increase");
        const bool end = i == 0 || i + 1 == p.vips.size();
        b.vipIndex.push_back(b.alnt.getNumOfVes());
        std::vector<std::unique_ptr<CAlntVe>> ves;
        switch (v.kind) {
        case RoadVipKind::Pvi:
            ves.push_back(std::make_unique<CVerticalLSElement>(CLsInfo(v.station * k, v.elevation * k, 0.0)));
            break;
        case RoadVipKind::ParaCurve:
            if (end && v.length > 0.0)
                return fail(err, file, v.line, tag + "the first and the last VIP cannot carry a curve");
            ves.push_back(std::make_unique<CVerticalLSElement>(CLsInfo(v.station * k, v.elevation * k, v.length * k)));
            break;
        case RoadVipKind::CircCurve:
            if (end && v.radius != 0.0)
                return fail(err, file, v.line, tag + "the first and the last VIP cannot carry a curve");
            ves.push_back(std::make_unique<CAlntVeLsWithArc>(v.station * k, v.elevation * k, std::fabs(v.radius) * k));
            break;
        case RoadVipKind::UnsymParaCurve: {
            const double in = v.lengthIn * k, out = v.lengthOut * k;
            if (end && (in > 0.0 || out > 0.0))
                return fail(err, file, v.line, tag + "the first and the last VIP cannot carry a curve");
            if (end || (in == 0.0 && out == 0.0)) {
                ves.push_back(std::make_unique<CVerticalLSElement>(CLsInfo(v.station * k, v.elevation * k, 0.0)));
                break;
            }
            // Two parabolas meeting under the VIP with a common tangent: each is the symmetric
            // parabola of its half, whose VIP lies halfway along the half on the tangent.
            const double gIn = gradeBetween(p.vips[i - 1], v), gOut = gradeBetween(v, p.vips[i + 1]);
            const double s = v.station * k, h = v.elevation * k;
            ves.push_back(std::make_unique<CVerticalLSElement>(CLsInfo(s - 0.5 * in, h - gIn * 0.5 * in, in)));
            ves.push_back(std::make_unique<CVerticalLSElement>(CLsInfo(s + 0.5 * out, h + gOut * 0.5 * out, out)));
            break;
        }
        }
        for (const std::unique_ptr<CAlntVe>& ve : ves) {
            b.alnt.appendElement(*ve);
            source.push_back(i);
        }
    }
    // Each curve must end before the next one begins.
    for (int i = 0; i < b.alnt.getNumOfVes(); ++i) {
        const RoadVip& vip = p.vips[source[static_cast<size_t>(i)]];
        const CAlntVe* ve = b.alnt.getVe(i);
        CLsInfo info, next;
        if (!ve->isok() || !ve->getAsLs(info))
            return fail(err, file, vip.line, "<" + std::string(RoadVipKindName(vip.kind)) +
                                                 ">: the vertical curve cannot be built here "
                                                 "(it overlaps a neighbouring curve)");
        if (i + 1 < b.alnt.getNumOfVes() && b.alnt.getVe(i + 1)->getAsLs(next) &&
            next.curveStart < info.curveStart + info.curveLen - 1e-9) {
            // With the stations (the file's internal stationing, its unit): "overlaps the curve
            // at line 74" sent the reader looking for a curve where line 74 was a plain PVI.
            const RoadVip& later = p.vips[source[static_cast<size_t>(i) + 1]];
            char buf[200];
            if (info.curveLen > 0.0)
                std::snprintf(buf, sizeof buf, ">: its curve, from %.4f, overlaps the curve at line %ld (to %.4f)",
                              next.curveStart / k, vip.line, (info.curveStart + info.curveLen) / k);
            else
                std::snprintf(buf, sizeof buf, ">: its curve, from %.4f, reaches back past the VIP at line %ld (%.4f)",
                              next.curveStart / k, vip.line, info.curveStart / k);
            return fail(err, file, later.line, "<" + std::string(RoadVipKindName(later.kind)) + buf);
        }
    }
    return true;
}

} // namespace

void UseRoadTolerances()
{
    smallNumTolerance = kRoadSmallNumTolerance;
}

bool BuildRoadAlignment(const RoadFile& file, const RoadAlignment& a, const std::string& profileName,
                        RoadBuild& out, RoadError& err)
{
    UseRoadTolerances();
    if (a.refused) {
        err = a.refusal;
        return false;
    }
    if (a.elements.empty())
        return fail(err, file, a.line, "alignment '" + a.name + "' has no geometry");
    out.alnt.removeAll();
    out.engineIndex.clear();
    out.shapes.clear();
    out.vipIndex.clear();
    out.profileRefused = false;
    out.profileRefusal = RoadError();
    out.metresPerUnit = file.units.metresPerUnit();
    out.stations = RoadStationing(a, out.metresPerUnit);
    out.profile = findProfile(a, profileName);
    if (out.profile == -2)
        return fail(err, file, a.line, "alignment '" + a.name + "' has no profile named '" + profileName + "'");
    if (out.profile >= 0 && a.profiles[static_cast<size_t>(out.profile)].refused) {
        err = a.profiles[static_cast<size_t>(out.profile)].refusal;
        return false;
    }
    if (out.profile == -1 && RoadEveryProfileRefused(a)) {
        out.profileRefused = true;
        out.profileRefusal = a.profiles.front().refusal;
    }
    CString name;
    if (CAlnt::checkAndNormalizeAlntName(name, CString(Utf8ToWide(a.name).c_str())))
        out.alnt.setName(name);
    if (!buildHorizontal(file, a, out, err))
        return false;
    return out.profile < 0 || buildVertical(file, a.profiles[out.profile], out, err);
}

bool RoadEveryProfileRefused(const RoadAlignment& a)
{
    return !a.profiles.empty() && findProfile(a, std::string()) == -1;
}

std::vector<CLsInfo> RoadProfileVips(const RoadAlignment& a, const RoadBuild& build)
{
    std::vector<CLsInfo> out;
    if (build.profile < 0)
        return out;
    const RoadProfile& p = a.profiles[static_cast<size_t>(build.profile)];
    const double k = build.metresPerUnit;
    for (size_t i = 0; i < p.vips.size() && i < build.vipIndex.size(); ++i) {
        const RoadVip& v = p.vips[i];
        CLsInfo info;
        if (!build.alnt.getVe(build.vipIndex[i])->getAsLs(info))
            continue;
        if (v.kind == RoadVipKind::UnsymParaCurve) {
            const double in = std::isnan(v.lengthIn) ? 0.0 : v.lengthIn * k;
            const double outLen = std::isnan(v.lengthOut) ? 0.0 : v.lengthOut * k;
            info = CLsInfo(v.station * k, v.elevation * k, in + outLen, v.station * k - in, 0.0);
        }
        out.push_back(info);
    }
    return out;
}
