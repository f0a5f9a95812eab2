// Shared helpers of the curve element tests: an independent clothoid by quadrature, views that
// give placed curves and corners one interface, and the property checks run over random
// elements (chord deviation of sampling, azimuth against chords, nearest point as the inverse
// of position at length).
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

// Gauss-Legendre rule of n points on [-1, 1] (nodes by Newton's method on P_n).
struct GaussLegendre {
    std::vector<double> x, w;
    explicit GaussLegendre(int n) : x(n), w(n)
    {
        for (int i = 0; i < n; ++i) {
            double z = std::cos(kPi * (i + 0.75) / (n + 0.5));
            double dp = 0.0;
            for (int it = 0; it < 100; ++it) {
                double p0 = 1.0, p1 = z;
                for (int k = 2; k <= n; ++k) {
                    const double p2 = ((2.0 * k - 1.0) * z * p1 - (k - 1.0) * p0) / k;
                    p0 = p1;
                    p1 = p2;
                }
                dp = n * (z * p1 - p0) / (z * z - 1.0);
                const double dz = p1 / dp;
                z -= dz;
                if (std::fabs(dz) < 1e-16)
                    break;
            }
            x[i] = z;
            w[i] = 2.0 / ((1.0 - z * z) * dp * dp);
        }
    }
};

// The point at length l (metres) of the curve that starts at the origin heading north with
// curvature k0 (1/m, positive to the right) changing linearly by dk per metre: the integral of
// (cos theta, sin theta) with theta(s) = k0 s + dk s^2 / 2, by a 16-point rule on 2 m panels.
inline C2dPos clothoidByQuadrature(double k0, double dk, double l)
{
    static const GaussLegendre rule(16);
    const int panels = std::max(1, static_cast<int>(std::ceil(l / 2.0)));
    const double h = l / panels;
    double n = 0.0, e = 0.0;
    for (int p = 0; p < panels; ++p) {
        const double mid = (p + 0.5) * h;
        for (size_t i = 0; i < rule.x.size(); ++i) {
            const double s = mid + 0.5 * h * rule.x[i];
            const double theta = k0 * s + 0.5 * dk * s * s;
            n += 0.5 * h * rule.w[i] * std::cos(theta);
            e += 0.5 * h * rule.w[i] * std::sin(theta);
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
PlacedView<P> placedView(const P& c)
{
    return PlacedView<P>{c};
}

struct IpView {
    const CCurveIp& c;
    bool pos(double l, double& N, double& E) const { return c.getPosAtLength(l, N, E); }
    double azDeg(double l) const { return c.GetAzimuth(l); }
    double step(double l, double dev) const { return c.getStepForDeviation(l, dev); }
    bool nearest(double N, double E, double& d, double& l) const { return c.getShortestDistAndCurveLen(N, E, d, l); }
    double length() const { return c.getTotalLength(); }
};

template <class V>
C2dPos at(const V& view, double l)
{
    C2dPos p{};
    EXPECT_TRUE(view.pos(l, p.north, p.east)) << "no position at " << l;
    return p;
}

// The distance from m to the curve between lengths a and b (golden-section search; the span of
// one sampling chord is short enough for the distance to have one minimum there).
template <class V>
double distanceToCurve(const V& view, const C2dPos& m, double a, double b)
{
    auto dist = [&](double l) {
        double N = 0.0, E = 0.0;
        EXPECT_TRUE(view.pos(l, N, E)) << "no position at " << l;
        return std::hypot(N - m.north, E - m.east);
    };
    const double g = (std::sqrt(5.0) - 1.0) / 2.0;
    double x1 = b - g * (b - a), x2 = a + g * (b - a);
    double f1 = dist(x1), f2 = dist(x2);
    for (int i = 0; i < 80 && b - a > 1e-12; ++i) {
        if (f1 < f2) {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = b - g * (b - a);
            f1 = dist(x1);
        } else {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = a + g * (b - a);
            f2 = dist(x2);
        }
    }
    return std::min({f1, f2, dist(a), dist(b)});
}

// Samples the curve from its start to its end with getStepForDeviation and returns the largest
// amount by which a chord's middle departs from the curve beyond `deviation` (<= 0 when every
// chord keeps to it). `chords` receives the number of chords.
template <class V>
double worstChordExcess(const V& view, double deviation, int& chords)
{
    const double total = view.length();
    double l = 0.0;
    double worst = -deviation;
    chords = 0;
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
    EXPECT_GE(l, total - 1e-9) << "sampling stopped at " << l << " of " << total;
    return worst;
}

// The difference (radians, reduced into [-pi, pi]) between the azimuth at l and the direction
// of the chord from l - half to l + half.
template <class V>
double azimuthChordError(const V& view, double l, double half)
{
    const C2dPos a = at(view, l - half), b = at(view, l + half);
    const double chord = std::atan2(b.east - a.east, b.north - a.north);
    return std::remainder(view.azDeg(l) * kPi / 180.0 - chord, 2.0 * kPi);
}

// The point at offset d (metres, right positive) on the normal at l, handed back to the
// nearest-point search: the errors of the distance against |d| and of the length against l.
template <class V>
bool nearestRoundTrip(const V& view, double l, double d, double& distError, double& lenError)
{
    const C2dPos p = at(view, l);
    const double az = view.azDeg(l) * kPi / 180.0;
    const double N = p.north - d * std::sin(az);
    const double E = p.east + d * std::cos(az);
    double dist, len;
    if (!view.nearest(N, E, dist, len))
        return false;
    distError = std::fabs(dist - std::fabs(d));
    lenError = std::fabs(len - l);
    return true;
}

// A spiral drawn at random: kind 0 TS->SC, 1 CS->ST, 2 compound with the larger radius first,
// 3 compound with the smaller radius first; either side. Lengths up to 300 m; the full clothoid
// turns at most 1.5 rad. k0 and dk describe the element's curvature for the quadrature.
struct RandomSpiral {
    CCurveDataSpiral spiral;
    double k0 = 0.0;       // curvature at the start, 1/m, right positive
    double dk = 0.0;       // change of curvature per metre
    double minRadius = 0.0;
    std::string name;
};

inline RandomSpiral drawSpiral(std::mt19937& rng, int kind, bool right)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    RandomSpiral r;
    const double sign = right ? 1.0 : -1.0;
    const double L = 20.0 + 280.0 * unit(rng);
    char text[160];
    if (kind < 2) {
        // thetaL = L / 2R <= 1.5
        const double R = std::max(L / 3.0, 30.0) * (1.0 + 4.0 * unit(rng));
        r.spiral.setLenAndR(L, R, right, kind == 0);
        r.k0 = kind == 0 ? 0.0 : sign / R;
        r.dk = (kind == 0 ? sign / R : -sign / R) / L;
        r.minRadius = R;
        std::snprintf(text, sizeof text, "%s L=%.3f R=%.3f %s", kind == 0 ? "TS->SC" : "CS->ST", L, R,
                      right ? "right" : "left");
    } else {
        // The full clothoid runs from infinite radius to `small` over l0 + L = L q / (q - 1),
        // q = big / small; it turns (l0 + L) / (2 small) <= 1.5 rad and is at most 300 m long.
        const double small = 60.0 + 1500.0 * unit(rng);
        const double q = 1.2 + 4.0 * unit(rng);
        const double big = small * q;
        const double fullMax = std::min(300.0, 3.0 * small);
        const double length = fullMax * (q - 1.0) / q * (0.3 + 0.7 * unit(rng));
        const double R1 = kind == 2 ? big : small;
        const double R2 = kind == 2 ? small : big;
        r.spiral.setLenAndR(length, R1, R2, right);
        r.k0 = sign / R1;
        r.dk = (sign / R2 - sign / R1) / length;
        r.minRadius = small;
        std::snprintf(text, sizeof text, "compound L=%.3f R1=%.3f R2=%.3f %s", length, R1, R2,
                      right ? "right" : "left");
    }
    r.name = text;
    return r;
}

} // namespace curvetest
