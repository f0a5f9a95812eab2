// Shared helpers of the curve element tests: element makers, an independent clothoid by
// quadrature, views that give placed curves and corners one interface, and the property checks
// run over random elements (chord deviation of sampling, azimuth against chords, nearest point
// as the inverse of position at length).
#pragma once

#include "vrkmath/mathCurveIp.h"
#include "vrkmath/mathCurves.h"
#include "vrkmath/mathSpirals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace curvetest {

// kPi and kTwoPi come from numeric/units.h.

// Sets smallNumTolerance for the scope and restores it afterwards.
class ScopedSmallNumTolerance {
public:
    explicit ScopedSmallNumTolerance(double value) : m_saved(smallNumTolerance) { smallNumTolerance = value; }
    ~ScopedSmallNumTolerance() { smallNumTolerance = m_saved; }
    ScopedSmallNumTolerance(const ScopedSmallNumTolerance&) = delete;
    ScopedSmallNumTolerance& operator=(const ScopedSmallNumTolerance&) = delete;

private:
    double m_saved;
};

// Element makers in the local frame (metres; an arc's radius is signed, right positive).
inline CCurveDataSegment segmentData(double L, double azDeg) { CCurveDataSegment s; s.setAzDeg(azDeg); s.setLen(L); return s; }
inline CCurveDataArc arcData(double L, double R) { CCurveDataArc a; a.SetElement(L, R, R > 0.0); return a; }
inline CCurveDataSpiral spiralData(double L, double R, bool right, bool tssc)
{ CCurveDataSpiral s; s.setLenAndR(L, R, right, tssc); return s; }
inline CCurveDataSpiral compoundData(double L, double R1, double R2, bool right)
{ CCurveDataSpiral s; s.setLenAndR(L, R1, R2, right); return s; }

// The point at length l (metres) of the curve that starts at the origin heading north with
// curvature k0 (1/m, positive to the right) changing linearly by dk per metre: the integral of
// (cos theta, sin theta) with theta(s) = k0 s + dk s^2 / 2, by the 5-point Gauss-Legendre rule
// on panels of at most 1 m.
inline C2dPos clothoidByQuadrature(double k0, double dk, double l)
{
    static const double x[] = {0.0, 0.5384693101056831, -0.5384693101056831, 0.9061798459386640, -0.9061798459386640};
    static const double w[] = {0.5688888888888889, 0.4786286704993665, 0.4786286704993665, 0.2369268850561891,
                               0.2369268850561891};
    const int panels = std::max(1, static_cast<int>(std::ceil(l)));
    const double h = l / panels;
    double n = 0.0, e = 0.0;
    for (int p = 0; p < panels; ++p) {
        for (int i = 0; i < 5; ++i) {
            const double s = (p + 0.5 + 0.5 * x[i]) * h, theta = k0 * s + 0.5 * dk * s * s;
            n += 0.5 * h * w[i] * std::cos(theta);
            e += 0.5 * h * w[i] * std::sin(theta);
        }
    }
    return C2dPos{n, e};
}

// One interface over placed curves and corners: position, azimuth in degrees, step, nearest
// point and length, all in grid coordinates.
template <class P>
struct PlacedView {
    const P& c;
    bool pos(double l, double& N, double& E) const { return c.getPosAtLength(l, N, E); }
    double azDeg(double l) const { return c.getAzimuthAtLength(l); }
    double step(double l, double dev) const { return c.getStepForDeviation(l, dev); }
    bool nearest(double N, double E, double& d, double& l) const { return c.getShortestDistAndCurveLen(N, E, d, l); }
    double length() const { return c.getTotalLength(); }
};
template <class P>
PlacedView<P> placedView(const P& c) { return PlacedView<P>{c}; }
struct IpView : PlacedView<CCurveIp> { double azDeg(double l) const { return c.GetAzimuth(l); } };

template <class V>
C2dPos at(const V& view, double l)
{
    C2dPos p{};
    EXPECT_TRUE(view.pos(l, p.north, p.east)) << "no position at " << l;
    return p;
}

// The distance from m to the curve between lengths a and b (ternary search; the span of one
// sampling chord is short enough for the distance to have one minimum there).
template <class V>
double distanceToCurve(const V& view, const C2dPos& m, double a, double b)
{
    auto dist = [&](double l) {
        const C2dPos p = at(view, l);
        return std::hypot(p.north - m.north, p.east - m.east);
    };
    for (int i = 0; i < 100 && b - a > 1e-12; ++i) {
        const double m1 = a + (b - a) / 3.0, m2 = b - (b - a) / 3.0;
        const bool nearerFirst = dist(m1) < dist(m2);
        (nearerFirst ? b : a) = nearerFirst ? m2 : m1;
    }
    return dist((a + b) / 2.0);
}

// Samples the curve from its start to its end with getStepForDeviation and expects every
// chord's middle within `deviation` of the curve, and at least minChords chords.
template <class V>
void expectChordsWithin(const V& view, double deviation, int minChords, const std::string& name)
{
    const double total = view.length();
    double l = 0.0, worst = -deviation;
    int chords = 0;
    while (l < total && chords < 100000) {
        const double step = view.step(l, deviation);
        if (!(step > 0.0))
            break;
        const double next = std::min(l + step, total);
        const C2dPos a = at(view, l), b = at(view, next);
        const C2dPos mid{(a.north + b.north) / 2.0, (a.east + b.east) / 2.0};
        worst = std::max(worst, distanceToCurve(view, mid, l, next) - deviation);
        ++chords;
        l = next;
    }
    EXPECT_GE(l, total - 1e-9) << name << ": sampling stopped at " << l << " of " << total;
    EXPECT_LE(worst, 1e-9) << name << ", deviation " << deviation;
    EXPECT_GE(chords, minChords) << name << ", deviation " << deviation;
}

// The azimuth at l against the direction of the chord from l - half to l + half (radians, with
// the series summed to 1e-12 so that the chord is the curve's own), then the point d metres
// right of l handed back to the nearest-point search: distance and length within nearTol.
template <class V>
void expectAzimuthAndNearest(const V& view, double l, double half, double azTol, double d, double nearTol,
                             const std::string& name)
{
    {
        ScopedSmallNumTolerance exact(1e-12);
        const C2dPos a = at(view, l - half), b = at(view, l + half);
        const double chord = std::atan2(b.east - a.east, b.north - a.north);
        EXPECT_NEAR(std::remainder(view.azDeg(l) * kPi / 180.0 - chord, 2.0 * kPi), 0.0, azTol)
            << name << " at " << l;
    }
    const C2dPos p = at(view, l);
    const double az = view.azDeg(l) * kPi / 180.0;
    double dist = -1.0, len = -1.0;
    ASSERT_TRUE(view.nearest(p.north - d * std::sin(az), p.east + d * std::cos(az), dist, len)) << name;
    EXPECT_LT(std::fabs(dist - std::fabs(d)), nearTol) << name << " l " << l << " d " << d;
    EXPECT_LT(std::fabs(len - l), nearTol) << name << " l " << l << " d " << d;
}

// A spiral drawn at random: kind 0 TS->SC, 1 CS->ST, 2 compound with the larger radius first,
// 3 compound with the smaller radius first; either side. Lengths up to 300 m; the full clothoid
// turns at most 1.5 rad. k0 and dk describe the element's curvature for the quadrature.
// k0: the curvature at the start (1/m, right positive); dk: its change per metre.
struct RandomSpiral { CCurveDataSpiral spiral; double k0 = 0.0, dk = 0.0, minRadius = 0.0; std::string name; };

inline RandomSpiral drawSpiral(std::mt19937& rng, int kind, bool right)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    RandomSpiral r;
    const double sign = right ? 1.0 : -1.0, L = 20.0 + 280.0 * unit(rng);
    char text[160];
    if (kind < 2) {
        // thetaL = L / 2R <= 1.5
        const double R = std::max(L / 3.0, 30.0) * (1.0 + 4.0 * unit(rng));
        r.spiral.setLenAndR(L, R, right, kind == 0);
        r.k0 = kind == 0 ? 0.0 : sign / R;
        r.dk = (kind == 0 ? sign / R : -sign / R) / L;
        r.minRadius = R;
        std::snprintf(text, sizeof text, "%s L=%.3f R=%.3f", kind == 0 ? "TS->SC" : "CS->ST", L, R);
    } else {
        // The full clothoid runs from infinite radius to `small` over l0 + L = L q / (q - 1),
        // q = big / small; it turns (l0 + L) / (2 small) <= 1.5 rad and is at most 300 m long.
        const double small = 60.0 + 1500.0 * unit(rng), q = 1.2 + 4.0 * unit(rng), big = small * q;
        const double length = std::min(300.0, 3.0 * small) * (q - 1.0) / q * (0.3 + 0.7 * unit(rng));
        const double R1 = kind == 2 ? big : small, R2 = kind == 2 ? small : big;
        r.spiral.setLenAndR(length, R1, R2, right);
        r.k0 = sign / R1;
        r.dk = (sign / R2 - sign / R1) / length;
        r.minRadius = small;
        std::snprintf(text, sizeof text, "compound L=%.3f R1=%.3f R2=%.3f", length, R1, R2);
    }
    r.name = std::string(text) + (right ? " right" : " left");
    return r;
}

} // namespace curvetest
