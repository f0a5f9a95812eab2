// Tests of the geographic offsets, setAzFromLatLon, the geographic frame and the distance
// reductions. They check the formulas and the pairs against each other, never against the
// ellipsoid (these are sphere approximations).
#include "cogo/cogoFunctions.h"
#include "cogo/geographicOffsets.h"
#include "numeric/mathAngle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

const double kB = 6356752.314245179;
const double kE2 = 0.006694379990141317;

double literalR(double lat)
{
    const double s = std::sin(lat * M_PI / 180);
    return kB / (1 - kE2 * s * s);
}

TEST(GetNeOffsetFromLatLon, Formulas)
{
    double dN = 1, dE = 1;
    GetNeOffsetFromLatLon(dN, dE, 47, 8, 47, 8, 100, 0);
    EXPECT_EQ(dN, 0.0);
    EXPECT_EQ(dE, 0.0);
    GetNeOffsetFromLatLon(dN, dE, 47, 8, 47.01, 8.02, 100, 0);
    const double r = 100 + (literalR(47) + literalR(47.01)) / 2;
    EXPECT_NEAR(dN, 0.01 * M_PI / 180 * r, 1e-9);
    EXPECT_NEAR(dE, 0.02 * std::cos(47.005 * M_PI / 180) * M_PI / 180 * r, 1e-9);
    GetNeOffsetFromLatLon(dN, dE, 47, 8, 47.01, 8.02, 0, 6371000);
    EXPECT_NEAR(dN, 0.01 * M_PI / 180 * 6371000, 1e-9) << "a given radius";
    // Across +-180 the short way.
    GetNeOffsetFromLatLon(dN, dE, 0, 179.9999, 0, -179.9999, 0, 0);
    EXPECT_NEAR(dE, 0.0002 * M_PI / 180 * literalR(0), 1e-6);
}

TEST(GetOffsetLatLon, PairsWithTheOffsets)
{
    std::mt19937_64 rng(38);
    std::uniform_real_distribution<double> lat(-70, 70), lon(-180, 180), off(-700, 700);
    for (int k = 0; k < 500; ++k) {
        const double lat0 = lat(rng), lon0 = lon(rng), dN = off(rng), dE = off(rng);
        double la, lo, n, e;
        GetOffsetLatLon(la, lo, lat0, lon0, dN, dE, 0, 0);
        GetNeOffsetFromLatLon(n, e, lat0, lon0, la, lo, 0, 0);
        // Two radius rules (at lat0, and the mean of both ends): up to 0.6 mm within 1 km.
        EXPECT_NEAR(n, dN, 6e-4) << "case " << k;
        EXPECT_NEAR(e, dE, 6e-4) << "case " << k;
        // With one given radius the pair is exact.
        GetOffsetLatLon(la, lo, lat0, lon0, dN, dE, 0, 6371000);
        GetNeOffsetFromLatLon(n, e, lat0, lon0, la, lo, 0, 6371000);
        EXPECT_NEAR(n, dN, 1e-8) << "case " << k;
        EXPECT_NEAR(e, dE, 1e-8) << "case " << k;
    }
}

TEST(GetBL2FromBL1AndDeDn, GaussianRadiusNotTheMeridian)
{
    // 1000 m north at the equator lies 996.647 m along the meridian (the Gaussian radius is
    // 0.34 % longer than the meridian radius there).
    double lat, lon;
    GetBL2FromBL1AndDeDn(0, 0, 0, 1000, lat, lon);
    const double R = GaussianRadius(6378137, 298.257223563, lat / 2);
    EXPECT_NEAR(lat, 1000 / R * 180 / M_PI, 1e-15);
    const double meridianRadius = 6378137 * (1 - kE2);   // at the equator
    EXPECT_NEAR(lat * M_PI / 180 * meridianRadius, 996.647, 1e-3);
    EXPECT_EQ(lon, 0.0);
    GetBL2FromBL1AndDeDn(45, 10, 500, 0, lat, lon);
    EXPECT_EQ(lat, 45.0);
    EXPECT_NEAR(lon, 10 + 500 / (std::cos(M_PI / 4) * GaussianRadius(6378137, 298.257223563, 45)) * 180 / M_PI, 1e-13);
    GetBL2FromBL1AndDeDn(90, 10, 500, 0, lat, lon);
    EXPECT_EQ(lon, 10);
}

TEST(SetAzFromLatLon, PlaneAzimuth)
{
    CMathAngle a;
    ASSERT_TRUE(a.setAzFromLatLon(0, 0, 0.001, 0.001, 0));
    EXPECT_NEAR(a.getDeg(), 44.9999999989, 1e-10);
    ASSERT_TRUE(a.setAzFromLatLon(0, 0, 0.001, 0.001, 5000));
    EXPECT_NEAR(a.getDeg(), 44.9999999989, 1e-10) << "the height cancels";
    ASSERT_TRUE(a.setAzFromLatLon(0, 179.9999, 0, -179.9999, 0));
    EXPECT_EQ(a.getDeg(), 90.0) << "across +-180 the short way";
    ASSERT_TRUE(a.setAzFromLatLon(30, 10, 30, 9, 0));
    EXPECT_EQ(a.getDeg(), -90.0);
    EXPECT_FALSE(a.setAzFromLatLon(30, 10, 30, 10, 0));
}

TEST(ComputeBLIntersectionPoint, Meets)
{
    double lat = 0, lon = 0;
    // North from (47, 8) and west from a point east and north of it.
    double dN, dE, la2, lo2;
    GetBL2FromBL1AndDeDn(47, 8, 300, 400, la2, lo2);
    ASSERT_EQ(ComputeBLIntersectionPoint(47, 8, 0, la2, lo2, 270, lat, lon), 1);
    GetNeOffsetFromLatLon(dN, dE, 47, 8, lat, lon, 0, 0);
    EXPECT_NEAR(dE, 0, 1e-9);
    EXPECT_NEAR(dN, 400, 1e-3);
    double kept = -1;
    EXPECT_EQ(ComputeBLIntersectionPoint(47, 8, 0, la2, lo2, 180, kept, kept), 0);
    EXPECT_EQ(kept, -1);
}

TEST(GeographicFrame, RoundTripAtHeightZero)
{
    std::mt19937_64 rng(39);
    std::uniform_real_distribution<double> lat(-70, 70), lon(-180, 180), off(-700, 700);
    for (int k = 0; k < 500; ++k) {
        const double llh0[3] = {lat(rng), lon(rng), 0};
        double llh1[3] = {0, 0, 0}, p[3] = {0, 0, 0};
        GetOffsetLatLon(llh1[0], llh1[1], llh0[0], llh0[1], off(rng), off(rng), 0, 0);
        GetOffsetLatLon(p[0], p[1], llh0[0], llh0[1], off(rng), off(rng), 0, 0);
        double ptl[3], back[3];
        WGSCoordsToPtl(llh0, llh1, p, ptl);
        PtlToWGSCoords(llh0, llh1, ptl, back);
        const double r = literalR(llh0[0]);
        EXPECT_NEAR((back[0] - p[0]) * M_PI / 180 * r, 0, 1e-7) << "case " << k;
        EXPECT_NEAR((back[1] - p[1]) * M_PI / 180 * r * std::cos(p[0] * M_PI / 180), 0, 1e-7) << "case " << k;
        EXPECT_EQ(back[2], 0.0);
    }
}

TEST(WgsOffsets, PairRoundTrips)
{
    const double llh0[3] = {47, 8, 500};
    for (bool slope : {false, true}) {
        double llh1[3] = {0, 0, 512.5};
        GetOffsetLatLon(llh1[0], llh1[1], 47, 8, 300, -400, 0, 0);
        double off[3], back[3];
        GetOffsetFromWgsCoords(llh0, llh1, slope, off);
        OffsetWgsCoords(llh0, off, slope, back);
        double dN, dE;
        GetNeOffsetFromLatLon(dN, dE, llh1[0], llh1[1], back[0], back[1], 0, 0);
        EXPECT_LT(std::hypot(dN, dE), 6e-4) << (slope ? "slope" : "horizontal");
        EXPECT_NEAR(back[2], 512.5, 1e-9) << (slope ? "slope" : "horizontal");
    }
}

TEST(DistanceReductions, GroundAndEllipsoid)
{
    double out = 0;
    ASSERT_EQ(CogoFunctions::GetGroundDistance(1000, 500, 6378137, 298.257223563, 45, out), 1);
    EXPECT_NEAR(out, 1000.078393239, 1e-9);
    ASSERT_EQ(CogoFunctions::GetGeodesicDistance(1000, 500, 6378137, 298.257223563, 45, out), 1);
    EXPECT_NEAR(out, 999.921612906, 1e-9);
    ASSERT_EQ(CogoFunctions::GetAvgGroundDistance(1000, 400, 600, 6378137, 298.257223563, 45, 45, out), 1);
    EXPECT_NEAR(out, 1000.078393239, 1e-9);
    ASSERT_EQ(CogoFunctions::GetAvgGeodesicDistance(1000, 400, 600, 6378137, 298.257223563, 44.9, 45.1, out), 1);
    EXPECT_NEAR(out, 999.921612906, 1e-7);
    // rf 0 is GRS 80's flattening, not a NaN.
    ASSERT_EQ(CogoFunctions::GetGroundDistance(1000, 500, 6378137, 0, 45, out), 1);
    EXPECT_NEAR(out, 1000.078393239, 1e-8);
}

} // namespace
