// fieldcore beacons: the differential-correction beacons of a beacon listing, through
// LoadBeaconsFile (devices/beaconList.h), one line per beacon.
#include "cli.h"
#include "hostFiles.h"

#include "devices/beaconList.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

const char* const kCommand = "beacons";

const char* const kHelp =
    "usage: fieldcore beacons FILE [--csv]\n"
    "       fieldcore beacons - [--csv] < FILE\n"
    "\n"
    "Lists the differential-correction radio beacons of a beacon listing, one line per\n"
    "beacon, as the controller reads them: name, country, operational, frequency, rate,\n"
    "latitude and longitude.\n"
    "  name, country   the texts of the listing (output in UTF-8)\n"
    "  operational     yes when the status text contains \"Operational\", exact case; a status\n"
    "                  \"Not Operational\" contains it too and gives yes, as on the controller\n"
    "  frequency, rate the number that begins the text (kHz and bits per second in the\n"
    "                  published listings), read in single precision; 0 when there is none\n"
    "  latitude,       decimal degrees, south and west negative, from the antenna location\n"
    "  longitude       (whole degrees, minutes and a hemisphere letter for each), with six\n"
    "                  decimals; \"-\" (text) or empty (CSV) when the location cannot be read\n"
    "                  in full or names no place (latitude beyond 90, longitude beyond 180,\n"
    "                  negative degrees, minutes outside 0 to 60)\n"
    "\n"
    "The listing: 8-bit text in the Windows-1252 code page (a UTF-8 file's degree sign does\n"
    "not read), lines holding the labels \"Country:\", \"<BR><B>name</B>\" or \"Name:\",\n"
    "\"Status:\", \"Antenna Location:\", \"Transmission Frequency:\" and \"Transmission Rate:\".\n"
    "A beacon begins at its name and takes the country of the last \"Country:\" line (\"USA\"\n"
    "before the first). The locations read are \"45\xC2\xB0" "30.0' N;73\xC2\xB0" "35.5' W\" (degree\n"
    "sign), \"45 30.0 N;73 35.5 W\" (no apostrophe) and \"45 30.0' N;73 35.5 W\". Other lines\n"
    "are skipped; a beacon without a name is not listed.\n"
    "\n"
    "Options:\n"
    "  --csv    comma-separated with a header row and full precision (the shortest decimal\n"
    "           that reads back as the same double):\n"
    "           name,country,operational,frequency,rate,latitude,longitude,status\n"
    "           status is ok, or \"no position\" when the location cannot be read (latitude\n"
    "           and longitude are then empty), so that a program can keep the rows it\n"
    "           trusts; texts holding a comma, a quote or a line end are quoted (RFC 4180)\n"
    "\n"
    "Examples:\n"
    "  fieldcore beacons examples/beacons.txt\n"
    "      -> \"Cape Henlopen, DE\"  country \"USA\"  operational yes  frequency 298  rate 200\n"
    "         latitude 38.783333  longitude -75.093333   (one line)\n"
    "  fieldcore beacons examples/beacons.txt --csv | grep ',ok$'\n"
    "\n"
    "Errors: a FILE that cannot be opened is reported on stderr; a beacon whose location\n"
    "cannot be read is listed and also reported on stderr with its number and name.\n"
    "\n"
    "Exit status: 0 every beacon listed with its position; 1 a beacon's location cannot be\n"
    "read (the others are listed as usual); 2 FILE cannot be opened, or a usage error.\n";

// The shortest decimal that reads back as the same single-precision value (the listings'
// numbers are read as floats: 286 prints as 286, not 286.0000).
std::string formatFloat(double value)
{
    const float f = static_cast<float>(value);
    char buf[64];
    for (int decimals = 0; decimals <= 9; ++decimals) {
        std::snprintf(buf, sizeof buf, "%.*f", decimals, static_cast<double>(f));
        if (std::strtof(buf, nullptr) == f)
            return buf;
    }
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(f));  // tiny values, NaN
    return buf;
}

// A CSV field: quoted when it holds a comma, a quote or a line end.
std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

std::string beaconLine(const TBeacon& b, bool csv, bool& positioned)
{
    double latitude = 0.0, longitude = 0.0;
    positioned = b.GetPosition(latitude, longitude);
    const std::string operational = b.GetStatus() ? "yes" : "no";
    if (csv) {
        std::string line = csvField(ToUtf8(b.name)) + ',' + csvField(ToUtf8(b.country)) + ',' + operational + ',' +
                           cli::formatDouble(b.GetFrequency()) + ',' + cli::formatDouble(b.GetBaudRate()) + ',';
        if (positioned)
            return line + cli::formatDouble(latitude) + ',' + cli::formatDouble(longitude) + ",ok";
        return line + ",,no position";
    }
    std::string line = '"' + ToUtf8(b.name) + "\"  country \"" + ToUtf8(b.country) + "\"  operational " +
                       operational + "  frequency " + formatFloat(b.GetFrequency()) + "  rate " +
                       formatFloat(b.GetBaudRate());
    if (!positioned)
        return line + "  latitude -  longitude -";
    return line + "  latitude " + cli::formatFixed(latitude, 6) + "  longitude " + cli::formatFixed(longitude, 6);
}

int runBeacons(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help") || args.flag("-h")) {
        std::cout << kHelp;
        return cli::EXIT_OK;
    }
    const bool csv = args.flag("--csv");
    std::string unknown;
    if (args.firstUnknownOption(unknown) && unknown != "-")
        return cli::usageError(kCommand, args.unknownOption(unknown));
    if (args.rest().size() != 1)
        return cli::usageError(kCommand, args.rest().empty() ? "FILE is required" : "give one FILE");
    const std::string path = args.rest()[0];
    CObArray list;
    if (!LoadBeaconsFile(cli::hostFileAsDevicePath(path == "-" ? "/dev/stdin" : path), list)) {
        // The reason where the host can tell it (a folder, a missing file); the list's own
        // reading failed otherwise.
        const std::string why = cli::whyUnreadable(path);
        cli::error(kCommand, why.empty() ? "cannot open '" + path + "'" : cli::cannotRead(path, why));
        return cli::EXIT_BAD_INPUT;
    }
    if (csv)
        std::cout << "name,country,operational,frequency,rate,latitude,longitude,status\n";
    bool allPositioned = true;
    for (int i = 0; i < list.GetSize(); ++i) {
        const TBeacon& b = *static_cast<const TBeacon*>(list[i]);
        bool positioned = false;
        std::cout << beaconLine(b, csv, positioned) << '\n';
        if (!positioned)
            cli::error(kCommand, "beacon " + std::to_string(i + 1) + " (" + ToUtf8(b.name) +
                                     "): the antenna location cannot be read or names no place: '" + ToUtf8(b.antennaLocation) + "'");
        allPositioned = allPositioned && positioned;
    }
    DeleteBeacons(list);
    return allPositioned ? cli::EXIT_OK : cli::EXIT_NO_ANSWER;
}

const bool registered = cli::registerCommand(kCommand, "the beacons of a beacon listing", &runBeacons);

} // namespace
