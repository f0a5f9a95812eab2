// The design height of a road alignment at a station: the one rule every road service and the
// plot answer with.
//
// Inside the profile (from its first VIP to its last, both included) the height is the
// engine's, exact. Outside it there is no design height, unless the caller asks for the end
// grades to be carried on: then the first grade runs back from the first VIP and the last grade
// on from the last VIP (the end VIPs carry no vertical curve). A road without a profile has no
// design height anywhere.
//
// Units: internal chainage and heights in metres (the engine's). The alignment is one built by
// BuildRoadAlignment (road/roadBuilder.h), or a copy of it (one per thread: the engine fills
// caches in its queries).
#pragma once

#include "vrkmath/mathAlnt.h"

// What a design height is.
enum class RoadHeightKind {
    None,       // no height: no profile, or outside it without the end grades
    Profile,    // inside the profile
    Extended    // outside the profile, along its first or last grade
};

// The chainages of the profile's first and last VIP (metres); false without a profile.
bool RoadProfileRange(const CAlnt& alnt, double& first, double& last);

// The design height at internal chainage `station`; `height` is written unless the answer is
// None. `extendGrades` carries the end grades on beyond the profile's ends.
RoadHeightKind RoadDesignHeight(const CAlnt& alnt, double station, bool extendGrades, double& height);

// The cut or fill of a measured height against the design height: measured minus design,
// positive a cut (the point lies above the design), negative a fill. Both heights in one unit,
// the answer in that unit; NaN in either gives NaN (no cut/fill without both heights).
double RoadCutFill(double measured, double design);
