// Circular vertical curves: the arc CAlntVeArc and the VIP-with-arc element CAlntVeLsWithArc,
// on the vertical element base of vrkmath/mathAlntVe.h (same units, tolerances and codes).
//
// Plane: the arc lives in the (chainage, height) plane, held in C2dPos as north = chainage,
// east = height, both metres. Directions are CMathAngle values measured from the chainage axis
// towards the height axis (counter-clockwise in that plane), so the tangent of a direction is
// grade / 100. A signed radius is positive for a sag curve (centre above the curve, grades
// increasing) and negative for a crest (centre below).
#pragma once

#include "numeric/mathAngle.h"
#include "vrkmath/mathAlntVe.h"

// A circular vertical arc given by its start point, start and end grades and radius. The arc
// length (along the circle) is held as well; every length of the CAlntVe operations is
// horizontal. The centre and the end point are caches filled on first use.
class CAlntVeArc : public CAlntVe {
public:
    CAlntVeArc();
    CAlntVeArc(const CAlntVeArc&) = default;
    CAlntVeArc& operator=(const CAlntVeArc&) = default;

    // Start direction and start point unset, arc length and radius 0, caches cleared.
    void reset();
    // Grades in percent. The stored radius is |radius| when g1 < g2 (sag), -|radius| when
    // g1 > g2 (crest), 0 when the grades are equal within 1e-12. The arc length follows from
    // the change of direction; the start point is kept.
    void setGradesAndR(double startGrade, double endGrade, double radius);
    // The same arc placed so that its centre lies on `centre` (chainage, height).
    void setCenterGradesAndR(const C2dPos& centre, double startGrade, double endGrade, double radius);
    // Stores the radius only (the arc length is not recomputed); clears the caches.
    void setRadius(double radius);
    double getRadius() const { return m_radius; }
    // Radius zero within 1e-12: the arc is a point.
    bool isSimplePoint() const { return isVeZero(m_radius); }
    bool isConvexUpwards() const { return m_radius < 0.0; }     // crest
    bool isConvexDownwards() const { return m_radius > 0.0; }   // sag
    // Length along the circle, m (never negative).
    double getArcLength() const { return m_arcLen; }
    const CMathAngle& getStartDirection() const { return m_startDir; }
    // Start point (chainage, height).
    const C2dPos& getStartStaAndHt() const { return m_start; }
    // Centre (chainage, height): radius across the start direction, to its left.
    C2dPos getCenterStaAndHt() const;
    // Arc length / signed radius (radians; counter-clockwise positive), 0 for a point.
    void getCentralAngle(CMathAngle& angle) const;
    // End point (chainage, height): the start rotated about the centre by the central angle.
    C2dPos getFinalStaAndHt() const;

    // Complete when the start point and the start direction are set.
    bool isok() const override;
    TAlntVeType getType() const override;
    double getStartHt() const override { return m_start.east; }
    double getFinalHt() const override;
    double getFinalChain() const override;
    // Horizontal length: end chainage - start chainage.
    double getLen() const override;
    // 100 tan(start direction); the end grade 100 tan(start direction + central angle).
    double getStartGrade() const override;
    double getEndGrade() const override;
    // Always true.
    bool getStartChainageInM(double& chainage) const override;
    // Lengths that miss [0, getLen()] by less than the snap tolerance are snapped onto it;
    // beyond that an assertion report and veHtBeforeStart / veHtBeyondEnd. An arc that is not
    // ready answers veHtBeyondEnd.
    errCodes getHtAtLen(double len, double& ht) const override;
    // Chord angle 2 acos(1 - d / |R|) with d = min(deviation, |R|), at most pi/16. An
    // assertion report and 0 for a chainage outside the arc or a deviation that is not positive.
    double getStepForDeviation(double chainage, double deviation) const override;
    // A point: (start chainage, start height, 0). Otherwise the tangent intersection with the
    // horizontal length as curve length, the start chainage as curve start, the signed radius.
    bool getAsLs(CLsInfo& info) const override;
    CAlntVe* clone() const override;
    // Clears the caches and stores the start point; true.
    bool setStartHtAndChain(double height, double chainage) override;

private:
    void reset_mutables() const;

    CMathAngle m_startDir;      // direction of the start tangent
    C2dPos m_start;             // start point (chainage, height)
    double m_arcLen;            // length along the circle
    double m_radius;            // signed radius
    mutable C2dPos m_centre;    // cache, unset when not computed
    mutable C2dPos m_end;       // cache, unset when not computed
};

// A long-section element: a VIP with a circular arc of given radius around it (the arc's
// tangent intersection falls on the VIP). It covers from its start (the previous element's
// end) through an inner straight and the inner arc; the geometry is rebuilt in
// onNeighbourUpdate from the start, the VIP and the next element's VIP. Until then, and
// whenever no curve can be built, it is a plain point: a grade line from its start to the VIP.
class CAlntVeLsWithArc : public CAlntVe {
public:
    CAlntVeLsWithArc();
    // Default construction followed by setIpAndR(chainage, height, radius).
    CAlntVeLsWithArc(double chainage, double height, double radius);
    CAlntVeLsWithArc(const CAlntVeLsWithArc&) = default;
    CAlntVeLsWithArc& operator=(const CAlntVeLsWithArc&) = default;

    // VIP unset, straight zeroed, arc reset, radius 0.
    void reset();
    // Resets, stores the VIP (chainage, height) and the radius (its sign is ignored: the arc
    // takes its sign from the grades) and makes the element a point at the VIP.
    void setIpAndR(const C2dPos& vip, double radius);
    void setIpAndR(double chainage, double height, double radius);
    // Stores the radius only.
    void setRadius(double radius) { m_radius = radius; }
    double getRadius() const { return m_radius; }
    const C2dPos& getIpStaAndHt() const { return m_vip; }
    // The entered radius is zero within 1e-12.
    bool isSimplePoint() const { return isVeZero(m_radius); }
    const CVerticalElement& getStartSegment() const { return m_straight; }
    const CAlntVeArc& getArc() const { return m_arc; }
    C2dPos getFinalStaAndHt() const { return m_arc.getFinalStaAndHt(); }

    bool isok() const override;
    TAlntVeType getType() const override;
    double getStartHt() const override { return m_straight.getStartHt(); }
    double getFinalHt() const override { return m_arc.getFinalHt(); }
    double getFinalChain() const override { return m_arc.getFinalChain(); }
    // Straight length + the arc's horizontal length.
    double getLen() const override;
    double getStartGrade() const override { return m_straight.getStartGrade(); }
    double getEndGrade() const override { return m_arc.getEndGrade(); }
    bool getStartChainageInM(double& chainage) const override;
    errCodes getHtAtLen(double len, double& ht) const override;
    double getStepForDeviation(double chainage, double deviation) const override;
    // The arc's long-section point when it has a radius, else the VIP without curve.
    bool getAsLs(CLsInfo& info) const override;
    CAlntVe* clone() const override;
    // Moves the straight's start; true.
    bool setStartHtAndChain(double height, double chainage) override;
    // Follows prev, then builds the straight and the arc (see the source); true unless the
    // start cannot be set or read.
    bool onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next) override;

private:
    CVerticalElement m_straight;
    CAlntVeArc m_arc;
    C2dPos m_vip;       // (chainage, height), unset after reset()
    double m_radius;    // as entered, sign ignored
};
