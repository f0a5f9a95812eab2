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

namespace {

bool allDigits(const std::string& s)
{
    return !s.empty() && s.size() < 10 && s.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

std::string RoadFileEpsg(const RoadFile& file)
{
    if (allDigits(file.epsgCode))
        return file.epsgCode;
    // The last EPSG authority of the WKT is the whole system's (the inner ones name its parts).
    const std::string& w = file.ogcWkt;
    for (const char* key : {"AUTHORITY[\"EPSG\",", "ID[\"EPSG\","}) {
        const size_t at = w.rfind(key);
        if (at == std::string::npos)
            continue;
        size_t i = at + std::string(key).size();
        std::string code;
        while (i < w.size() && (w[i] == '"' || w[i] == ' '))
            ++i;
        while (i < w.size() && w[i] >= '0' && w[i] <= '9')
            code += w[i++];
        if (allDigits(code))
            return code;
    }
    return std::string();
}

namespace {

std::string lowerAscii(std::string v)
{
    for (char& c : v)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return v;
}

} // namespace

int RoadFindAlignment(const RoadFile& file, const std::string& text)
{
    const size_t from = text.find_first_not_of(" \t");
    const std::string t = from == std::string::npos ? std::string()
                                                    : text.substr(from, text.find_last_not_of(" \t") + 1 - from);
    int named = -1;
    for (size_t i = 0; i < file.alignments.size(); ++i)
        if (lowerAscii(file.alignments[i].name) == lowerAscii(t)) {
            if (named >= 0)
                return kRoadAlignmentNameShared;
            named = static_cast<int>(i);
        }
    if (named >= 0)
        return named;
    if (t.empty() || t.size() > 9 || t.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const long number = std::stol(t);
    return number >= 1 && number <= static_cast<long>(file.alignments.size()) ? static_cast<int>(number - 1) : -1;
}
