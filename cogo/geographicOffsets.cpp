#include "cogo/geographicOffsets.h"

#include "cogo/cogoFunctions.h"
#include "cogo/gridToGround.h"
#include "cogo/instrumentTasks.h"
#include "cogo/intersections.h"
#include "numeric/mathAngle.h"
#include "numeric/units.h"

#include <cmath>

namespace {

const double kWgs84A = 6378137.0;
const double kWgs84Rf = 298.257223563;
const double kLiteralB = 6356752.314245179;
const double kLiteralE2 = 0.006694379990141317;
const double kMinCosLat = 1e-6;
const double kMinCircle = 1e-12;
const double kMinRadius = 1e-5;
const double kMinSinZa = 1e-16;

// The radius-0 rule: b / (1 - e^2 sin^2 lat) with the literal constants.
double literalRadius(double lat)
{
    const double s = std::sin(lat * kRadPerDeg);
    return kLiteralB / (1.0 - kLiteralE2 * s * s);
}

double wgsRadius(double lat)
{
    return GaussianRadius(kWgs84A, kWgs84Rf, lat);
}

} // namespace

double GaussianRadius(double a, double rf, double lat)
{
    if (std::fabs(rf) < 0.1)
        rf = 298.257222101;
    if (std::fabs(a) < 5e6)
        a = kWgs84A;
    const double f = 1.0 / rf;
    const double e2 = (2.0 - f) * f;
    const double s = std::sin(lat * kRadPerDeg);
    return a * std::sqrt(1.0 - e2) / (1.0 - e2 * s * s);
}

void GetNeOffsetFromLatLon(double& dN, double& dE, double lat1, double lon1, double lat2, double lon2, double height,
                           double radius)
{
    const double R = radius != 0.0 ? radius : 0.5 * (literalRadius(lat1) + literalRadius(lat2));
    const double r = height + R;
    dN = (lat2 - lat1) * r * kRadPerDeg;
    dE = std::remainder(lon2 - lon1, 360.0) * std::cos((lat1 + lat2) * kRadPerDeg / 2.0) * r * kRadPerDeg;
}

void GetOffsetLatLon(double& lat, double& lon, double lat0, double lon0, double dN, double dE, double height,
                     double radius)
{
    const double R = radius != 0.0 ? radius : literalRadius(lat0);
    const double r = height + R;
    const double la = lat0 + dN / r * kDegPerRad;
    const double c = std::cos((la + lat0) * kRadPerDeg / 2.0) * r;
    lat = la;
    lon = std::fabs(c) < kMinCircle ? lon0 : lon0 + dE / c * kDegPerRad;
}

void GetBL2FromBL1AndDeDn(double lat1, double lon1, double dE, double dN, double& lat2, double& lon2)
{
    const double r1 = wgsRadius(lat1);
    const double firstLat = lat1 + dN / r1 * kDegPerRad;
    const double mean = (lat1 + firstLat) / 2.0;
    const double rm = wgsRadius(mean);
    const double c = std::cos(mean * kRadPerDeg);
    lat2 = lat1 + dN / rm * kDegPerRad;
    lon2 = c < kMinCosLat ? lon1 : lon1 + dE / (c * rm) * kDegPerRad;
}

int ComputeBLIntersectionPoint(double lat1, double lon1, double az1, double lat2, double lon2, double az2,
                               double& lat, double& lon)
{
    double dN, dE, x, y;
    GetNeOffsetFromLatLon(dN, dE, lat1, lon1, lat2, lon2, 0.0, 0.0);
    if (!ComputeENIntersectionPoint(0.0, 0.0, az1, dE, dN, az2, x, y))
        return 0;
    GetBL2FromBL1AndDeDn(lat1, lon1, x, y, lat, lon);
    return 1;
}

bool CMathAngle::setAzFromLatLon(double lat1, double lon1, double lat2, double lon2, double height)
{
    double dN, dE;
    GetNeOffsetFromLatLon(dN, dE, lat1, lon1, lat2, lon2, height, 0.0);
    return setTg(dE, dN);
}

void WGSCoordsToPtl(const double* llh0, double azimuth, const double* llh, double* ptl)
{
    double dN, dE;
    GetNeOffsetFromLatLon(dN, dE, llh0[0], llh0[1], llh[0], llh[1], (llh0[2] + llh[2]) / 2.0, 0.0);
    const double az = azimuth * kRadPerDeg;
    ptl[0] = std::sin(az) * dE + std::cos(az) * dN;
    ptl[1] = std::cos(az) * dE - std::sin(az) * dN;
    ptl[2] = llh[2] - llh0[2];
}

static double lineAzimuth(const double* llh0, const double* llh1)
{
    double dN, dE;
    GetNeOffsetFromLatLon(dN, dE, llh0[0], llh0[1], llh1[0], llh1[1], 0.0, 0.0);
    return GetRefAziPts(dE, dN);
}

void WGSCoordsToPtl(const double* llh0, const double* llh1, const double* llh, double* ptl)
{
    WGSCoordsToPtl(llh0, lineAzimuth(llh0, llh1), llh, ptl);
}

void PtlToWGSCoords(const double* llh0, const double* llh1, const double* ptl, double* llh)
{
    double dE, dN, dU;
    PtlTodENU(ptl, lineAzimuth(llh0, llh1), dE, dN, dU);
    GetBL2FromBL1AndDeDn(llh0[0], llh0[1], dE, dN, llh[0], llh[1]);
    llh[2] = llh0[2] + dU;
}

void GetOffsetFromWgsCoords(const double* llh0, const double* llh1, bool slope, double* out)
{
    double d[3];
    GetNeOffsetFromLatLon(d[0], d[1], llh0[0], llh0[1], llh1[0], llh1[1], 0.0, 0.0);
    d[2] = llh1[2] - llh0[2];
    const double origin[3] = {0.0, 0.0, 0.0};
    GetOffsetFromNeuCoords(origin, d, slope, out);
}

void OffsetWgsCoords(const double* llh0, const double* offset, bool slope, double* llh)
{
    const double az = offset[0] * kRadPerDeg;
    const double za = offset[1] * kRadPerDeg;
    const double s = std::sin(za), c = std::cos(za);
    double hd = offset[2], dh;
    if (slope) {
        hd = offset[2] * s;
        dh = offset[2] * c;
    } else {
        dh = std::fabs(s) > kMinSinZa ? offset[2] * c / s : 0.0;
    }
    GetBL2FromBL1AndDeDn(llh0[0], llh0[1], std::sin(az) * hd, std::cos(az) * hd, llh[0], llh[1]);
    llh[2] = llh0[2] + dh;
}

namespace CogoFunctions {

static int reduce(double d, double h, double R, bool toGround, double& out)
{
    out = toGround ? (R + h) / R * d : R / (R + h) * d;
    return 1;
}

int GetGroundDistance(double d, double h, double a, double rf, double lat, double& out)
{
    const double R = GaussianRadius(a, rf, lat);
    return R < kMinRadius ? 0 : reduce(d, h, R, true, out);
}

int GetGeodesicDistance(double d, double h, double a, double rf, double lat, double& out)
{
    const double R = GaussianRadius(a, rf, lat);
    return R < kMinRadius ? 0 : reduce(d, h, R, false, out);
}

int GetAvgGroundDistance(double d, double h1, double h2, double a, double rf, double lat1, double lat2, double& out)
{
    const double R1 = GaussianRadius(a, rf, lat1);
    if (R1 < kMinRadius)
        return 0;
    return reduce(d, (h1 + h2) / 2.0, (R1 + GaussianRadius(a, rf, lat2)) / 2.0, true, out);
}

int GetAvgGeodesicDistance(double d, double h1, double h2, double a, double rf, double lat1, double lat2,
                           double& out)
{
    const double R1 = GaussianRadius(a, rf, lat1);
    if (R1 < kMinRadius)
        return 0;
    return reduce(d, (h1 + h2) / 2.0, (R1 + GaussianRadius(a, rf, lat2)) / 2.0, false, out);
}

} // namespace CogoFunctions
