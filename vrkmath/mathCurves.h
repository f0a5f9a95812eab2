// Curve elements of the road alignment engine: the straight segment, the circular arc and the
// placement of a curve in the plane. The spirals live in vrkmath/mathSpirals.h, the
// intersection-point corner in vrkmath/mathCurveIp.h; all follow the conventions below.
//
// Local frame: every curve starts at the origin heading grid north. N (north) runs along the
// start tangent, E (east) to the right of it. A positive radius turns right (clockwise), a
// negative one left. Lengths are metres measured from the curve's start and never negative;
// angles are radians unless a name says degrees (GetAzimuth returns degrees).
//
// Snapping: every operation that takes a length l first snaps it onto [0, L]: a length less
// than 0.001 m outside either end becomes that end; a length further outside is outside the
// curve (the operation fails or falls back as its comment says, with the assertion report of
// vrkmath/mathAssert.h where one is made).
//
// Unset values: a double whose 64 bits are all ones (numeric/unsetValue.h). Definition fields
// start unset; derived values are caches that fill on first use (const getters write them) and
// are cleared by every setter that changes their inputs. A curve object must therefore not be
// used from two threads at once.
//
// The classes are plain values: no base class, no virtual operations, no allocation, nothing
// thrown.
#pragma once

#include "cogo/curveFormulas.h"
#include "numeric/mathAngle.h"
#include "numeric/units.h"
#include "numeric/unsetValue.h"

#include <cmath>

// The kind of a horizontal element (each curve class returns its own from static_type()).
enum TAlntHeType {
    AlntHeSegment = 0,  // straight segment
    AlntHeArc = 1,      // circular arc
    AlntHeSpiral = 2,   // spiral (clothoid)
    AlntHeIp = 3        // intersection-point curve
};

// The flag word of a curve element. The engine keeps the display kinds in it (bit fields in
// cogo/curveFormulas.h) and never computes with them; other bits belong to the application.
typedef unsigned int AlntElementFlags;

// The snap of a length onto a curve's ends, metres (a fixed constant, not roadTolerance).
inline constexpr double kCurveLengthSnap = 0.001;
// Geometric zero of the curve elements (lengths, radii, angles, determinants).
inline constexpr double kCurveZero = 1e-12;

// Snaps l onto [0, total] when it lies less than 0.001 m outside an end. True when l then lies
// inside [0, total], ends included.
inline bool snapCurveLength(double& l, double total)
{
    if (l < 0.0 && -l < kCurveLengthSnap)
        l = 0.0;
    else if (l > total && l - total < kCurveLengthSnap)
        l = total;
    return l >= 0.0 && l <= total;
}

// Reads and writes one bit field of a flag word (mask and shift from cogo/curveFormulas.h).
inline int getAlntFlagField(AlntElementFlags flags, unsigned int mask, unsigned int shift)
{
    return static_cast<int>((flags & mask) >> shift);
}
inline void setAlntFlagField(AlntElementFlags& flags, unsigned int mask, unsigned int shift, int value)
{
    flags = (flags & ~mask) | ((static_cast<unsigned int>(value) << shift) & mask);
}

// A straight segment, defined either by its end point (finalN, finalE) or by its local azimuth
// and length; the other pair is derived on demand and cached.
class CCurveDataSegment {
public:
    // Azimuth 0 rad, end point and length unset, flags 0.
    CCurveDataSegment();
    void copy(const CCurveDataSegment& other) { *this = other; }

    static TAlntHeType static_type() { return AlntHeSegment; }

    // The end point is set, or the azimuth and the length are.
    bool isok() const;
    // The end point relative to the start (metres), length * (cos az, sin az) when not given;
    // 0 when the segment is not valid.
    double getFinalNorthing() const;
    double getFinalEasting() const;
    // The length (metres), sqrt(finalN^2 + finalE^2) when not given; 0 when not valid.
    double getTotalLength() const;
    // The local azimuth; when unset it is derived from the end-point vector (and stays unset
    // for a zero vector).
    const CMathAngle& getAzimuth() const;
    // The direction at the end, the azimuth; false when not valid.
    bool getFinalAzimut(CMathAngle& az) const;
    // The local azimuth in degrees, whatever l.
    double GetAzimuth(double l) const;

    // Azimuth 0 rad; end point and length unset. Flags stay.
    void reset();
    // Defines the segment by its end point (metres); the azimuth and the length become
    // derived values.
    void setFinalNE(double n, double e);
    // Sets the length (metres) and clears the end point. A direction that was only given by the
    // end point is derived first, so that it survives.
    void setLen(double length);
    // Set the local azimuth and clear the end point. A length that was only given by the end
    // point is derived first, so that it survives.
    void setAz(const CMathAngle& az);
    void setAzRad(double rad);
    void setAzDeg(double deg);

    // The point at length l (metres, snapped within 0.001 onto [0, L]). False when the segment
    // is not valid or l lies outside; both with an assertion report.
    bool getPosAtLength(double l, double& N, double& E) const;
    // getPosAtLength with the unit tangent (dirN, dirE) in the local frame.
    bool getPosAndDirAtLength(double l, double& N, double& E, double& dirN, double& dirE) const;
    // A chord of a straight line never deviates: the rest of the segment, L - l (an l outside
    // is reported and used as it is).
    double getStepForDeviation(double l, double deviation) const;
    // Nearest point of the segment to (N, E) in the local frame: dist (metres, >= 0) and len,
    // the length at the foot of the perpendicular, or at the nearer end when the foot lies
    // outside (the end wins within roadTolerance). A segment shorter than 1e-12 gives the
    // distance to its start and 0. False (with a report) when no foot can be computed.
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    AlntElementFlags getFlags() const { return m_flags; }
    void setFlags(AlntElementFlags flags) { m_flags = flags; }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }

private:
    mutable double m_finalN;
    mutable double m_finalE;
    mutable double m_length;
    mutable CMathAngle m_azimuth;
    AlntElementFlags m_flags;
};

// Inline: asked several times by every position query of a segment.
inline bool CCurveDataSegment::isok() const
{
    return (!isUnset(m_finalN) && !isUnset(m_finalE)) || (m_azimuth.isok() && !isUnset(m_length));
}

inline const CMathAngle& CCurveDataSegment::getAzimuth() const
{
    if (m_azimuth.isnan() && !isUnset(m_finalN) && !isUnset(m_finalE))
        m_azimuth.setAz(m_finalN, m_finalE);
    return m_azimuth;
}

inline double CCurveDataSegment::GetAzimuth(double) const
{
    return getAzimuth().getDeg();
}

// A circular arc, defined by any two of length, radius and central angle (isok needs the
// length and the radius). The radius is signed by side; the central angle Delta = length /
// radius is signed like it and, as every CMathAngle, held in [-pi, pi].
class CCurveDataArc {
public:
    // Every numeric field unset; radius display 1, length display 2.
    CCurveDataArc();
    void copy(const CCurveDataArc& other) { *this = other; }

    static TAlntHeType static_type() { return AlntHeArc; }

    // Length and radius set.
    bool isok() const;
    // Metres; abs(radius * Delta) when not given; 0 when that cannot be formed either.
    double getTotalLength() const;
    // Delta (radians): length / radius when not given (0 for a radius below 1e-12); with the
    // length or the radius missing, an assertion report and 0.
    CMathAngle getCenterAngle() const;
    // The signed radius (metres): length / Delta when not given; with nothing to derive it
    // from, an assertion report and 1e-6.
    double getRadius() const;
    // The end point: R sin Delta, R (1 - cos Delta); cached.
    double getFinalNorthing() const;
    double getFinalEasting() const;
    // Delta in radians; getFinalAzimut is false when the arc is not valid.
    double getFinalAzimutInRad() const;
    bool getFinalAzimut(CMathAngle& az) const;
    // The direction at l: l / R in degrees; 0 when not valid or the radius is below 1e-12.
    double GetAzimuth(double l) const;
    bool isToTheRight() const { return getRadius() > 0.0; }
    bool isToTheLeft() const { return !isToTheRight(); }
    // The centre in the local frame: (0, R).
    void getCenterNE(double& N, double& E) const;
    // The long chord, 2 R sin(Delta / 2), metres (positive for either side).
    double getChordLength() const;

    // Every numeric field unset; flags stay.
    void reset();
    // length = abs(L); radius = abs(R), negated unless `right`.
    void SetElement(double L, double R, bool right);
    // The same, and remembers the display kinds in the flags (units is not used).
    void SetElement(double L, AlntElementLengthDisplay lengthDisplay, double R,
                    AlntElementRadiusDisplay radiusDisplay, bool right, UNITS units);
    // length = abs(L), the radius kept.
    void setLen(double L);
    // radius = abs(R) signed by `right`; Delta = delta as given; length = abs(R d) with d the
    // radians of delta taken the long way about when its sign disagrees with the side.
    void setCAngleR(const CMathAngle& delta, double R, bool right);
    // setCAngleR with right = (delta >= 0).
    void setCAngleR(const CMathAngle& delta, double R);
    // Length, abs(radius), radius not negative.
    void GetElement(double& L, double& R, bool& right) const;
    void GetElement(double& L, AlntElementLengthDisplay& lengthDisplay, double& R,
                    AlntElementRadiusDisplay& radiusDisplay, bool& right, UNITS units) const;

    // The point at length l (metres, snapped onto [0, L]). False when not valid (no report) or
    // l outside (reported).
    bool getPosAtLength(double l, double& N, double& E) const;
    // getPosAtLength with the unit tangent (dirN, dirE) in the local frame, from the same sine
    // and cosine as the point.
    bool getPosAndDirAtLength(double l, double& N, double& E, double& dirN, double& dirE) const;
    // The arc length whose chord has the middle ordinate `deviation` (metres), capped at an
    // angular step of 11.25 degrees and at the rest of the arc. The rest of the arc, L - l,
    // when the arc is not valid, its radius below 1e-12 or deviation <= 0. An l outside is
    // reported and used as it is.
    double getStepForDeviation(double l, double deviation) const;
    // Nearest point of the arc to (N, E) in the local frame: dist (metres) and the arc length
    // len of the foot on the radial line, or the nearer end (the end wins within
    // roadTolerance). The centre itself projects to (abs(R), L). False when not valid.
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    AlntElementFlags getFlags() const { return m_flags; }
    void setFlags(AlntElementFlags flags) { m_flags = flags; }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }

private:
    void clearCaches();
    // Arc length (metres) from the start to the point (x east, y north) of the circle.
    double arcLengthTo(double x, double y, double radius, double startAzDeg) const;

    mutable double m_finalN;
    mutable double m_finalE;
    mutable double m_length;
    mutable double m_radius;
    mutable CMathAngle m_centerAngle;
    AlntElementFlags m_flags;
};
// Inline: asked by every position query of an arc.
inline bool CCurveDataArc::isok() const
{
    return !isUnset(m_length) && !isUnset(m_radius);
}

inline double CCurveDataArc::GetAzimuth(double l) const
{
    if (!isok() || std::fabs(m_radius) < kCurveZero)
        return 0.0;
    return l / m_radius * kDegPerRad;
}


// One curve placed in the plane: a grid start point (metres) and a grid start azimuth that
// map the curve's local frame onto the grid (rotated clockwise by the azimuth, moved to the
// start). T is CCurveDataSegment, CCurveDataArc or CCurveDataSpiral (vrkmath/mathSpirals.h).
template <class T>
class COrgAzCurveT {
public:
    // Start (0, 0), start azimuth 0, the curve as T constructs it.
    COrgAzCurveT() : m_startN(0.0), m_startE(0.0) {}
    void copy(const COrgAzCurveT& other) { *this = other; }

    static TAlntHeType static_type() { return T::static_type(); }

    // Start point and start azimuth set.
    bool isOrgAzOk() const { return !isUnset(m_startN) && !isUnset(m_startE) && m_startAz.isok(); }
    // The origin is ok and the curve valid.
    bool isok() const { return isOrgAzOk() && m_curve.isok(); }

    // ---- Placement ----
    void setOrg(double N, double E)
    {
        m_startN = N;
        m_startE = E;
    }
    void setStartAz(const CMathAngle& az) { m_startAz = az; }
    void setOrgAz(double N, double E, const CMathAngle& az)
    {
        setOrg(N, E);
        setStartAz(az);
    }
    // Start point and start azimuth unset.
    void resetOrgAz()
    {
        setUnset(m_startN);
        setUnset(m_startE);
        m_startAz.reset();
    }
    double getStartNorthing() const { return m_startN; }
    double getStartEasting() const { return m_startE; }
    const CMathAngle& getStartAz() const { return m_startAz; }

    T& getCurve() { return m_curve; }
    const T& getCurve() const { return m_curve; }
    double getTotalLength() const { return m_curve.getTotalLength(); }

    // ---- Grid answers ----
    // The grid end point; without a set origin simply the start plus the local end.
    double getFinalNorthing() const
    {
        const double n = m_curve.getFinalNorthing();
        if (!isOrgAzOk())
            return m_startN + n;
        const double e = m_curve.getFinalEasting();
        return m_startN + m_startAz.getCos() * n - m_startAz.getSin() * e;
    }
    double getFinalEasting() const
    {
        const double e = m_curve.getFinalEasting();
        if (!isOrgAzOk())
            return m_startE + e;
        const double n = m_curve.getFinalNorthing();
        return m_startE + m_startAz.getSin() * n + m_startAz.getCos() * e;
    }
    // The grid start azimuth; an unset one gives 0 and false.
    bool getStartAzimut(CMathAngle& az) const
    {
        if (m_startAz.isnan()) {
            az.setRad(0.0);
            return false;
        }
        az = m_startAz;
        return true;
    }
    // The grid azimuth at the end: the curve's final direction plus the start azimuth. False
    // when the start azimuth is unset or the curve cannot give its direction.
    bool getFinalAzimut(CMathAngle& az) const
    {
        if (m_startAz.isnan())
            return false;
        CMathAngle curveAz;
        if (!m_curve.getFinalAzimut(curveAz))
            return false;
        curveAz += m_startAz;
        az = curveAz;
        return true;
    }
    // The grid azimuth at l in degrees (start azimuth + the curve's local direction; the local
    // direction alone when the start azimuth is unset). Not reduced into [-180, 180].
    double getAzimuthAtLength(double l) const
    {
        if (m_startAz.isnan())
            return m_curve.GetAzimuth(l);
        return m_startAz.getDeg() + m_curve.GetAzimuth(l);
    }
    // The grid point at length l; false when the origin is not ok or the curve fails.
    bool getPosAtLength(double l, double& N, double& E) const
    {
        if (!isOrgAzOk())
            return false;
        double n, e;
        if (!m_curve.getPosAtLength(l, n, e))
            return false;
        // The rotation of CMathAngle::getRotated, with the cached sine and cosine read once.
        const double c = m_startAz.getCos();
        const double s = m_startAz.getSin();
        N = m_startN + (c * n - s * e);
        E = m_startE + (c * e + s * n);
        return true;
    }
    // getPosAtLength with the grid unit tangent (dirN, dirE): the curve's own tangent turned
    // as the point is (the direction of getAzimuthAtLength(l) to the last bit or two).
    bool getPosAndDirAtLength(double l, double& N, double& E, double& dirN, double& dirE) const
    {
        if (!isOrgAzOk())
            return false;
        double n, e, dn, de;
        if (!m_curve.getPosAndDirAtLength(l, n, e, dn, de))
            return false;
        const double c = m_startAz.getCos();
        const double s = m_startAz.getSin();
        N = m_startN + (c * n - s * e);
        E = m_startE + (c * e + s * n);
        dirN = c * dn - s * de;
        dirE = c * de + s * dn;
        return true;
    }
    // The curve's own step for deviation at l (metres).
    double getStepForDeviation(double l, double deviation) const
    {
        return m_curve.getStepForDeviation(l, deviation);
    }
    // Nearest point to the grid point (N, E): the point is moved into the local frame and
    // handed to the curve. False when the origin is not ok or the curve fails.
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const
    {
        if (!isOrgAzOk())
            return false;
        double n = N - m_startN;
        double e = E - m_startE;
        m_startAz.getRotatedBack(n, e);
        return m_curve.getShortestDistAndCurveLen(n, e, dist, len);
    }

private:
    double m_startN;
    double m_startE;
    CMathAngle m_startAz;
    T m_curve;
};
