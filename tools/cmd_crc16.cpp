// fieldcore crc16: CRC-16 (polynomial 0x1021, MSB first) of files or stdin.
#include "cli.h"
#include "hostFiles.h"

#include "files/crc16.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

const char* kHelp =
    "usage: fieldcore crc16 [--start HEX] [FILE...]\n"
    "\n"
    "Prints the CRC-16 of each FILE (of stdin when no FILE is given, or for '-') in\n"
    "upper-case hexadecimal, one line per input: polynomial 0x1021, most significant bit\n"
    "first, no reflection, no final XOR.\n"
    "\n"
    "  --start HEX   starting value, 0 to FFFF (default FFFF: CRC-16/CCITT-FALSE;\n"
    "                --start 0 gives CRC-16/XMODEM)\n"
    "\n"
    "Examples:\n"
    "  printf 123456789 | fieldcore crc16            -> 29B1\n"
    "  printf 123456789 | fieldcore crc16 --start 0  -> 31C3\n"
    "\n"
    "Exit status: 0 all inputs read; 2 a file could not be read (named on stderr, the other\n"
    "files still answered) or a usage error.\n";

bool parseHex16(const std::string& text, unsigned short& value)
{
    std::string t = cli::trim(text);
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
        t = t.substr(2);
    // Hexadecimal digits only: strtoul alone also takes a sign ("-1" gave FFFF) and a second 0x.
    if (t.empty() || t.size() > 4 || t.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    char* end = nullptr;
    unsigned long v = std::strtoul(t.c_str(), &end, 16);
    if (*end != '\0')
        return false;
    value = static_cast<unsigned short>(v);
    return true;
}

int runCrc16(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help")) {
        std::cout << kHelp;
        return cli::EXIT_OK;
    }
    unsigned short start = 0xFFFF;
    std::string startText;
    if (args.option("--start", startText) && !parseHex16(startText, start))
        return cli::usageError("crc16", "--start takes a hexadecimal value from 0 to FFFF");
    std::string unknown;
    if (!args.problem().empty())
        return cli::usageError("crc16", args.problem());
    if (args.firstUnknownOption(unknown) && unknown != "-")
        return cli::usageError("crc16", args.unknownOption(unknown));

    std::vector<std::string> inputs = args.rest();
    if (inputs.empty())
        inputs.push_back("-");
    CCRC16 crc;
    int status = cli::EXIT_OK;
    for (const std::string& input : inputs) {
        std::string bytes, why = "a read error";
        if (!cli::readWholeFile(input, bytes, &why)) {
            cli::error("crc16", cli::cannotRead(input, why));
            status = cli::EXIT_BAD_INPUT;
            continue;
        }
        // The library computes over int lengths: continue piece by piece for huge inputs.
        unsigned short value = start;
        const size_t piece = 1u << 30;
        for (size_t at = 0; at < bytes.size(); at += piece) {
            size_t n = bytes.size() - at < piece ? bytes.size() - at : piece;
            value = crc.ComputeCRC16(value, bytes.data() + at, static_cast<int>(n));
        }
        char line[16];
        std::snprintf(line, sizeof line, "%04X", value);
        std::cout << line << '\n';
    }
    return status;
}

const bool registered = cli::registerCommand("crc16", "CRC-16 of files or stdin", &runCrc16);

} // namespace
