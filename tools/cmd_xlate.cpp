// fieldcore xlate: the translator of interface text over a dictionary file.
// Subcommands: a table of name, summary and run function (cli::runSubcommand) and an overview
// for `fieldcore xlate --help`.
#include "cli.h"
#include "hostFiles.h"

#include "files/translate.h"
#include "platform/textCodec.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <sys/stat.h>

namespace {

const char* const kFilesNote =
    "Files: FILE is a path on this computer. Dictionaries and missing-texts files are UTF-16\n"
    "little-endian (a byte-order mark is optional in a dictionary); the terminal gets UTF-8.\n"
    "A dictionary holds pairs of bracketed texts, \"[\" key \"]\" then \"[\" value \"]\", with\n"
    "anything but '[' between them; text outside brackets is ignored, a key or value cannot hold\n"
    "']' but may hold '[', and an unpaired last bracketed text is ignored. Keys are compared\n"
    "exactly (case counts). Of several entries with the same key the first in the file is used.\n";

const char* const kTextHelp =
    "usage: fieldcore xlate text --dict FILE [--missing FILE] [TEXT...]\n"
    "\n"
    "Translates each TEXT with the dictionary FILE as the application does and prints the\n"
    "translations, one per line: the dictionary's value, or the text itself when the\n"
    "dictionary has no entry for it.\n"
    "\n"
    "With --missing, the texts that have no entry are collected and, at the end, the file is\n"
    "rewritten with every text it held and every new one, in first-seen order, each as the\n"
    "entry \"[\" text \"]\" CR LF twice after the byte-order mark FF FE. Collection starts only\n"
    "when the --missing file exists and is not empty: create it with the byte-order mark alone\n"
    "(printf '\\377\\376' > missing.txt). A missing or empty file leaves it off, and nothing is\n"
    "written. A text holding ']' cannot be written in that format and is left out.\n"
    "\n"
    "Options:\n"
    "  --dict FILE      the dictionary\n"
    "  --missing FILE   the missing-texts file\n"
    "\n"
    "Examples:\n"
    "  fieldcore xlate text --dict de.txt Cancel cancel      -> Abbrechen / cancel\n"
    "  printf '\\377\\376' > miss.txt\n"
    "  fieldcore xlate text --dict de.txt --missing miss.txt < texts.txt\n"
    "\n"
    "Without TEXT values on the command line, texts are read from stdin, one per line (every\n"
    "line, an empty one too; a CR before the line end is dropped). A TEXT that begins with\n"
    "'-' follows '--'.\n"
    "\n"
    "Errors: a dictionary or missing-texts file that exists but cannot be read, a missing\n"
    "--dict or an unknown option is reported on stderr as 'fieldcore xlate text: ...'.\n"
    "\n"
    "Exit status: 0 every text answered (also when it had no entry); 2 a file cannot be read,\n"
    "or a usage error.\n";

const char* const kListHelp =
    "usage: fieldcore xlate list FILE\n"
    "\n"
    "Prints the entries of the dictionary FILE in lookup order, one per line, as\n"
    "'KEY<TAB>VALUE': keys compare by their UTF-16 code units, and when one key is a prefix of\n"
    "another the longer comes first (Points before Point). Entries with the same key stay in\n"
    "file order; each that is not the first is named on stderr with its line, since lookup\n"
    "never reaches it.\n"
    "\n"
    "Options:\n"
    "  --help   this text\n"
    "\n"
    "Examples:\n"
    "  fieldcore xlate list de.txt\n"
    "      -> Points<TAB>Punkte / Point<TAB>Punkt\n"
    "\n"
    "Errors: a FILE that cannot be read is reported on stderr as 'fieldcore xlate list: ...';\n"
    "a duplicate key as 'fieldcore xlate list: line N: duplicate key ...'.\n"
    "\n"
    "Exit status: 0 the file was read (also with duplicates or no entries); 2 the file cannot\n"
    "be read, or a usage error.\n";

bool printedHelp(cli::Args& args, const char* help)
{
    if (!args.flag("--help") && !args.flag("-h"))
        return false;
    std::cout << help << '\n' << kFilesNote;
    return true;
}

std::string utf8(const CString& text)
{
    return WideToUtf8(static_cast<const wchar_t*>(text), static_cast<std::size_t>(text.GetLength()));
}

bool exists(const std::string& hostPath)
{
    struct stat st;
    return ::stat(hostPath.c_str(), &st) == 0;
}

// A dictionary must be readable; a missing-texts file only when it exists.
bool checkFile(const std::string& command, const std::string& path, bool mayBeMissing)
{
    if (path == "-") {
        cli::error(command, "give a file, not stdin ('-')");
        return false;
    }
    if (mayBeMissing && !exists(path))
        return true;
    const std::string why = cli::whyUnreadable(path);
    if (!why.empty())
        cli::error(command, cli::cannotRead(path, why));
    return why.empty();
}

int runText(const std::vector<std::string>& words)
{
    const std::string command = "xlate text";
    const auto dashes = std::find(words.begin(), words.end(), std::string("--"));
    cli::Args args(std::vector<std::string>(words.begin(), dashes));
    if (printedHelp(args, kTextHelp))
        return cli::EXIT_OK;
    std::string dictionary, missing, unknown;
    const bool hasDictionary = args.option("--dict", dictionary);
    const bool hasMissing = args.option("--missing", missing);
    if (args.missingValue())
        return cli::usageError(command, "an option is missing its value");
    if (args.firstUnknownOption(unknown))
        return cli::usageError(command, args.unknownOption(unknown));
    if (!hasDictionary)
        return cli::usageError(command, "give the dictionary with --dict FILE");
    if (!checkFile(command, dictionary, false) || (hasMissing && !checkFile(command, missing, true)))
        return cli::EXIT_BAD_INPUT;
    std::vector<std::string> texts = args.rest();
    if (dashes != words.end())
        texts.insert(texts.end(), dashes + 1, words.end());

    const CString dictionaryPath = cli::hostFileAsDevicePath(dictionary);
    const CString missingPath = hasMissing ? cli::hostFileAsDevicePath(missing) : CString();
    InitializeTranslateFile(nullptr, dictionaryPath, missingPath);
    const auto answer = [](const std::string& text) {
        std::cout << utf8(Xlate(Utf8ToWide(text).c_str())) << '\n';
    };
    if (!texts.empty() || dashes != words.end()) {
        for (const std::string& text : texts)
            answer(text);
    } else {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            answer(line);
        }
    }
    FinalizeTranslateFile();
    return cli::EXIT_OK;
}

int runList(const std::vector<std::string>& words)
{
    const std::string command = "xlate list";
    cli::Args args(words);
    if (printedHelp(args, kListHelp))
        return cli::EXIT_OK;
    std::string unknown;
    if (args.firstUnknownOption(unknown))
        return cli::usageError(command, args.unknownOption(unknown));
    if (args.rest().size() != 1)
        return cli::usageError(command, "expected one FILE");
    const std::string& path = args.rest().front();
    std::string bytes, why;
    if (!cli::readWholeFile(path, bytes, &why)) {
        cli::error(command, cli::cannotRead(path, why));
        return cli::EXIT_BAD_INPUT;
    }
    CXlateDictionary dictionary;
    dictionary.Parse(bytes.data(), bytes.size());
    int used = 0;   // the entry lookup finds for the current key
    for (int i = 0; i < dictionary.Count(); ++i) {
        if (dictionary.IsDuplicate(i)) {
            cli::errorAtLine(command, dictionary.Line(i),
                             "duplicate key \"" + utf8(dictionary.Key(i)) + "\" (the entry of line " +
                                 std::to_string(dictionary.Line(used)) + " is used)");
        } else {
            used = i;
        }
        std::cout << utf8(dictionary.Key(i)) << '\t' << utf8(dictionary.Value(i)) << '\n';
    }
    return cli::EXIT_OK;
}

const std::vector<cli::Subcommand> kSubcommands = {
    {"list", "print a dictionary's entries in lookup order", &runList},
    {"text", "translate texts with a dictionary, optionally collecting the missing ones", &runText},
};

void printOverview()
{
    std::cout << "usage: fieldcore xlate SUBCOMMAND [OPTIONS] [VALUES...]\n\n"
                 "The translation of interface text: a dictionary file maps each text the user\n"
                 "sees to its translation.\n\n"
                 "Subcommands (each has --help):\n";
    cli::printSubcommands(kSubcommands);
    std::cout << '\n' << kFilesNote
              << "\nExit status: 0 ok; 2 a file cannot be read, or a usage error.\n";
}

int runXlate(const std::vector<std::string>& args)
{
    return cli::runSubcommand("xlate", kSubcommands, &printOverview, args);
}

const bool registered = cli::registerCommand("xlate", "translate interface text with a dictionary file", &runXlate);

} // namespace
