// fieldcore bt: the Bluetooth serial ports a controller would use, found the way the library
// finds them (BluetoothRegistry) in a device root and a registry file.
#include "cli.h"

#include "devices/bluetoothRegistry.h"
#include "files/globalSettings.h"
#include "platform/deviceRoot.h"
#include "platform/registry.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace {

const char* const kCommand = "bt";

const char* kPortsHelp =
    "usage: fieldcore bt ports [--root DIR] [--registry FILE] [--internal-bt]\n"
    "\n"
    "Prints the Bluetooth serial ports of a controller, three lines:\n"
    "  first N             the port of the Bluetooth link (N as in COMN:, 0 for none)\n"
    "  second N            the Socket stack's second Bluetooth port (0 for none)\n"
    "  second-receiver yes|no  whether a second receiver is reached over Bluetooth\n"
    "\n"
    "The controller is the device root DIR: its registry is DIR/.fieldcore-registry.reg (a\n"
    "registry export file, REGEDIT4 or version 5; an empty registry when there is none), its\n"
    "Bluetooth configuration DIR/BtConfig.ini, and the libraries in DIR/Windows tell its model\n"
    "(zr8_lcd.dll or zr8_wavedev.dll: a zr8 unit; MavikLib.dll: the built-in radio, port 6\n"
    "when the Socket stack has none). On a zr8 unit the first port is the Socket stack's, or\n"
    "with --internal-bt the one BtConfig.ini names. Nothing is written but\n"
    "DIR/Program Files/fieldcore, made when missing.\n"
    "\n"
    "Options:\n"
    "  --root DIR        the device root, an existing folder on this computer (default:\n"
    "                    $FIELDCORE_ROOT, else ~/.fieldcore); a DIR that is no folder is refused\n"
    "  --registry FILE   the registry export file to use instead of the root's (a file on this\n"
    "                    computer)\n"
    "  --internal-bt     the internal-Bluetooth setting on (it is off by default)\n"
    "\n"
    "Examples:\n"
    "  cp -r examples/btDevice /tmp/unit && fieldcore bt ports --root /tmp/unit\n"
    "      first 5 / second 8 / second-receiver yes\n"
    "  fieldcore bt ports --root /tmp/unit --internal-bt       (first 1, from BtConfig.ini)\n"
    "  fieldcore bt ports --root /tmp/unit --registry other.reg\n"
    "\n"
    "Errors: a --root that is no folder; a registry file that is a folder or cannot be read,\n"
    "or a line in it that is no header, key,\n"
    "value or comment, is reported on stderr as 'fieldcore bt: FILE: line N: ...'; usage\n"
    "errors as 'fieldcore bt: ...'.\n"
    "\n"
    "Exit status: 0 the ports were printed (0 is an answer: no port); 2 a bad registry file or\n"
    "a usage error.\n";

int runPorts(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help") || args.flag("-h")) {
        std::cout << kPortsHelp;
        return cli::EXIT_OK;
    }
    std::string root, registryFile, unknown;
    const bool rootGiven = args.option("--root", root);
    const bool registryGiven = args.option("--registry", registryFile);
    const bool internalBt = args.flag("--internal-bt");
    if (args.missingValue())
        return cli::usageError(kCommand, "an option is missing its value");
    if (!args.problem().empty())
        return cli::usageError(kCommand, args.problem());
    if (args.firstUnknownOption(unknown))
        return cli::usageError(kCommand, args.unknownOption(unknown));
    if (!args.rest().empty())
        return cli::usageError(kCommand, "ports takes no values ('" + args.rest()[0] + "')");
    if ((rootGiven && root.empty()) || (registryGiven && registryFile.empty()))
        return cli::usageError(kCommand, rootGiven && root.empty() ? "--root is empty" : "--registry is empty");
    // A mistyped root would be made afresh and answer 0 for every port: it must exist.
    std::error_code ec;
    if (rootGiven && !std::filesystem::is_directory(root, ec))
        return cli::usageError(kCommand, "--root '" + root + "' is not a folder");
    if (rootGiven)
        setDeviceRoot(root);
    RegistryLoadError error;
    if (registryGiven ? !registryLoadFile(registryFile, error) : !registryLoadDeviceFile(error)) {
        cli::error(kCommand, error.text());
        return cli::EXIT_BAD_INPUT;
    }
    SetUseInternalBT(internalBt);
    std::cout << "first " << static_cast<int>(BluetoothRegistry::GetBluetoothComPort()) << '\n'
              << "second " << static_cast<int>(BluetoothRegistry::GetBluetoothComPort2()) << '\n'
              << "second-receiver " << (BluetoothRegistry::IsRover2BluetoothExist() ? "yes" : "no") << '\n';
    return cli::EXIT_OK;
}

const std::vector<cli::Subcommand> kSubcommands = {
    {"ports", "the Bluetooth serial ports of a device root and its registry", &runPorts},
};

void printOverview()
{
    std::cout << "usage: fieldcore bt SUBCOMMAND [OPTIONS]\n\n"
                 "The controller's Bluetooth links, found as the library finds them: from the\n"
                 "registry, BtConfig.ini and the model's libraries in a device root.\n\n"
                 "Subcommands (each has --help):\n";
    cli::printSubcommands(kSubcommands);
    std::cout << "\nExamples:\n"
                 "  fieldcore bt ports --root /tmp/unit\n"
                 "  fieldcore bt ports --help\n"
                 "\nExit status: 0 answered; 2 bad input or a usage error.\n";
}

int runBt(const std::vector<std::string>& words)
{
    // The subcommand may follow the options (bt --root DIR ports): it goes first.
    std::vector<std::string> ordered = words;
    for (size_t i = 0; i < ordered.size(); ++i) {
        if (ordered[i] == "--root" || ordered[i] == "--registry") {
            ++i;
            continue;
        }
        if (!ordered[i].empty() && ordered[i][0] != '-') {
            std::rotate(ordered.begin(), ordered.begin() + static_cast<long>(i), ordered.begin() + static_cast<long>(i) + 1);
            break;
        }
    }
    if (!ordered.empty() && !ordered[0].empty() && ordered[0][0] == '-' && ordered[0] != "--help" && ordered[0] != "-h")
        return cli::usageError(kCommand, "expected a subcommand (ports)");
    return cli::runSubcommand(kCommand, kSubcommands, &printOverview, ordered);
}

const bool registered = cli::registerCommand(kCommand, "Bluetooth serial ports of a device root", &runBt);

} // namespace
