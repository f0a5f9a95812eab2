// fieldcore ui bar: a title bar laid out on a full-screen window, its objects printed and,
// with -o, drawn to a PNG picture.
#include "uiCommands.h"

#include "dialogs/titlebar.h"
#include "platform/textCodec.h"

#include <iostream>

namespace {

const char* const kCommand = "ui bar";

const char* const kHelp =
    "usage: fieldcore ui bar [--screen WxH] [--title TEXT] [--item ITEM]... [--property-sheet]\n"
    "                        [-o FILE.png | --output FILE.png]\n"
    "\n"
    "Lays out a title bar the way the dialogs of the controller lay theirs out, on a\n"
    "full-screen window whose caption is TEXT, and prints each object of the bar on a line of\n"
    "its own, from slot A to slot Z:\n"
    "  POSITION KIND LEFT TOP RIGHT BOTTOM TEXT\n"
    "KIND is title, text, bitmap or button; the rectangle is in the window's pixels (right and\n"
    "bottom outside it); TEXT is the title's caption, the text, the button's text, or the\n"
    "bitmap's name (a bitmap button's too). Objects in the left group after a title are not\n"
    "laid out (0 0 0 0).\n"
    "\n"
    "Positions: A to I are the left group, laid out from the left end; R to Z the right group,\n"
    "laid out from the right end (Z outermost); a title fills the space between the groups.\n"
    "Only the first letter of a position counts (Right is R). A later --item in the same\n"
    "position replaces the earlier one.\n"
    "\n"
    "Texts are measured in Liberation Sans (Arial's metrics), height 15, as the picture draws\n"
    "them: a text button grows to its text when that is wider than 50 pixels; '&' marks the\n"
    "next letter as the button's mnemonic (underlined, '&&' for an '&').\n"
    "\n"
    "Options:\n"
    "  --screen WxH          the screen in pixels (default: $FIELDCORE_SCREEN, else 240x320)\n"
    "  --title TEXT          the window's caption, and a title object in A\n"
    "  --item POS:button:TEXT[:CMD]  a push button; CMD its command identifier, 0 to 65535\n"
    "                        (default 0); a TEXT holding ':' needs the :CMD\n"
    "  --item POS:text:TEXT  a text (50 x 23 pixels)\n"
    "  --item POS:bitmap:NAME  a bitmap: IDB_TITLEBAR2 (the menu button), IDB_ALPHAKEY,\n"
    "                        IDB_TITLEBAR_EMPTY\n"
    "  --property-sheet      lay the bar out for a property sheet (on a 240x320 screen the\n"
    "                        window sits 26 pixels up and the bar at 26 to 51)\n"
    "  -o, --output FILE.png  draw the screen: the window, its bar and the buttons\n"
    "\n"
    "Examples:\n"
    "  fieldcore ui bar --title \"Stake out\" --item Y:button:OK:1 --item Z:button:Cancel:2\n"
    "      A title 2 1 129 24 Stake out\n"
    "      Y button 131 1 181 24 OK\n"
    "      Z button 183 1 233 24 Cancel\n"
    "  fieldcore ui bar --title \"Stake out\" --item Y:button:OK:1 --item Z:button:Cancel:2 -o bar.png\n"
    "  fieldcore ui bar --screen 480x640 --item A:bitmap:IDB_TITLEBAR2 --item R:text:km\n"
    "\n"
    "Errors: a bad --item (no position A-I or R-Z, an unknown kind or bitmap, a bad CMD), a bad\n"
    "--screen, a missing font (Debian: fonts-liberation2) or a picture that cannot be written\n"
    "is reported on stderr as 'fieldcore ui bar: ...'.\n"
    "\n"
    "Exit status: 0 done; 2 bad input, a missing font, or a picture that cannot be written.\n";

struct Item {
    std::wstring pos;
    std::string kind;
    std::wstring text;
    UINT command = 0;
};

// The command identifier after the last ':' of a button's TEXT[:CMD], when it is a number.
bool splitCommand(std::wstring& text, UINT& command, std::string& problem)
{
    const size_t colon = text.rfind(L':');
    if (colon == std::wstring::npos)
        return true;
    int value = 0;
    if (!cli::parseInt(WideToUtf8(text.substr(colon + 1)), value) || value < 0 || value > 65535) {
        problem = "a button's CMD is a number from 0 to 65535";
        return false;
    }
    command = static_cast<UINT>(value);
    text.erase(colon);
    return true;
}

bool parseItem(const std::string& given, Item& item, std::string& problem)
{
    const size_t first = given.find(':');
    const size_t second = first == std::string::npos ? first : given.find(':', first + 1);
    if (second == std::string::npos) {
        problem = "'" + given + "' is no POS:KIND:VALUE";
        return false;
    }
    item.pos = Utf8ToWide(given.substr(0, first));
    item.kind = given.substr(first + 1, second - first - 1);
    item.text = Utf8ToWide(given.substr(second + 1));
    if (CTitlebar::GetPosition(item.pos.c_str()) < 0) {
        problem = "'" + given + "': the position is none of A to I and R to Z";
        return false;
    }
    if (item.kind == "button")
        return splitCommand(item.text, item.command, problem);
    int w, h;
    if (item.kind == "bitmap" && !bitmapResourceSize(item.text.c_str(), w, h)) {
        problem = "'" + given + "': no bitmap of that name (";
        for (const std::wstring& name : bitmapResourceNames())
            problem += WideToUtf8(name) + (name == bitmapResourceNames().back() ? ")" : ", ");
        return false;
    }
    if (item.kind != "text" && item.kind != "bitmap") {
        problem = "'" + given + "': the kind is none of button, text and bitmap";
        return false;
    }
    return true;
}

bool addItem(CTitlebar& bar, const Item& item)
{
    const wchar_t* pos = item.pos.c_str();
    if (item.kind == "button")
        return bar.AddButton(pos, item.text.c_str(), item.command, nullptr);
    if (item.kind == "text")
        return bar.AddText(pos, item.text.c_str());
    return bar.AddBitmap(pos, item.text.c_str());
}

// What the command line asks for.
struct BarRequest {
    std::string title;
    bool titled = false;
    bool sheet = false;
    std::string output;
    std::vector<Item> items;
};

// Reads the words into the request; EXIT_OK, or the status of a usage error (said on stderr),
// or -1 when the help was printed.
int readRequest(const std::vector<std::string>& words, BarRequest& request)
{
    std::vector<std::string> rest = words;
    std::vector<std::string> itemSpecs;
    if (!uicli::takeRepeatedOption(rest, "--item", itemSpecs))
        return cli::usageError(kCommand, "--item needs a value");
    cli::Args args(rest);
    if (args.flag("--help") || args.flag("-h")) {
        std::cout << kHelp;
        return -1;
    }
    std::string screen, unknown, outputProblem;
    request.titled = args.option("--title", request.title);
    args.option("--screen", screen);
    uicli::readOutputOption(args, request.output, outputProblem);
    request.sheet = args.flag("--property-sheet");
    if (!args.problem().empty())
        return cli::usageError(kCommand, args.problem());
    if (args.firstUnknownOption(unknown))
        return cli::usageError(kCommand, args.unknownOption(unknown));
    if (!args.rest().empty())
        return cli::usageError(kCommand, "unexpected '" + args.rest()[0] + "'");
    if (!outputProblem.empty())
        return cli::usageError(kCommand, outputProblem);
    if (!uicli::useScreen(kCommand, screen))
        return cli::EXIT_BAD_INPUT;
    request.items.resize(itemSpecs.size());
    for (size_t i = 0; i < itemSpecs.size(); ++i) {
        std::string problem;
        if (!parseItem(itemSpecs[i], request.items[i], problem))
            return cli::usageError(kCommand, "--item " + problem);
    }
    return cli::EXIT_OK;
}

} // namespace

namespace uicli {

int runBar(const std::vector<std::string>& words)
{
    BarRequest request;
    const int status = readRequest(words, request);
    if (status != cli::EXIT_OK)
        return status < 0 ? cli::EXIT_OK : status;
    // The renderer measures before anything is laid out, so that the layout is what is drawn.
    CWindowRenderer renderer;
    if (!startRenderer(kCommand, renderer))
        return cli::EXIT_BAD_INPUT;
    CWnd window;
    CFont font;
    font.CreateFont(15, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    window.Create(L"Dialog", Utf8ToWide(request.title).c_str(), WS_CAPTION | WS_VISIBLE,
                  CRect(0, 0, 100, 100), nullptr);
    window.SetFont(&font, FALSE);
    CWnd tabs;
    if (request.sheet)
        tabs.Create(kTabControlClass, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, SCREEN_WIDTH, 100), &window);
    CTitlebar bar;
    if (request.titled)
        bar.AddTitle(L"A");
    for (const Item& item : request.items)
        addItem(bar, item);
    bar.InitDialog(&window, &font, request.sheet ? WT_PROPERTY_SHEET : WT_DIALOG);
    return showBar(kCommand, renderer, bar, window, request.output);
}

} // namespace uicli
