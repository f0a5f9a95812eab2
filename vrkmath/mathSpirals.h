// Transition spirals (clothoids): the simple spiral from a tangent point to a radius, the spiral
// between a tangent and a circle in either direction of travel, and the spiral that may start
// part-way along its clothoid to join two finite radii (a compound spiral). They follow the
// conventions of vrkmath/mathCurves.h: local frame heading north, right-positive radii, metres
// and radians, lengths snapped within 0.001 m onto [0, L], unset values and caches, no
// allocation, nothing thrown.
//
// Accuracy: a position on a clothoid is the power series of its Fresnel integrals, summed term
// by term until both the north and the east terms fall below smallNumTolerance (at most 24
// terms). At the default smallNumTolerance (1e-5) the truncation leaves about 1.5e-7 of the
// length at direction changes up to 1.5 rad (5e-5 m on 300 m); lowering smallNumTolerance to
// 1e-12 brings the series to a few 1e-11 m. The nearest point lies within about 1e-4 m of the
// true foot for points near the spiral.
#pragma once

#include "vrkmath/mathCurves.h"

// The simple spiral: a clothoid from the tangent point TS (infinite radius) to the point SC,
// where its radius is R (signed by side). The total direction change is thetaL = L / 2R.
class CCurveSpiralTStoSC {
public:
    // Every field unset.
    CCurveSpiralTStoSC();
    void copy(const CCurveSpiralTStoSC& other) { *this = other; }

    // Length and radius set.
    bool isok() const { return !isUnset(m_length) && !isUnset(m_radius); }
    void reset();
    // Length L (metres) and radius abs(R) signed by `right`; thetaL = L / 2R (0 for a radius
    // below 1e-12). Returns true.
    bool setLenAndR(double L, double R, bool right);
    // Length L and spiral parameter P = R L (the square of the clothoid constant, signed like R):
    // R = P / L (0 for a length below 1e-12), thetaL = L^2 / 2P (0 for P below 1e-12). True.
    bool setLenAndSpPrm(double L, double P);

    double getTotalLength() const { return m_length; }
    double getFinalRadius() const { return m_radius; }
    // The total direction change thetaL (radians, signed like R).
    const CMathAngle& getFinalAzimut() const { return m_finalAzimut; }
    // R L: the square of the clothoid constant A with the sign of R.
    double getSpiralParam() const { return m_radius * m_length; }
    bool isToTheRight() const { return m_radius > 0.0; }
    // The direction change at l, l^2 / (2 R L), in degrees; 0 when not valid or L or R is
    // below 1e-12.
    double GetAzimuth(double l) const;
    // The end point (the position at L), computed once and cached; 0 when not valid.
    double getFinalNorthing() const;
    double getFinalEasting() const;

    // The point at length l (metres, snapped onto [0, L]) by the clothoid series. A spiral with
    // L or R below 1e-12 is the origin. False with an assertion report when not valid or l
    // lies outside.
    bool getPosAtLength(double l, double& N, double& E) const;
    // Whether a step of `step` metres starting `from` metres after the tangent point keeps its
    // chord within `deviation`: the chord angle psi = step (2 from + step) / (3 R L) must lie in
    // (-pi/16, pi/16) and abs(step tan psi) below the deviation. True for a degenerate spiral.
    bool checkStepForDeviation(double step, double from, double deviation) const;

    // The position at l without validity checks or snapping: the caller guarantees a valid
    // spiral and 0 <= l <= L.
    void posAtLengthUnchecked(double l, double& N, double& E) const;

private:
    void fillFinal() const;

    double m_length;
    double m_radius;
    CMathAngle m_finalAzimut;
    mutable double m_finalN;
    mutable double m_finalE;
};

// A spiral between a tangent and a circle of radius R, travelled from the tangent into the
// curve (TS->SC) or out of the curve to the tangent (CS->ST). A CS->ST element stores as its
// simple spiral the mirror image: the TS->SC spiral of the same length whose end is the
// element's start, turning the other way; getRadius() is signed by the element's side either way.
class CCurveDataSpiral1R {
public:
    // The simple spiral unset, TS->SC; radius display 1, length display 2, second radius
    // display 1.
    CCurveDataSpiral1R();
    void copy(const CCurveDataSpiral1R& other) { *this = other; }

    static TAlntHeType static_type() { return AlntHeSpiral; }

    bool isok() const { return m_simple.isok(); }
    double getTotalLength() const { return m_simple.getTotalLength(); }
    const CCurveSpiralTStoSC& getSimpleSpiral() const { return m_simple; }
    bool isTSSC() const { return m_isTSSC; }
    bool isCSST() const { return !m_isTSSC; }
    bool isToTheRight() const;
    bool isToTheLeft() const { return !isToTheRight(); }
    // The radius at the curve end, signed by the element's side (metres).
    double getRadius() const;
    double getSpiralParam() const { return m_simple.getSpiralParam(); }

    // The simple spiral set with `right` (TS->SC) or its mirror (CS->ST), and the orientation.
    void setLenAndR(double L, double R, bool right, bool isTSSC);
    void setLenAndR(double L, AlntElementLengthDisplay lengthDisplay, double R,
                    AlntElementRadiusDisplay radiusDisplay, bool right, bool isTSSC, UNITS units);
    void setLenAndSpPrm(double L, double P, bool isTSSC);
    // The same length and radius, turning to the given side.
    void setTurnRight(bool right);
    void reset() { m_simple.reset(); }

    // The total direction change of the element: thetaL (TS->SC) or -thetaL (CS->ST), radians.
    double getFinalAzimutInRad() const;
    bool getFinalAzimut(CMathAngle& az) const;
    // The direction at l relative to the start tangent, degrees.
    double GetAzimuth(double l) const;
    // The element's end point in its local frame (metres).
    double getFinalNorthing() const;
    double getFinalEasting() const;
    // L, abs(getRadius()), side, orientation (and the display kinds from the flags).
    void GetSpiralElement(double& L, double& R, bool& right, bool& isTSSC) const;
    void GetSpiralElement(double& L, AlntElementLengthDisplay& lengthDisplay, double& R,
                          AlntElementRadiusDisplay& radiusDisplay, bool& right, bool& isTSSC,
                          UNITS units) const;

    // The point at length l (metres, snapped onto [0, L]); false when not valid or l outside
    // (the simple spiral reports).
    bool getPosAtLength(double l, double& N, double& E) const;
    // The longest step from l, halved from the rest of the element until the chord test of the
    // simple spiral accepts it; the rest of the element when the step falls below 1e-12. An l
    // outside is reported and used as it is.
    double getStepForDeviation(double l, double deviation) const;
    // Nearest point of the element to (N, E) in its local frame: a coarse halving search,
    // refined with circles tangent to the spiral (see the source). Accurate to about 1e-4 m for
    // points near the spiral; far from it the coarse search may settle on a local minimum.
    // False when the position at the middle cannot be computed.
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    AlntElementFlags getFlags() const { return m_flags; }
    void setFlags(AlntElementFlags flags) { m_flags = flags; }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }

protected:
    // The position at l without checks: the caller guarantees a valid element and l in [0, L].
    void posAtLengthUnchecked(double l, double& N, double& E) const;
    // The same with the unit tangent (dirN, dirE) in the direction of travel.
    void posAndDirAtLengthUnchecked(double l, double& N, double& E, double& dirN, double& dirE) const;
    // Maps a point (n, e) of the simple spiral into the CS->ST element frame.
    void toCsstFrame(double& n, double& e) const;
    void setDisplayFlags(AlntElementLengthDisplay lengthDisplay, AlntElementRadiusDisplay radiusDisplay);

    CCurveSpiralTStoSC m_simple;
    bool m_isTSSC;
    AlntElementFlags m_flags;
};

// A spiral that may begin part-way along its clothoid (the CCurveDataSpiral1R part, the "full
// clothoid", of length l0 + L): with TS->SC orientation the element is the full clothoid from
// l0 on, with CS->ST orientation its first L. With l0 = 0 it is an ordinary spiral; otherwise it
// runs between two finite radii (a compound spiral), and otherRadius holds the larger one.
class CCurveDataSpiral : public CCurveDataSpiral1R {
public:
    CCurveDataSpiral();
    void copy(const CCurveDataSpiral& other) { *this = other; }

    static TAlntHeType static_type() { return AlntHeSpiral; }

    // The simple spiral unset, l0 and the start 0, otherRadius unset, rotation 0.
    void reset();
    // An ordinary spiral (l0 = 0), as CCurveDataSpiral1R::setLenAndR.
    void setLenAndR(double L, double R, bool right, bool isTSSC);
    // A compound spiral of length L from radius abs(R1) at its start to abs(R2) at its end,
    // turning to the given side. TS->SC when abs(R1) > abs(R2) (curvature grows), else CS->ST;
    // equal radii give an ordinary CS->ST spiral of that radius.
    void setLenAndR(double L, double R1, double R2, bool right);
    void setLenAndR(double L, AlntElementLengthDisplay lengthDisplay, double R,
                    AlntElementRadiusDisplay radiusDisplay, bool right, bool isTSSC, UNITS units);
    // An ordinary spiral from its length and spiral parameter (CCurveDataSpiral1R).
    void setLenAndSpPrm(double L, double P, bool isTSSC);
    void setLenAndR(double L, AlntElementLengthDisplay lengthDisplay, double R1,
                    AlntElementRadiusDisplay radius1Display, double R2,
                    AlntElementRadiusDisplay radius2Display, bool right, UNITS units);
    // Re-applies the ordinary setter with the current orientation, radius and length and the
    // new side (a compound spiral thereby becomes an ordinary CS->ST spiral).
    void setTurnRight(bool right);

    // The element length: the full clothoid's minus l0 (metres).
    double getTotalLength() const { return m_simple.getTotalLength() - m_cutLength; }
    bool isCompoundSpiral() const { return !isUnset(m_otherRadius); }
    bool isTSSC() const { return !isCompoundSpiral() && m_isTSSC; }
    bool isCSST() const { return !isCompoundSpiral() && !m_isTSSC; }
    // Radius at the start and at the end (metres; unset means infinite): otherRadius (a
    // magnitude) at the large-radius end, the full clothoid's signed radius at the other.
    double getStartRadius() const;
    double getFinalRadius() const;
    double getCutLength() const { return m_cutLength; }

    // The direction at l relative to the start tangent, degrees.
    double GetAzimuth(double l) const;
    // The direction at the end (radians); always true.
    bool getFinalAzimut(CMathAngle& az) const;
    // The element's total direction change, GetAzimuth(element length) in radians.
    double getFinalAzimutInRad() const { return GetAzimuth(getTotalLength()) * kRadPerDeg; }
    // The end point, the position at the element length, cached.
    double getFinalNorthing() const;
    double getFinalEasting() const;
    // Element length, start and final radius made non-negative when set, side.
    void GetSpiralElement(double& L, double& R1, double& R2, bool& right) const;
    void GetSpiralElement(double& L, AlntElementLengthDisplay& lengthDisplay, double& R1,
                          AlntElementRadiusDisplay& radius1Display, double& R2,
                          AlntElementRadiusDisplay& radius2Display, bool& right, UNITS units) const;
    // Element length, abs(getRadius()), side, stored orientation.
    void GetSpiralElement(double& L, double& R, bool& right, bool& isTSSC) const;
    void GetSpiralElement(double& L, AlntElementLengthDisplay& lengthDisplay, double& R,
                          AlntElementRadiusDisplay& radiusDisplay, bool& right, bool& isTSSC,
                          UNITS units) const;

    // The point at length l of the element (metres, snapped onto [0, L]); false when not
    // valid, or (reported) when l lies outside.
    bool getPosAtLength(double l, double& N, double& E) const;
    // getPosAtLength with the unit tangent (dirN, dirE) in the local frame, from the same series
    // terms as the point (the direction of GetAzimuth(l) to the last bit or two).
    bool getPosAndDirAtLength(double l, double& N, double& E, double& dirN, double& dirE) const;
    // The full clothoid's step at the matching length, shortened to end at the element's end.
    // 0 (reported) when l lies outside.
    double getStepForDeviation(double l, double deviation) const;
    // The full clothoid's nearest point, as a length of the element; false when that fails or
    // the length is negative (the foot lies before the element on its clothoid). A result
    // beyond the end of a CS->ST compound spiral is kept.
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

private:
    void clearFinal();
    // Fills the end-point cache; false when the end cannot be computed.
    bool fillFinal() const;
    // Snaps l onto the element; false (the bad length reported) when the element is not
    // valid or l lies outside.
    bool snapLength(double& l) const;
    // A point (or direction) of the full clothoid, relative to its start when `fromStart`, into
    // the element's frame.
    void toElementFrame(double n, double e, double& N, double& E, bool fromStart) const;

    CMathAngle m_rotation;
    double m_startN;
    double m_startE;
    double m_cutLength;
    double m_otherRadius;
    mutable double m_finalN;
    mutable double m_finalE;
};

// The grid start azimuth `az` that a horizontal element of length L (metres), start radius R1
// and end radius R2 (signed by side, 0 meaning infinite) must have to run from `start` to `end`
// (north/east metres). False (az = 0 for a bad length) when L is not positive, the radii have
// opposite signs, or either chord is a zero vector.
bool getAlntElementAzimuth(CMathAngle& az, const C2dPos& start, const C2dPos& end, double R1,
                           double R2, double L);
