// Tests of the inverse and direct geodesic problems against GeographicLib (Karney's algorithms,
// accurate to about 15 nm), on WGS-84.
#include "cogo/geodesic.h"

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>
#include <string>

namespace {

const double kA = 6378137.0, kRf = 298.257223563;

const GeographicLib::Geodesic& reference()
{
    static const GeographicLib::Geodesic g(kA, 1.0 / kRf);
    return g;
}

double azimuthMiss(double a, double b)
{
    return std::fabs(std::remainder(a - b, 360.0)) * M_PI / 180;
}

struct Checked {
    double distMiss, sideMiss1, sideMiss2;
};

// Our invlon against GeographicLib's inverse: distance, and the sideways misses of both
// azimuths (distance x azimuth error; m12 x azimuth error when useM12).
Checked check(double lat1, double lon1, double lat2, double lon2, bool useM12)
{
    double faz, s, baz;
    invlon(kA, kRf, lat1, lon1, lat2, lon2, faz, s, baz);
    double s12, azi1, azi2, m12;
    reference().Inverse(lat1, lon1, lat2, lon2, s12, azi1, azi2, m12);
    const double lever = useM12 ? std::fabs(m12) : s12;
    return {std::fabs(s - s12), lever * azimuthMiss(faz, azi1), lever * azimuthMiss(baz, azi2 + 180)};
}

TEST(Invers, RandomLinesUpTo10000Km)
{
    std::mt19937_64 rng(40);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int k = 0; k < 20000; ++k) {
        const double lat1 = std::asin(2 * unit(rng) - 1) * 180 / M_PI, lon1 = 360 * unit(rng) - 180;
        const double s = std::pow(10.0, 7 * unit(rng)), az = 360 * unit(rng);
        double lat2, lon2;
        reference().Direct(lat1, lon1, az, s, lat2, lon2);
        const Checked c = check(lat1, lon1, lat2, lon2, false);
        const std::string name = "case " + std::to_string(k) + " s " + std::to_string(s);
        EXPECT_LT(c.distMiss, 1e-4) << name;
        EXPECT_LT(c.sideMiss1, 1e-4) << name;
        EXPECT_LT(c.sideMiss2, 1e-4) << name;
    }
}

TEST(Invers, NearlyAntipodal)
{
    struct Case {
        double lat1, lon1, lat2, lon2, s;
    } cases[] = {
        {0, 0, 0, 180, 20003931.4586},
        {90, 0, -90, 0, 20003931.4586},
        {0, 0, 0.5, 179.7, 19944127.4208},
    };
    for (const Case& c : cases) {
        double faz, s, baz;
        invlon(kA, kRf, c.lat1, c.lon1, c.lat2, c.lon2, faz, s, baz);
        EXPECT_NEAR(s, c.s, 1e-3) << c.lat1 << " " << c.lon2;
        const Checked k = check(c.lat1, c.lon1, c.lat2, c.lon2, true);
        EXPECT_LT(k.distMiss, 1e-3);
        EXPECT_LT(k.sideMiss1, 1e-3) << c.lat1 << " " << c.lon2;
    }
    std::mt19937_64 rng(41);
    std::uniform_real_distribution<double> unit(0, 1);
    int fallback = 0;
    for (int k = 0; k < 3000; ++k) {
        const double lat1 = std::asin(2 * unit(rng) - 1) * 180 / M_PI, lon1 = 360 * unit(rng) - 180;
        // Within 5 degrees of the antipode.
        const double lat2 = std::max(-90.0, std::min(90.0, -lat1 + 10 * unit(rng) - 5));
        const double lon2 = lon1 + 180 + 10 * unit(rng) - 5;
        const auto t0 = std::chrono::steady_clock::now();
        double faz, baz, s, sigma;
        int iterations, lambdaFlag, kind;
        invers(kA, kRf, lat1, lon1, lat2, lon2, faz, baz, s, iterations, sigma, lambdaFlag, kind);
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(50)) << "bounded";
        EXPECT_LE(iterations, 400);
        fallback += lambdaFlag == 0;
        const Checked c = check(lat1, lon1, lat2, lon2, true);
        const std::string name = "case " + std::to_string(k) + " (" + std::to_string(lat1) + ", " +
                                 std::to_string(lon1) + ") (" + std::to_string(lat2) + ", " + std::to_string(lon2) + ")";
        EXPECT_LT(c.distMiss, 1e-3) << name;
        EXPECT_LT(c.sideMiss1, 1e-3) << name;
        EXPECT_LT(c.sideMiss2, 1e-3) << name;
    }
    EXPECT_GT(fallback, 0) << "the azimuth solve ran";
}

TEST(Invers, FlagsAndSpecialPoints)
{
    double faz, baz, s, sigma;
    int it, flag, kind;
    invers(kA, kRf, 47, 8, 47, 8, faz, baz, s, it, sigma, flag, kind);
    EXPECT_EQ(kind, INVERS_COINCIDENT);
    EXPECT_EQ(s, 0.0);
    invers(kA, kRf, 47, 8, 48, 9, faz, baz, s, it, sigma, flag, kind);
    EXPECT_EQ(kind, INVERS_LAMBDA);
    EXPECT_EQ(flag, 1);
    EXPECT_GT(it, 1);
    EXPECT_NEAR(sigma, s / 6371000, 1e-4);
    invers(kA, kRf, 0, 0, 0, 180, faz, baz, s, it, sigma, flag, kind);
    EXPECT_EQ(kind, INVERS_AZIMUTH);
    EXPECT_EQ(flag, 0);
    // Order of the outputs: invlon puts the distance between the azimuths.
    double f2, s2, b2;
    invlon(kA, kRf, -33.8688, 151.2093, -37.8136, 144.9631, f2, s2, b2);
    EXPECT_NEAR(f2, 230.40330308, 1e-8);
    EXPECT_NEAR(b2, 234.06527441 - 180, 1e-8);
    EXPECT_NEAR(s2, 713857.6651, 1e-4);
}

TEST(GeoDirectComp, RandomLinesInItsDomain)
{
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> unit(0, 1);
    int tested = 0;
    for (int k = 0; k < 6000 && tested < 3000; ++k) {
        const double lat1 = (2 * unit(rng) - 1) * 86, lon1 = 360 * unit(rng) - 180;
        double az = 360 * unit(rng);
        if (k % 10 == 0)
            az = (k % 20 == 0 ? 1 : -1) * 1e-9 * unit(rng);   // within 1e-9 degrees of north
        const double s = std::pow(10.0, 2 + 4 * unit(rng));
        double lat2, lon2;
        reference().Direct(lat1, lon1, az, s, lat2, lon2);
        const double tanMax = std::tan(std::max(std::fabs(lat1), std::fabs(lat2)) * M_PI / 180);
        if (s * tanMax > 1.5e6)
            continue;
        ++tested;
        const double p1[2] = {lat1, lon1};
        double p2[2];
        ASSERT_EQ(CogoFunctions::GeoDirectComp(kA, kRf, p1, az, s, p2), 1);
        double miss;
        reference().Inverse(lat2, lon2, p2[0], p2[1], miss);
        EXPECT_LT(miss, 1e-4) << "case " << k << " s " << s << " az " << az << " lat1 " << lat1;
    }
    EXPECT_GT(tested, 2000);
    const double p1[2] = {10, 20};
    double p2[2];
    CogoFunctions::GeoDirectComp(kA, kRf, p1, 45, 0.0, p2);
    EXPECT_EQ(p2[0], 10);
    EXPECT_EQ(p2[1], 20);
}

TEST(GeoDirectComp, WorkedLineAndDomainEdge)
{
    const double p1[2] = {40, -75};
    double p2[2];
    CogoFunctions::GeoDirectComp(kA, kRf, p1, 45, 100000, p2);
    EXPECT_NEAR(p2[0], 40.6338006753, 1e-10);
    EXPECT_NEAR(p2[1], -74.1641722387, 1e-10);
    // Beyond the domain: 1000 km east at 80 degrees misses by kilometres.
    const double north[2] = {80, 0};
    CogoFunctions::GeoDirectComp(kA, kRf, north, 90, 1000000, p2);
    double lat2, lon2, miss;
    reference().Direct(80, 0, 90, 1000000, lat2, lon2);
    reference().Inverse(lat2, lon2, p2[0], p2[1], miss);
    EXPECT_GT(miss, 1000);
}

TEST(GeoTwoPointInverse, IsInvlon)
{
    const double p1[2] = {-33.8688, 151.2093}, p2[2] = {-37.8136, 144.9631};
    double faz, baz, s;
    EXPECT_EQ(CogoFunctions::GeoTwoPointInverse(kA, kRf, p1, p2, faz, baz, s), 1);
    EXPECT_NEAR(faz, 230.40330308, 1e-8);
    EXPECT_NEAR(s, 713857.6651, 1e-4);
}

} // namespace
