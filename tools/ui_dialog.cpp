// fieldcore ui dialog: an empty dialog of the dialog base (dialogs/dlgBase.h) made with the
// title-bar choices given, its bar printed and, with -o, the frame drawn to a PNG picture.
#include "uiCommands.h"

#include "dialogs/dlgBase.h"
#include "files/globalSettings.h"
#include "platform/textCodec.h"

#include <iostream>

namespace {

const char* const kCommand = "ui dialog";

const char* const kHelp =
    "usage: fieldcore ui dialog [--ok | --finish] [--cancel] [--no-close] [--no-menu] [--no-title]\n"
    "                           [--country N] [--alpha-key] [--bold] [--title TEXT] [--screen WxH]\n"
    "                           [-o FILE.png | --output FILE.png]\n"
    "\n"
    "Makes an empty dialog with the frame every dialog of the controller shares, full screen,\n"
    "and prints each object of its title bar on a line of its own, from slot A to slot Z, as\n"
    "'fieldcore ui bar' does:\n"
    "  POSITION KIND LEFT TOP RIGHT BOTTOM TEXT\n"
    "The frame's objects: the menu button at A (bitmap IDB_TITLEBAR2, command 11023, with the\n"
    "item Help unless the country is 81), the title at B, OK or Finish (command 1) at Z, or at\n"
    "Y when Cancel or Close (command 2) is also shown at Z, and with --alpha-key the\n"
    "soft-keyboard indicator at R (IDB_TITLEBAR_EMPTY: no soft keyboard runs here). Close is\n"
    "shown unless --cancel or --no-close.\n"
    "\n"
    "Options:\n"
    "  --ok                  an OK button\n"
    "  --finish              a Finish button instead of OK\n"
    "  --cancel              a Cancel button instead of Close\n"
    "  --no-close            no Close button\n"
    "  --no-menu             no menu button\n"
    "  --no-title            no title\n"
    "  --country N           the country setting (81: no Help item in the menu)\n"
    "  --alpha-key           the soft-keyboard indicator setting on\n"
    "  --bold                the bold-font setting on: the dialog's font is Arial, 15, bold\n"
    "  --title TEXT          the dialog's caption (default: none)\n"
    "  --screen WxH          the screen in pixels (default: $FIELDCORE_SCREEN, else 240x320)\n"
    "  -o, --output FILE.png  draw the screen: the dialog with its title bar\n"
    "\n"
    "Examples:\n"
    "  fieldcore ui dialog --ok --cancel --title \"Point\"\n"
    "      A button 2 1 30 24 IDB_TITLEBAR2\n"
    "      B title 32 1 129 24 Point\n"
    "      Y button 131 1 181 24 OK\n"
    "      Z button 183 1 233 24 Cancel\n"
    "  fieldcore ui dialog --ok --cancel --title \"Point\" -o dialog.png\n"
    "  fieldcore ui dialog --finish --no-menu --screen 480x640 --bold --title \"Road\"\n"
    "\n"
    "Errors: --ok with --finish, a bad --country or --screen, a missing font (Debian:\n"
    "fonts-liberation2) or a picture that cannot be written is reported on stderr as\n"
    "'fieldcore ui dialog: ...'.\n"
    "\n"
    "Exit status: 0 done; 2 bad input, a missing font, or a picture that cannot be written.\n";

struct Choices {
    bool ok = false;
    bool finish = false;
    bool cancel = false;
    bool noClose = false;
    bool noMenu = false;
    bool noTitle = false;
};

void choose(CDlgBase& dialog, const Choices& c)
{
    if (c.ok)
        dialog.ShowOkButton();
    if (c.finish)
        dialog.ShowFinishButton();
    if (c.cancel)
        dialog.ShowCancelButton();
    if (c.noClose)
        dialog.HideCloseButton();
    if (c.noMenu)
        dialog.HideMenuButton();
    if (c.noTitle)
        dialog.HideTitle();
}

// What the command line asks for.
struct DialogRequest {
    Choices choices;
    bool alphaKey = false;
    bool bold = false;
    bool countryGiven = false;
    int country = 0;
    std::string title, screen, output;
};

// Reads the words into the request; EXIT_OK, or the status of a usage error (said on stderr),
// or -1 when the help was printed.
int readRequest(const std::vector<std::string>& words, DialogRequest& r)
{
    cli::Args args(words);
    if (args.flag("--help") || args.flag("-h")) {
        std::cout << kHelp;
        return -1;
    }
    Choices& c = r.choices;
    c.ok = args.flag("--ok");
    c.finish = args.flag("--finish");
    c.cancel = args.flag("--cancel");
    c.noClose = args.flag("--no-close");
    c.noMenu = args.flag("--no-menu");
    c.noTitle = args.flag("--no-title");
    r.alphaKey = args.flag("--alpha-key");
    r.bold = args.flag("--bold");
    std::string country, unknown, outputProblem;
    r.countryGiven = args.option("--country", country);
    args.option("--title", r.title);
    args.option("--screen", r.screen);
    uicli::readOutputOption(args, r.output, outputProblem);
    if (!args.problem().empty())
        return cli::usageError(kCommand, args.problem());
    if (args.firstUnknownOption(unknown))
        return cli::usageError(kCommand, args.unknownOption(unknown));
    if (!args.rest().empty())
        return cli::usageError(kCommand, "unexpected '" + args.rest()[0] + "'");
    if (c.ok && c.finish)
        return cli::usageError(kCommand, "give --ok or --finish, not both");
    if (!outputProblem.empty())
        return cli::usageError(kCommand, outputProblem);
    if (r.countryGiven && !cli::parseInt(country, r.country))
        return cli::usageError(kCommand, "--country takes a whole number, not '" + country + "'");
    return cli::EXIT_OK;
}

} // namespace

namespace uicli {

int runDialog(const std::vector<std::string>& words)
{
    DialogRequest r;
    const int status = readRequest(words, r);
    if (status != cli::EXIT_OK)
        return status < 0 ? cli::EXIT_OK : status;
    if (!useScreen(kCommand, r.screen))
        return cli::EXIT_BAD_INPUT;
    // The renderer measures before anything is laid out, so that the layout is what is drawn.
    CWindowRenderer renderer;
    if (!startRenderer(kCommand, renderer))
        return cli::EXIT_BAD_INPUT;
    if (r.countryGiven)
        SetCountry(r.country);
    SetShowAlphaKeyMode(r.alphaKey);
    SetBoldFont(r.bold ? 1 : 0);
    DialogTemplate frame;
    frame.caption = Utf8ToWide(r.title).c_str();
    CDlgBase dialog(frame, nullptr);
    choose(dialog, r.choices);
    if (!dialog.CreateModeless()) {
        cli::error(kCommand, "the dialog could not be made");
        return cli::EXIT_BAD_INPUT;
    }
    return showBar(kCommand, renderer, dialog.Titlebar(), dialog.m_hWnd, r.output);
}

} // namespace uicli
