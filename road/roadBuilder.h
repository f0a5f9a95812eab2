// Building the alignment engine's alignment (CAlnt, vrkmath/mathAlnt.h) from a road file's
// alignment (road/roadModel.h), and the process-wide tolerances the road services run with.
//
// Horizontal: every element becomes the engine's element with its start azimuth fixed from the
// file's coordinates (road/roadGeometry.h): lines become segments, curves arcs, spirals TS->SC
// or CS->ST spirals or compound spirals (two finite radii, rising or falling). Elements follow
// each other directly; the engine starts each element where the one before it ends. A gap up
// to 1 mm between one element's stated end and the next one's stated start is absorbed; a
// larger gap is an error. Every element's end as the engine computes it must lie within 1 mm
// of the end the file states. Elements shorter than 1e-9 m are left out of the engine.
//
// Vertical: the profile's VIPs become the engine's VIP elements: a PVI or a ParaCurve a
// CVerticalLSElement, a CircCurve a CAlntVeLsWithArc (the radius's magnitude with the grades on
// both sides; the stated length is not used). An UnsymParaCurve (two parabolas of lengthIn and
// lengthOut meeting under the VIP with a common tangent) becomes two CVerticalLSElements: each
// half is the symmetric parabola whose VIP lies halfway along its half-length on the tangent
// (at station - lengthIn / 2 on the grade in, at station + lengthOut / 2 on the grade out), so
// that the engine's own parabolas carry it exactly.
//
// Units: the engine works in metres and in the internal (continuous) chainage; the file's
// numbers are scaled by its unit.
#pragma once

#include "road/roadGeometry.h"
#include "road/roadModel.h"
#include "road/roadStations.h"
#include "vrkmath/mathAlnt.h"

#include <string>
#include <vector>

// The road services run the engine with smallNumTolerance lowered to this value: at the
// default 1e-5 the clothoid series stops with up to 4e-5 m left, and the road tools answer to
// the micrometre.
const double kRoadSmallNumTolerance = 1e-10;
// Sets smallNumTolerance (cogo/curveFormulas.h, process-wide) to kRoadSmallNumTolerance. Every
// road service entry point calls it; BuildRoadAlignment does too.
void UseRoadTolerances();

// Largest gap absorbed between elements, and largest distance allowed between an element's
// computed end and its stated end (metres).
const double kRoadJoinTolerance = 0.001;
// Largest direction change (radians) of the full clothoid of a compound spiral: beyond it the
// engine's series (24 terms) no longer reaches the micrometre. Compound spirals between nearly
// equal radii exceed it.
const double kRoadMaxClothoidTurn = 10.0;

// One alignment ready for queries.
struct RoadBuild {
    CAlnt alnt;                          // metres, internal chainage
    RoadStationing stations;             // posted <-> internal, metres
    double metresPerUnit = 1.0;          // of the file
    int profile = -1;                    // the source profile used, -1 for none
    std::vector<int> engineIndex;        // per source element: engine element, -1 when left out
    std::vector<RoadElementShape> shapes;  // per source element, file units
    std::vector<int> vipIndex;           // per VIP of the profile: its engine VIP element (the
                                         // first of the two of an unsymmetrical curve)
    // Set when no profile was named and every profile of the alignment was refused: the plan is
    // built without heights (profile -1) and `profileRefusal` is the first profile's reason, for
    // the caller to say. A bad profile blocks the heights only, not the plan.
    bool profileRefused = false;
    RoadError profileRefusal;
};

// Builds alignment `a` of `file` with the profile named `profileName` (a <ProfAlign> or
// <Profile> name; empty: the first profile the reader took, if any: callers that answer heights
// ask for the choice among several; none taken when every one was refused, see
// RoadBuild::profileRefused). False with `err` (file, line, and for a gap both elements and
// their lines) when the file's geometry cannot be built or the reader refused the alignment or
// the profile named (its reason); `out` is then unspecified.
bool BuildRoadAlignment(const RoadFile& file, const RoadAlignment& a, const std::string& profileName,
                        RoadBuild& out, RoadError& err);

// Whether the alignment has profiles and the reader refused every one.
bool RoadEveryProfileRefused(const RoadAlignment& a);

// The profile's VIPs as the file states them (metres, internal chainage): each with its curve
// as the engine built it, an unsymmetrical curve as one VIP whose curve runs from station -
// lengthIn for lengthIn + lengthOut. Empty without a profile.
std::vector<CLsInfo> RoadProfileVips(const RoadAlignment& a, const RoadBuild& build);
