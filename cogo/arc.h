// A circular arc built from the usual surveying givens.
//
// Positions are C2dPos (north, east) in metres; angles are CMathAngle azimuths and turns in
// radians, clockwise from grid north, clockwise positive. The arc runs from `start` about
// `centre` through the central angle `cAngle`. For arcs up to a half circle the sign of
// `cAngle` agrees with `clockwise` (positive <-> clockwise, a half circle is always stored
// that way); an arc longer than a half circle keeps the short angle in [-pi, pi] whose sign
// disagrees with the flag, and goes the long way about the centre.
//
// The setters that return bool write the arc only when they return true.
#pragma once

#include "numeric/mathAngle.h"

struct CArc {
    C2dPos start;
    C2dPos centre;
    CMathAngle cAngle;      // central angle swept from the start, clockwise positive
    bool clockwise = false; // the arc turns right seen along its direction

    // Stores the four fields; a half circle (cAngle = +-pi) whose sign disagrees with
    // `clockwise` gets its sign changed to agree.
    void set_start_center_cAngle(const C2dPos& start, const C2dPos& centre,
                                 const CMathAngle& cAngle, bool clockwise);
    // The arc of radius r (metres) from the radial azimuth startAz to the radial azimuth
    // finishAz (both seen from the centre); cAngle = finishAz - startAz, normalised.
    void set_r_start_center_finish(double r, const CMathAngle& startAz, const C2dPos& centre,
                                   const CMathAngle& finishAz, bool clockwise);
    // The arc from start about centre to the radial line through finish. False when the centre
    // coincides with start or finish (within 1e-12 in both coordinates).
    bool set_start_center_finish(const C2dPos& start, const C2dPos& centre,
                                 const C2dPos& finish, bool clockwise);
    // The arc from start to finish whose tangent at the start (respectively the finish) has
    // the given azimuth; the turning side follows from the tangent. False when the tangent lies
    // along the chord or start and finish coincide.
    bool set_start_finish_startTgDir(const C2dPos& start, const C2dPos& finish,
                                     const CMathAngle& startTangent);
    bool set_start_finish_finishTgDir(const C2dPos& start, const C2dPos& finish,
                                      const CMathAngle& finishTangent);
    // The arc from start through onArc to finish. False when two of the points coincide or
    // the three lie on one line.
    bool set_start_finish_plusPos(const C2dPos& start, const C2dPos& finish, const C2dPos& onArc);

    // The tangent azimuth at the start: azimuth centre -> start + pi/2 when clockwise, - pi/2
    // otherwise. Unset when the centre coincides with the start.
    void get_start_tgdir(CMathAngle& out) const;
    // The point halfway along the arc (the long way for an arc longer than a half circle).
    void get_middle_pos_on_the_arc(C2dPos& out) const;
    // The radius: the distance centre -> start, metres.
    double getRadius() const;
};
