// What the answer subcommands (road stakeout, locate, sample) share: the loaded alignment with
// the values their answers need, and the writing of stations, lengths, azimuths and CSV fields
// in the session's units.
#pragma once

#include "roadPrologue.h"

#include "road/roadLocator.h"

#include <string>
#include <string_view>
#include <vector>

namespace roadcli {

// Decimals of every number in --csv output (at least; --decimals may ask for more).
const int kCsvDecimals = 9;

// The options every answer subcommand takes.
const unsigned kAnswerOptions =
    kOptAlignment | kOptProfile | kOptUnits | kOptStationUnit | kOptMaxDistance | kOptExtendGrades | kOptCsv;

// Their help lines from --alignment to --max-distance, the same in every answer subcommand.
#define FIELDCORE_ANSWER_REACH_HELP                                                                 \
    "  --alignment A      the alignment, by name (any case) or number (road info shows it);\n"     \
    "                     needed when the file holds several\n"                                     \
    "  --profile NAME     the profile; needed when the alignment has several\n"                   \
    "  --extend-grades    design heights beyond the profile's ends along its end grades\n"         \
    "  --max-distance D   refuse points farther than D from the alignment (its extended\n"         \
    "                     tangents included), stations more than D beyond its ends and offsets\n"  \
    "                     over D, in the output unit (default 1000)\n"

// The one alignment an answer subcommand works on.
struct AnswerRoad {
    explicit AnswerRoad(const char* sub) : s(sub, kAnswerOptions) {}

    RoadSession s;
    const RoadAlignment* source = nullptr;
    const RoadBuild* build = nullptr;
    std::vector<int> sourceElement;   // per engine element: the file's element number (1-based)
    bool several = false;             // the file holds several alignments: answers name theirs
    int number = 1;                   // the alignment's number in the file
    double startChain = 0.0, endChain = 0.0;   // its ends (read once: the threads share them)
    std::string csvAlignment;   // the alignment's CSV field with its comma when `several`, else empty

    const CAlnt& alnt() const { return build->alnt; }
    int csvDecimals() const;
    double toDisplay(double metres) const;
    // Full precision (CSV, GeoJSON, station ranges): the exact foot ratio, not the display
    // conversion, which rounds feet to five decimals.
    double toCsv(double metres) const;
    double toMetres(double display) const { return s.units.toMetres(display); }
};

// The prologue's loadRoadSession for one alignment, then the values above.
int loadAnswerRoad(AnswerRoad& road);

// A station typed as a number, "n+rest" or with "@K" (roadcli::readStation).
bool readStation(const AnswerRoad& road, const std::string& text, double& internal, double& posted,
                 std::string& message);
// The station text of a point at `internal` whose posted station is `posted` (metres).
std::string stationText(const AnswerRoad& road, double posted, double internal);

// The design height at an internal chainage by the road's one rule (road/roadDesignHeight.h),
// beyond the profile with --extend-grades.
bool profileHeight(const AnswerRoad& road, const CAlnt& alnt, double station, double& height);

// Whether an answer at an internal station and offset (metres) lies within --max-distance of
// the alignment, its extended tangents included; false with the reason.
bool withinReach(const AnswerRoad& road, double station, double offset, std::string& why);

// The fields of a CSV row gathered in a fixed buffer and appended to `out` in one piece (when
// the buffer fills, and when the row goes out of scope): a row costs one append, not one a
// field. The append functions below are each a row of one field.
class CsvRow {
public:
    explicit CsvRow(std::string& out) : m_out(out) {}
    ~CsvRow() { flush(); }
    CsvRow(const CsvRow&) = delete;
    CsvRow& operator=(const CsvRow&) = delete;

    CsvRow& put(char c)
    {
        *room(1) = c;
        ++m_n;
        return *this;
    }
    CsvRow& put(std::string_view text);
    CsvRow& text(std::string_view text);                 // quoted when it holds , " CR or LF
    CsvRow& fixed(double value, int decimals);           // no minus sign where it rounds to 0
    CsvRow& whole(long value);
    CsvRow& station(const AnswerRoad& road, double posted, double internal);   // "@K" in an overlap
    void flush();

private:
    // Room for n bytes at the end of the buffer (n at most kSize), flushing first when needed.
    char* room(std::size_t n)
    {
        if (kSize - m_n < n)
            flush();
        return m_buf + m_n;
    }

    static constexpr std::size_t kSize = 2048;
    std::string& m_out;
    char m_buf[kSize];
    std::size_t m_n = 0;
};

// Fixed decimals, fast; a value that rounds to zero has no minus sign.
void appendFixed(std::string& out, double value, int decimals);
// The station as a CSV field: full precision, "@K" in an overlap.
void appendStationField(std::string& out, const AnswerRoad& road, double posted, double internal);
// The alignment as the first CSV field when the file holds several ("name" quoted).
void appendAlignmentField(std::string& out, const AnswerRoad& road);
// A text as a CSV field: quoted when it holds a comma, a quote or a line end.
std::string csvText(const std::string& text);
void appendCsvText(std::string& out, std::string_view text);
// A whole number as text.
void appendWhole(std::string& out, long value);
// The CSV header row: the alignment column when the file holds several, then `columns`.
std::string csvHeader(const AnswerRoad& road, const char* columns);

// The first line of text output: which alignment answered, the units, the station form and
// the offset sign (and the azimuths' form when `angles`).
std::string textHeader(const AnswerRoad& road, bool angles);
// An azimuth (degrees) for text output: ddd°mm'ss.s" with --angles dms, else as the display
// unit shows it.
std::string azimuthText(const AnswerRoad& road, double degrees);
// Radians as degrees from 0 to 360.
double azimuthDegrees(double radians);
// "inside", "before" or "beyond" (CSV), and the note text output adds off the road's ends.
const char* extentName(RoadExtent e);
const char* extentNote(RoadExtent e);

} // namespace roadcli
