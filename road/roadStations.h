// Posted stations and internal chainage of a road alignment.
//
// Inside, the alignment engine measures along the alignment with one continuous chainage: the
// start station plus the length from the start (the file's "internal station"). The stations a
// surveyor reads and types are posted stations: station equations let them jump (a gap, where
// the ahead station exceeds the back station) or run back (an overlap, where some posted
// stations occur twice). Everything here is in metres.
#pragma once

#include "road/roadModel.h"

#include <vector>

class RoadStationing {
public:
    // No equations, start 0: posted and internal stations are the same.
    RoadStationing() = default;
    // From the alignment's start station and its equations (file units times metresPerUnit).
    RoadStationing(const RoadAlignment& a, double metresPerUnit);

    // The posted station at an internal chainage: before the first equation the two agree;
    // from an equation's internal station on, posted = staAhead + (internal - staInternal).
    double toPosted(double internal) const;
    // The internal chainage of a posted station, from the first stretch between equations
    // that holds it (at an equation the stretch before it); false for a posted station that
    // falls into the gap of an equation. `stretches`, when given, receives how many stretches
    // hold it (2 or more inside the overlap of an equation that runs back).
    bool toInternal(double posted, double& internal, int* stretches = nullptr) const;

    // One equation: internal chainage, back and ahead station (metres).
    struct Equation {
        double internal;
        double back;
        double ahead;
    };
    const std::vector<Equation>& equations() const { return m_equations; }

private:
    std::vector<Equation> m_equations;   // in the order of their internal stations
};
