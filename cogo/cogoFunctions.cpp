#include "cogo/cogoFunctions.h"

#include "cogo/intersections.h"
#include "numeric/units.h"

#include <cmath>

namespace {

const double kWgs84A = 6378137.0;
const double kWgs84Rf = 298.257223563;
const double kGrs80Rf = 298.257222101;
const double kMinRf = 0.1;
const double kMinA = 5e6;
const double kMinInverseHd = 1e-5;
const double kCurvatureRadiusSq = 4.0589641e13;
const double kCurvatureFactor = 0.86;   // 1 - k with k = 0.14

} // namespace

namespace CogoFunctions {

int Rotation(double pivotN, double pivotE, double& n, double& e, double angle1, double angle2)
{
    const double t = (angle2 - angle1) * kRadPerDeg;
    const double dN = n - pivotN;
    const double dE = e - pivotE;
    n = pivotN + std::cos(t) * dN + std::sin(t) * dE;
    e = pivotE + std::cos(t) * dE - std::sin(t) * dN;
    return 0;
}

int Scale(double factor, double centreN, double centreE, double centreH, int withHeight, double& n,
          double& e, double& h)
{
    n = (n - centreN) * factor + centreN;
    e = (e - centreE) * factor + centreE;
    if (withHeight)
        h = (h - centreH) * factor + centreH;
    return 0;
}

int Translate(double dN, double dE, double dH, double& n, double& e, double& h)
{
    n += dN;
    e += dE;
    h += dH;
    return 0;
}

int TranslateAzHdVd(double azimuth, double hd, double vd, double& n, double& e, double& h)
{
    const double az = azimuth * kRadPerDeg;
    n += std::cos(az) * hd;
    e += std::sin(az) * hd;
    h += vd;
    return 0;
}

int TwoPointInverse(bool geodetic, const double* p1, const double* p2, bool curvature, double* out)
{
    double dN = p2[0] - p1[0];
    double dE = p2[1] - p1[1];
    double dU = p2[2] - p1[2];
    if (geodetic) {
        double x1[3], x2[3];
        frgeod(kWgs84A, kWgs84Rf, x1, p1);
        frgeod(kWgs84A, kWgs84Rf, x2, p2);
        const double dX = x2[0] - x1[0], dY = x2[1] - x1[1], dZ = x2[2] - x1[2];
        const double phi = p1[0] * kRadPerDeg, lam = p1[1] * kRadPerDeg;
        const double sp = std::sin(phi), cp = std::cos(phi), sl = std::sin(lam), cl = std::cos(lam);
        dE = -sl * dX + cl * dY;
        dN = -sp * cl * dX - sp * sl * dY + cp * dZ;
        dU = cp * cl * dX + cp * sl * dY + sp * dZ;
    }
    const double hd = std::sqrt(dN * dN + dE * dE);
    out[0] = GetRefAziPts(dE, dN);
    out[1] = hd;
    out[2] = dU;
    out[3] = dN;
    out[4] = dE;
    out[5] = dU;
    out[6] = 0.0;
    out[7] = std::sqrt(dU * dU + hd * hd);
    if (hd < kMinInverseHd)
        return -1;
    if (curvature)
        // sqrt(HD^2 + R^2) - R, written as HD^2 / (sqrt(HD^2 + R^2) + R): the same value without
        // the cancellation that costs the plain difference about 1e-9 m.
        out[2] = dU + hd * hd / (std::sqrt(hd * hd + kCurvatureRadiusSq) + std::sqrt(kCurvatureRadiusSq)) *
                          kCurvatureFactor;
    out[6] = dU / hd * 100.0;
    return 0;
}

} // namespace CogoFunctions

void frgeod(double a, double rf, double* xyz, const double* llh)
{
    if (std::fabs(rf) < kMinRf)
        rf = kGrs80Rf;
    if (std::fabs(a) < kMinA)
        a = kWgs84A;
    const double f = 1.0 / rf;
    const double e2 = (2.0 - f) * f;
    const double phi = llh[0] * kRadPerDeg;
    const double lam = llh[1] * kRadPerDeg;
    const double sp = std::sin(phi);
    const double n = a / std::sqrt(1.0 - e2 * sp * sp);
    const double h = llh[2];
    xyz[0] = (n + h) * std::cos(phi) * std::cos(lam);
    xyz[1] = (n + h) * std::cos(phi) * std::sin(lam);
    xyz[2] = ((1.0 - e2) * n + h) * sp;
}

void ENCoordsToPtl(const double* p0, double azimuth, const double* p, double* ptl)
{
    const double az = azimuth * kRadPerDeg;
    const double dN = p[0] - p0[0];
    const double dE = p[1] - p0[1];
    const double dH = p[2] - p0[2];
    ptl[0] = std::sin(az) * dE + std::cos(az) * dN;
    ptl[1] = std::cos(az) * dE - std::sin(az) * dN;
    ptl[2] = dH;
}

void ENCoordsToPtl(const double* p0, const double* p1, const double* p, double* ptl)
{
    ENCoordsToPtl(p0, GetRefAziPts(p1[1] - p0[1], p1[0] - p0[0]), p, ptl);
}

void LineProjection(const double* p0, const double* p1, const double* p, double* ptl)
{
    ENCoordsToPtl(p0, p1, p, ptl);
}

void PtlTodENU(const double* ptl, double azimuth, double& dE, double& dN, double& dU)
{
    const double az = azimuth * kRadPerDeg;
    dE = ptl[0] * std::sin(az) + ptl[1] * std::cos(az);
    dN = ptl[0] * std::cos(az) - ptl[1] * std::sin(az);
    dU = ptl[2];
}

void PtlToENCoords(const double* p0, const double* p1, const double* ptl, double* out)
{
    double dE, dN, dU;
    PtlTodENU(ptl, GetRefAziPts(p1[1] - p0[1], p1[0] - p0[0]), dE, dN, dU);
    out[0] = p0[0] + dN;
    out[1] = p0[1] + dE;
    out[2] = p0[2] + dU;
}
