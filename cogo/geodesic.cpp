#include "cogo/geodesic.h"

#include "numeric/units.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// sqrt(x^2 + y^2) without std::hypot's care for overflow (the values here are at most a few
// units): hypot costs as much as a sine.
inline double norm2(double x, double y)
{
    return std::sqrt(x * x + y * y);
}

const double kLambdaTol = 2e-11;
const int kMaxLambdaIterations = 100;
const int kMaxBisections = 200;
const double kMinDistance = 1e-9;      // metres, the direct problem
const double kDirectAngleTol = 1e-13;  // radians
const double kDirectDistTol = 1e-9;    // metres
const int kMaxDirectCorrections = 19;

struct Ellipsoid {
    double a, f, b, ep2;   // ep2 = (a^2 - b^2) / b^2
    Ellipsoid(double a_, double rf) : a(a_), f(1.0 / rf), b(a_ * (1.0 - 1.0 / rf))
    {
        ep2 = (a * a - b * b) / (b * b);
    }
};

// Reduced latitude as sine and cosine: sin beta = (1 - f) sin phi / sqrt(cos^2 phi + ((1 - f) sin phi)^2).
void reduced(const Ellipsoid& e, double latDeg, double& sb, double& cb)
{
    const double p = latDeg * kRadPerDeg;
    const double s = (1.0 - e.f) * std::sin(p), c = std::cos(p);
    const double r = norm2(s, c);
    sb = s / r;
    cb = c / r;
}

// The series of the method: C of the longitude relation and the distance for an arc sigma whose
// doubled mid-arc from the node is twoSigmaM.
double seriesC(const Ellipsoid& e, double cos2Alpha)
{
    return e.f / 16.0 * cos2Alpha * (4.0 + e.f * (4.0 - 3.0 * cos2Alpha));
}

// The geodetic longitude difference for the auxiliary-sphere longitude omega over the arc sigma.
double longitudeOf(const Ellipsoid& e, double omega, double sinAlpha, double cos2Alpha, double sigma,
                   double cos2SigmaM)
{
    const double C = seriesC(e, cos2Alpha);
    const double ss = std::sin(sigma), cs = std::cos(sigma);
    return omega - (1.0 - C) * e.f * sinAlpha *
                       (sigma + C * ss * (cos2SigmaM + C * cs * (-1.0 + 2.0 * cos2SigmaM * cos2SigmaM)));
}

double distanceOf(const Ellipsoid& e, double cos2Alpha, double sigma, double cos2SigmaM)
{
    const double u2 = cos2Alpha * e.ep2;
    const double A = 1.0 + u2 / 16384.0 * (4096.0 + u2 * (-768.0 + u2 * (320.0 - 175.0 * u2)));
    const double B = u2 / 1024.0 * (256.0 + u2 * (-128.0 + u2 * (74.0 - 47.0 * u2)));
    const double ss = std::sin(sigma), cs = std::cos(sigma), c2 = cos2SigmaM;
    const double ds = B * ss *
                      (c2 + B / 4.0 *
                                (cs * (-1.0 + 2.0 * c2 * c2) -
                                 B / 6.0 * c2 * (-3.0 + 4.0 * ss * ss) * (-3.0 + 4.0 * c2 * c2)));
    return e.b * A * (sigma - ds);
}

// The longitude iteration. True when it converged; then faz, baz (degrees), s and sigma are set.
bool lambdaIteration(const Ellipsoid& e, double sb1, double cb1, double sb2, double cb2, double L, double& faz,
                     double& baz, double& s, double& sigma, int& iterations, bool& coincident)
{
    coincident = false;
    double lambda = L;
    bool converged = false;
    for (iterations = 0; iterations < kMaxLambdaIterations && !converged;) {
        ++iterations;
        const double sl = std::sin(lambda), cl = std::cos(lambda);
        const double t1 = cb2 * sl, t2 = cb1 * sb2 - sb1 * cb2 * cl;
        const double ss = norm2(t1, t2);
        const double cs = sb1 * sb2 + cb1 * cb2 * cl;
        if (ss == 0.0) {
            coincident = cs > 0.0;
            if (!coincident)
                return false;   // exactly antipodal: no direction from the iteration
            s = 0.0;
            faz = 0.0;
            baz = 180.0;
            sigma = 0.0;
            return true;
        }
        const double sg = std::atan2(ss, cs);
        const double sa = cb1 * cb2 * sl / ss;
        const double c2a = 1.0 - sa * sa;
        const double c2sm = c2a != 0.0 ? cs - 2.0 * sb1 * sb2 / c2a : 0.0;
        const double next = longitudeOf(e, L, -sa, c2a, sg, c2sm);   // L + (1 - C) f sa (...)
        if (!(std::fabs(next) <= kPi + 1e-9) || !std::isfinite(next))
            return false;
        converged = std::fabs(next - lambda) < kLambdaTol;
        lambda = next;
    }
    if (!converged)
        return false;
    // Once more at the final lambda: sigma, alpha and both azimuths.
    const double sl = std::sin(lambda), cl = std::cos(lambda);
    const double t1 = cb2 * sl, t2 = cb1 * sb2 - sb1 * cb2 * cl;
    const double ss = norm2(t1, t2);
    const double cs = sb1 * sb2 + cb1 * cb2 * cl;
    sigma = std::atan2(ss, cs);
    const double sa = ss != 0.0 ? cb1 * cb2 * sl / ss : 0.0;
    const double c2a = 1.0 - sa * sa;
    const double c2sm = c2a != 0.0 ? cs - 2.0 * sb1 * sb2 / c2a : 0.0;
    s = distanceOf(e, c2a, sigma, c2sm);
    faz = std::atan2(t1, t2) * kDegPerRad;
    baz = std::atan2(cb1 * sl, -sb1 * cb2 + cb1 * sb2 * cl) * kDegPerRad + 180.0;
    return true;
}

// The geodesic from beta1 (<= 0) with start azimuth alp1 in [0, pi] to the latitude beta2
// (|beta2| <= |beta1|) reached heading north (cos alp2 >= 0): its longitude, and on request its
// arc, distance and end azimuth. The canonical arrangement of Karney (2013).
struct Leg {
    double lambda, sigma, s, salp2, calp2;
};

Leg legFrom(const Ellipsoid& e, double sb1, double cb1, double sb2, double cb2, double alp1)
{
    const double salp1 = std::sin(alp1), calp1 = std::cos(alp1);
    const double salp0 = salp1 * cb1;
    const double calp0 = norm2(calp1, salp1 * sb1);
    const double ssig1 = sb1, csig1 = calp1 * cb1;
    const double somg1 = salp0 * sb1, comg1 = calp1 * cb1;
    Leg g;
    g.salp2 = cb2 != cb1 ? salp0 / cb2 : salp1;
    g.calp2 = cb2 != cb1 || std::fabs(sb2) != -sb1
                  ? std::sqrt(std::max(0.0, calp1 * calp1 * cb1 * cb1 + (cb2 - cb1) * (cb2 + cb1))) / cb2
                  : std::fabs(calp1);
    const double ssig2 = sb2, csig2 = g.calp2 * cb2;
    const double somg2 = salp0 * sb2, comg2 = g.calp2 * cb2;
    g.sigma = std::atan2(std::max(0.0, csig1 * ssig2 - ssig1 * csig2), csig1 * csig2 + ssig1 * ssig2);
    const double omega = std::atan2(std::max(0.0, comg1 * somg2 - somg1 * comg2), comg1 * comg2 + somg1 * somg2);
    const double sig1 = std::atan2(ssig1, csig1), sig2 = sig1 + g.sigma;
    const double c2a = calp0 * calp0;
    const double c2sm = std::cos(sig1 + sig2);
    g.lambda = longitudeOf(e, omega, salp0, c2a, g.sigma, c2sm);
    g.s = distanceOf(e, c2a, g.sigma, c2sm);
    return g;
}

// Nearly antipodal points: the start azimuth by bisection on the longitude it reaches.
void azimuthSolve(const Ellipsoid& e, double lat1, double lat2, double lon12, double& faz, double& baz, double& s,
                  double& sigma, int& iterations)
{
    // Canonical arrangement: lon12 in [0, 180], |lat1| >= |lat2|, lat1 <= 0.
    double lonsign = lon12 >= 0.0 ? 1.0 : -1.0;
    lon12 = std::fabs(lon12);
    const double swapp = std::fabs(lat1) < std::fabs(lat2) ? -1.0 : 1.0;
    if (swapp < 0.0) {
        lonsign = -lonsign;
        std::swap(lat1, lat2);
    }
    const double latsign = lat1 < 0.0 ? 1.0 : -1.0;
    lat1 *= latsign;
    lat2 *= latsign;
    double sb1, cb1, sb2, cb2;
    reduced(e, lat1, sb1, cb1);
    reduced(e, lat2, sb2, cb2);
    const double target = lon12 * kRadPerDeg;
    double lo = 0.0, hi = kPi;
    for (int k = 0; k < kMaxBisections; ++k) {
        const double mid = 0.5 * (lo + hi);
        if (mid <= lo || mid >= hi)
            break;   // the bracket is down to neighbouring doubles
        ++iterations;
        if (legFrom(e, sb1, cb1, sb2, cb2, mid).lambda < target)
            lo = mid;
        else
            hi = mid;
    }
    const double alp1 = 0.5 * (lo + hi);
    const Leg g = legFrom(e, sb1, cb1, sb2, cb2, alp1);
    s = g.s;
    sigma = g.sigma;
    double salp1 = std::sin(alp1), calp1 = std::cos(alp1), salp2 = g.salp2, calp2 = g.calp2;
    if (swapp < 0.0) {
        std::swap(salp1, salp2);
        std::swap(calp1, calp2);
    }
    salp1 *= swapp * lonsign;
    calp1 *= swapp * latsign;
    salp2 *= swapp * lonsign;
    calp2 *= swapp * latsign;
    faz = std::atan2(salp1, calp1) * kDegPerRad;
    baz = std::atan2(salp2, calp2) * kDegPerRad + 180.0;
}

} // namespace

void invers(double a, double rf, double lat1, double lon1, double lat2, double lon2, double& faz, double& baz,
            double& s, int& iterations, double& sigma, int& lambdaFlag, int& kind)
{
    const Ellipsoid e(a, rf);
    const double lon12 = std::remainder(lon2 - lon1, 360.0);
    double sb1, cb1, sb2, cb2;
    reduced(e, lat1, sb1, cb1);
    reduced(e, lat2, sb2, cb2);
    bool coincident = false;
    iterations = 0;
    if (lambdaIteration(e, sb1, cb1, sb2, cb2, lon12 * kRadPerDeg, faz, baz, s, sigma, iterations, coincident)) {
        lambdaFlag = 1;
        kind = coincident ? INVERS_COINCIDENT : INVERS_LAMBDA;
        return;
    }
    lambdaFlag = 0;
    kind = INVERS_AZIMUTH;
    azimuthSolve(e, lat1, lat2, lon12, faz, baz, s, sigma, iterations);
}

void invlon(double a, double rf, double lat1, double lon1, double lat2, double lon2, double& faz, double& s,
            double& baz)
{
    int iterations, lambdaFlag, kind;
    double sigma;
    invers(a, rf, lat1, lon1, lat2, lon2, faz, baz, s, iterations, sigma, lambdaFlag, kind);
    faz = pos360(faz);
    baz = pos360(baz);
}

namespace CogoFunctions {

int GeoTwoPointInverse(double a, double rf, const double* p1, const double* p2, double& faz, double& baz, double& s)
{
    invlon(a, rf, p1[0], p1[1], p2[0], p2[1], faz, s, baz);
    return 1;
}

int GeoDirectComp(double a, double rf, const double* p1, double az, double s, double* p2)
{
    if (std::fabs(s) < kMinDistance) {
        p2[0] = p1[0];
        p2[1] = p1[1];
        return 1;
    }
    const double f = 1.0 / rf;
    const double e2 = (2.0 - f) * f;
    az = std::fmod(std::fmod(az, 360.0) + 360.0, 360.0);
    const double azr = az * kRadPerDeg;
    const double phi1 = p1[0] * kRadPerDeg;
    const double w1 = 1.0 - e2 * std::sin(phi1) * std::sin(phi1);
    const double M = a * (1.0 - e2) / (w1 * std::sqrt(w1));
    const double phi2 = phi1 + s * std::cos(azr) / M;
    const double N2 = a / std::sqrt(1.0 - e2 * std::sin(phi2) * std::sin(phi2));
    const double n2c = N2 * std::cos(phi2);
    double lat2 = phi2 * kDegPerRad;
    double lon2 = p1[1] + s * std::sin(azr) / n2c * kDegPerRad;
    for (int k = 0; k < kMaxDirectCorrections; ++k) {
        double faz, s2, baz;
        invlon(a, rf, p1[0], p1[1], lat2, lon2, faz, s2, baz);
        const double ds = s - s2;
        // The misfit taken the short way: near north the two azimuths may lie either side of 0.
        const double dA = std::remainder(az - std::fmod(faz, 360.0), 360.0) * kRadPerDeg;
        if (std::fabs(dA) < kDirectAngleTol && std::fabs(ds) < kDirectDistTol)
            break;
        lat2 += (ds * std::cos(azr) - dA * std::sin(azr) * s) / M * kDegPerRad;
        lon2 += (dA * std::cos(azr) * s + ds * std::sin(azr)) / n2c * kDegPerRad;
    }
    p2[0] = lat2;
    p2[1] = lon2;
    return 1;
}

} // namespace CogoFunctions
