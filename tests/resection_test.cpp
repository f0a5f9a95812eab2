// Tests of the backsight constant, the station height, the approximate station position and
// the full resection.
#include "cogo/instrumentTasks.h"
#include "cogo/resection.h"
#include "numeric/unsetValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(ComputeBSConstant, CircularMeanAndResiduals)
{
    // Across north: readings 359.99 and 0.01 to azimuths 0 and 0.02 give 0.01, not 180.01.
    const double az[3] = {0.0, 0.02, 90.0}, ha[3] = {359.99, 0.01, 270.0};
    const int valid[3] = {1, 1, 1}, use[3] = {1, 1, 0};
    double c = -1, sc = -1, res[3] = {7, 7, 7};
    ASSERT_EQ(computeBSConstant(3, az, valid, ha, 4.0, use, c, sc, 1, res), 1);
    EXPECT_NEAR(c, 0.01, 1e-10);
    EXPECT_NEAR(sc, 4.0 / std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(res[0], 0.0, 1e-10);
    EXPECT_NEAR(res[1], 0.0, 1e-10);
    // The unused observation still gets its residual: 270 + 0.01 - 90 = 180.01 -> -179.99.
    EXPECT_NEAR(res[2], -179.99, 1e-10);
}

TEST(ComputeBSConstant, ResidualOfMinus180IsPlus180)
{
    const double az[2] = {0.0, 180.0}, ha[2] = {0.0, 0.0};
    const int valid[2] = {1, 1}, use[2] = {1, 0};
    double c, sc, res[2];
    ASSERT_EQ(computeBSConstant(2, az, valid, ha, 1.0, use, c, sc, 1, res), 1);
    EXPECT_EQ(c, 0.0);
    EXPECT_EQ(res[1], 180.0);
}

TEST(ComputeBSConstant, NothingUsedWritesZeroAndFails)
{
    const double az[2] = {10, 20}, ha[2] = {0, 0};
    const int valid[2] = {1, 0}, use[2] = {0, 1};
    double c = 5, sc = 5, res[2] = {3, 3};
    EXPECT_EQ(computeBSConstant(2, az, valid, ha, 2.5, use, c, sc, 1, res), 0);
    EXPECT_EQ(c, 0.0);
    EXPECT_EQ(sc, 2.5);
    EXPECT_EQ(res[0], 3);
}

TEST(HeightInResection, WeightsAndResiduals)
{
    TG2gParams g2g;
    // Three observations of one station height 100 (hi 1.5, targets 1.2), the third 4 mm off.
    const double sd[3] = {100, 200, 150}, za[3] = {80, 95, 88}, th[3] = {1.2, 1.2, 1.2};
    double kh[3];
    for (int i = 0; i < 3; ++i)
        kh[i] = 100 + 1.5 + sd[i] * std::cos(za[i] * M_PI / 180) - th[i];
    kh[2] += 0.004;
    const int f1[3] = {1, 1, 1}, f2[3] = {1, 1, 1}, f3[3] = {1, 1, 1}, f4[3] = {1, 1, 1};
    double h = -1, sh = -1, hd[3], rh[3], rz[3];
    ASSERT_EQ(HeightInResection(3, kh, sd, za, th, 1.5, 5, 0.003, 3, f1, f2, f3, f4, h, sh, 1, hd, rh, rz, g2g), 1);
    // Independent weighted mean.
    double sw = 0, swh = 0, w[3], hs[3];
    const double a = std::pow(5 / 206264.8, 2);
    for (int i = 0; i < 3; ++i) {
        const double z = za[i] * M_PI / 180;
        w[i] = 1 / ((0.003 * 0.003 + 9e-12 * sd[i] * sd[i]) * std::pow(std::cos(z), 2) +
                    std::pow(sd[i] * std::sin(z), 2) * a + 1e-50);
        hs[i] = kh[i] + th[i] - sd[i] * std::cos(z) - 1.5;
        sw += w[i];
        swh += w[i] * hs[i];
    }
    const double mean = swh / sw;
    EXPECT_NEAR(h, mean, 1e-12);
    double V = 0;
    for (int i = 0; i < 3; ++i) {
        V += w[i] * std::pow(mean - hs[i], 2);
        EXPECT_NEAR(rh[i], mean - hs[i], 1e-12);
        EXPECT_NEAR(hd[i], mean - kh[i], 1e-12);
        EXPECT_NEAR(rz[i], (mean - hs[i]) / (sd[i] * std::sin(za[i] * M_PI / 180)) * 180 / M_PI, 1e-12);
    }
    // The usual a-posteriori factor sqrt(V / (m - 1)) (m = 3 tells it from sqrt(V) / (m - 1)).
    EXPECT_NEAR(sh, std::sqrt(1 / sw) * std::sqrt(V / 2), 1e-15);

    // One usable observation: its height and sqrt(1 / w), unscaled.
    const int one[3] = {1, 0, 0};
    ASSERT_EQ(HeightInResection(3, kh, sd, za, th, 1.5, 5, 0.003, 3, f1, one, f3, f4, h, sh, 0, hd, rh, rz, g2g), 1);
    EXPECT_NEAR(h, hs[0], 1e-12);
    EXPECT_NEAR(sh, std::sqrt(1 / w[0]), 1e-15);
    // None with all four flags: 0 with the outputs zeroed.
    const int none[3] = {0, 0, 0};
    EXPECT_EQ(HeightInResection(3, kh, sd, za, th, 1.5, 5, 0.003, 3, f1, f2, none, f4, h, sh, 0, hd, rh, rz, g2g), 0);
    EXPECT_EQ(h, 0.0);
    EXPECT_EQ(sh, 0.0);
}

// Exact observations from a station to known points.
struct StationSetup {
    double n, e, h, orientation, hi;
    std::vector<TResectionObs> obs;

    void add(double pn, double pe, double ph, double ht, bool ha, bool dist, bool height = true)
    {
        const double stn[3] = {n, e, h};
        const double tgt[3] = {pn, pe, ph};
        double o[3];
        TaskInverse(stn, orientation, hi - ht, tgt, o);
        obs.push_back({pn, pe, ph, std::fmod(o[0], 360.0), o[1], o[2], ht, height ? 1 : 0, ha ? 1 : 0, dist ? 1 : 0, 1});
    }
};

TEST(ApproximateResection, CandidatesAndAmbiguity)
{
    TG2gParams g2g;
    // Two points with distances only: two circle intersections, more than 0.25 m apart: ambiguous.
    const double north[2] = {100, 0}, east[2] = {0, 100}, ha[2] = {0, 0}, za[2] = {90, 90};
    const double sd[2] = {100, 100};
    const int known[2] = {1, 1}, noHa[2] = {0, 0}, yes[2] = {1, 1};
    double sn = 7, se = 7;
    EXPECT_EQ(approximateResectionHCoords(2, north, east, known, ha, noHa, za, sd, yes, yes, sn, se, g2g), 0);
    EXPECT_EQ(sn, 7);
    EXPECT_EQ(approximateResectionHCoords(0, north, east, known, ha, noHa, za, sd, yes, yes, sn, se, g2g), 0);

    // A duplicate 0.1 m from the first point is dropped: with it only two points remain, and the
    // three-point solution (needing three distinct points) is not tried.
    StationSetup s{0, 0, 0, 20, 0, {}};
    s.add(100, 10, 0, 0, true, false);
    s.add(100.1, 10, 0, 0, true, false);
    s.add(-20, 90, 0, 0, true, false);
    s.add(-60, -70, 0, 0, true, false);
    std::vector<double> n, e, h, z, d;
    std::vector<int> k, hh, hz;
    for (const TResectionObs& o : s.obs) {
        n.push_back(o.north), e.push_back(o.east), h.push_back(o.ha), z.push_back(o.za), d.push_back(o.sd);
        k.push_back(1), hh.push_back(1), hz.push_back(0);
    }
    ASSERT_EQ(approximateResectionHCoords(4, n.data(), e.data(), k.data(), h.data(), hh.data(), z.data(), d.data(),
                                          hz.data(), hz.data(), sn, se, g2g),
              1);
    EXPECT_NEAR(sn, 0, 1e-6);
    EXPECT_NEAR(se, 0, 1e-6);
    k[3] = 0;   // only 100, 10 (its duplicate) and -20, 90 left: no candidate
    EXPECT_EQ(approximateResectionHCoords(4, n.data(), e.data(), k.data(), h.data(), hh.data(), z.data(), d.data(),
                                          hz.data(), hz.data(), sn, se, g2g),
              0);
}

TEST(ApproximateResection, SingleCandidateIsTheAnswer)
{
    // Readings to two points and a distance to the first only: the angle locus meets the
    // distance circle once more, on the arc of the supplementary angle, which is rejected.
    TG2gParams g2g;
    StationSetup s{10, 20, 0, 33, 0, {}};
    s.add(110, 20, 0, 0, true, true);
    s.add(10, 150, 0, 0, true, false);
    const double n[2] = {110, 10}, e[2] = {20, 150}, ha[2] = {s.obs[0].ha, s.obs[1].ha};
    const double za[2] = {s.obs[0].za, 90}, sd[2] = {s.obs[0].sd, 0};
    const int known[2] = {1, 1}, hasHa[2] = {1, 1}, hasDist[2] = {1, 0};
    double sn = 0, se = 0;
    ASSERT_EQ(approximateResectionHCoords(2, n, e, known, ha, hasHa, za, sd, hasDist, hasDist, sn, se, g2g), 1);
    EXPECT_NEAR(sn, 10, 1e-6);
    EXPECT_NEAR(se, 20, 1e-6);
}

TEST(ThreeDResection, UnusedObservationGetsResidualsOnly)
{
    TG2gParams g2g;
    StationSetup s{1000, 2000, 50, 12, 1.5, {}};
    s.add(1200, 2000, 52, 1.5, true, true);
    s.add(1000, 2300, 48, 1.5, true, true);
    s.add(700, 1900, 51, 1.5, true, true);
    s.add(900, 2200, 49, 1.5, true, true);
    s.obs[3].ha += 0.01;   // 36" off, not used
    s.obs[3].sd += 0.05;
    s.obs[3].use = 0;
    TResectionResult r;
    double rha[4], rhd[4], rh[4];
    ASSERT_EQ(ThreeDResection(4, s.obs.data(), 1.5, 5, 0.003, 3, g2g, r, rha, rhd, rh), 1);
    EXPECT_NEAR(r.north, 1000, 1e-6);
    EXPECT_NEAR(r.east, 2000, 1e-6);
    EXPECT_NEAR(r.height, 50, 1e-6);
    EXPECT_NEAR(r.orientation, 12, 1e-8);
    EXPECT_NEAR(rha[3], 36.0, 1e-4);
    EXPECT_NEAR(rhd[3], 0.05 * std::sin(s.obs[3].za * M_PI / 180), 1e-6);
    EXPECT_NEAR(rh[3], 0.05 * std::cos(s.obs[3].za * M_PI / 180), 1e-6) << "station height minus its height";
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(rha[i], 0.0, 1e-4);
}

TEST(ThreeDResection, WorkedStation)
{
    // Exact observations from (5000, 3000, 250), orientation 37.5, hi 1.6.
    const TResectionObs obs[4] = {
        {5150, 3050, 260, 340.9349488229, 86.4172108653, 158.423515, 1.5, 1, 1, 1, 1},
        {4900, 3200, 245, 79.0650511771, 91.3065695020, 223.664950, 1.5, 1, 1, 1, 1},
        {4950, 2850, 255, 214.0650511771, 88.2249535030, 158.189791, 1.5, 1, 1, 1, 1},
        {5100, 2800, 248, 259.0650511771, 90.5380766637, 223.616659, 1.5, 1, 1, 1, 1},
    };
    TG2gParams g2g;
    for (int n : {4, 2}) {
        TResectionResult r;
        double rha[4], rhd[4], rh[4];
        ASSERT_EQ(ThreeDResection(n, obs, 1.6, 5, 0.003, 3, g2g, r, rha, rhd, rh), 1) << n << " points";
        EXPECT_NEAR(r.north, 5000, 1e-5) << n;
        EXPECT_NEAR(r.east, 3000, 1e-5) << n;
        EXPECT_NEAR(r.height, 250, 1e-5) << n;
        EXPECT_NEAR(r.orientation, 37.5, 1e-6) << n;
        EXPECT_GT(r.sigmaNorth, 0.0);
        EXPECT_LT(r.sigmaNorth, 0.01);
    }
    // Directions only to three points: no height, the orientation still.
    TResectionObs dirs[3];
    for (int i = 0; i < 3; ++i) {
        dirs[i] = obs[i];
        dirs[i].hasZaSd = 0;
        dirs[i].hasHeight = 0;
    }
    TResectionResult r;
    double rha[3], rhd[3], rh[3];
    ASSERT_EQ(ThreeDResection(3, dirs, 1.6, 5, 0.003, 3, g2g, r, rha, rhd, rh), 1);
    EXPECT_NEAR(r.north, 5000, 1e-5);
    EXPECT_NEAR(r.east, 3000, 1e-5);
    EXPECT_TRUE(isUnset(r.height));
    EXPECT_TRUE(isUnset(r.sigmaHeight));
    EXPECT_NEAR(r.orientation, 37.5, 1e-6);
    EXPECT_TRUE(isUnset(rhd[0]));
    EXPECT_TRUE(isUnset(rh[0]));
    EXPECT_NEAR(rha[0], 0.0, 1e-3);
}

TEST(ThreeDResection, NoAnswerLeavesOutputsUntouched)
{
    TG2gParams g2g;
    // Directions only, the station on the circle through the three known points.
    const double r3 = 86.6025403784;
    StationSetup onCircle{50, r3, 0, 10, 0, {}};
    onCircle.add(100, 0, 0, 0, true, false, false);
    onCircle.add(-50, r3, 0, 0, true, false, false);
    onCircle.add(-50, -r3, 0, 0, true, false, false);
    struct Case {
        const char* name;
        std::vector<TResectionObs> obs;
        TResectionStatus status;
    } cases[] = {
        {"station on the circle", onCircle.obs, RESECTION_AMBIGUOUS},
        {"two points, directions only", {onCircle.obs[0], onCircle.obs[1]}, RESECTION_TOO_FEW},
        {"one point", {onCircle.obs[0]}, RESECTION_TOO_FEW},
        {"none", {}, RESECTION_TOO_FEW},
    };
    for (const Case& c : cases) {
        TResectionResult r;
        r.north = -7;
        double rha[3] = {-7, -7, -7};
        TResectionStatus status;
        EXPECT_EQ(ThreeDResection(static_cast<int>(c.obs.size()), c.obs.data(), 0, 5, 0.003, 3, g2g, r, rha, nullptr,
                                  nullptr, status),
                  0)
            << c.name;
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(r.north, -7) << c.name;
        EXPECT_EQ(rha[0], -7) << c.name;
    }
    TResectionResult r;
    TResectionStatus status;
    EXPECT_EQ(ThreeDResection(3, onCircle.obs.data(), 0, 0, 0.003, 3, g2g, r, nullptr, nullptr, nullptr, status), 0);
    EXPECT_EQ(status, RESECTION_BAD_INPUT) << "sigma 0";
}

// True when (n, e) lies within a tenth of the radius of the circle through some three points.
bool nearCircleOfThree(const std::vector<double>& px, const std::vector<double>& py, double n, double e)
{
    const size_t m = px.size();
    for (size_t i = 0; i < m; ++i)
        for (size_t j = i + 1; j < m; ++j)
            for (size_t l = j + 1; l < m; ++l) {
                const double ax = px[i], ay = py[i], bx = px[j], by = py[j], cx = px[l], cy = py[l];
                const double dd = 2 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by));
                const double ux = ((ax * ax + ay * ay) * (by - cy) + (bx * bx + by * by) * (cy - ay) +
                                   (cx * cx + cy * cy) * (ay - by)) / dd;
                const double uy = ((ax * ax + ay * ay) * (cx - bx) + (bx * bx + by * by) * (ax - cx) +
                                   (cx * cx + cy * cy) * (bx - ax)) / dd;
                const double rad = std::hypot(ax - ux, ay - uy);
                if (std::fabs(std::hypot(n - ux, e - uy) - rad) < 0.1 * rad)
                    return true;
            }
    return false;
}

// Random stations among 3 to 8 known points 20 to 500 m away, exact observations.
TEST(ThreeDResection, RecoversRandomStations)
{
    std::mt19937_64 rng(34);
    std::uniform_real_distribution<double> coord(-5000, 5000), unit(0, 1), orient(0, 360);
    std::uniform_int_distribution<int> count(3, 8);
    TG2gParams g2g;
    int solved[3] = {0, 0, 0};
    for (int k = 0; k < 600; ++k) {
        const int kind = k % 3;   // 0 directions and distances, 1 directions only, 2 two points with both
        StationSetup s{coord(rng), coord(rng), coord(rng) / 50, orient(rng), 1.5, {}};
        const int n = kind == 2 ? 2 : count(rng);
        // Directions only: the station off the circle through any three points by a tenth of
        // its radius or more (drawn again until so).
        std::vector<double> px, py;
        bool weak = true;
        for (int attempt = 0; attempt < 200 && weak; ++attempt) {
            px.clear();
            py.clear();
            for (int i = 0; i < n; ++i) {
                const double d = 20 + 480 * unit(rng), a = 2 * M_PI * unit(rng);
                px.push_back(s.n + d * std::cos(a));
                py.push_back(s.e + d * std::sin(a));
            }
            weak = kind == 1 && nearCircleOfThree(px, py, s.n, s.e);
        }
        if (weak)
            continue;
        for (int i = 0; i < n; ++i)
            s.add(px[i], py[i], coord(rng) / 50, 1.3, true, kind != 1);
        const std::string name = "case " + std::to_string(k) + " kind " + std::to_string(kind);
        TResectionResult r;
        std::vector<double> rha(n), rhd(n), rh(n);
        TResectionStatus status;
        ASSERT_EQ(ThreeDResection(n, s.obs.data(), s.hi, 5, 0.003, 3, g2g, r, rha.data(), rhd.data(), rh.data(), status),
                  1)
            << name << " status " << status;
        ++solved[kind];
        EXPECT_NEAR(r.north, s.n, 1e-6) << name;
        EXPECT_NEAR(r.east, s.e, 1e-6) << name;
        EXPECT_LT(std::fabs(std::remainder(r.orientation - s.orientation, 360.0)), 1e-8) << name;
        if (kind != 1) {
            EXPECT_NEAR(r.height, s.h, 1e-6) << name;
        }
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(rha[i], 0.0, 1e-4) << name << " reading residual (arc seconds) " << i;
            if (kind != 1) {
                EXPECT_NEAR(rhd[i], 0.0, 1e-6) << name << " distance residual " << i;
                EXPECT_NEAR(rh[i], 0.0, 1e-6) << name << " height residual " << i;
            } else {
                EXPECT_TRUE(isUnset(rhd[i])) << name;
            }
        }
    }
    EXPECT_EQ(solved[0], 200);
    EXPECT_EQ(solved[2], 200);
    EXPECT_GT(solved[1], 150) << "directions-only figures found";
}

TEST(ThreeDResection, GridDistancesFromGroundDistances)
{
    // Measured (ground) distances divided by the grid-to-ground factor before the adjustment.
    TG2gParams g2g;
    g2g.enabled = 1;
    g2g.mode = 2;
    g2g.height = 500;
    const double f = g2g.getFactor();
    StationSetup s{1000, 2000, 50, 0, 1.5, {}};
    s.add(1200, 2000, 50, 1.5, true, true);
    s.add(1000, 2300, 50, 1.5, true, true);
    s.add(700, 1900, 50, 1.5, true, true);
    for (TResectionObs& o : s.obs)
        o.sd *= f;
    TResectionResult r;
    ASSERT_EQ(ThreeDResection(3, s.obs.data(), 1.5, 5, 0.003, 3, g2g, r, nullptr, nullptr, nullptr), 1);
    EXPECT_NEAR(r.north, 1000, 1e-6);
    EXPECT_NEAR(r.east, 2000, 1e-6);
}

} // namespace
