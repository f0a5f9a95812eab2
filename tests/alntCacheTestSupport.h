// Shared helpers of the alignment, position-cache and offset tests: element makers and random
// smooth roads (plan and profile) whose curvature is bounded by a known minimum radius.
#pragma once

#include "vrkmath/mathAlnt.h"
#include "vrkmath/mathAlntVeArc.h"

#include "curveTestSupport.h"

#include <cmath>
#include <random>

namespace cachetest {

// Plan elements (metres; a segment's azimuth in degrees relative to the element before it).
inline CAlntHeSegment segment(double len, double localAzDeg = 0.0)
{ return CAlntHeSegment(curvetest::segmentData(len, localAzDeg)); }
inline CAlntHeArc arc(double len, double radius, bool right)
{ return CAlntHeArc(curvetest::arcData(len, right ? radius : -radius)); }
inline CAlntHeSpiral spiral(double len, double radius, bool right, bool tssc)
{ return CAlntHeSpiral(curvetest::spiralData(len, radius, right, tssc)); }
inline CAlntHeSpiral compoundSpiral(double len, double r1, double r2, bool right)
{ return CAlntHeSpiral(curvetest::compoundData(len, r1, r2, right)); }
inline CAlntHeIp corner(double n, double e, double l1, double r, double l2)
{ CAlntHeIp ip; ip.setIp(n, e, l1, r, l2); return ip; }

// A road of tangent-continuous plan elements (straights, spiral-arc-spiral groups, runs of
// intersection-point corners and, when asked, zero-length straights) and a profile of grade
// lines and parabolas or of VIPs with parabolas and arcs. No plan radius is below minRadius.
struct SmoothRoad { CAlnt alnt; double minRadius = 150.0; int easedCorners = 0; };

inline void buildSmoothRoad(std::mt19937& rng, int groups, bool zeroLengths, SmoothRoad& out)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto in = [&](double a, double b) { return a + (b - a) * u(rng); };
    CAlnt& a = out.alnt;
    const double startChain = in(0, 5000);
    a.setStartChainageInM(startChain);
    a.setStartPos(in(-1000, 1000), in(-1000, 1000), in(50, 150));
    a.appendElement(segment(in(20, 200)));
    for (int g = 0; g < groups; ++g) {
        const bool right = u(rng) < 0.5;
        const double kind = u(rng);
        if (kind < 0.5) {
            const double r = in(out.minRadius, 800);
            a.appendElement(spiral(in(20, 80), r, right, true));
            a.appendElement(arc(in(20, 200), r, right));
            a.appendElement(spiral(in(20, 80), r, right, false));
        } else if (kind < 0.8) {
            // Corners 300 m ahead and then 400 m apart, each deflecting 5 to 30 degrees more
            // than its spirals turn (a corner whose spirals turn more cannot be eased); the
            // last one is a simple point.
            double n, e, chain, az;
            a.getFinalPosNe(n, e);
            a.getFinalChainageInM(chain);
            a.getAzimuthAtChainExtr(chain + 1.0, az);
            const int corners = 2 + static_cast<int>(u(rng) * 2);
            for (int k = 0; k < corners; ++k) {
                n += (k == 0 ? 300.0 : 400.0) * std::cos(az * 0.017453292519943295);
                e += (k == 0 ? 300.0 : 400.0) * std::sin(az * 0.017453292519943295);
                const double l1 = in(30, 60), r = in(out.minRadius, 300), l2 = in(30, 60);
                a.appendElement(corner(n, e, l1, r, l2));
                az += (right ? 1 : -1) * ((l1 + l2) / (2.0 * r) * 57.29577951308232 + in(5, 30));
            }
            out.easedCorners += corners - 1;
        } else if (zeroLengths) {
            a.appendElement(segment(0.0));
        }
        a.appendElement(segment(in(20, 200)));
    }

    double hLen, ch = startChain, ht = a.getStartPosH();
    a.getHLengthInM(hLen);
    if (u(rng) < 0.5) {
        // Grade lines and parabolas between grades of -4 ... 4 percent.
        double g = in(-4, 4);
        while (ch < startChain + hLen) {
            const double len = in(30, 300), g2 = u(rng) < 0.4 ? g : in(-4, 4);
            a.appendElement(CVerticalElement(ht, ch, len, g, g2));
            ht += (g + g2) / 200.0 * len;
            ch += len;
            g = g2;
        }
    } else {
        // VIPs 200 m apart with 80 m parabolas and arcs of radius 3000 m in turn.
        for (int i = 0; ch < startChain + hLen + 200.0; ++i) {
            ch += i > 0 ? 200.0 : 0.0;
            ht += i > 0 ? in(-4, 4) / 100.0 * 200.0 : 0.0;
            if (i % 2)
                a.appendElement(CVerticalLSElement(CLsInfo(ch, ht, i > 0 ? 80.0 : 0.0)));
            else
                a.appendElement(CAlntVeLsWithArc(ch, ht, i > 0 ? 3000.0 : 0.0));
        }
    }
}

} // namespace cachetest
