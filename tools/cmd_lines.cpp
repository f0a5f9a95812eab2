// fieldcore lines: the entries of a text file as the library's string lists load them.
#include "cli.h"
#include "hostFiles.h"

#include "files/stringList.h"
#include "platform/textCodec.h"

#include <cstring>
#include <cwchar>
#include <iostream>

namespace {

const char* const kCommand = "lines";

const char* kHelp =
    "usage: fieldcore lines FILE [--wide] [--count]\n"
    "\n"
    "Loads FILE (a path on this computer) as the library's string list does and prints\n"
    "its entries, one per line, as 'INDEX<TAB>ENTRY' with INDEX from 0, in UTF-8.\n"
    "\n"
    "An 8-bit file is read in the system code page (Windows-1252); with --wide the file is\n"
    "UTF-16 little-endian (no byte-order mark is recognised: one stays in the first entry;\n"
    "an odd last byte is ignored). Reading stops at the end or at a NUL. A CR or LF ends an\n"
    "entry, and a CR or LF right after it belongs to the same line end: 'a CR LF CR LF b'\n"
    "gives a, an empty entry and b, but 'a LF LF b' gives a and b. Text after the last line\n"
    "end is a last entry; a final line end adds none. An empty file has no entries.\n"
    "\n"
    "Options:\n"
    "  --wide    the file holds UTF-16 little-endian text\n"
    "  --count   print only the number of entries\n"
    "\n"
    "Examples:\n"
    "  printf 'a\\r\\n\\r\\nb' > f.txt; fieldcore lines f.txt   -> 0 a / 1 (empty) / 2 b\n"
    "  fieldcore lines --count f.txt                        -> 3\n"
    "  fieldcore lines --wide names.txt\n"
    "\n"
    "Errors: a file that cannot be opened or mapped, a missing FILE or an unknown option is\n"
    "reported on stderr as 'fieldcore lines: ...'.\n"
    "\n"
    "Exit status: 0 the file was read (also when it holds no entry); 2 the file cannot be\n"
    "opened, or a usage error.\n";

template <class List, class ToUtf8>
int printList(List& list, const std::string& hostPath, bool countOnly, ToUtf8 toUtf8)
{
    if (!list.LoadFromFile(cli::hostFileAsDevicePath(hostPath))) {
        // The reason where the host can tell it (a folder, a missing file); the list's own
        // reading failed otherwise.
        const std::string why = cli::whyUnreadable(hostPath);
        cli::error(kCommand, why.empty() ? "cannot open '" + hostPath + "'" : cli::cannotRead(hostPath, why));
        return cli::EXIT_BAD_INPUT;
    }
    if (countOnly) {
        std::cout << list.Length() << '\n';
        return cli::EXIT_OK;
    }
    for (int i = 0; i < list.Length(); ++i)
        std::cout << i << '\t' << toUtf8(list[i]) << '\n';
    return cli::EXIT_OK;
}

int runLines(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help")) {
        std::cout << kHelp;
        return cli::EXIT_OK;
    }
    const bool wide = args.flag("--wide");
    const bool countOnly = args.flag("--count");
    std::string unknown;
    if (args.firstUnknownOption(unknown))
        return cli::usageError(kCommand, args.unknownOption(unknown));
    if (args.rest().size() != 1)
        return cli::usageError(kCommand, "expected one FILE");
    const std::string& path = args.rest().front();
    if (wide) {
        CWXenStringList list;
        return printList(list, path, countOnly,
                         [](const wchar_t* text) { return WideToUtf8(text, std::wcslen(text)); });
    }
    CXenStringList list;
    return printList(list, path, countOnly, [](const char* text) {
        const std::wstring wideText = AnsiToWide(text, std::strlen(text));
        return WideToUtf8(wideText);
    });
}

const bool registered = cli::registerCommand(kCommand, "list the entries of a text file as a string list", &runLines);

} // namespace
