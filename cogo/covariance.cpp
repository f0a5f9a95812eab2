#include "cogo/covariance.h"

#include "numeric/units.h"

#include <cmath>

namespace {

const double kSingularDet = 1e-20;

void toMatrix(const TCoordCov& c, double m[3][3])
{
    m[0][0] = c.c11;
    m[1][1] = c.c22;
    m[2][2] = c.c33;
    m[0][1] = m[1][0] = c.c12;
    m[0][2] = m[2][0] = c.c13;
    m[1][2] = m[2][1] = c.c23;
}

TCoordCov fromMatrix(double m[3][3])
{
    TCoordCov c;
    c.c11 = m[0][0];
    c.c22 = m[1][1];
    c.c33 = m[2][2];
    c.c12 = m[1][0];
    c.c13 = m[2][0];
    c.c23 = m[2][1];
    return c;
}

TCoordCov fromLower(const double* v)
{
    TCoordCov c;
    c.c11 = v[0];
    c.c12 = v[1];
    c.c22 = v[2];
    c.c13 = v[3];
    c.c23 = v[4];
    c.c33 = v[5];
    return c;
}

void toLower(const TCoordCov& c, double* v)
{
    v[0] = c.c11;
    v[1] = c.c12;
    v[2] = c.c22;
    v[3] = c.c13;
    v[4] = c.c23;
    v[5] = c.c33;
}

TCoordCov sum(const TCoordCov& a, const TCoordCov& b)
{
    TCoordCov c;
    c.c11 = a.c11 + b.c11;
    c.c22 = a.c22 + b.c22;
    c.c33 = a.c33 + b.c33;
    c.c12 = a.c12 + b.c12;
    c.c13 = a.c13 + b.c13;
    c.c23 = a.c23 + b.c23;
    return c;
}

TCoords vec(const double* v)
{
    TCoords t;
    t.x = v[0];
    t.y = v[1];
    t.z = v[2];
    return t;
}

} // namespace

void TCoordCov::getRms(double& plan, double& height) const
{
    plan = std::sqrt(c11 + c22);
    height = std::sqrt(c33);
}

bool TCoordCov::getInverse(TCoordCov& out) const
{
    const double det = c11 * c22 * c33 + 2.0 * c12 * c13 * c23 - c11 * c23 * c23 - c22 * c13 * c13 - c33 * c12 * c12;
    if (std::fabs(det) <= kSingularDet)
        return false;
    TCoordCov r;
    r.c11 = (c22 * c33 - c23 * c23) / det;
    r.c22 = (c11 * c33 - c13 * c13) / det;
    r.c33 = (c11 * c22 - c12 * c12) / det;
    r.c12 = (c13 * c23 - c12 * c33) / det;
    r.c13 = (c12 * c23 - c13 * c22) / det;
    r.c23 = (c12 * c13 - c11 * c23) / det;
    out = r;
    return true;
}

TCoords TCoordCov::operator*(const TCoords& v) const
{
    TCoords r;
    r.x = c11 * v.x + c12 * v.y + c13 * v.z;
    r.y = c12 * v.x + c22 * v.y + c23 * v.z;
    r.z = c13 * v.x + c23 * v.y + c33 * v.z;
    r.mask = COORD_VALID_ALL;
    return r;
}

void TCoordCov::transformToAnotherCS(double m[3][3])
{
    double c[3][3], t[3][3];
    toMatrix(*this, c);
    GenerateTransposeMatrix(m, t);
    ProdMat(m, c, c);
    ProdMat(c, t, c);
    *this = fromMatrix(c);
}

void TCoordCov::geocentric2topocentric(const TCoords& position)
{
    double a[3][3], t[3][3];
    GenerateATMatrix(a, position.x, position.y);
    GenerateTransposeMatrix(a, t);
    transformToAnotherCS(t);
}

void TCoordCov::scale(double s1, double s2, double s3)
{
    const double s[3] = {1.0 / s1, 1.0 / s2, 1.0 / s3};
    c11 *= s[0] * s[0];
    c22 *= s[1] * s[1];
    c33 *= s[2] * s[2];
    c12 *= s[0] * s[1];
    c13 *= s[0] * s[2];
    c23 *= s[1] * s[2];
}

void GenerateATMatrix(double m[3][3], double lat, double lon)
{
    const double p = lat * kRadPerDeg, l = pos360(lon) * kRadPerDeg;
    const double sp = std::sin(p), cp = std::cos(p), sl = std::sin(l), cl = std::cos(l);
    m[0][0] = -sl;
    m[0][1] = -sp * cl;
    m[0][2] = cp * cl;
    m[1][0] = cl;
    m[1][1] = -sp * sl;
    m[1][2] = cp * sl;
    m[2][0] = 0.0;
    m[2][1] = cp;
    m[2][2] = sp;
}

void GenerateTransposeMatrix(double m[3][3], double t[3][3])
{
    double r[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = m[j][i];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            t[i][j] = r[i][j];
}

void ProdMat(double a[3][3], double b[3][3], double c[3][3])
{
    double r[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            c[i][j] = r[i][j];
}

void ComputeCovMatrix(double lat, double lon, double planSigma, double heightSigma, double* cov)
{
    double a[3][3], t[3][3];
    double d[3][3] = {{planSigma * planSigma / 2.0, 0, 0}, {0, planSigma * planSigma / 2.0, 0},
                      {0, 0, heightSigma * heightSigma}};
    GenerateATMatrix(a, lat, lon);
    GenerateTransposeMatrix(a, t);
    ProdMat(a, d, d);
    ProdMat(d, t, d);
    toLower(fromMatrix(d), cov);
}

int wAveCov(const double* cov1, double* cov2)
{
    TCoordCov i1, i2, r;
    if (!fromLower(cov1).getInverse(i1) || !fromLower(cov2).getInverse(i2) || !sum(i1, i2).getInverse(r))
        return 0;
    toLower(r, cov2);
    return 1;
}

int wAveVec(const double* cov1, const double* vec1, double* cov2, double* vec2)
{
    TCoordCov i1, i2, r;
    if (!fromLower(cov1).getInverse(i1) || !fromLower(cov2).getInverse(i2) || !sum(i1, i2).getInverse(r))
        return 0;
    const TCoords w1 = i1 * vec(vec1), w2 = i2 * vec(vec2);
    TCoords s;
    s.x = w1.x + w2.x;
    s.y = w1.y + w2.y;
    s.z = w1.z + w2.z;
    const TCoords m = r * s;
    vec2[0] = m.x;
    vec2[1] = m.y;
    vec2[2] = m.z;
    toLower(r, cov2);
    return 1;
}
