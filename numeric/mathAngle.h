// The plane position and the angle type of the geometry code.
//
// Frame: a north/east grid in metres. An azimuth is measured from grid north, clockwise
// (towards east) positive; a direction of azimuth a has the unit vector
// (north = cos a, east = sin a). CMathAngle holds radians normalised into [-pi, pi] (both ends
// occur and are distinct values), with lazily cached sine and cosine.
#pragma once

#include "numeric/unsetValue.h"

#include <cmath>

// A plane position: north then east, metres. A plain aggregate: C2dPos{north, east}. The
// vertical alignment uses the same type for (station, height).
struct C2dPos {
    double north = 0.0;
    double east = 0.0;
};

// The quadrant of an azimuth. isNorth: first or fourth quadrant; isEast: first or second.
struct TQuadrant {
    bool isNorth;
    bool isEast;
};

// An angle in radians in [-pi, pi], or unset. Every setter that changes the angle goes through
// setRad, which normalises with toRange(r, -pi, pi) and clears the sine and cosine caches; the
// const getters fill the caches (so an angle read from two threads needs outside locking).
// getRad, getDeg and the comparisons treat an unset angle as 0.
class CMathAngle {
public:
    // The angle 0 rad.
    CMathAngle();
    // From decimal degrees: setRad(degrees * 0.017453292519943295). Explicit, so that a bare
    // double is never taken for an angle by accident.
    explicit CMathAngle(double degrees);
    CMathAngle(const CMathAngle&) = default;             // copies the caches too
    CMathAngle& operator=(const CMathAngle&) = default;  // copies the caches too
    void copy(const CMathAngle& other);

    // Marks the angle and both caches unset.
    void reset();
    bool isnan() const;   // the angle is unset
    bool isok() const;    // the angle is set

    // ---- Setters ----
    // Radians, normalised into [-pi, pi]; clears the caches. The one normalisation point.
    void setRad(double rad);
    // Decimal degrees (multiplied by 0.017453292519943295, not through Deg2Rad).
    void setDeg(double degrees);
    // Degrees, minutes, seconds; m and s are magnitudes, the sign rides on d.
    void setDMS(int d, int m, double s);
    // atan2(y, x); false (angle unchanged) when both |y| and |x| are below 1e-12.
    bool setTg(double y, double x);
    // The azimuth from (lat1, lon1) to (lat2, lon2) (degrees) on a sphere of the local mean
    // radius plus `height` (metres): setTg(dE, dN) of GetNeOffsetFromLatLon with radius 0
    // (cogo/geographicOffsets.h, where it is defined). A plane approximation: at (0, 0) to
    // (0.001, 0.001) it gives 44.9999999989 where the geodesic azimuth is 45.1924. The
    // longitude difference is taken the short way across +-180. False (unchanged) for
    // coinciding points.
    bool setAzFromLatLon(double lat1, double lon1, double lat2, double lon2, double height);
    // Azimuth of the vector (dNorth, dEast); false (unchanged) for a vector shorter than 1e-12
    // in both components.
    bool setAz(double dNorth, double dEast);
    bool setAz(const C2dPos& d);
    // Azimuth from A to B; false (unchanged) when they coincide within 1e-12.
    bool setAz(double northA, double eastA, double northB, double eastB);
    bool setAz(const C2dPos& from, const C2dPos& to);
    // The angle at `vertex` from the direction to p1 to the direction to p3, clockwise
    // positive, normalised. False (unchanged) when p1 or p3 coincides with the vertex within
    // 1e-12 in both coordinates.
    bool setAngle(const C2dPos& p1, const C2dPos& vertex, const C2dPos& p3);
    // The angle between the two tangents of a circular chord (metres): pi minus the central
    // angle. NaN when the chord is longer than the diameter.
    void setChordAndR(double chord, double radius);
    // pi/2 - angle (normalised); the caches swap. An unset angle is left alone.
    void setComplimentary();
    void set90MinusThis() { setComplimentary(); }
    // pi - angle (normalised); the sine cache stays, a computed cosine cache is negated.
    void setSupplementary();
    void set180MinusThis() { setSupplementary(); }
    // -angle (stays inside [-pi, pi]); a computed sine cache is negated.
    void changeSign();

    // ---- Getters ----
    double getRad() const;   // radians, 0.0 when unset
    double getDeg() const;   // angle * 57.29577951308232 in [-180, 180], 0.0 when unset
    // Degrees (negative for a negative angle), minutes and seconds (never negative) of getDeg().
    void getDMS(int& d, int& m, double& s) const;
    // Quadrant of the azimuth reduced into [0, 2pi): 0 is (north, east); a boundary belongs to
    // the next quadrant clockwise (pi/2 is (false, true)).
    TQuadrant getQuadrant() const;
    // Sine and cosine, computed once per angle and cached. NaN for an unset angle.
    double getSin() const;
    double getCos() const;
    double getTg() const;    // tan; 0 when |cos| < 1e-12
    double getCtg() const;   // cot; 0 when |sin| < 1e-12
    // -pi/2 < angle < pi/2; false when unset.
    bool isSharp() const;
    // True when `to` lies on this azimuth from `from`, within 1e-12 m in each coordinate.
    bool isSameAsAzimuth(const C2dPos& from, const C2dPos& to) const;

    // Rotation of the vector (n, e) by the angle: a positive angle turns clockwise on a
    // north-up map (north towards east).
    double getRotatedNorth(double n, double e) const;
    double getRotatedEast(double n, double e) const;
    void getRotated(double& n, double& e) const;
    // Rotation by minus the angle (undoes getRotated).
    double getRotatedBackNorth(double n, double e) const;
    double getRotatedBackEast(double n, double e) const;
    void getRotatedBack(double& n, double& e) const;
    // p rotated about centre by the angle.
    void getRotatedPoint(const C2dPos& centre, const C2dPos& p, C2dPos& out) const;
    // The point `dist` metres along this azimuth from (north0, east0).
    void getPosAlong(double dist, double north0, double east0, double& north, double& east) const;
    void getPosAlong(double dist, const C2dPos& p0, C2dPos& out) const;
    // The point `dist` metres to the right of this azimuth (negative: left) from (north0, east0).
    void getPosAcross(double dist, double north0, double east0, double& north, double& east) const;
    void getPosAcross(double dist, const C2dPos& p0, C2dPos& out) const;
    // Unit vector of the azimuth: (north = cos, east = sin).
    void getDir(C2dPos& out) const;
    C2dPos getDir() const;

    // ---- Arithmetic: an unset angle stays unset; an unset operand counts as 0 ----
    CMathAngle& operator+=(const CMathAngle& b);
    CMathAngle& operator-=(const CMathAngle& b);
    CMathAngle& operator*=(double f);
    // Division by |f| < 1e-12 makes the angle unset.
    CMathAngle& operator/=(double f);

private:
    double m_rad;             // radians in [-pi, pi], or unset
    mutable double m_sin;     // cache of sin(m_rad), or unset
    mutable double m_cos;     // cache of cos(m_rad), or unset
};

// The reads every position query makes, inline.
inline bool CMathAngle::isnan() const { return isUnset(m_rad); }
inline bool CMathAngle::isok() const { return !isUnset(m_rad); }
// 57.29577951308232 is the double of 180 / kPi (kDegPerRad, numeric/units.h, not included here:
// files that define their own kPi include this header).
inline double CMathAngle::getDeg() const { return isok() ? m_rad * 57.29577951308232 : 0.0; }
inline double CMathAngle::getSin() const
{
    if (isUnset(m_sin))
        m_sin = std::sin(m_rad);
    return m_sin;
}
inline double CMathAngle::getCos() const
{
    if (isUnset(m_cos))
        m_cos = std::cos(m_rad);
    return m_cos;
}

// Equal within 1e-12 rad (pi and -pi are not equal); unset counts as 0.
bool operator==(const CMathAngle& a, const CMathAngle& b);
bool operator!=(const CMathAngle& a, const CMathAngle& b);
// Direct comparison of getRad().
bool operator<(const CMathAngle& a, const CMathAngle& b);
bool operator<=(const CMathAngle& a, const CMathAngle& b);
bool operator>(const CMathAngle& a, const CMathAngle& b);
bool operator>=(const CMathAngle& a, const CMathAngle& b);

// Direction angle (radians) of the vector with sine-side component a and cosine-side component
// b (for an azimuth: a = east difference, b = north difference). In [-pi/2, 3pi/2): equal to
// atan2(a, b) modulo 2pi, but the third quadrant comes out above pi. Both zero gives 0.
double atan3(double a, double b);

// Plane distance between two positions, metres.
double getPosDistance(const C2dPos& p1, const C2dPos& p2);
