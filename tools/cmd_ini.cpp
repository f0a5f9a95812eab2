// fieldcore ini: a scriptable editor of the controller's INI settings files, through CINIFile.
#include "cli.h"
#include "hostFiles.h"

#include "files/iniFile.h"
#include "platform/safeFile.h"
#include "platform/textCodec.h"

#include <cerrno>
#include <cstdio>
#include <functional>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kCommand = "ini";

const char* kIniHelp =
    "usage: fieldcore ini get FILE SECTION KEY\n"
    "       fieldcore ini set FILE SECTION KEY VALUE\n"
    "       fieldcore ini remove FILE SECTION KEY\n"
    "       fieldcore ini list FILE\n"
    "\n"
    "Reads and edits an INI settings file of the controller (for instance\n"
    "Settings/ostrand.ini) the way the library does. FILE is a path on this computer.\n"
    "\n"
    "  get     prints the value of KEY in [SECTION]\n"
    "  set     stores VALUE under KEY in [SECTION] (both made when missing; a missing\n"
    "          FILE is created) and rewrites the file\n"
    "  remove  removes KEY from [SECTION] and rewrites the file (the section stays)\n"
    "  list    prints every section as \"[SECTION]\" followed by its \"KEY=VALUE\" lines\n"
    "\n"
    "The file: 8-bit text in the Windows-1252 code page (arguments and output here are\n"
    "UTF-8), \"[SECTION]\" lines and \"KEY=VALUE\" lines; the first '=' ends the key;\n"
    "lines beginning with ';', '#' or '/' are comments; names and values are exact\n"
    "(case and blanks count). set and remove change only the bytes of the one key\n"
    "(the line the library reads it from: in the section's last [SECTION] block, the\n"
    "key's last line); every other byte of FILE is kept, comments, order and line ends\n"
    "included. A new key goes after the last key of its section, a new section at the\n"
    "end. The change goes to a new file that then replaces FILE (its permissions kept,\n"
    "a link written through to its target), so FILE is always the old or the new text;\n"
    "writers of one file take turns (a lock).\n"
    "As on the controller, a file name that does not exist as spelt matches an\n"
    "existing one that differs only in case.\n"
    "\n"
    "Values that the file cannot carry are refused: a line end in any argument, '='\n"
    "in KEY, a KEY beginning with ';', '#', '/' or '[', characters outside the code\n"
    "page, a SECTION longer than 1021 bytes or a KEY=VALUE line longer than 1022.\n"
    "\n"
    "Examples:\n"
    "  fieldcore ini set Settings/ostrand.ini Options Units 2\n"
    "  fieldcore ini get Settings/ostrand.ini Options Units      -> 2\n"
    "  fieldcore ini list Settings/ostrand.ini                   -> [Options]\n"
    "                                                               Units=2\n"
    "  fieldcore ini remove Settings/ostrand.ini Options Units\n"
    "\n"
    "Exit status: 0 done; 1 get or remove found no such section or key (nothing is\n"
    "printed or changed); 2 FILE cannot be read or written, a refused value, or a\n"
    "usage error.\n";

// CINIFile with the look-up that tells a missing key from an empty value.
class EditableIni : public CINIFile {
public:
    using CINIFile::GetValue;
};

bool hostFileExists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

CString wide(const std::string& utf8)
{
    return CString(Utf8ToWide(utf8).c_str());
}

// Loads FILE.
bool loadFile(const std::string& path, EditableIni& ini)
{
    const std::string why = cli::whyUnreadable(path);
    if (why.empty() && ini.LoadIni(cli::hostFileAsDevicePath(path)))
        return true;
    cli::error(kCommand, cli::cannotRead(path, why.empty() ? "not a settings file it can load" : why));
    return false;
}

// Reads FILE's bytes (a file the lock just made is empty).
bool readBytes(const std::string& path, std::string& bytes)
{
    if (cli::readWholeFile(path, bytes))
        return true;
    cli::error(kCommand, cli::cannotRead(path, cli::whyUnreadable(path)));
    return false;
}

// Edits FILE under its lock: reads it, lets `edit` change the bytes, and replaces the file
// with them (a new file renamed over the old one). `edit` returns an exit status; the file
// is replaced only for EXIT_OK.
int editFile(const std::string& path, const std::function<int(std::string&)>& edit)
{
    // A missing folder is made, as the device makes it when it writes the file.
    std::string why;
    if (!cli::makeParentFolders(path, why)) {
        cli::error(kCommand, "cannot write '" + path + "': " + why);
        return cli::EXIT_BAD_INPUT;
    }
    const CString device = cli::hostFileAsDevicePath(path);
    CFileLock lock;
    if (!lock.Lock(device)) {
        cli::error(kCommand, "cannot open '" + path + "'");
        return cli::EXIT_BAD_INPUT;
    }
    std::string bytes;
    if (!readBytes(path, bytes))
        return cli::EXIT_BAD_INPUT;
    const int status = edit(bytes);
    if (status != cli::EXIT_OK)
        return status;
    if (!ReplaceFileBytes(device, bytes)) {
        cli::error(kCommand, "cannot write '" + path + "' (left unchanged)");
        return cli::EXIT_BAD_INPUT;
    }
    return cli::EXIT_OK;
}

// Why a text cannot be stored in the file, or "" when it can.
std::string unfit(const std::string& what, const std::string& utf8)
{
    if (utf8.find_first_of("\r\n") != std::string::npos || utf8.find('\0') != std::string::npos)
        return what + " holds a line end";
    bool lossy = false;
    WideToAnsi(Utf8ToWide(utf8), &lossy);
    return lossy ? what + " holds characters outside the Windows-1252 code page" : "";
}

std::string refusal(const std::string& section, const std::string& key, const std::string& value)
{
    for (const auto& check : {unfit("SECTION", section), unfit("KEY", key), unfit("VALUE", value)}) {
        if (!check.empty())
            return check;
    }
    if (key.find('=') != std::string::npos)
        return "KEY holds '='";
    if (!key.empty() && (key[0] == ';' || key[0] == '#' || key[0] == '/' || key[0] == '['))
        return "KEY begins with a comment or section character";
    if (WideToAnsi(Utf8ToWide(section)).size() > 1021)
        return "SECTION is longer than 1021 bytes";
    if (WideToAnsi(Utf8ToWide(key + "=" + value)).size() > 1022)
        return "KEY=VALUE is longer than 1022 bytes";
    return "";
}

int runGet(const std::vector<std::string>& a)
{
    EditableIni ini;
    if (!loadFile(a[0], ini))
        return cli::EXIT_BAD_INPUT;
    CString value;
    if (!ini.GetValue(wide(a[1]), wide(a[2]), value))
        return cli::EXIT_NO_ANSWER;
    std::cout << ToUtf8(value) << '\n';
    return cli::EXIT_OK;
}

int runSet(const std::vector<std::string>& a)
{
    const std::string why = refusal(a[1], a[2], a[3]);
    if (!why.empty()) {
        cli::error(kCommand, why);
        return cli::EXIT_BAD_INPUT;
    }
    return editFile(a[0], [&](std::string& bytes) {
        bytes = IniTextWithValue(bytes, wide(a[1]), wide(a[2]), wide(a[3]));
        return int(cli::EXIT_OK);
    });
}

int runRemove(const std::vector<std::string>& a)
{
    if (!hostFileExists(a[0])) {
        cli::error(kCommand, "cannot read '" + a[0] + "'");
        return cli::EXIT_BAD_INPUT;
    }
    return editFile(a[0], [&](std::string& bytes) {
        return IniTextWithoutValue(bytes, wide(a[1]), wide(a[2])) ? int(cli::EXIT_OK)
                                                                  : int(cli::EXIT_NO_ANSWER);
    });
}

int runList(const std::vector<std::string>& a)
{
    EditableIni ini;
    if (!loadFile(a[0], ini))
        return cli::EXIT_BAD_INPUT;
    POSITION file = nullptr;
    ini.SetFilePosOnStart(file);
    while (file) {
        CString section;
        ini.LookThroughFile(section, file);
        std::cout << '[' << ToUtf8(section) << "]\n";
        POSITION pos = nullptr;
        ini.SetSectionPosOnStart(section, pos);
        while (pos) {
            CString key, value;
            ini.LookThroughSection(section, key, value, pos);
            std::cout << ToUtf8(key) << '=' << ToUtf8(value) << '\n';
        }
    }
    return cli::EXIT_OK;
}

int runIni(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help")) {
        std::cout << kIniHelp;
        return cli::EXIT_OK;
    }
    std::vector<std::string> rest = args.rest();
    if (rest.empty())
        return cli::usageError(kCommand, "an action is required: get, set, remove or list");
    const std::string action = rest[0];
    rest.erase(rest.begin());
    struct Action { const char* name; std::size_t arguments; int (*run)(const std::vector<std::string>&); };
    static const Action actions[] = {
        {"get", 3, &runGet}, {"set", 4, &runSet}, {"remove", 3, &runRemove}, {"list", 1, &runList}};
    for (const Action& act : actions) {
        if (action != act.name)
            continue;
        if (rest.size() != act.arguments)
            return cli::usageError(kCommand, action + " takes " + std::to_string(act.arguments) +
                                                 (act.arguments == 1 ? " argument" : " arguments"));
        if (rest[0].empty())
            return cli::usageError(kCommand, "FILE is empty");
        return act.run(rest);
    }
    return cli::usageError(kCommand, "unknown action '" + action + "'");
}

const bool registered = cli::registerCommand("ini", "read and edit INI settings files", &runIni);

} // namespace
