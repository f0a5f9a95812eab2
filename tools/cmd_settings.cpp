// fieldcore settings: the controller settings of ostrand.ini by identifier, as the library
// reaches them (CTICGlobalSettings).
#include "cli.h"

#include "files/appFolders.h"
#include "files/globalSettings.h"
#include "files/iniFile.h"
#include "platform/deviceRoot.h"

#include <algorithm>
#include <iostream>

namespace {

const char* const kCommand = "settings";

const char* kHelp =
    "usage: fieldcore settings [--root DIR] get ID [--as int|uint|real]\n"
    "       fieldcore settings [--root DIR] set ID VALUE [--as int|uint|real]\n"
    "       fieldcore settings [--root DIR] list\n"
    "\n"
    "Reads and writes the controller settings file the way the library does. The file is\n"
    "\\Program Files\\osd_setup\\ostrand.ini on the device, DIR/Program Files/osd_setup/\n"
    "ostrand.ini on this computer. Settings are named by identifier, 1 to 2009; an\n"
    "identifier has a place (a section and key) only when it is one of 1-7, 9-13 and\n"
    "2000-2009 ('list' shows them all).\n"
    "\n"
    "  get   prints the stored value alone: an integer ('%d'), an unsigned integer ('%u',\n"
    "        which also reads a sign: a stored -1 is 4294967295) or a real. Nothing is\n"
    "        stored when the value is missing, unreadable or the 'nothing stored' value\n"
    "        (-1111111111; 0 for unsigned values).\n"
    "  set   stores VALUE ('%d', '%u', or a real with six decimals) and saves the file at once.\n"
    "  list  prints every identifier that has a place: ID, section, key and the stored text,\n"
    "        separated by tabs (the text empty when nothing is stored).\n"
    "\n"
    "Every run, 'get' and 'list' included, saves the file when it ends (the library saves\n"
    "its settings when it is unloaded): the file is rewritten with its sections and keys\n"
    "sorted and without comments, and is created when missing.\n"
    "\n"
    "Options:\n"
    "  --root DIR        the device root, a folder on this computer (default: $FIELDCORE_ROOT,\n"
    "                    else ~/.fieldcore); created with DIR/Program Files/fieldcore when missing\n"
    "  --as int|uint|real  how the value is read and written (default int)\n"
    "\n"
    "Examples:\n"
    "  fieldcore settings --root ./device set 11 2.5 --as real   (StakeIncPtBy=2.500000)\n"
    "  fieldcore settings --root ./device get 11 --as real       -> 2.5\n"
    "  fieldcore settings --root ./device list\n"
    "\n"
    "Errors: an identifier without a place is reported as such on stderr; an identifier\n"
    "outside 1 to 2009, a VALUE that is not a number of its kind, or a usage error is\n"
    "reported on stderr as 'fieldcore settings: ...'.\n"
    "\n"
    "Exit status: 0 done; 1 the identifier has no place, or 'get' found nothing stored\n"
    "(nothing printed); 2 a bad identifier or value, or a usage error.\n";

enum class Kind { Int, Uint, Real };

bool parseKind(const std::string& text, Kind& kind)
{
    if (text == "int")
        kind = Kind::Int;
    else if (text == "uint")
        kind = Kind::Uint;
    else if (text == "real")
        kind = Kind::Real;
    else
        return false;
    return true;
}

// The identifier, checked: 0 and a message on stderr when it is no identifier or has no place
// (`status` says which).
bool readId(const std::string& text, int& id, int& status)
{
    if (!cli::parseInt(text, id) || id < 1 || id > 2009) {
        cli::error(kCommand, "'" + text + "' is no setting identifier (1 to 2009)");
        status = cli::EXIT_BAD_INPUT;
        return false;
    }
    const wchar_t *section, *key;
    if (!GetSettingPlace(id, section, key)) {
        cli::error(kCommand, "identifier " + std::to_string(id) + " has no place in the file");
        status = cli::EXIT_NO_ANSWER;
        return false;
    }
    return true;
}

int get(CTICGlobalSettings& settings, int id, Kind kind)
{
    if (kind == Kind::Int) {
        int value;
        if (!settings.GetInt(id, value))
            return cli::EXIT_NO_ANSWER;
        std::cout << value << '\n';
    } else if (kind == Kind::Uint) {
        unsigned int value;
        if (!settings.GetUint(id, value))
            return cli::EXIT_NO_ANSWER;
        std::cout << value << '\n';
    } else {
        double value;
        if (!settings.GetReal(id, value))
            return cli::EXIT_NO_ANSWER;
        std::cout << cli::formatDouble(value) << '\n';
    }
    return cli::EXIT_OK;
}

int set(CTICGlobalSettings& settings, int id, Kind kind, const std::string& text)
{
    int i;
    unsigned int u;
    double r;
    if (kind == Kind::Int ? !cli::parseInt(text, i) : kind == Kind::Uint ? !cli::parseUnsigned(text, u) : !cli::parseDouble(text, r))
        return cli::usageError(kCommand, "'" + text + "' is no " +
                                             (kind == Kind::Int ? "integer" : kind == Kind::Uint ? "unsigned integer" : "number"));
    const bool stored = kind == Kind::Int ? settings.SetInt(id, i, true)
                        : kind == Kind::Uint ? settings.SetUint(id, u, true)
                                             : settings.SetReal(id, r, true);
    return stored ? cli::EXIT_OK : cli::EXIT_NO_ANSWER;
}

int list()
{
    CINIFile file;
    file.LoadIni(AppStrPaths::GetUserSettingsPath() + L"\\ostrand.ini");
    for (int id = 1; id <= 2009; ++id) {
        const wchar_t *section, *key;
        if (!GetSettingPlace(id, section, key))
            continue;
        std::cout << id << '\t' << ToUtf8(CString(section)) << '\t' << ToUtf8(CString(key)) << '\t'
                  << ToUtf8(file.GetStringValue(section, key, CString())) << '\n';
    }
    return cli::EXIT_OK;
}

// Options every subcommand reads (they may stand before or after it), the device root set;
// `wanted` is the number of words the subcommand takes after its name. EXIT_OK, or the status.
int readCommon(cli::Args& args, size_t wanted, Kind& kind)
{
    std::string root, kindText;
    const bool rootGiven = args.option("--root", root);
    if (args.option("--as", kindText) && !parseKind(kindText, kind))
        return cli::usageError(kCommand, "--as takes int, uint or real");
    std::string unknown;
    if (args.missingValue())
        return cli::usageError(kCommand, "an option is missing its value");
    if (args.firstUnknownOption(unknown))
        return cli::usageError(kCommand, args.unknownOption(unknown));
    if (args.rest().size() != wanted)
        return cli::usageError(kCommand, "wrong number of arguments");
    if (rootGiven && root.empty())
        return cli::usageError(kCommand, "--root is empty");
    if (rootGiven)
        setDeviceRoot(root);
    return cli::EXIT_OK;
}

// The settings object of the process, or null (out of memory, said on stderr). It is saved
// when the program ends.
CTICGlobalSettings* settingsObject()
{
    CTICGlobalSettings* settings = GetTICGlobalSettings();
    if (!settings)
        cli::error(kCommand, "out of memory");
    return settings;
}

int runGet(const std::vector<std::string>& words)
{
    cli::Args args(words);
    Kind kind = Kind::Int;
    int status = readCommon(args, 1, kind);
    CTICGlobalSettings* settings = status == cli::EXIT_OK ? settingsObject() : nullptr;
    int id = 0;
    if (!settings || !readId(args.rest()[0], id, status))
        return settings ? status : std::max(status, int(cli::EXIT_BAD_INPUT));
    return get(*settings, id, kind);
}

int runSet(const std::vector<std::string>& words)
{
    cli::Args args(words);
    Kind kind = Kind::Int;
    int status = readCommon(args, 2, kind);
    CTICGlobalSettings* settings = status == cli::EXIT_OK ? settingsObject() : nullptr;
    int id = 0;
    if (!settings || !readId(args.rest()[0], id, status))
        return settings ? status : std::max(status, int(cli::EXIT_BAD_INPUT));
    return set(*settings, id, kind, args.rest()[1]);
}

int runList(const std::vector<std::string>& words)
{
    cli::Args args(words);
    Kind kind = Kind::Int;
    const int status = readCommon(args, 0, kind);
    if (status != cli::EXIT_OK || !settingsObject())
        return status != cli::EXIT_OK ? status : int(cli::EXIT_BAD_INPUT);
    return list();
}

const std::vector<cli::Subcommand> kSubcommands = {
    {"get", "print the stored value of a setting", &runGet},
    {"set", "store a value and save the file", &runSet},
    {"list", "every identifier that has a place, with its stored text", &runList},
};

void printOverview() { std::cout << kHelp; }

int runSettings(const std::vector<std::string>& words)
{
    if (std::find(words.begin(), words.end(), "--help") != words.end() ||
        std::find(words.begin(), words.end(), "-h") != words.end()) {
        printOverview();
        return cli::EXIT_OK;
    }
    // The subcommand may follow the options (settings --root DIR get 11): it goes first.
    std::vector<std::string> ordered = words;
    for (size_t i = 0; i < ordered.size(); ++i) {
        if (ordered[i] == "--root" || ordered[i] == "--as") {
            ++i;
            continue;
        }
        if (!ordered[i].empty() && ordered[i][0] != '-') {
            std::rotate(ordered.begin(), ordered.begin() + static_cast<long>(i), ordered.begin() + static_cast<long>(i) + 1);
            break;
        }
    }
    if (ordered.empty() || ordered[0].empty() || ordered[0][0] == '-')
        return cli::usageError(kCommand, "expected get, set or list");
    return cli::runSubcommand(kCommand, kSubcommands, &printOverview, ordered);
}

const bool registered = cli::registerCommand(kCommand, "read and write the controller settings by identifier",
                                             &runSettings);

} // namespace
