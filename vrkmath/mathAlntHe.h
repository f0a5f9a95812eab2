// Horizontal elements of a road alignment: the base CAlntElBase (start chainage), the abstract
// element CAlntHe, the placed curve elements CAlntHeSegment, CAlntHeArc and CAlntHeSpiral (a
// curve of vrkmath/mathCurves.h or vrkmath/mathSpirals.h placed with a COrgAzCurveT), and the
// corner element CAlntHeIp (a CCurveIp of vrkmath/mathCurveIp.h).
//
// Units and frames: chainages and lengths in metres, positions north/east in metres on the
// grid, azimuths clockwise from grid north. Operations returning an azimuth as a double give
// decimal degrees (not reduced into [-180, 180]); CMathAngle values are radians. A positive
// offset lies right of the direction of increasing chainage.
//
// An element is unplaced (start chainage unset) until the alignment that owns it (CAlntH,
// vrkmath/mathAlntH.h) places it: the alignment sets its start chainage, its start point and,
// unless the element fixes its own, its start azimuth from the element before it. The first
// element of an alignment heads grid north unless its start azimuth is fixed. Queries by
// chainage on an unplaced element fail (return false, outputs untouched).
//
// Nothing throws; outputs are written only on success. Elements fill caches in their const
// queries: one element must not be queried from two threads at once.
#pragma once

#include "cogo/arc.h"
#include "numeric/mathAngle.h"
#include "numeric/unsetValue.h"
#include "vrkmath/mathCurveIp.h"
#include "vrkmath/mathCurves.h"
#include "vrkmath/mathSpirals.h"

class CAlntH;

// The part every alignment element has: its start chainage (metres), unset until placed.
class CAlntElBase {
public:
    virtual ~CAlntElBase() = default;
    // The element is complete and usable.
    virtual bool isok() const = 0;
    // Horizontal length, metres; false when it is not known.
    virtual bool getHLengthInM(double& len) const = 0;

    // False (nothing written) while the start chainage is unset.
    bool getStartChainageInM(double& chain) const
    {
        if (isUnset(m_startChainage))
            return false;
        chain = m_startChainage;
        return true;
    }
    // Start chainage + getHLengthInM; false when either is missing.
    bool getFinalChainageInM(double& chain) const;
    // chain = start chainage + d (metres); false while the start chainage is unset.
    bool distance2Chainage(double d, double& chain) const;
    // d = chain - start chainage (metres); false while the start chainage is unset.
    bool chainage2Distance(double chain, double& d) const;

protected:
    CAlntElBase() : m_startChainage(unsetDouble()) {}
    CAlntElBase(const CAlntElBase&) = default;
    CAlntElBase& operator=(const CAlntElBase&) = default;

    void onStartChainageUpdate(double chain) { m_startChainage = chain; }
    void copy(const CAlntElBase& other) { m_startChainage = other.m_startChainage; }
    // The raw field (unset when unplaced), for the element's own chainage arithmetic.
    double startChainage() const { return m_startChainage; }

private:
    double m_startChainage;
};

// Abstract horizontal element. The virtual operations below are in the order of the element
// interface; all are const except the destructor and onSetIndex.
class CAlntHe : public CAlntElBase {
public:
    // The element's kind: AlntHeSegment, AlntHeArc, AlntHeSpiral or AlntHeIp.
    virtual TAlntHeType getType() const = 0;
    // Grid start and end point, metres.
    virtual bool getStartPosNe(double& N, double& E) const = 0;
    virtual bool getFinalPosNe(double& N, double& E) const = 0;
    // Grid direction at the start (an unset one gives 0) and at the end.
    virtual void getStartAzimut(CMathAngle& az) const = 0;
    virtual bool getFinalAzimut(CMathAngle& az) const = 0;
    // Position and azimuth (degrees) at a chainage inside the element (lengths within 0.001 m
    // outside an end snap onto it); false outside or while unplaced.
    virtual bool getPosNeAtChain(double chain, double& N, double& E) const = 0;
    virtual bool getAzimuthAtChain(double chain, double& azDeg) const = 0;
    // The same at a length l (metres) from the element's start.
    virtual bool getPosNeAtLength(double l, double& N, double& E) const = 0;
    virtual bool getAzimuthAtLength(double l, double& azDeg) const = 0;
    // Both at once, with the grid unit tangent (dirN, dirE) of that azimuth: a line, an arc, a
    // spiral and a corner give it from the same terms as the point (equal to the sine and
    // cosine of azDeg to the last bit or two). False when the point cannot be computed.
    virtual bool getPosAndDirAtLength(double l, double& N, double& E, double& azDeg, double& dirN,
                                      double& dirE) const;
    // getPosNeAtChainAndOffsetExtr with offset 0.
    virtual bool getPosNeAtChainExtr(double chain, double& N, double& E) const;
    // Position at a chainage and a signed offset (metres, positive right), extrapolated beyond
    // the element along its start tangent (before) or end tangent (after). False while
    // unplaced, when the length is unknown, or when the position inside cannot be computed.
    virtual bool getPosNeAtChainAndOffsetExtr(double chain, double offset, double& N, double& E) const;
    // Azimuth (degrees) at a chainage, extrapolated: the start azimuth before the element, the
    // final azimuth after it (0 for an unset one). False only while unplaced or when the length
    // is unknown.
    virtual bool getAzimuthAtChainExtr(double chain, double& azDeg) const;
    // Chord step (metres) from a chainage so that the chord stays within `deviation` metres of
    // the curve; never past the element's end. (Unplaced, the chainage is taken as a length.)
    virtual double getStepForDeviation(double chain, double deviation) const = 0;
    // Nearest point of the element to the grid point (N, E): distance (metres) and the length
    // from the element's start at the foot.
    virtual bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const = 0;
    // Position at length l and a signed offset (metres, positive right); false unless both the
    // position and the azimuth at l can be computed.
    virtual bool getPosAtLengthAndOffset(double l, double offset, double& N, double& E) const;
    // A heap copy, owned by the caller.
    virtual CAlntHe* clone() const = 0;

    // chain' = chain + getStepForDeviation(chain, deviation); the position there is written
    // (when it can be computed); returns chain'.
    double getNextPosForDeviation(double chain, double deviation, double& N, double& E) const;

protected:
    CAlntHe() = default;
    CAlntHe(const CAlntHe&) = default;
    CAlntHe& operator=(const CAlntHe&) = default;

    // Places the element as element `index` of h (called by h only).
    virtual void onSetIndex(const CAlntH& h, int index) = 0;

    // The start chainage and start point element `index` of h takes from its predecessor, or
    // from h for index <= 0, and the direction it continues (0 for the first element or when
    // the predecessor cannot give it). All 0 when the predecessor cannot give its end.
    static void getPlacementStart(const CAlntH& h, int index, double& chain, double& N, double& E,
                                  CMathAngle& dir);

    friend class CAlntH;

private:
    // Point (when N and E are given) and direction (degrees, unset counts as 0) at the length
    // l, extrapolated along the end tangents outside [0, L]. False when the length is unknown
    // or the position inside cannot be computed.
    bool extrapolate(double l, double* N, double* E, double& azDeg) const;
};

// Moves (N, E) by `offset` metres across the direction azDeg (degrees): right for a positive
// offset, left for a negative one; unchanged when abs(offset) < smallNumTolerance.
void ApplyAlntOffset(double& N, double& E, double azDeg, double offset);

// A curve of type T (CCurveDataSegment, CCurveDataArc or CCurveDataSpiral) placed in the
// plane. The curve is in its local frame: a segment's local azimuth is its deflection from the
// incoming direction (0 continues straight on). Unless the start azimuth is fixed, placement
// in an alignment sets the start azimuth to the previous element's final azimuth.
template <class T>
class CAlntHeCurveT : public CAlntHe {
public:
    typedef COrgAzCurveT<T> TPlaced;

    // The curve as T constructs it, start (0, 0), start azimuth 0, not fixed.
    CAlntHeCurveT() : m_isStartAzFixed(false) {}
    explicit CAlntHeCurveT(const T& curve) : m_isStartAzFixed(false) { m_placed.getCurve() = curve; }

    // ---- The curve and its placement ----
    const T& getCurve() const { return m_placed.getCurve(); }
    void setCurve(const T& curve) { m_placed.getCurve() = curve; }
    const TPlaced& getPlacedCurve() const { return m_placed; }
    bool isStartAzFixed() const { return m_isStartAzFixed; }
    // Stores the grid start azimuth in the placement and keeps it through placement.
    void setFixedStartAz(const CMathAngle& az)
    {
        m_placed.setStartAz(az);
        m_isStartAzFixed = true;
    }
    void setFixedStartAzInDegs(double deg) { setFixedStartAz(CMathAngle(deg)); }
    // The next placement takes the previous element's final azimuth again.
    void releaseStartAz() { m_isStartAzFixed = false; }

    // ---- CAlntHe ----
    bool isok() const override { return m_placed.isok(); }
    // The curve length; false when it is unset.
    bool getHLengthInM(double& len) const override;
    TAlntHeType getType() const override { return T::static_type(); }
    bool getStartPosNe(double& N, double& E) const override;
    bool getFinalPosNe(double& N, double& E) const override;
    void getStartAzimut(CMathAngle& az) const override { m_placed.getStartAzimut(az); }
    bool getFinalAzimut(CMathAngle& az) const override { return m_placed.getFinalAzimut(az); }
    bool getPosNeAtChain(double chain, double& N, double& E) const override;
    bool getAzimuthAtChain(double chain, double& azDeg) const override;
    bool getPosNeAtLength(double l, double& N, double& E) const override
    {
        return m_placed.getPosAtLength(l, N, E);
    }
    bool getAzimuthAtLength(double l, double& azDeg) const override
    {
        azDeg = m_placed.getAzimuthAtLength(l);
        return true;
    }
    bool getPosAndDirAtLength(double l, double& N, double& E, double& azDeg, double& dirN,
                              double& dirE) const override
    {
        if (!m_placed.getPosAndDirAtLength(l, N, E, dirN, dirE))
            return false;
        azDeg = m_placed.getAzimuthAtLength(l);
        return true;
    }
    double getStepForDeviation(double chain, double deviation) const override;
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const override
    {
        return m_placed.getShortestDistAndCurveLen(N, E, dist, len);
    }

protected:
    void onSetIndex(const CAlntH& h, int index) override;

    TPlaced m_placed;
    bool m_isStartAzFixed;
};

class CAlntHeSegment : public CAlntHeCurveT<CCurveDataSegment> {
public:
    using CAlntHeCurveT<CCurveDataSegment>::CAlntHeCurveT;
    CAlntHe* clone() const override { return new CAlntHeSegment(*this); }
};

class CAlntHeSpiral : public CAlntHeCurveT<CCurveDataSpiral> {
public:
    using CAlntHeCurveT<CCurveDataSpiral>::CAlntHeCurveT;
    CAlntHe* clone() const override { return new CAlntHeSpiral(*this); }
};

class CAlntHeArc : public CAlntHeCurveT<CCurveDataArc> {
public:
    using CAlntHeCurveT<CCurveDataArc>::CAlntHeCurveT;
    CAlntHe* clone() const override { return new CAlntHeArc(*this); }

    // The arc from the element's start point to its end point with its start azimuth
    // (CArc::set_start_finish_startTgDir); false when a position or the start azimuth is
    // missing or the arc cannot be built.
    bool getArc(CArc& arc) const;
    // Fixes the start azimuth to the arc's start tangent (0 when that is unset) and sets the
    // curve from the arc's central angle, radius and turning side (setCAngleR).
    void setArc(const CArc& arc);
};

// An intersection-point corner. Placement sets the corner's start point from the previous
// element; the corner is solved towards the next element's IP when the next element is a
// corner too, and otherwise becomes a simple point (the straight tangent to its IP).
class CAlntHeIp : public CAlntHe {
public:
    CAlntHeIp() = default;
    explicit CAlntHeIp(const CCurveIp& corner) { m_corner = corner; }
    // Copies keep the corner whole, its flag word (the display kinds) included.
    CAlntHeIp(const CAlntHeIp& other) : CAlntHe(other) { m_corner = other.m_corner; }
    CAlntHeIp& operator=(const CAlntHeIp& other) = default;

    static TAlntHeType static_type() { return AlntHeIp; }
    // The element as a corner when its type is AlntHeIp (a type this class alone reports),
    // else null; null stays null.
    static CAlntHeIp* cast(CAlntHe* he);
    static const CAlntHeIp* cast(const CAlntHe* he);

    const CCurveIp& get_data() const { return m_corner; }
    CCurveIp& get_data() { return m_corner; }
    void set_data(const CCurveIp& corner) { m_corner = corner; }
    // The corner's setIp: IP (metres), entry spiral length, radius, exit spiral length.
    bool setIp(double N, double E, double L1, double R, double L2) { return m_corner.setIp(N, E, L1, R, L2); }
    // Marks the corner a simple point.
    void setSimplePoint() { m_corner.setSimplePoint(); }

    // ---- CAlntHe ----
    bool isok() const override { return m_corner.isok(); }
    // The corner's total length; true.
    bool getHLengthInM(double& len) const override;
    TAlntHeType getType() const override { return AlntHeIp; }
    bool getStartPosNe(double& N, double& E) const override;
    // The IP for a simple point, else ST.
    bool getFinalPosNe(double& N, double& E) const override;
    void getStartAzimut(CMathAngle& az) const override { m_corner.getStartAzimut(az); }
    bool getFinalAzimut(CMathAngle& az) const override { return m_corner.getFinalAzimut(az); }
    bool getPosNeAtChain(double chain, double& N, double& E) const override;
    bool getAzimuthAtChain(double chain, double& azDeg) const override;
    bool getPosNeAtLength(double l, double& N, double& E) const override
    {
        return m_corner.getPosAtLength(l, N, E);
    }
    // The corner's GetAzimuth (0 outside the corner); true.
    bool getAzimuthAtLength(double l, double& azDeg) const override
    {
        azDeg = m_corner.GetAzimuth(l);
        return true;
    }
    bool getPosAndDirAtLength(double l, double& N, double& E, double& azDeg, double& dirN,
                              double& dirE) const override
    {
        return m_corner.getPosAndDirAtLength(l, N, E, azDeg, dirN, dirE);
    }
    double getStepForDeviation(double chain, double deviation) const override;
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const override
    {
        return m_corner.getShortestDistAndCurveLen(N, E, dist, len);
    }
    CAlntHe* clone() const override { return new CAlntHeIp(*this); }

protected:
    void onSetIndex(const CAlntH& h, int index) override;

private:
    CCurveIp m_corner;
};
