// Tests of the covariance-weighted mean, the earth-centred covariance and TCoordCov.
#include "cogo/covariance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

TEST(WAveVec, WeightedMeans)
{
    struct Case {
        const char* name;
        double cov1[6], vec1[3], cov2[6], vec2[3];
        double expectCov[6], expectVec[3];
    } cases[] = {
        {"equal covariances: mean and half", {4e-4, 0, 4e-4, 0, 0, 4e-4}, {10, 20, 30},
         {4e-4, 0, 4e-4, 0, 0, 4e-4}, {10.1, 20.2, 30.3},
         {2e-4, 0, 2e-4, 0, 0, 2e-4}, {10.05, 20.1, 30.15}},
        {"unequal", {4e-4, 0, 4e-4, 0, 0, 9e-4}, {10, 20, 30},
         {1e-4, 0, 1e-4, 0, 0, 1e-4}, {10.05, 19.98, 30.02},
         {8e-5, 0, 8e-5, 0, 0, 9e-5}, {10.04, 19.984, 30.018}},
    };
    for (const Case& c : cases) {
        double cov2[6], vec2[3];
        std::copy(c.cov2, c.cov2 + 6, cov2);
        std::copy(c.vec2, c.vec2 + 3, vec2);
        ASSERT_EQ(wAveVec(c.cov1, c.vec1, cov2, vec2), 1) << c.name;
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(cov2[i], c.expectCov[i], 1e-15) << c.name << " cov " << i;
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(vec2[i], c.expectVec[i], 1e-12) << c.name << " vec " << i;
        double cov[6];
        std::copy(c.cov2, c.cov2 + 6, cov);
        ASSERT_EQ(wAveCov(c.cov1, cov), 1);
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(cov[i], c.expectCov[i], 1e-15) << c.name << " wAveCov " << i;
    }
    // sigma 0.4 mm: det 4e-21 counts as singular; nothing written.
    const double s = 0.0004 * 0.0004;
    const double small[6] = {s, 0, s, 0, 0, s};
    double cov2[6] = {1e-4, 0, 1e-4, 0, 0, 1e-4}, vec2[3] = {1, 2, 3};
    const double vec1[3] = {0, 0, 0};
    EXPECT_EQ(wAveVec(small, vec1, cov2, vec2), 0);
    EXPECT_EQ(vec2[0], 1);
    EXPECT_EQ(cov2[0], 1e-4);
    EXPECT_EQ(wAveCov(small, cov2), 0);
    EXPECT_EQ(cov2[0], 1e-4);
}

TEST(ComputeCovMatrix, BackToTheLocalFrame)
{
    struct Case {
        double lat, lon, plan, height;
    } cases[] = {{47.3, 8.5, 0.02, 0.035}, {-33.9, 151.2, 0.01, 0.02}, {0, -179, 0.5, 1}, {89, 45, 0.003, 0.004}};
    for (const Case& c : cases) {
        double cov[6];
        ComputeCovMatrix(c.lat, c.lon, c.plan, c.height, cov);
        TCoordCov t;
        t.c11 = cov[0], t.c12 = cov[1], t.c22 = cov[2], t.c13 = cov[3], t.c23 = cov[4], t.c33 = cov[5];
        TCoords where;
        where.x = c.lat;
        where.y = c.lon;
        t.geocentric2topocentric(where);
        const double h = c.plan * c.plan / 2, v = c.height * c.height;
        EXPECT_NEAR(t.c11, h, 1e-12 * v) << c.lat;
        EXPECT_NEAR(t.c22, h, 1e-12 * v) << c.lat;
        EXPECT_NEAR(t.c33, v, 1e-12 * v) << c.lat;
        EXPECT_NEAR(t.c12, 0, 1e-12 * v) << c.lat;
        EXPECT_NEAR(t.c13, 0, 1e-12 * v) << c.lat;
        EXPECT_NEAR(t.c23, 0, 1e-12 * v) << c.lat;
        double plan, height;
        t.getRms(plan, height);
        EXPECT_NEAR(plan, c.plan, 1e-12 * c.plan);
        EXPECT_NEAR(height, c.height, 1e-12 * c.height);
    }
}

TEST(TCoordCov, InverseOfRandomCovariances)
{
    std::mt19937_64 rng(37);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int k = 0; k < 1000; ++k) {
        // R diag(sigma^2) R^T, sigma from 1 mm to 1 m, within a factor 100 of each other.
        const double base = std::pow(10.0, -3 + 1 * unit(rng));
        double d[3][3] = {};
        for (int i = 0; i < 3; ++i) {
            const double s = base * std::pow(10.0, 2 * unit(rng));
            d[i][i] = s * s;
        }
        double r[3][3];
        GenerateATMatrix(r, 180 * unit(rng) - 90, 360 * unit(rng));
        double t[3][3];
        GenerateTransposeMatrix(r, t);
        ProdMat(r, d, d);
        ProdMat(d, t, d);
        TCoordCov c;
        c.c11 = d[0][0], c.c22 = d[1][1], c.c33 = d[2][2], c.c12 = d[0][1], c.c13 = d[0][2], c.c23 = d[1][2];
        TCoordCov inv;
        ASSERT_TRUE(c.getInverse(inv)) << k;
        for (int j = 0; j < 3; ++j) {
            TCoords e;
            e.x = j == 0, e.y = j == 1, e.z = j == 2;
            const TCoords col = c * (inv * e);
            EXPECT_EQ(col.mask, 7);
            EXPECT_NEAR(col.x, j == 0, 1e-9) << "case " << k;
            EXPECT_NEAR(col.y, j == 1, 1e-9) << "case " << k;
            EXPECT_NEAR(col.z, j == 2, 1e-9) << "case " << k;
        }
    }
}

TEST(TCoordCov, ScaleTransformAndProducts)
{
    TCoordCov c;
    c.c11 = 4, c.c22 = 9, c.c33 = 16, c.c12 = 1, c.c13 = 2, c.c23 = 3;
    TCoordCov s = c;
    s.scale(2, 3, 4);
    EXPECT_DOUBLE_EQ(s.c11, 1);
    EXPECT_DOUBLE_EQ(s.c22, 1);
    EXPECT_DOUBLE_EQ(s.c33, 1);
    EXPECT_DOUBLE_EQ(s.c12, 1.0 / 6);
    EXPECT_DOUBLE_EQ(s.c23, 3.0 / 12);
    double swap[3][3] = {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}};
    TCoordCov w = c;
    w.transformToAnotherCS(swap);
    EXPECT_EQ(w.c11, 9);
    EXPECT_EQ(w.c22, 4);
    EXPECT_EQ(w.c13, 3);
    // ProdMat into one of its inputs.
    double a[3][3] = {{1, 2, 0}, {0, 1, 0}, {0, 0, 1}}, b[3][3] = {{1, 0, 0}, {3, 1, 0}, {0, 0, 2}};
    ProdMat(a, b, a);
    EXPECT_EQ(a[0][0], 7);
    EXPECT_EQ(a[0][1], 2);
    EXPECT_EQ(a[2][2], 2);
    TCoordCov zero;
    TCoordCov out = c;
    EXPECT_FALSE(zero.getInverse(out));
    EXPECT_EQ(out.c11, 4);
}

} // namespace
