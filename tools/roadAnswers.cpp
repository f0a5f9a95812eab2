#include "roadAnswers.h"

#include "numeric/fixedDecimals.h"
#include "road/roadDesignHeight.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace roadcli {

int AnswerRoad::csvDecimals() const
{
    return std::max(kCsvDecimals, s.units.decimals);
}

double AnswerRoad::toDisplay(double metres) const
{
    return FromMetersEx(metres, s.units.dist);
}

double AnswerRoad::toCsv(double metres) const
{
    const UNITS u = s.units.dist;
    return u == UNITS_USFT ? metres / kUSFootInMeters : u == UNITS_IFT ? metres / kIFootInMeters : metres;
}

int loadAnswerRoad(AnswerRoad& road)
{
    const int status = loadRoadSession(road.s, true);
    if (status != cli::EXIT_OK)
        return status;
    const LoadedRoad& loaded = road.s.loaded;
    road.source = &loaded.file.alignments[static_cast<size_t>(loaded.selected[0])];
    road.build = &loaded.builds[0];
    road.several = loaded.file.alignments.size() > 1;
    road.startChain = road.endChain = road.alnt().getStartChainageInM();
    road.alnt().getFinalChainageInM(road.endChain);
    road.number = loaded.selected[0] + 1;
    if (road.several) {
        road.csvAlignment = "\"";
        for (char c : road.source->name)
            road.csvAlignment += c == '"' ? std::string("\"\"") : std::string(1, c);
        road.csvAlignment += "\",";
    }
    road.sourceElement.assign(static_cast<size_t>(road.alnt().getNumOfHes()), 0);
    for (size_t i = 0; i < road.build->engineIndex.size(); ++i)
        if (road.build->engineIndex[i] >= 0)
            road.sourceElement[static_cast<size_t>(road.build->engineIndex[i])] = static_cast<int>(i) + 1;
    return cli::EXIT_OK;
}

bool readStation(const AnswerRoad& road, const std::string& text, double& internal, double& posted,
                 std::string& message)
{
    return readStation(road.build->stations, text, road.s.units, road.s.form, internal, posted, message);
}

std::string stationText(const AnswerRoad& road, double posted, double internal)
{
    return stationText(road.build->stations, posted, internal, road.s.units, road.s.form);
}

bool profileHeight(const AnswerRoad& road, const CAlnt& alnt, double station, double& height)
{
    return RoadDesignHeight(alnt, station, road.s.extendGrades, height) != RoadHeightKind::None;
}

bool withinReach(const AnswerRoad& road, double station, double offset, std::string& why)
{
    const double start = road.startChain, end = road.endChain;
    const double beyond = std::max(start - station, station - end);
    const double limit = road.s.maxDistance;
    // Lengths in the display's decimals; a blunder's length (1e300 typed as an offset) in
    // four significant digits instead of hundreds.
    auto text = [&](double metres) {
        const double shown = road.toDisplay(metres);
        if (std::fabs(shown) < 1e9)
            return road.s.units.showLength(metres);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.4g", shown);
        return std::string(buf);
    };
    if (beyond > limit) {
        why = "the station lies " + text(beyond) + " " + (station < start ? "before the start" : "beyond the end") +
              " of the alignment (more than --max-distance " + text(limit) + ")";
        return false;
    }
    if (std::fabs(offset) > limit) {
        why = "the point lies " + text(std::fabs(offset)) + " from the alignment (more than --max-distance " +
              text(limit) + ")";
        return false;
    }
    return true;
}

CsvRow& CsvRow::put(std::string_view text)
{
    if (text.size() > kSize) {   // a long name: straight to the output
        flush();
        m_out.append(text.data(), text.size());
        return *this;
    }
    std::memcpy(room(text.size()), text.data(), text.size());
    m_n += text.size();
    return *this;
}

CsvRow& CsvRow::text(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return put(text);
    put('"');
    for (char c : text) {
        if (c == '"')
            put('"');
        put(c);
    }
    return put('"');
}

CsvRow& CsvRow::fixed(double value, int decimals)
{
    static const double kHalfUnit[] = {0.5, 0.05, 0.005, 5e-4, 5e-5, 5e-6, 5e-7, 5e-8, 5e-9, 5e-10, 5e-11, 5e-12, 5e-13};
    if (value <= 0.0 && value > -kHalfUnit[std::min(decimals, 12)])   // -0 included
        value = 0.0;
    // The longest text: a sign, 309 digits of 1e308, the point and the decimals (the options
    // allow at most 12; more than 1000 are not written).
    decimals = std::clamp(decimals, 0, 1000);
    const std::size_t longest = 312 + static_cast<std::size_t>(decimals);
    char* p = room(longest);
    m_n += static_cast<std::size_t>(WriteFixedDecimals(p, p + longest, value, decimals) - p);
    return *this;
}

CsvRow& CsvRow::whole(long value)
{
    char* p = room(24);
    m_n += static_cast<std::size_t>(std::to_chars(p, p + 24, value).ptr - p);
    return *this;
}

CsvRow& CsvRow::station(const AnswerRoad& road, double posted, double internal)
{
    fixed(road.toCsv(posted), road.csvDecimals());
    return put(regionSuffix(road.build->stations, posted, internal));
}

void CsvRow::flush()
{
    m_out.append(m_buf, m_n);
    m_n = 0;
}

void appendFixed(std::string& out, double value, int decimals)
{
    CsvRow(out).fixed(value, decimals);
}

void appendWhole(std::string& out, long value)
{
    CsvRow(out).whole(value);
}

void appendStationField(std::string& out, const AnswerRoad& road, double posted, double internal)
{
    CsvRow(out).station(road, posted, internal);
}

std::string csvText(const std::string& text)
{
    std::string q;
    appendCsvText(q, text);
    return q;
}

void appendCsvText(std::string& out, std::string_view text)
{
    CsvRow(out).text(text);
}

void appendAlignmentField(std::string& out, const AnswerRoad& road)
{
    out += road.csvAlignment;
}

std::string csvHeader(const AnswerRoad& road, const char* columns)
{
    return std::string(road.several ? "alignment," : "") + columns + "\n";
}

std::string textHeader(const AnswerRoad& road, bool angles)
{
    const cli::DisplayUnits& units = road.s.units;
    const UNITS u = units.dist;
    const std::string unit = u == UNITS_USFT ? "US survey feet" : u == UNITS_IFT ? "feet" : "metres";
    std::string h = "# alignment " + std::to_string(road.number) + " \"" + road.source->name + "\"";
    if (road.several)
        h += " of " + std::to_string(road.s.loaded.file.alignments.size());
    h += "; lengths and heights in " + unit + "; stations n+rest, " + cli::formatDisplay(road.s.form.unit) + " " +
         (u == UNITS_M ? "m" : "ft") + " a station; offsets right positive";
    if (angles)
        h += units.angle == ANGLES_DMS ? "; azimuths ddd°mm'ss.s\""
             : units.angle == cli::kDegrees ? "; azimuths in degrees" : "; azimuths in grads";
    return h + "\n";
}

std::string azimuthText(const AnswerRoad& road, double degrees)
{
    if (road.s.units.angle != ANGLES_DMS)
        return road.s.units.showAngle(degrees);
    long tenths = std::lround(degrees * 36000.0);
    tenths %= 360L * 36000L;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03ld\xC2\xB0%02ld'%04.1f\"", tenths / 36000, tenths / 600 % 60,
                  static_cast<double>(tenths % 600) / 10.0);
    return buf;
}

double azimuthDegrees(double radians)
{
    double deg = radians * kDegPerRad;
    deg = std::fmod(deg, 360.0);
    return deg < 0.0 ? deg + 360.0 : deg;
}

const char* extentName(RoadExtent e)
{
    return e == RoadExtent::BeforeStart ? "before" : e == RoadExtent::BeyondEnd ? "beyond" : "inside";
}

const char* extentNote(RoadExtent e)
{
    return e == RoadExtent::BeforeStart ? "  (before the start, on the extended tangent)"
           : e == RoadExtent::BeyondEnd ? "  (beyond the end, on the extended tangent)"
                                        : "";
}

} // namespace roadcli
