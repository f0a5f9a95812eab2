// fieldcore road locate: the station, offset, design height and cut/fill of positions, from
// the command line or one point a line (road/roadPoints.h), on one or several threads.
//
// The work of one line (parse, locate, format) is LocateWorker::locateLine, run in the workers
// of the line stream (road/roadLineStream.h), which reads the input in blocks and writes the
// answers in input order; the header row is HeaderRow.
#include "roadAnswers.h"

#include "hostFiles.h"
#include "lineReader.h"
#include "road/roadPoints.h"
#include "road/roadDesignHeight.h"
#include "road/roadLineStream.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>
#include <string_view>

namespace roadcli {
namespace {

const char* const kLocateHelp =
    "usage: fieldcore road locate ROAD|--example NORTH EAST [HEIGHT] [OPTIONS]\n"
    "       fieldcore road locate ROAD|--example [--input FILE] [--threads N] [OPTIONS] < points\n"
    "\n"
    "The station, offset and design height of the alignment's nearest point to a position,\n"
    "the cut or fill when a height is given, and the element (its number in the file). Points\n"
    "are \"[NAME] NORTH EAST [HEIGHT] [CODE]\" one per line (a first field that is no number\n"
    "is the name, and so is the first of four numbers: \"101 NORTH EAST HEIGHT\"), separated\n"
    "by blanks, tabs, commas or semicolons, CR LF or LF ends, from\n"
    "FILE or stdin; blank lines and lines starting with '#' are skipped. A CSV file may start\n"
    "with a header row naming its columns (name/point/id, north/northing/n, east/easting/e,\n"
    "height/elevation/elev/z/h, code; any case and order); a first line without any number\n"
    "that names none is skipped. Every answer carries the point's name, or \"line N\" where\n"
    "it has none. Coordinates must lie below 1e9 and heights below 1e5 in size. Points\n"
    "behind the start or ahead of the end are answered on the extended start or end tangent\n"
    "and flagged. A point as near to two places of the road (within a micrometre: a\n"
    "hairpin's middle line, an arc's centre) is answered at one of them, with a note that\n"
    "names the other (\"as near to ...\"; CSV status \"tie: as near to station S\").\n"
    "\n"
    "The nearest point is exact (to about 1e-9 m): candidate chords from an index over the\n"
    "road, then the foot point solved on each by Newton's method on the element's position\n"
    "and direction.\n"
    "\n"
    "Options:\n"
    "  --input FILE       read points from FILE instead of stdin (\"-\": stdin); needed when\n"
    "                     the road file comes from stdin (ROAD \"-\") and no point is given\n"
    "  --threads N        locate on N threads (0, the default: every core the process may\n"
    "                     run on; at most 256); the answers keep the order of the input;\n"
    "                     memory stays bounded whatever the input's size\n"
    FIELDCORE_ANSWER_REACH_HELP
    "  --units U          coordinates, heights, stations and offsets in m, usft or ift\n"
    "                     (default: the linear unit the file declares)\n"
    "  --decimals N       decimals of the text output, 4 to 12 (default 4; stations 2)\n"
    "  --station-unit N   display units per whole station of \"n+rest\" (1000 m, 100 ft)\n"
    "  --csv              comma-separated with a header row, full precision (9 decimals):\n"
    "                     [alignment,]name,line,station,offset,height,cut_fill,element,extent,\n"
    "                     status (alignment when the file holds several; height empty where\n"
    "                     there is no design height, cut_fill empty without one or without a\n"
    "                     measured height; a rejected line keeps its row, the reason in\n"
    "                     status, \"tie: ...\" for a tie, \"ok\" otherwise)\n"
    "\n"
    "Offsets are positive to the right of increasing stations. Cut/fill is the measured height\n"
    "minus the design height: positive a cut (the point lies above the design), negative a\n"
    "fill.\n"
    "\n"
    "Examples:\n"
    "  fieldcore road locate --example 6543480 1234740\n"
    "  fieldcore road locate road.xml --input points.csv --csv --threads 2 > answers.csv\n"
    "  fieldcore road stakeout road.xml --station 1+500 --offset 2 --csv | tail -1 |\n"
    "    cut -d, -f3,4 | fieldcore road locate road.xml\n"
    "\n"
    "Errors: a line that is no point, or a point farther than --max-distance, is reported\n"
    "with its number (\"fieldcore road locate: line N: ...\") and the other lines still run.\n"
    "\n"
    "Exit status: 0 every point answered; 1 a point had no answer; 2 bad input or usage.\n";

// What went wrong on a block's lines (RoadLineBlock::status), as exit statuses.
int worse(int status, int other)
{
    return std::max(status, other);
}

// One thread's view of the road: its own copy of the alignment (the engine fills caches in
// its queries), a locator sharing the index, and the layout of the points' lines.
struct LocateWorker {
    const AnswerRoad* road;
    const CAlnt* alnt;
    RoadLocator locator;
    RoadPointFormat format;

    // The answer for one point, or false with the reason (the point has no answer). `warning`
    // is set when the answer is one of two equally near places.
    bool answer(const RoadPointRecord& q, long lineNo, std::string& out, std::string& why, std::string& warning) const
    {
        RoadLocation r;
        if (!locator.locate(road->toMetres(q.north), road->toMetres(q.east), r))
            return why = "no answer for this point", false;
        if (!withinReach(*road, r.station, r.offset, why))
            return false;
        if (!std::isnan(r.tieStation))
            warning = "as near to station " + tieText(r) + " as to " +
                      stationText(*road, road->build->stations.toPosted(r.station), r.station) +
                      ": the answer is one of two";
        double design = 0.0;
        const bool hasDesign = profileHeight(*road, *alnt, r.station, design);
        if (road->s.csv)
            csvAnswer(q, lineNo, r, hasDesign ? &design : nullptr, out);
        else
            textAnswer(q, lineNo, r, hasDesign ? &design : nullptr, out);
        out += '\n';
        return true;
    }

    void csvAnswer(const RoadPointRecord& q, long lineNo, const RoadLocation& r, const double* design,
                   std::string& out) const
    {
        const int d = road->csvDecimals();
        CsvRow row(out);
        pointFields(row, q, lineNo);
        row.station(*road, road->build->stations.toPosted(r.station), r.station).put(',');
        row.fixed(road->toCsv(r.offset), d).put(',');
        if (design)
            row.fixed(road->toCsv(*design), d);
        row.put(',');
        if (design && q.hasHeight)
            row.fixed(RoadCutFill(q.height, road->toCsv(*design)), d);
        row.put(',').whole(road->sourceElement[static_cast<size_t>(r.element)]).put(',');
        row.put(extentName(r.extent)).put(',');
        if (std::isnan(r.tieStation))
            row.put("ok");
        else
            row.put("tie: as near to station ").station(*road, road->build->stations.toPosted(r.tieStation), r.tieStation);
    }

    std::string tieText(const RoadLocation& r) const
    {
        return stationText(*road, road->build->stations.toPosted(r.tieStation), r.tieStation);
    }

    void textAnswer(const RoadPointRecord& q, long lineNo, const RoadLocation& r, const double* design,
                    std::string& out) const
    {
        const cli::DisplayUnits& u = road->s.units;
        const double posted = road->build->stations.toPosted(r.station);
        out += (q.name.empty() ? (lineNo > 0 ? "line " + std::to_string(lineNo) + "  " : std::string()) : q.name + "  ") +
               stationText(*road, posted, r.station) + "  offset " + u.showLength(r.offset) + "  height " +
               (design ? u.showLength(*design) : std::string("-"));
        if (design && q.hasHeight) {
            const double cutFill = RoadCutFill(q.height, road->toDisplay(*design));
            out += (cutFill >= 0.0 ? "  cut " : "  fill ") + cli::fixedNoNegativeZero(std::fabs(cutFill), u.decimals);
        }
        out += "  element " + std::to_string(road->sourceElement[static_cast<size_t>(r.element)]) + extentNote(r.extent);
        if (!std::isnan(r.tieStation))
            out += "  (as near to " + tieText(r) + ")";
    }

    // The name and line fields of a CSV row (after the alignment when the file holds several).
    void pointFields(CsvRow& row, const RoadPointRecord& q, long lineNo) const
    {
        row.put(road->csvAlignment).text(q.name).put(',');
        if (lineNo > 0)
            row.whole(lineNo);
        row.put(',');
    }

    // A rejected line: its CSV row with the reason, so that rows stay aligned with the input.
    void rejectRow(std::string& out, const RoadPointRecord& q, long lineNo, const std::string& why) const
    {
        if (!road->s.csv)
            return;
        CsvRow row(out);
        pointFields(row, q, lineNo);
        row.put(",,,,,,").text(why).put('\n');
    }

    // The work of one input line: parse the point, locate it, format the answer or the
    // reason into `b`. Every line goes through here, whichever thread runs it.
    void locateLine(std::string_view line, long lineNo, bool tooLong, RoadLineBlock& b) const
    {
        RoadPointRecord q;
        std::string why;
        if (tooLong || !ParseRoadPointLine(format, line, q, why)) {
            if (tooLong)
                why = cli::LineReader::kTooLongMessage;
            b.errors.emplace_back(lineNo, why);
            b.status = worse(b.status, cli::EXIT_BAD_INPUT);
            rejectRow(b.out, q, lineNo, why);
            return;
        }
        std::string warning;
        const bool answered = answer(q, lineNo, b.out, why, warning);
        if (!warning.empty())
            b.errors.emplace_back(lineNo, warning);   // a note: the status stays
        if (!answered) {
            b.errors.emplace_back(lineNo, why);
            rejectRow(b.out, q, lineNo, why);
            b.status = worse(b.status, why.find("--max-distance") != std::string::npos ? cli::EXIT_BAD_INPUT
                                                                                      : cli::EXIT_NO_ANSWER);
        }
    }

    // The lines of a block: blank and comment lines are skipped, a CR before the line end
    // dropped.
    void run(RoadLineBlock& b) const
    {
        long lineNo = b.firstLine;
        size_t overLimit = 0;
        for (size_t pos = 0, end; (end = b.text.find('\n', pos)) != std::string::npos; pos = end + 1, ++lineNo) {
            const bool tooLong = overLimit < b.tooLong.size() && b.tooLong[overLimit] == lineNo;
            overLimit += tooLong;
            std::string_view line(b.text.data() + pos, end - pos);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (tooLong || !IsBlankOrCommentLine(line))
                locateLine(line, lineNo, tooLong, b);
        }
    }
};

// The first line that is neither blank nor a comment (nor over the length limit) may be a
// header row naming the columns: it sets every worker's format and is no point (blanked).
// Runs as each block is read (in input order, before it is answered); until the header is
// seen a block holds no line that reads the format.
struct HeaderRow {
    std::vector<LocateWorker>* workers;
    bool seen = false;

    void operator()(RoadLineBlock& b)
    {
        long lineNo = b.firstLine;
        size_t overLimit = 0;
        for (size_t pos = 0, end; !seen && (end = b.text.find('\n', pos)) != std::string::npos; pos = end + 1, ++lineNo) {
            if (overLimit < b.tooLong.size() && b.tooLong[overLimit] == lineNo) {
                ++overLimit;
                continue;
            }
            std::string_view line(b.text.data() + pos, end - pos);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (IsBlankOrCommentLine(line))
                continue;
            seen = true;
            RoadPointFormat format;
            if (ReadRoadPointHeader(line, format)) {
                for (LocateWorker& w : *workers)
                    w.format = format;
                std::fill(b.text.begin() + static_cast<std::ptrdiff_t>(pos), b.text.begin() + static_cast<std::ptrdiff_t>(end), ' ');
            }
        }
    }
};

// Locates the lines of `in` on the workers' threads, writing the answers in the order of the
// input.
int locateLines(const AnswerRoad& road, std::FILE* in, std::vector<LocateWorker>& workers)
{
    int status = cli::EXIT_OK;
    RoadLineStreamHooks hooks;
    hooks.prepare = HeaderRow{&workers};
    hooks.work = [&](int w, RoadLineBlock& b) { workers[static_cast<size_t>(w)].run(b); };
    hooks.write = [&](const RoadLineBlock& b) {
        std::cout.write(b.out.data(), static_cast<std::streamsize>(b.out.size()));
        if (!b.errors.empty())
            std::cout.flush();
        for (const auto& e : b.errors)
            cli::errorAtLine(road.s.command, e.first, e.second);
        status = worse(status, b.status);
    };
    if (!RoadLineStream::run(in, static_cast<int>(workers.size()), hooks)) {
        cli::error(road.s.command, "the points could not be read to their end (a read error)");
        status = cli::EXIT_BAD_INPUT;
    }
    return status;
}

// The point of the command line: its numbers, checked as a file's are.
int locateOne(const AnswerRoad& road, const RoadLocator& locator, const std::vector<double>& numbers)
{
    std::string text, why, out;
    for (double v : numbers)
        text += cli::formatDouble(v) + " ";
    RoadPointRecord q;
    const LocateWorker w{&road, &road.alnt(), locator, RoadPointFormat()};
    const bool parsed = ParseRoadPointLine(w.format, text, q, why);
    std::string warning;
    const bool ok = parsed && w.answer(q, 0, out, why, warning);
    if (!warning.empty())
        cli::error(road.s.command, warning);
    std::cout << out;
    if (ok)
        return cli::EXIT_OK;
    cli::error(road.s.command, why);
    return !parsed || why.find("--max-distance") != std::string::npos ? cli::EXIT_BAD_INPUT : cli::EXIT_NO_ANSWER;
}

// The points of the input on `threads` threads, each with its own copy of the alignment.
int locateInput(const AnswerRoad& road, const RoadLocator& locator, std::FILE* in, int threads)
{
    const std::vector<CAlnt> copies(static_cast<size_t>(threads - 1), road.alnt());
    std::vector<LocateWorker> workers;
    workers.push_back(LocateWorker{&road, &road.alnt(), locator, RoadPointFormat()});
    for (const CAlnt& c : copies)
        workers.push_back(LocateWorker{&road, &c, locator.sharedWith(c), RoadPointFormat()});
    return locateLines(road, in, workers);
}

struct LocateOptions {
    std::string input;
    bool hasInput = false;
    int threads = 0;   // every core the process may run on
    std::vector<double> numbers;
};

bool readLocateOptions(cli::Args& args, AnswerRoad& road, LocateOptions& o, std::string& message)
{
    std::string threads;
    o.hasInput = args.option("--input", o.input);
    const bool hasThreads = args.option("--threads", threads);
    if (!readRoadOptions(args, road.s, message, &o.numbers))
        return false;
    if (hasThreads && (!cli::parseInt(threads, o.threads) || o.threads < 0 || o.threads > 256))
        return message = "--threads takes a number from 0 (every core) to 256", false;
    if (o.threads == 0)
        o.threads = std::min(RoadUsableCores(), 256);
    if (!o.numbers.empty() && (o.numbers.size() < 2 || o.numbers.size() > 3))
        return message = "give NORTH EAST [HEIGHT]", false;
    if (!o.numbers.empty() && o.hasInput)
        return message = "give a point or --input, not both", false;
    if (o.hasInput && o.input == "-")
        o.hasInput = false;   // stdin, as without --input
    if (roadFromStdin(road.s.path) && o.numbers.empty() && !o.hasInput)
        return message = stdinTakenByRoad("the points", "give them with --input FILE or as NORTH EAST"), false;
    return true;
}

// Locates with the road loaded and the input open.
int locate(const AnswerRoad& road, const LocateOptions& o, std::FILE* in)
{
    RoadLocator locator;
    if (!locator.build(road.alnt())) {
        cli::error(road.s.command, "the alignment cannot be indexed");
        return cli::EXIT_NO_ANSWER;
    }
    std::cout << (road.s.csv ? csvHeader(road, "name,line,station,offset,height,cut_fill,element,extent,status")
                             : textHeader(road, false));
    return o.numbers.empty() ? locateInput(road, locator, in, o.threads) : locateOne(road, locator, o.numbers);
}

int runLocate(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (printedRoadHelp(args, kLocateHelp))
        return cli::EXIT_OK;
    AnswerRoad road("locate");
    LocateOptions o;
    std::string message;
    if (!readLocateOptions(args, road, o, message))
        return cli::usageError(road.s.command, message);
    std::FILE* in = stdin;
    const std::string unreadable = o.hasInput ? cli::whyUnreadable(o.input) : std::string();
    if (o.hasInput && (!unreadable.empty() || !(in = std::fopen(o.input.c_str(), "rb")))) {
        cli::error(road.s.command, "--input: " + cli::cannotRead(o.input, unreadable.empty() ? "a read error" : unreadable));
        return cli::EXIT_BAD_INPUT;
    }
    int status = loadAnswerRoad(road);
    if (status == cli::EXIT_OK)
        status = locate(road, o, in);
    if (in != stdin)
        std::fclose(in);
    return status;
}

const bool registered =
    registerSubcommand("locate", "station, offset, height and cut/fill of positions", &runLocate);

} // namespace
} // namespace roadcli
