#include "road/roadModel.h"

#include "numeric/units.h"

double RoadUnits::metresPerUnit() const
{
    switch (linear) {
    case RoadLinearUnit::Metre: return 1.0;
    case RoadLinearUnit::Millimetre: return 0.001;
    case RoadLinearUnit::Centimetre: return 0.01;
    case RoadLinearUnit::Kilometre: return 1000.0;
    case RoadLinearUnit::USSurveyFoot: return kUSFootInMeters;
    case RoadLinearUnit::InternationalFoot: return kIFootInMeters;
    }
    return 1.0;
}

const char* RoadLinearUnitName(RoadLinearUnit unit)
{
    switch (unit) {
    case RoadLinearUnit::Metre: return "meter";
    case RoadLinearUnit::Millimetre: return "millimeter";
    case RoadLinearUnit::Centimetre: return "centimeter";
    case RoadLinearUnit::Kilometre: return "kilometer";
    case RoadLinearUnit::USSurveyFoot: return "USSurveyFoot";
    case RoadLinearUnit::InternationalFoot: return "foot";
    }
    return "meter";
}

const char* RoadAngularUnitName(RoadAngularUnit unit)
{
    switch (unit) {
    case RoadAngularUnit::Radians: return "radians";
    case RoadAngularUnit::Grads: return "grads";
    case RoadAngularUnit::DecimalDegrees: return "decimal degrees";
    case RoadAngularUnit::DecimalDms: return "decimal dd.mm.ss";
    }
    return "radians";
}

const char* RoadGeomKindName(RoadGeomKind kind)
{
    switch (kind) {
    case RoadGeomKind::Line: return "Line";
    case RoadGeomKind::Curve: return "Curve";
    case RoadGeomKind::Spiral: return "Spiral";
    }
    return "Line";
}

const char* RoadVipKindName(RoadVipKind kind)
{
    switch (kind) {
    case RoadVipKind::Pvi: return "PVI";
    case RoadVipKind::ParaCurve: return "ParaCurve";
    case RoadVipKind::CircCurve: return "CircCurve";
    case RoadVipKind::UnsymParaCurve: return "UnsymParaCurve";
    }
    return "PVI";
}

std::string RoadError::text() const
{
    std::string t = file;
    if (line > 0)
        t += ":" + std::to_string(line);
    return t + ": " + message;
}
