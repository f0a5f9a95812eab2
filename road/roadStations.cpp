#include "road/roadStations.h"

#include <cmath>
#include <limits>

RoadStationing::RoadStationing(const RoadAlignment& a, double metresPerUnit)
{
    for (const RoadStaEquation& q : a.equations)
        m_equations.push_back(Equation{q.staInternal * metresPerUnit, q.staBack * metresPerUnit,
                                       q.staAhead * metresPerUnit});
}

double RoadStationing::toPosted(double internal) const
{
    double posted = internal;
    for (const Equation& q : m_equations) {
        if (internal < q.internal)
            break;
        posted = q.ahead + (internal - q.internal);
    }
    return posted;
}

bool RoadStationing::toInternal(double posted, double& internal, int* stretches) const
{
    const double inf = std::numeric_limits<double>::infinity();
    int found = 0;
    double first = 0.0;
    // Stretch k runs from equation k - 1 (or the start) to equation k (or the end).
    for (size_t k = 0; k <= m_equations.size(); ++k) {
        const double lo = k == 0 ? -inf : m_equations[k - 1].internal;
        const double hi = k == m_equations.size() ? inf : m_equations[k].internal;
        const double candidate = k == 0 ? posted : m_equations[k - 1].internal + (posted - m_equations[k - 1].ahead);
        if (candidate >= lo && candidate <= hi) {
            if (found++ == 0)
                first = candidate;
        }
    }
    if (stretches)
        *stretches = found;
    if (found == 0)
        return false;
    internal = first;
    return true;
}
