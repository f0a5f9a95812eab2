// The intersection-point curve: one corner of a polygon of tangents, eased by a circular arc of
// radius R with an entry spiral of length L1 and an exit spiral of length L2, together with the
// straight tangent that leads to it. Once solved, the element is the chain
//
//   start segment (start point -> TS) -> entry spiral (TS -> SC) -> arc (SC -> CS)
//     -> exit spiral (CS -> ST)
//
// and answers the questions of a single curve in grid coordinates (north/east metres, grid
// azimuths clockwise from north; GetAzimuth in degrees). A corner with L1 = R = L2 = 0, a corner
// without an outgoing direction and a corner whose solution failed is a simple point: then the
// element is only the straight tangent from the start point to the IP.
#pragma once

#include "vrkmath/mathCurves.h"
#include "vrkmath/mathSpirals.h"

class CCurveIp;

// The key points of a solved corner (north/east metres): TS (the entry spiral's start), SC (the
// arc's start), CS (the exit spiral's start), the IP, and the corner that filled the record.
struct TIpNodes {
    double tsN;
    double tsE;
    double scN;
    double scE;
    double csN;
    double csE;
    double ipN;
    double ipE;
    const CCurveIp* curve;
};

// Where the display kind of the exit spiral's length lives in a corner's flag word: bits 9-11
// (the radius display uses bits 4-5 and the entry length display bits 6-8, cogo/curveFormulas.h).
inline constexpr unsigned int AlntLength2DisplayShift = 9;
inline constexpr unsigned int AlntLength2DisplayMask = 0x7u << AlntLength2DisplayShift;

class CCurveIp {
public:
    typedef COrgAzCurveT<CCurveDataSegment> TSegment;
    typedef COrgAzCurveT<CCurveDataSpiral> TSpiral;
    typedef COrgAzCurveT<CCurveDataArc> TArc;

    CCurveIp();
    // Copies everything, then clears the flags.
    CCurveIp(const CCurveIp& other);
    // Copy everything, flags included.
    CCurveIp& operator=(const CCurveIp& other) = default;
    void copy(const CCurveIp& other) { *this = other; }

    static TAlntHeType static_type() { return AlntHeIp; }

    // IP unset, simple; the start segment at (0, 0) with azimuth 0 and length 0; the other
    // placements unset and their curves reset; point id 0, flags 0.
    void reset();

    // ---- Setting the corner ----
    // Stores the IP (metres), the entry spiral length L1, the radius R and the exit spiral
    // length L2 (metres; the side comes from the tangents). With an outgoing direction already
    // known the corner is solved again with it, and the result is that of the solution;
    // otherwise true.
    bool setIp(double N, double E, double L1, double R, double L2);
    // The same, and the display kinds in the flags (units is not used).
    bool setIp(double N, double E, double L1, AlntElementLengthDisplay lengthDisplay1, double R,
               AlntElementRadiusDisplay radiusDisplay, double L2,
               AlntElementLengthDisplay lengthDisplay2, UNITS units);
    // The start point (metres): the incoming direction is the azimuth from it to the IP; the
    // corner is solved again.
    void setOrg(double N0, double E0);
    // The next corner's IP (or the alignment's end point): the outgoing direction is the azimuth
    // from this IP to it. True at once for a simple point by definition; else the solution's
    // result.
    bool onSetNextIp(double Nn, double En);
    // Solves the corner for the outgoing grid azimuth a2: the side of the corner from the
    // deflection a2 - a1 (0 counts as right), the exit spiral turned to end with azimuth a2.
    // False when a2 is unset or a spiral direction cannot be obtained.
    bool doSetFinalAz(const CMathAngle& a2);
    // Solves the corner with the current directions (see the source). True unless a direction
    // is missing; a corner that cannot be eased becomes a simple point.
    bool doSolve();
    void setSimplePoint(double N, double E);
    void setSimplePoint() { m_isSimple = true; }
    // The start segment's placement becomes unset.
    void resetOrgAz() { m_startSegment.resetOrgAz(); }
    // IP, L1, abs(R), L2 (and the display kinds).
    void getIpElement(double& N, double& E, double& L1, double& R, double& L2) const;
    void getIpElement(double& N, double& E, double& L1, AlntElementLengthDisplay& lengthDisplay1,
                      double& R, AlntElementRadiusDisplay& radiusDisplay, double& L2,
                      AlntElementLengthDisplay& lengthDisplay2, UNITS units) const;
    int getPointID() const { return m_pointID; }
    void setPointID(int id) { m_pointID = id; }

    // ---- Queries ----
    bool isSimplePoint() const;
    // L1, R and L2 all within 1e-12 of 0.
    bool isSimplePointByDef() const;
    bool isOrgAzOk() const { return m_startSegment.isOrgAzOk(); }
    bool isok() const { return !isUnset(m_ipN) && !isUnset(m_ipE) && m_startSegment.isOrgAzOk(); }
    double getIpNorth() const { return m_ipN; }
    double getIpEast() const { return m_ipE; }
    double getStartNorthing() const { return m_startSegment.getStartNorthing(); }
    double getStartEasting() const { return m_startSegment.getStartEasting(); }
    bool getStartAzimut(CMathAngle& az) const { return m_startSegment.getStartAzimut(az); }
    bool getFinalAzimut(CMathAngle& az) const;
    // The end: the IP for a simple point, else ST.
    double getFinalNorthing() const;
    double getFinalEasting() const;
    // Metres: the start segment, plus both spirals and the arc unless simple.
    double getTotalLength() const;
    // Entry spiral length, exit spiral length, the entry spiral's signed radius (metres).
    double getTsscLen() const { return m_entrySpiral.getTotalLength(); }
    double getCsstLen() const { return m_exitSpiral.getTotalLength(); }
    double getR() const { return m_entrySpiral.getCurve().getRadius(); }
    // Whether the corner turns right (final - start azimuth >= 0); false (right = true) when a
    // direction is unset.
    bool checkIsTurnRight(bool& right) const;
    const TSegment& getSolutionStartSegment() const { return m_startSegment; }
    const TSpiral& getSolutionStartSpiral() const { return m_entrySpiral; }
    const TArc& getSolutionArc() const { return m_arc; }
    const TSpiral& getSolutionFinalSpiral() const { return m_exitSpiral; }
    void getIpNodes(TIpNodes& nodes) const;

    // The grid point at length l along the element (metres from the start point). A length
    // within 0.001 of 0 is 0, and within 0.001 of a joint is the joint. False outside.
    bool getPosAtLength(double l, double& N, double& E) const;
    // The grid azimuth at l (degrees, not reduced); 0 outside.
    double GetAzimuth(double l) const;
    // getPosAtLength with GetAzimuth(l) and the grid unit tangent (dirN, dirE) there, both from
    // the piece that gives the point. False outside.
    bool getPosAndDirAtLength(double l, double& N, double& E, double& azDeg, double& dirN, double& dirE) const;
    // The step of the piece that holds l (at a joint the following piece); never past the
    // piece's end. 0 outside.
    double getStepForDeviation(double l, double deviation) const;
    // l + getStepForDeviation(l, deviation), with the position there.
    double getNextPosForDeviation(double l, double deviation, double& N, double& E) const;
    // Nearest point to the grid point (N, E): the nearest of the pieces (a later piece wins
    // within roadTolerance), len along the whole element. False (reported) when the last piece
    // cannot be projected.
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    AlntElementFlags getFlags() const { return m_flags; }
    void setFlags(AlntElementFlags flags) { m_flags = flags; }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }

private:
    // The piece that holds l: 0 start segment, 1 entry spiral, 2 arc, 3 exit spiral, with the
    // length rem into it; -1 when l lies outside. `strict`: a length at a joint goes to the
    // following piece.
    int locate(double l, double startSnap, bool strict, double& rem) const;
    bool doSolveSimple();

    double m_ipN;
    double m_ipE;
    int m_pointID;
    bool m_isSimple;
    TSegment m_startSegment;
    TSpiral m_entrySpiral;
    TArc m_arc;
    TSpiral m_exitSpiral;
    AlntElementFlags m_flags;
};
