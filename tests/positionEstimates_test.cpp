// Tests of the Gauss-Markov step, the position average and the position from vertical angles.
#include "cogo/positionEstimates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(FirstOrderGaussMarkov, PredictionAndUpdate)
{
    double x = 1, p = 0.5;
    firstOrderGaussMarkov(x, p, 0.1, 10, 2, 0.5, 1);
    EXPECT_NEAR(x, 1.6349458060, 1e-10);
    EXPECT_NEAR(p, 0.1666666667, 1e-10);
    // An exact measurement: x = z, p = 0.
    x = 1, p = 0.5;
    firstOrderGaussMarkov(x, p, 0.1, 10, 2, 0.0, 1);
    EXPECT_DOUBLE_EQ(x, 2.0);
    EXPECT_EQ(p, 0.0);
    // p = q = 0 and sigmaZ = 0 (a 0 / 0 gain): the prediction is kept.
    x = 1, p = 0;
    firstOrderGaussMarkov(x, p, 0.0, 10, 2, 0.0, 1);
    EXPECT_DOUBLE_EQ(x, std::exp(-0.1));
    EXPECT_EQ(p, 0.0);
    // tau 0 is taken as 1e-16: everything forgotten, the measurement wins.
    x = 5, p = 1;
    firstOrderGaussMarkov(x, p, 0.0, 0.0, 2, 1.0, 1);
    EXPECT_EQ(x, 0.0);
}

TEST(AveragePositions, EqualFiguresGiveTheMean)
{
    std::mt19937_64 rng(35);
    std::uniform_real_distribution<double> jitter(-0.05, 0.05);
    const PosInfo info{0.01f, 0.012f, 0.02f, 1.5f};
    double avg[3], mean[3] = {0, 0, 0};
    PosInfo avgInfo;
    double running = 0.0;
    for (int k = 0; k < 10; ++k) {
        const double pos[3] = {1000 + jitter(rng), 2000 + jitter(rng), 50 + jitter(rng)};
        for (int i = 0; i < 3; ++i)
            mean[i] += pos[i] / 10;
        if (k == 0)
            StartAvgPositions(avg, &avgInfo, pos, &info);
        else
            ASSERT_EQ(ComputeAvgPositions(avg, &avgInfo, pos, &info, &running), 1);
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(avg[i], mean[i], 1e-8) << "coordinate " << i;
    const double s = 1.5 * 0.02 / std::sqrt(10.0);
    EXPECT_NEAR(avgInfo.p2, s, 1e-6 * s);
    EXPECT_NEAR(avgInfo.p0, 1.5 * 0.01 / std::sqrt(10.0), 1e-6 * s);
    EXPECT_EQ(avgInfo.m, 1.0f);
    EXPECT_NEAR(running, 0.02 * 0.02, 1e-10) << "running mean of the squared third figure";
}

TEST(AveragePositions, MissingPrecisionCarriesNoWeight)
{
    PosInfo a{0.01f, 0.01f, 0.01f, 1.0f}, none{0.0f, 0.0f, 0.0f, 1.0f};
    double avg[3] = {1, 2, 3};
    const double pos[3] = {100, 200, 300};
    ComputeAvgPositions(avg, &a, pos, &none, nullptr);
    EXPECT_NEAR(avg[0], 1.0, 1e-10);
    EXPECT_NEAR(a.p2, 0.01, 1e-8);
    PosInfo dop{0.02f, 0.0f, 0.02f, 1.0f};
    const PosInfo add{0.02f, 0.03f, 0.0f, 1.0f};
    ComputeAvgDOPs(&dop, &add);
    EXPECT_NEAR(dop.p0, 0.02 / std::sqrt(2.0), 1e-8);
    EXPECT_NEAR(dop.p1, 0.03, 1e-8);
    EXPECT_NEAR(dop.p2, 0.02, 1e-8);
}

// Exact elevation angles from `pt` to the known points.
std::vector<double> anglesTo(const std::vector<double>& pts, const double* pt)
{
    std::vector<double> a;
    for (size_t i = 0; i < pts.size(); i += 3) {
        const double d = std::hypot(pt[0] - pts[i], pt[1] - pts[i + 1]);
        a.push_back(std::atan2(pt[2] - pts[i + 2], d) * 180 / M_PI);
    }
    return a;
}

TEST(InitializeQadra2, RecoversThePoint)
{
    const std::vector<double> pts = {0, 0, 10, 200, 0, 30, 200, 200, 5, 0, 200, 20};
    const double pt[3] = {120, 80, 60};
    const std::vector<double> a = anglesTo(pts, pt);
    double out[3] = {0, 0, -1}, rms = -1;
    int status = -1;
    InitializeQadra2(4, pts.data(), a.data(), out, status, rms);
    EXPECT_EQ(status, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(out[i], pt[i], 1e-6);
    EXPECT_LT(rms, 1e-6);
}

TEST(InitializeQadra2, RandomFigures)
{
    std::mt19937_64 rng(36);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<int> count(3, 8);
    for (int k = 0; k < 300; ++k) {
        const int n = count(rng);
        const double R = 50 + 450 * unit(rng);
        std::vector<double> pts;
        double cx = 0, cy = 0;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * M_PI * (i + 0.3 * unit(rng)) / n, r = R * (0.9 + 0.2 * unit(rng));
            pts.push_back(r * std::cos(a));
            pts.push_back(r * std::sin(a));
            pts.push_back(20 * unit(rng));
            cx += pts[3 * i] / n;
            cy += pts[3 * i + 1] / n;
        }
        const double d = 0.3 * R * unit(rng), t = 2 * M_PI * unit(rng);
        const double pt[3] = {cx + d * std::cos(t), cy + d * std::sin(t), 30 + 50 * unit(rng)};
        const std::vector<double> a = anglesTo(pts, pt);
        double out[3], rms;
        int status;
        InitializeQadra2(n, pts.data(), a.data(), out, status, rms);
        const std::string name = "case " + std::to_string(k) + " n " + std::to_string(n);
        EXPECT_EQ(status, 0) << name;
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(out[i], pt[i], 1e-6) << name;
    }
}

TEST(InitializeQadra2, Failures)
{
    struct Case {
        const char* name;
        std::vector<double> pts;
        int status;
    } cases[] = {
        {"two points", {0, 0, 0, 10, 0, 0}, 3},
        {"three on a line", {0, 0, 0, 10, 0, 0, 30, 0, 0}, 1},
        {"centroid on a known point", {0, 0, 0, -10, 0, 0, 10, 0, 0, 0, 5, 0, 0, -5, 0}, 2},
    };
    for (const Case& c : cases) {
        const std::vector<double> a(c.pts.size() / 3, 10.0);
        double out[3] = {-7, -7, -7}, rms = 0;
        int status = -1;
        InitializeQadra2(static_cast<int>(a.size()), c.pts.data(), a.data(), out, status, rms);
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(out[2], -7) << c.name << ": no move, no height";
    }
}

} // namespace
