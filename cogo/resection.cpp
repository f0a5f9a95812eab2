#include "cogo/resection.h"

#include "cogo/instrumentTasks.h"
#include "cogo/intersections.h"
#include "numeric/mathAngle.h"
#include "numeric/units.h"
#include "numeric/unsetValue.h"

#include <cmath>
#include <new>
#include <vector>

namespace {

const double kSecondsPerRadian = 206264.8;   // as the height weights define it
const double kTiny = 1e-50;
const double kMinV = 1e-16;
const double kSamePoint = 0.25;              // metres: duplicates, agreeing candidates
const int kMaxIterations = 20;
const double kSettledMove = 1e-8;            // metres
const double kSettledTurn = 1e-10;           // radians
const double kSingularPivot = 1e-10;         // relative to the diagonal

// ---- approximate position ----

struct Candidate {
    double x, y;   // east, north
};

void addSolutions(int count, double X1, double Y1, double X2, double Y2, std::vector<Candidate>& out)
{
    if (count >= 1)
        out.push_back({X1, Y1});
    if (count == 2)
        out.push_back({X2, Y2});
}

// ---- least squares ----

// Solves the symmetric system a x = b (m unknowns) by Cholesky. False when a pivot falls below
// kSingularPivot of its diagonal (rank deficient or nearly so).
bool solveNormal(int m, double a[3][3], const double* b, double* x)
{
    double l[3][3] = {};
    for (int j = 0; j < m; ++j) {
        double d = a[j][j];
        for (int k = 0; k < j; ++k)
            d -= l[j][k] * l[j][k];
        if (!(d > kSingularPivot * a[j][j]) || !(a[j][j] > 0.0))
            return false;
        l[j][j] = std::sqrt(d);
        for (int i = j + 1; i < m; ++i) {
            double s = a[i][j];
            for (int k = 0; k < j; ++k)
                s -= l[i][k] * l[j][k];
            l[i][j] = s / l[j][j];
        }
    }
    double y[3];
    for (int i = 0; i < m; ++i) {
        double s = b[i];
        for (int k = 0; k < i; ++k)
            s -= l[i][k] * y[k];
        y[i] = s / l[i][i];
    }
    for (int i = m - 1; i >= 0; --i) {
        double s = y[i];
        for (int k = i + 1; k < m; ++k)
            s -= l[k][i] * x[k];
        x[i] = s / l[i][i];
    }
    return true;
}

// Diagonal of the inverse of a (m unknowns), column by column through solveNormal.
bool inverseDiagonal(int m, double a[3][3], double* diag)
{
    for (int j = 0; j < m; ++j) {
        double e[3] = {0.0, 0.0, 0.0}, x[3];
        e[j] = 1.0;
        if (!solveNormal(m, a, e, x))
            return false;
        diag[j] = x[j];
    }
    return true;
}

double wrapPi(double a)
{
    return std::remainder(a, 2.0 * kPi);
}

struct Adjustment {
    const TResectionObs* obs;
    int n;
    double sigmaAngleRad, sigmaDist, ppm, factor;
    bool withOrientation;

    double gridDistance(int i) const { return obs[i].sd * std::sin(obs[i].za * kRadPerDeg) / factor; }
    double distanceVariance(int i) const
    {
        const double p = ppm * 1e-6 * obs[i].sd;
        return sigmaDist * sigmaDist + p * p;
    }
    bool usesHa(int i) const { return obs[i].use && obs[i].hasHa; }
    bool usesHd(int i) const { return obs[i].use && obs[i].hasZaSd; }

    // Normal equations at (N, E, o): unknowns dN, dE (and do, radians).
    void normals(double N, double E, double o, double a[3][3], double* b) const
    {
        for (int r = 0; r < 3; ++r) {
            b[r] = 0.0;
            for (int c = 0; c < 3; ++c)
                a[r][c] = 0.0;
        }
        for (int i = 0; i < n; ++i) {
            const double dN = obs[i].north - N, dE = obs[i].east - E;
            const double d2 = dN * dN + dE * dE;
            const double d = std::sqrt(d2);
            if (usesHa(i)) {
                // computed reading = azimuth - o
                const double row[3] = {dE / d2, -dN / d2, -1.0};
                const double l = wrapPi(obs[i].ha * kRadPerDeg - (std::atan2(dE, dN) - o));
                accumulate(row, l, 1.0 / (sigmaAngleRad * sigmaAngleRad), a, b);
            }
            if (usesHd(i)) {
                const double row[3] = {-dN / d, -dE / d, 0.0};
                accumulate(row, gridDistance(i) - d, 1.0 / distanceVariance(i), a, b);
            }
        }
    }

    static void accumulate(const double* row, double l, double w, double a[3][3], double* b)
    {
        for (int r = 0; r < 3; ++r) {
            b[r] += w * row[r] * l;
            for (int c = 0; c < 3; ++c)
                a[r][c] += w * row[r] * row[c];
        }
    }
};

bool finiteObs(const TResectionObs& o)
{
    const double v[7] = {o.north, o.east, o.height, o.ha, o.za, o.sd, o.targetHeight};
    for (int k = 0; k < 7; ++k) {
        const bool needed = k < 2 || (k == 2 && o.hasHeight) || (k == 3 && o.hasHa) ||
                            ((k == 4 || k == 5) && o.hasZaSd) || (k == 6 && o.hasHeight && o.hasZaSd);
        if (needed && !std::isfinite(v[k]))
            return false;
    }
    return true;
}

} // namespace

int computeBSConstant(int n, const double* az, const int* valid, const double* ha, double sigma, const int* use,
                      double& constant, double& sigmaConstant, int wantResiduals, double* residuals)
{
    constant = 0.0;
    sigmaConstant = sigma;
    double S = 0.0, C = 0.0;
    int m = 0;
    for (int i = 0; i < n; ++i) {
        if (valid[i] && use[i]) {
            const double x = (az[i] - ha[i]) * kRadPerDeg;
            S += std::sin(x);
            C += std::cos(x);
            ++m;
        }
    }
    if (m < 1)
        return 0;
    constant = atan3(S, C) * kDegPerRad;
    if (constant < 0.0)
        constant += 360.0;
    sigmaConstant = sigma / std::sqrt(static_cast<double>(m));
    if (wantResiduals) {
        for (int i = 0; i < n; ++i) {
            if (!valid[i])
                continue;
            double r = ha[i] + constant - az[i];
            if (r > 180.0)
                r -= 360.0;
            if (r <= -180.0)
                r += 360.0;
            residuals[i] = r;
        }
    }
    return 1;
}

int HeightInResection(int n, const double* knownH, const double* sd, const double* za, const double* targetH,
                      double hi, double sigmaAngle, double sigmaDist, double ppm, const int* flag1, const int* flag2,
                      const int* flag3, const int* flag4, double& stationH, double& sigmaH, int wantResiduals,
                      double* heightDiff, double* residualH, double* residualZ, TG2gParams& /*g2g*/)
{
    stationH = sigmaH = 0.0;
    auto all4 = [&](int i) { return flag1[i] && flag2[i] && flag3[i] && flag4[i]; };
    auto heightOf = [&](int i) {
        return knownH[i] + targetH[i] - sd[i] * std::cos(za[i] * kRadPerDeg) - hi;
    };
    auto weightOf = [&](int i) {
        const double a = (sigmaAngle / kSecondsPerRadian) * (sigmaAngle / kSecondsPerRadian);
        const double z = za[i] * kRadPerDeg;
        const double c = std::cos(z), hd = sd[i] * std::sin(z);
        return 1.0 / ((sigmaDist * sigmaDist + ppm * ppm * 1e-12 * sd[i] * sd[i]) * c * c + hd * hd * a + kTiny);
    };
    double sw = 0.0, swh = 0.0;
    int m = 0;
    for (int i = 0; i < n; ++i) {
        if (all4(i)) {
            const double w = weightOf(i);
            sw += w;
            swh += w * heightOf(i);
            ++m;
        }
    }
    if (m == 0)
        return 0;
    stationH = swh * (1.0 / (sw + kTiny));
    sigmaH = std::sqrt(1.0 / (sw + kTiny));
    double V = 0.0;
    for (int i = 0; i < n; ++i) {
        if (!(flag1[i] && flag3[i] && flag4[i]))
            continue;
        const double r = stationH - heightOf(i);
        if (wantResiduals) {
            heightDiff[i] = stationH - knownH[i];
            residualH[i] = r;
            residualZ[i] = r / (sd[i] * std::sin(za[i] * kRadPerDeg) + kTiny) * kDegPerRad;
        }
        if (flag2[i])
            V += r * r * weightOf(i);
    }
    // The usual a-posteriori factor sqrt(V / (m - 1)) (the alternative sqrt(V) / (m - 1) agrees
    // only for m = 2).
    if (m >= 2 && std::fabs(V) > kMinV)
        sigmaH *= std::sqrt(V / (m - 1));
    return 1;
}

int approximateResectionHCoords(int n, const double* north, const double* east, const int* known, const double* ha,
                                const int* hasHa, const double* za, const double* sd, const int* hasZa,
                                const int* hasSd, double& stationN, double& stationE, TG2gParams& /*g2g*/)
{
    if (n <= 0)
        return 0;
    try {
        std::vector<Candidate> cand;
        cand.reserve(8 * static_cast<size_t>(n));
        std::vector<int> duplicate(n, 0), list;
        list.reserve(n);
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                if (known[i] && known[j] && !duplicate[i] && !duplicate[j] &&
                    HorizontalDistance(east[i], north[i], east[j], north[j]) < kSamePoint)
                    duplicate[j] = 1;
        for (int i = 0; i < n; ++i)
            if (known[i] && !duplicate[i])
                list.push_back(i);
        auto hasDist = [&](int i) { return hasZa[i] && hasSd[i]; };
        auto hdOf = [&](int i) { return sd[i] * std::sin(za[i] * kRadPerDeg); };
        for (size_t k = 0; k + 1 < list.size(); ++k) {
            const int i1 = list[k], i2 = list[k + 1];
            double X1, Y1, X2, Y2;
            int count = 0;
            if (k + 2 < list.size()) {
                const int i3 = list[k + 2];
                if (hasHa[i1] && hasHa[i2] && hasHa[i3] &&
                    ComputeCoords(east[i1], north[i1], ha[i1], east[i2], north[i2], ha[i2], east[i3], north[i3],
                                  ha[i3], X1, Y1, X2, Y2, count))
                    addSolutions(count, X1, Y1, X2, Y2, cand);
            }
            const bool bothHa = hasHa[i1] && hasHa[i2];
            if (hasDist(i1) && bothHa &&
                ComputeCoords(east[i2], north[i2], ha[i2], east[i1], north[i1], ha[i1], hdOf(i1), X1, Y1, X2, Y2,
                              count))
                addSolutions(count, X1, Y1, X2, Y2, cand);
            if (hasDist(i2)) {
                if (bothHa && ComputeCoords(east[i1], north[i1], ha[i1], east[i2], north[i2], ha[i2], hdOf(i2), X1,
                                            Y1, X2, Y2, count))
                    addSolutions(count, X1, Y1, X2, Y2, cand);
                if (hasDist(i1) && ComputeCoords(east[i1], north[i1], hdOf(i1), east[i2], north[i2], hdOf(i2), X1,
                                                 Y1, X2, Y2, count))
                    addSolutions(count, X1, Y1, X2, Y2, cand);
            }
        }
        if (cand.empty())
            return 0;
        std::vector<int> agrees(cand.size(), 0);
        double best = kSamePoint;
        size_t chosen = 0;
        for (size_t i = 0; i < cand.size(); ++i)
            for (size_t j = i + 1; j < cand.size(); ++j) {
                const double d = HorizontalDistance(cand[i].x, cand[i].y, cand[j].x, cand[j].y);
                if (d < kSamePoint) {
                    agrees[i] = agrees[j] = 1;
                    if (d < best) {
                        best = d;
                        chosen = i;
                    }
                }
            }
        int agreeing = 0;
        for (int a : agrees)
            agreeing += a;
        if (agreeing < 2 && cand.size() > 1)
            return 0;
        stationN = cand[chosen].y;
        stationE = cand[chosen].x;
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int ThreeDResection(int n, const TResectionObs* obs, double hi, double sigmaAngle, double sigmaDist, double ppm,
                    TG2gParams& g2g, TResectionResult& result, double* resHa, double* resHd, double* resH)
{
    TResectionStatus status;
    return ThreeDResection(n, obs, hi, sigmaAngle, sigmaDist, ppm, g2g, result, resHa, resHd, resH, status);
}

int ThreeDResection(int n, const TResectionObs* obs, double hi, double sigmaAngle, double sigmaDist, double ppm,
                    TG2gParams& g2g, TResectionResult& result, double* resHa, double* resHd, double* resH,
                    TResectionStatus& status)
{
    status = RESECTION_BAD_INPUT;
    if (n < 0 || !(sigmaAngle > 0.0) || !(sigmaDist > 0.0) || !(ppm >= 0.0) || !std::isfinite(hi) ||
        !std::isfinite(sigmaAngle) || !std::isfinite(sigmaDist) || !std::isfinite(ppm))
        return 0;
    for (int i = 0; i < n; ++i)
        if (!finiteObs(obs[i]))
            return 0;
    try {
        Adjustment adj{obs, n, sigmaAngle * kArcSecond, sigmaDist, ppm, g2g.getFactor(), false};
        // Counts, over distinct used points.
        int nHa = 0, nHd = 0, nPoints = 0;
        for (int i = 0; i < n; ++i) {
            nHa += adj.usesHa(i) ? 1 : 0;
            nHd += adj.usesHd(i) ? 1 : 0;
            nPoints += (adj.usesHa(i) || adj.usesHd(i)) ? 1 : 0;
        }
        adj.withOrientation = nHa > 0;
        const int unknowns = adj.withOrientation ? 3 : 2;
        status = RESECTION_TOO_FEW;
        if (nPoints < 2 || nHa + nHd < unknowns)
            return 0;

        std::vector<double> north(n), east(n), ha(n), za(n), sd(n), height(n), targetH(n), az(n);
        std::vector<int> known(n), hasHa(n), hasDist(n), hasH(n), used(n);
        for (int i = 0; i < n; ++i) {
            north[i] = obs[i].north;
            east[i] = obs[i].east;
            ha[i] = obs[i].ha;
            za[i] = obs[i].za;
            sd[i] = obs[i].sd;
            height[i] = obs[i].height;
            targetH[i] = obs[i].targetHeight;
            known[i] = obs[i].use && (obs[i].hasHa || obs[i].hasZaSd);
            hasHa[i] = obs[i].hasHa;
            hasDist[i] = obs[i].hasZaSd;
            hasH[i] = obs[i].hasHeight;
            used[i] = obs[i].use;
        }
        double N = 0.0, E = 0.0;
        status = RESECTION_AMBIGUOUS;
        if (!approximateResectionHCoords(n, north.data(), east.data(), known.data(), ha.data(), hasHa.data(),
                                         za.data(), sd.data(), hasDist.data(), hasDist.data(), N, E, g2g))
            return 0;
        auto azimuths = [&](double n0, double e0) {
            for (int i = 0; i < n; ++i)
                az[i] = GetRefAziPts(obs[i].east - e0, obs[i].north - n0);
        };
        double o = 0.0;   // radians: azimuth = reading + o
        if (adj.withOrientation) {
            azimuths(N, E);
            double c, sc;
            computeBSConstant(n, az.data(), hasHa.data(), ha.data(), 0.0, used.data(), c, sc, 0, nullptr);
            o = c * kRadPerDeg;
        }
        double a[3][3], b[3], x[3] = {0.0, 0.0, 0.0};
        int iterations = 0;
        bool settled = false;
        while (!settled && iterations < kMaxIterations) {
            adj.normals(N, E, o, a, b);
            status = RESECTION_SINGULAR;
            if (!solveNormal(unknowns, a, b, x))
                return 0;
            N += x[0];
            E += x[1];
            if (adj.withOrientation)
                o += x[2];
            ++iterations;
            settled = std::hypot(x[0], x[1]) < kSettledMove && (!adj.withOrientation || std::fabs(x[2]) < kSettledTurn);
        }
        status = RESECTION_UNSETTLED;
        if (!settled)
            return 0;
        adj.normals(N, E, o, a, b);
        double diag[3] = {0.0, 0.0, 0.0};
        status = RESECTION_SINGULAR;
        if (!inverseDiagonal(unknowns, a, diag))
            return 0;

        TResectionResult r;
        r.north = N;
        r.east = E;
        r.sigmaNorth = std::sqrt(diag[0]);
        r.sigmaEast = std::sqrt(diag[1]);
        r.iterations = iterations;
        setUnset(r.orientation);
        setUnset(r.sigmaOrientation);
        setUnset(r.height);
        setUnset(r.sigmaHeight);
        std::vector<double> haRes(n, unsetDouble()), hRes(n, unsetDouble()), hDiff(n), zRes(n);
        azimuths(N, E);
        if (adj.withOrientation &&
            computeBSConstant(n, az.data(), hasHa.data(), ha.data(), sigmaAngle, used.data(), r.orientation,
                              r.sigmaOrientation, 1, haRes.data()) != 1)
            return 0;
        double h, sh;
        if (HeightInResection(n, height.data(), sd.data(), za.data(), targetH.data(), hi, sigmaAngle, sigmaDist, ppm,
                              hasH.data(), used.data(), hasDist.data(), hasDist.data(), h, sh, 1, hDiff.data(),
                              hRes.data(), zRes.data(), g2g)) {
            r.height = h;
            r.sigmaHeight = sh;
        }
        status = RESECTION_OK;
        result = r;
        for (int i = 0; i < n; ++i) {
            if (resHa)
                resHa[i] = hasHa[i] ? haRes[i] * 3600.0 : unsetDouble();
            if (resHd)
                resHd[i] = hasDist[i] ? adj.gridDistance(i) - HorizontalDistance(E, N, obs[i].east, obs[i].north)
                                      : unsetDouble();
            if (resH)
                resH[i] = hasH[i] && hasDist[i] ? hRes[i] : unsetDouble();
        }
        return 1;
    } catch (const std::bad_alloc&) {
        status = RESECTION_BAD_INPUT;
        return 0;
    }
}
