// fieldcore road convert: a road file written back as LandXML 1.2 after the engine has built
// every alignment from it.
#include "roadPrologue.h"

#include "hostFiles.h"

#include "road/landXmlWriter.h"

#include <algorithm>
#include <iostream>

namespace {

const char* const kSub = "convert";

// Refused alignments cannot be written: each is named on stderr, and the exit status says that
// the file was not converted whole.
int refusedLeftOut(const std::string& command, const roadcli::LoadedRoad& road, bool all)
{
    int status = cli::EXIT_OK;
    for (size_t i = 0; i < road.file.alignments.size(); ++i) {
        const RoadAlignment& a = road.file.alignments[i];
        // With --alignment only the one asked for counts (another's refusal exited 2).
        if (!all && std::find(road.selected.begin(), road.selected.end(), static_cast<int>(i)) == road.selected.end())
            continue;
        if (a.refused) {
            cli::error(command, "alignment '" + a.name + "' is refused and not written: " + a.refusal.text());
            status = cli::EXIT_BAD_INPUT;
            continue;
        }
        for (const RoadProfile& p : a.profiles)
            if (p.refused) {
                cli::error(command, "profile '" + p.name + "' of alignment '" + a.name +
                                        "' is refused and not written: " + p.refusal.text());
                status = cli::EXIT_BAD_INPUT;
            }
    }
    return status;
}

const char* const kHelp =
    "usage: fieldcore road convert ROAD -o OUT.xml [--alignment NAME]\n"
    "\n"
    "Reads the road file ROAD (LandXML 1.0, 1.1 or 1.2), builds each alignment with the\n"
    "alignment engine (so that a file that cannot be built is refused), and writes the\n"
    "alignments as LandXML 1.2 to OUT.xml (\"-\" for stdout): units as ROAD declares them,\n"
    "points as \"north east\" text (CgPoint references resolved), numbers as the shortest text\n"
    "that reads back as the same value, so that reading OUT.xml gives the same alignments to\n"
    "the last bit. Station equations and profiles are kept; what the reader skips (surfaces,\n"
    "cross sections, direction attributes) is not written. OUT.xml is replaced whole: a write\n"
    "cut short leaves the file as it was.\n"
    "\n"
    "Options:\n"
    "  -o OUT.xml, --output OUT.xml   the file to write (required)\n"
    "  --alignment A                  only this alignment, by name (any case) or number\n"
    "                                 (default: all)\n"
    "\n"
    "Examples:\n"
    "  fieldcore road convert old.xml -o new.xml\n"
    "  fieldcore road convert road.xml --alignment \"Ramp A1\" -o -\n"
    "\n"
    "Errors: the problems of the road file as for 'fieldcore road info' (a message names the\n"
    "file and line, nothing is written); an output file that cannot be written. Alignments\n"
    "the reader refuses are left out, each named on stderr, and the exit status is 2.\n"
    "\n"
    "Exit status: 0 written; 2 bad input or usage.\n";

int runConvert(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (roadcli::printedRoadHelp(args, kHelp))
        return cli::EXIT_OK;
    roadcli::RoadSession s(kSub, roadcli::kOptAlignment);
    const std::string& command = s.command;
    std::string out, message;
    if (!args.option("-o", out))
        args.option("--output", out);
    if (!roadcli::readRoadOptions(args, s, message))
        return cli::usageError(command, message);
    if (s.path.empty())
        return cli::usageError(command, "give the road file to convert");
    if (out.empty())
        return cli::usageError(command, "give the output file with -o OUT.xml");
    const int status = roadcli::loadRoadSession(s, false);
    if (status != cli::EXIT_OK)
        return status;
    const roadcli::LoadedRoad& road = s.loaded;
    RoadFile selected = road.file;
    selected.alignments.clear();
    for (int i : road.selected)
        selected.alignments.push_back(road.file.alignments[i]);
    if (out == "-") {
        std::cout << WriteLandXml(selected);
        return refusedLeftOut(command, road, s.alignment.empty());
    }
    // Replaced whole: "-o" naming the road file itself, or a write cut short, once left a part.
    if (!cli::writeWholeFile(out, WriteLandXml(selected), message)) {
        cli::error(command, "cannot write " + out + ": " + message);
        return cli::EXIT_BAD_INPUT;
    }
    std::cout << out << ": " << selected.alignments.size() << " alignment" << (selected.alignments.size() == 1 ? "" : "s")
              << " written as LandXML 1.2\n";
    return refusedLeftOut(command, road, s.alignment.empty());
}

const bool registered = roadcli::registerSubcommand(kSub, "write a road file back as LandXML 1.2", &runConvert);

} // namespace
