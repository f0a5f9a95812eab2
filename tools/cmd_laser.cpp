// fieldcore laser: the laser-zone devices' command frames, reply checks, height reductions
// and the stored transmitters, through BeamGridParams (devices/).
//
// Subcommands: a table of name, summary and run function (cli::runSubcommand), and an overview for
// `fieldcore laser --help`.
#include "cli.h"
#include "displayUnits.h"

#include "devices/beamGridHeights.h"
#include "devices/beamGridMessages.h"
#include "devices/transmitterFile.h"
#include "numeric/units.h"
#include "platform/deviceRoot.h"
#include "platform/textCodec.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <memory>

namespace {

using namespace BeamGridParams;

const char* const kStdinNote =
    "Without TEXT values on the command line, texts are read one per line from stdin: blank\n"
    "lines and lines beginning with '#' are skipped and a line's surrounding blanks are dropped\n"
    "(give such a text on the command line). A TEXT beginning with '-' follows '--'.\n";

// --help: prints `help` and returns true.
bool printedHelp(cli::Args& args, const char* help)
{
    if (!args.flag("--help") && !args.flag("-h"))
        return false;
    std::cout << help;
    return true;
}

// The words before "--" go to Args; those after it are values whatever they look like.
cli::Args splitArgs(const std::vector<std::string>& words, std::vector<std::string>& literal)
{
    const auto dashes = std::find(words.begin(), words.end(), std::string("--"));
    if (dashes != words.end())
        literal.assign(dashes + 1, words.end());
    return cli::Args(std::vector<std::string>(words.begin(), dashes));
}

// Checks for a missing option value and unknown options; the values left, then the literal ones.
bool readValues(const cli::Args& args, const std::vector<std::string>& literal, std::vector<std::string>& values,
                std::string& message)
{
    std::string unknown;
    if (args.missingValue())
        return message = "an option is missing its value", false;
    if (args.firstUnknownOption(unknown))
        return message = args.unknownOption(unknown), false;
    values = args.rest();
    values.insert(values.end(), literal.begin(), literal.end());
    return true;
}

bool readDecimals(cli::Args& args, int& decimals, std::string& message)
{
    std::string text;
    if (args.option("--decimals", text) && (!cli::parseInt(text, decimals) || decimals < 4 || decimals > 12))
        return message = "--decimals takes a whole number from 4 to 12", false;
    return true;
}

// ---- frame ----

const char* const kFrameHelp =
    "usage: fieldcore laser frame --transmitter|--sensor [--visible] [TEXT...]\n"
    "\n"
    "Frames each command TEXT for a laser transmitter or the sensor, as the serial port\n"
    "carries it: the prefix \"%NSP>T%\" (transmitter) or \"%NSP>R%\" (sensor), TEXT, '@', two\n"
    "check characters over TEXT (upper-case hexadecimal; the prefix is not covered) and CR LF.\n"
    "Each frame is printed with its CR LF and nothing else. TEXT's bytes are framed as given.\n"
    "\n"
    "Options:\n"
    "  --transmitter      frame for a transmitter\n"
    "  --sensor           frame for the sensor\n"
    "  --visible          print CR LF as the four characters \\r\\n and end the line\n"
    "\n"
    "Examples:\n"
    "  fieldcore laser frame --transmitter abc            -> %NSP>T%abc@CE and CR LF\n"
    "  fieldcore laser frame --sensor --visible abc       -> %NSP>R%abc@CE\\r\\n\n"
    "\n"
    "Without TEXT values on the command line, texts are read one per line from stdin: blank\n"
    "lines and lines beginning with '#' are skipped and a line's surrounding blanks are\n"
    "dropped, so a text that begins with '#' or a blank must be given on the command line.\n"
    "A TEXT that begins with '-' follows '--'.\n"
    "\n"
    "Errors: a TEXT longer than 1011 characters (the frame must fit 1024 bytes) or holding a\n"
    "zero byte is reported on stderr (with its line number for stdin) and prints nothing;\n"
    "the other texts are still framed.\n"
    "\n"
    "Exit status: 0 every text framed; 2 a text refused, or a usage error.\n";

int runFrame(const std::vector<std::string>& words)
{
    const std::string command = "laser frame";
    std::vector<std::string> literal;
    cli::Args args = splitArgs(words, literal);
    if (printedHelp(args, kFrameHelp))
        return cli::EXIT_OK;
    const bool transmitter = args.flag("--transmitter");
    const bool sensor = args.flag("--sensor");
    const bool visible = args.flag("--visible");
    std::vector<std::string> values;
    std::string message;
    if (!readValues(args, literal, values, message))
        return cli::usageError(command, message);
    if (transmitter == sensor)
        return cli::usageError(command, "give one of --transmitter and --sensor");
    return cli::forEachValue(command, values, std::cin, [&](const std::string& text, std::string& out) {
        if (text.size() > kMaxCommandTextLength)
            return out = "the text is " + std::to_string(text.size()) + " characters long; at most " +
                         std::to_string(kMaxCommandTextLength) + " fit a frame",
                   false;
        if (text.find('\0') != std::string::npos)
            return out = "the text holds a zero byte", false;
        char frame[kCommandBufferSize];
        if (!(transmitter ? MakeTransmitterCommand(text.c_str(), frame) : MakeSensorCommand(text.c_str(), frame)))
            return out = "the text cannot be framed", false;
        out = frame;
        out.resize(out.size() - 2);  // without CR LF
        // The line loop ends each answer with LF: the frame's own CR LF.
        out += visible ? "\\r\\n" : "\r";
        return true;
    });
}

// ---- parse ----

const char* const kParseHelp =
    "usage: fieldcore laser parse --kind KIND [REPLY...]\n"
    "\n"
    "Checks each REPLY of a laser transmitter or the sensor and prints what it holds. The\n"
    "first line is the result code and its meaning:\n"
    "  0 accepted\n"
    "  1 not a reply of the expected kind (no prefix, an unexpected reply type, or a channel\n"
    "    digit out of range)\n"
    "  2 the device reports an error (reply type 'e')\n"
    "  3 the reply begins with ER\n"
    "  4 check characters do not match\n"
    "An accepted reply then gives what was read:\n"
    "  transmitter-data      channels F S (0 to 3, from the digits 1 to 4) and rest TEXT\n"
    "  transmitter-version   version TEXT\n"
    "  sensor-version        version TEXT\n"
    "  sensor-data           nothing more\n"
    "The reply is checked from the prefix (\"%NSP>T%\" for transmitter replies, \"%NSP>R%\" for\n"
    "the sensor's) on; the check characters after '@' cover the text from the reply type up to\n"
    "'@' and must match exactly (upper case). A reply without '@' is accepted unchecked.\n"
    "\n"
    "Options:\n"
    "  --kind KIND   transmitter-data, transmitter-version, sensor-data or sensor-version\n"
    "\n"
    "Examples:\n"
    "  fieldcore laser parse --kind transmitter-data '%NSP>T%P,2,4,xyz@FF'\n"
    "      -> 0 accepted / channels 1 3 / rest xyz\n"
    "  fieldcore laser parse --kind transmitter-data '%NSP>T%P,2,4,xyz@FE'\n"
    "      -> 4 check characters do not match (exit 1)\n"
    "  fieldcore laser parse --kind sensor-version '%NSP>R%P,2.0@0E'  -> 0 accepted / version 2.0\n"
    "\n"
    "Without REPLY values on the command line, replies are read one per line from stdin: blank\n"
    "lines and lines beginning with '#' are skipped and a line's surrounding blanks (its CR LF\n"
    "among them) are dropped.\n"
    "\n"
    "Errors: a reply holding a zero byte is reported on stderr and prints nothing.\n"
    "\n"
    "Exit status: 0 every reply accepted; 1 a reply refused (its code is printed); 2 a bad\n"
    "line or a usage error.\n";

const char* meaning(EParseError result)
{
    switch (result) {
    case PARSE_OK: return "accepted";
    case PARSE_UNEXPECTED: return "not a reply of the expected kind";
    case PARSE_DEVICE_ERROR: return "the device reports an error";
    case PARSE_ER: return "the reply begins with ER";
    case PARSE_CHECKSUM: return "check characters do not match";
    }
    return "unknown result";
}

enum class Kind { TransmitterData, TransmitterVersion, SensorData, SensorVersion };

bool kindFromName(const std::string& name, Kind& kind)
{
    const struct { const char* name; Kind kind; } kinds[] = {
        {"transmitter-data", Kind::TransmitterData}, {"transmitter-version", Kind::TransmitterVersion},
        {"sensor-data", Kind::SensorData}, {"sensor-version", Kind::SensorVersion}};
    for (const auto& k : kinds)
        if (name == k.name)
            return kind = k.kind, true;
    return false;
}

// Parses one reply; the lines to print into `out`.
EParseError parseReply(Kind kind, const std::string& text, std::string& out)
{
    std::vector<char> reply(text.begin(), text.end());
    reply.push_back('\0');
    std::vector<char> rest(reply.size(), '\0');  // as large as the reply
    int first = 0, second = 0;
    CString version;
    EParseError result = PARSE_OK;
    switch (kind) {
    case Kind::TransmitterData: result = ParseTransmitterData(reply.data(), &first, &second, rest.data()); break;
    case Kind::TransmitterVersion: result = ParseTransmitterVersion(reply.data(), version); break;
    case Kind::SensorData: result = ParseSensorData(reply.data()); break;
    case Kind::SensorVersion: result = ParseSensorVersion(reply.data(), version); break;
    }
    out = std::to_string(static_cast<int>(result)) + " " + meaning(result);
    if (result != PARSE_OK)
        return result;
    if (kind == Kind::TransmitterData)
        out += "\nchannels " + std::to_string(first) + " " + std::to_string(second) + "\nrest " + rest.data();
    else if (kind != Kind::SensorData)
        out += "\nversion " + WideToAnsi(version.str());  // the reply's own bytes
    return result;
}

int runParse(const std::vector<std::string>& words)
{
    const std::string command = "laser parse";
    std::vector<std::string> literal;
    cli::Args args = splitArgs(words, literal);
    if (printedHelp(args, kParseHelp))
        return cli::EXIT_OK;
    std::string kindName;
    Kind kind = Kind::SensorData;
    const bool kindGiven = args.option("--kind", kindName);
    std::vector<std::string> values;
    std::string message;
    if (!readValues(args, literal, values, message))
        return cli::usageError(command, message);
    if (!kindGiven)
        return cli::usageError(command, "--kind is required");
    if (!kindFromName(kindName, kind))
        return cli::usageError(command, "unknown --kind '" + kindName + "'");
    bool refused = false;
    const int status = cli::forEachValue(command, values, std::cin, [&](const std::string& text, std::string& out) {
        if (text.find('\0') != std::string::npos)
            return out = "the reply holds a zero byte", false;
        refused = parseReply(kind, text, out) != PARSE_OK || refused;
        return true;
    });
    return status != cli::EXIT_OK ? status : (refused ? cli::EXIT_NO_ANSWER : cli::EXIT_OK);
}

// ---- height ----

const char* const kHeightHelp =
    "usage: fieldcore laser height sensor|laser|mark [--slant] [--decimals N] [H...]\n"
    "       fieldcore laser height offset [--slant] [--decimals N] [H O]\n"
    "\n"
    "Height reductions of the laser-zone devices, in metres:\n"
    "  sensor H     the sensor's lens height: H - 0.07\n"
    "  laser H      a transmitter's laser height over its mark: H + 0.15 for a vertical H;\n"
    "               with --slant, s * sqrt(H^2 - 0.083^2) + 0.15 (s the sign of H)\n"
    "  mark H       the mark height below a laser height H: H - 0.15\n"
    "  offset H O   a mark height H raised by O: H + O; with --slant, the slant height whose\n"
    "               vertical component is that of H raised by O, with the sign of H\n"
    "A slant height is measured to the transmitter's rim, 0.083 from its axis. A slant height\n"
    "shorter than 0.083 has no real vertical component: 0 is taken for it.\n"
    "\n"
    "Options:\n"
    "  --slant        H is a slant measurement (laser and offset only)\n"
    "  --decimals N   decimals printed, 4 to 12 (default 4)\n"
    "\n"
    "Without values on the command line, the values are read from stdin: one H per line, or\n"
    "\"H O\" per line for offset (separated by blanks, a comma, a semicolon or a tab); blank\n"
    "lines and lines beginning with '#' are skipped.\n"
    "\n"
    "Examples:\n"
    "  fieldcore laser height laser --slant 0.083     -> 0.1500\n"
    "  fieldcore laser height sensor 1.5              -> 1.4300\n"
    "  fieldcore laser height offset 1.2 0.3          -> 1.5000\n"
    "  printf '1.2\\n1.4\\n' | fieldcore laser height mark --decimals 6\n"
    "\n"
    "Errors: a value that is not a number is reported on stderr with its line number and\n"
    "prints nothing; the other values still run.\n"
    "\n"
    "Exit status: 0 every value answered; 2 a bad value or a usage error.\n";

int runHeight(const std::vector<std::string>& words)
{
    const std::string command = "laser height";
    std::vector<std::string> literal;
    cli::Args args = splitArgs(words, literal);
    if (printedHelp(args, kHeightHelp))
        return cli::EXIT_OK;
    const bool slant = args.flag("--slant");
    int decimals = 4;
    std::vector<std::string> values;
    std::string message;
    if (!readDecimals(args, decimals, message) || !readValues(args, literal, values, message))
        return cli::usageError(command, message);
    if (values.empty())
        return cli::usageError(command, "a reduction is required: sensor, laser, mark or offset");
    const std::string which = values[0];
    values.erase(values.begin());
    if (which != "sensor" && which != "laser" && which != "mark" && which != "offset")
        return cli::usageError(command, "unknown reduction '" + which + "'");
    if (slant && (which == "sensor" || which == "mark"))
        return cli::usageError(command, "--slant applies to laser and offset only");
    const bool offset = which == "offset";
    if (offset && !values.empty() && values.size() != 2)
        return cli::usageError(command, "offset takes two values, H and O");
    if (offset && !values.empty())
        values = {values[0] + " " + values[1]};
    return cli::forEachValue(command, values, std::cin, [&](const std::string& text, std::string& out) {
        const std::vector<std::string> fields = offset ? cli::splitFields(text) : std::vector<std::string>{text};
        double h = 0.0, o = 0.0;
        if (offset && fields.size() != 2)
            return out = "expected two values, H and O: '" + text + "'", false;
        if (!cli::parseDouble(fields[0], h) || (offset && !cli::parseDouble(fields[1], o)))
            return out = "not a height in metres: '" + text + "'", false;
        if (!IsSurveyLength(h) || !IsSurveyLength(o))
            return out = "out of range (heights beyond 1e9 m are refused): '" + text + "'", false;
        double result = 0.0;
        if (which == "sensor")
            result = ComputeSensorLenseHeight(h);
        else if (which == "laser")
            result = ComputeTransmitterLaserHeight(h, !slant);
        else if (which == "mark")
            result = ComputeTransmitterMarkHeight(h);
        else
            result = AddOffsetToMarkHeight(h, o, !slant);
        out = cli::fixedNoNegativeZero(result, decimals);
        return true;
    });
}

// ---- transmitters ----

const char* const kTransmittersHelp =
    "usage: fieldcore laser transmitters [--root DIR] [--decimals N]\n"
    "\n"
    "Lists the transmitters stored in the device's transmitter file, \\Program Files\\fieldcore\n"
    "\\FileSettings\\BeamGridData.ini under the device root (DIR/Program Files/fieldcore/\n"
    "FileSettings/BeamGridData.ini on this computer), one line per channel that holds one:\n"
    "  channel C  serial SN  name \"NAME\"  height H V|S|Fixed  offset O\n"
    "V is a vertical height, S a slant one, Fixed the fixed mount (2.073 m, vertical); heights\n"
    "and offsets in metres. A channel whose set-up cannot be read shows \"no set-up\" instead\n"
    "of name, height and offset. Nothing is printed when no channel holds a transmitter.\n"
    "\n"
    "Loading is the device's: it may change the device root. The FileSettings folder is\n"
    "created when missing, and when BeamGridData.ini is missing an earlier Qadra2Data.ini in\n"
    "that folder is renamed to BeamGridData.ini.\n"
    "\n"
    "Options:\n"
    "  --root DIR     the device root, a folder on this computer (default: $FIELDCORE_ROOT,\n"
    "                 else ~/.fieldcore); created with DIR/Program Files/fieldcore when missing\n"
    "  --decimals N   decimals of heights and offsets, 4 to 12 (default 4)\n"
    "\n"
    "Examples:\n"
    "  fieldcore laser transmitters --root ./device\n"
    "      -> channel 1  serial 40123  name \"North\"  height 1.5000 V  offset 0.0000\n"
    "\n"
    "Errors: no transmitter file, a file that cannot be read, or a format version other than\n"
    "0.1, 0.2, 0.3 and 0.4 is reported on stderr.\n"
    "\n"
    "Exit status: 0 listed; 1 no loadable transmitter file; 2 a usage error.\n";

std::string transmitterLine(int i, const TransData& d, const TransPos& p, int decimals)
{
    std::string line = "channel " + std::to_string(i + 1) + "  serial " + ToUtf8(d.SN);
    if (!p.valid)
        return line + "  no set-up";
    line += "  name \"" + ToUtf8(p.name) + "\"  height " + cli::fixedNoNegativeZero(p.height, decimals);
    line += p.fixed ? " Fixed" : (p.vertical ? " V" : " S");
    return line + "  offset " + cli::fixedNoNegativeZero(p.offset, decimals);
}

int runTransmitters(const std::vector<std::string>& words)
{
    const std::string command = "laser transmitters";
    cli::Args args(words);
    if (printedHelp(args, kTransmittersHelp))
        return cli::EXIT_OK;
    std::string root;
    const bool rootGiven = args.option("--root", root);
    int decimals = 4;
    std::vector<std::string> values;
    std::string message;
    if (!readDecimals(args, decimals, message) || !readValues(args, {}, values, message))
        return cli::usageError(command, message);
    if (!values.empty())
        return cli::usageError(command, "unexpected argument '" + values[0] + "'");
    if (rootGiven && root.empty())
        return cli::usageError(command, "--root is empty");
    if (rootGiven)
        setDeviceRoot(root);
    TransInfo info;
    if (!LoadTransmitterInfo(info)) {
        cli::error(command, "no loadable transmitter file at '" + deviceToHostPath(GetTransmitterFilePath().str()) +
                                "' (missing, unreadable, or of an unknown version)");
        return cli::EXIT_NO_ANSWER;
    }
    for (int i = 0; i < 4; ++i)
        if (info.data[i].valid)
            std::cout << transmitterLine(i, info.data[i], info.pos[i], decimals) << '\n';
    return cli::EXIT_OK;
}

// ---- the command ----

const std::vector<cli::Subcommand> kSubcommands = {
    {"frame", "frame a command for a transmitter or the sensor", &runFrame},
    {"height", "height reductions between sensor, laser and mark", &runHeight},
    {"parse", "check a reply and print what it holds", &runParse},
    {"transmitters", "list the stored transmitters", &runTransmitters},
};

void printOverview()
{
    std::cout << "usage: fieldcore laser SUBCOMMAND [OPTIONS] [VALUES...]\n\n"
                 "The laser-zone devices: up to four laser transmitters and the sensor that\n"
                 "receives their beams.\n\n"
                 "Subcommands (each has --help):\n";
    cli::printSubcommands(kSubcommands);
    std::cout << '\n' << kStdinNote
              << "\nExit status: 0 ok; 1 no answer (a refused reply, no transmitter file); 2 bad input\n"
                 "(a message names the line) or usage.\n";
}

int runLaser(const std::vector<std::string>& args)
{
    return cli::runSubcommand("laser", kSubcommands, &printOverview, args);
}

const bool registered =
    cli::registerCommand("laser", "laser-zone frames, reply checks, heights and transmitters", &runLaser);

} // namespace
