// fieldcore ui popup: the message pop-up of a type code shown on the screen's model, its places,
// icon and beep printed, the picture drawn and, with --press, --key or --timeout, run modally to
// its result.
#include "uiCommands.h"

#include "devices/ticTimer.h"
#include "dialogs/messagePopup.h"
#include "files/globalSettings.h"
#include "files/translate.h"
#include "hostFiles.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/textCodec.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <strings.h>

namespace {

const char* const kCommand = "ui popup";

const char* const kHelp =
    "usage: fieldcore ui popup --type CODE --text TEXT [--caption TEXT] [--yes-to-all]\n"
    "                          [--no-to-all] [--screen WxH] [--country N] [--dict FILE]\n"
    "                          [-o FILE.png | --output FILE.png]\n"
    "                          [--press PLACE | --key NAME | --timeout MS]\n"
    "\n"
    "Shows the library's message pop-up for a message-box type code on a full-screen window\n"
    "and prints, one line each, its five button places (0 to 4), its icon and its beep:\n"
    "  place N hidden\n"
    "  place N shown RESULT default|- TEXT\n"
    "  icon 1031 (stop) | 1034 (question) | 1032 (exclamation) | 1033 (information) | none\n"
    "  beep 0xNN        (the message beep: the icon bits, 0x00 without an icon)\n"
    "TEXT is the button's text as shown (translated), '&' marking its mnemonic. RESULT is what\n"
    "the button returns: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No, 24 Yes to All,\n"
    "25 No to All.\n"
    "\n"
    "CODE: the low four bits choose the buttons (0 Close; 1 Ok, Cancel; 2 Abort, Retry, Ignore;\n"
    "3 Yes, No, Cancel; 4 Yes, No; 5 Retry, Cancel; others none), 0x10 to 0x40 the icon, 0x000,\n"
    "0x100 or 0x200 the default button; other bits are ignored.\n"
    "\n"
    "With --press, --key or --timeout the pop-up runs modally and the last line is its result,\n"
    "'result N'. The time-out runs on the tic timer at a base period of 100 ms and closes the\n"
    "pop-up as OK (1) within one base period of MS. Without any of them the pop-up is shown,\n"
    "printed and drawn, then closed unanswered.\n"
    "\n"
    "Options:\n"
    "  --type CODE           the type code, hexadecimal (0x24) or decimal (36)\n"
    "  --text TEXT           the message\n"
    "  --caption TEXT        the window's caption (default: empty)\n"
    "  --yes-to-all          the extra button \"Yes to &All\" (24) on types 3 and 4\n"
    "  --no-to-all           the extra button \"N&o to All\" (25) on type 3\n"
    "  --screen WxH          the screen in pixels (default: $FIELDCORE_SCREEN, else 240x320);\n"
    "                        240x320 has a template of its own, every other size shares one\n"
    "  --country N           the country setting (81: no Help menu; the pop-up has none anyway)\n"
    "  --dict FILE           translate the texts with this dictionary (as 'fieldcore xlate')\n"
    "  -o, --output FILE.png  draw the screen with the pop-up\n"
    "  --press PLACE         press the button in place PLACE (0 to 4; it must be shown)\n"
    "  --key NAME            press a key: Enter, Escape, F1 to F9, F24, Up, Down, Left, Right\n"
    "  --timeout MS          close by the time-out after MS milliseconds (1 to 2147483647)\n"
    "\n"
    "Examples:\n"
    "  fieldcore ui popup --type 0x24 --text \"Overwrite point 1001?\" -o popup.png\n"
    "      place 0 hidden\n"
    "      place 1 hidden\n"
    "      place 2 hidden\n"
    "      place 3 shown 6 default &Yes\n"
    "      place 4 shown 7 - &No\n"
    "      icon 1034\n"
    "      beep 0x20\n"
    "  fieldcore ui popup --type 3 --yes-to-all --no-to-all --text \"Overwrite?\" --press 4\n"
    "  fieldcore ui popup --type 0x104 --text \"Store?\" --key Enter      (result 7)\n"
    "  fieldcore ui popup --type 0x40 --text \"Stored.\" --timeout 2000   (result 1)\n"
    "\n"
    "Enter presses the default button, or gives 1 when there is none. Escape gives 2 where a\n"
    "button does (types 1, 3, 5), 1 on type 0, and is ignored on types 2 and 4: the pop-up then\n"
    "ends unanswered, 2.\n"
    "\n"
    "Errors: a missing or bad --type (not a number from 0 to 0xFFFFFFFF), a missing --text, a\n"
    "bad --screen, --country, --press (or a hidden place), --timeout or key name, more than one\n"
    "of --press, --key and --timeout, an unreadable --dict, a missing font (Debian:\n"
    "fonts-liberation2) or a picture that cannot be written is reported on stderr as\n"
    "'fieldcore ui popup: ...'.\n"
    "\n"
    "Exit status: 0 done; 2 bad input, a missing font, or a picture that cannot be written.\n";

enum class Action { None, Press, Key, Timeout };

struct Request {
    unsigned int type = 0;
    std::wstring text, caption;
    bool yesToAll = false, noToAll = false;
    std::string screen, dictionary, output;
    bool hasCountry = false;
    int country = 0;
    Action action = Action::None;
    int place = 0;
    UINT key = 0;
    int timeoutMs = 0;
};

// "0x" and 1 to 8 hexadecimal digits, or 1 to 10 decimal digits, up to 0xFFFFFFFF.
bool parseType(const std::string& text, unsigned int& type)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > (hex ? 8u : 10u) ||
        digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
        return false;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (value > 0xFFFFFFFFull)
        return false;
    type = static_cast<unsigned int>(value);
    return true;
}

struct KeyName {
    const char* name;
    UINT key;
};
const KeyName kKeys[] = {
    {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}, {"F1", VK_F1}, {"F2", VK_F1 + 1u},
    {"F3", VK_F1 + 2u}, {"F4", VK_F1 + 3u}, {"F5", VK_F1 + 4u}, {"F6", VK_F1 + 5u},
    {"F7", VK_F1 + 6u}, {"F8", VK_F1 + 7u}, {"F9", VK_F9}, {"F24", VK_F24},
    {"Up", VK_UP}, {"Down", VK_DOWN}, {"Left", VK_LEFT}, {"Right", VK_RIGHT},
};

// Names compare without regard to case.
bool parseKey(const std::string& name, UINT& key)
{
    for (const KeyName& k : kKeys)
        if (strcasecmp(k.name, name.c_str()) == 0) {
            key = k.key;
            return true;
        }
    return false;
}

// The one of --press, --key and --timeout given (a usage problem for two or a bad value).
bool readAction(cli::Args& args, Request& r, std::string& problem)
{
    std::string press, key, timeout;
    const bool hasPress = args.option("--press", press);
    const bool hasKey = args.option("--key", key);
    const bool hasTimeout = args.option("--timeout", timeout);
    if (int(hasPress) + int(hasKey) + int(hasTimeout) > 1) {
        problem = "give one of --press, --key and --timeout";
        return false;
    }
    if (hasPress) {
        r.action = Action::Press;
        if (!cli::parseInt(press, r.place) || r.place < 0 || r.place >= kPopupPlaces)
            problem = "--press takes a place from 0 to 4, not '" + press + "'";
    } else if (hasKey) {
        r.action = Action::Key;
        if (!parseKey(key, r.key))
            problem = "unknown key '" + key + "' (Enter, Escape, F1 to F9, F24, Up, Down, Left, Right)";
    } else if (hasTimeout) {
        r.action = Action::Timeout;
        if (!cli::parseInt(timeout, r.timeoutMs) || r.timeoutMs < 1)
            problem = "--timeout takes milliseconds from 1 to 2147483647, not '" + timeout + "'";
    }
    return problem.empty();
}

// The options into the request; a usage problem in `problem` (empty: none).
bool readRequest(cli::Args& args, Request& r, std::string& problem)
{
    std::string type, text, caption, country, outputProblem;
    const bool hasType = args.option("--type", type);
    const bool hasText = args.option("--text", text);
    args.option("--caption", caption);
    r.yesToAll = args.flag("--yes-to-all");
    r.noToAll = args.flag("--no-to-all");
    args.option("--screen", r.screen);
    r.hasCountry = args.option("--country", country);
    args.option("--dict", r.dictionary);
    uicli::readOutputOption(args, r.output, outputProblem);
    std::string unknown;
    if (!readAction(args, r, problem))
        return false;
    if (args.missingValue() || !args.problem().empty())
        problem = args.problem().empty() ? "an option is missing its value" : args.problem();
    else if (args.firstUnknownOption(unknown))
        problem = args.unknownOption(unknown);
    else if (!args.rest().empty())
        problem = "unexpected '" + args.rest()[0] + "'";
    else if (!hasType || !parseType(type, r.type))
        problem = "--type takes a type code, 0x0 to 0xFFFFFFFF or decimal, not '" + type + "'";
    else if (!hasText)
        problem = "give the message with --text TEXT";
    else if (r.hasCountry && !cli::parseInt(country, r.country))
        problem = "--country takes a whole number, not '" + country + "'";
    else if (!outputProblem.empty())
        problem = outputProblem;
    r.text = Utf8ToWide(text);
    r.caption = Utf8ToWide(caption);
    return problem.empty();
}

// Whether the button of --press is shown by the type's set.
bool pressable(const Request& r)
{
    return r.action != Action::Press || PopupButtonsFor(r.type, r.yesToAll, r.noToAll).places[r.place].shown;
}

std::string shownText(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return WideToUtf8(std::wstring(text));
}

// The places, icon and beep of the pop-up as it is shown.
void printPopup(HWND window, const CMessagePopupDlg& popup)
{
    for (int p = 0; p < kPopupPlaces; ++p) {
        const HWND button = GetDlgItem(window, kPopupFirstPlace + p);
        std::cout << "place " << p;
        if (!IsWindowVisible(button)) {
            std::cout << " hidden\n";
            continue;
        }
        const bool isDefault = (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        std::cout << " shown " << popup.Buttons().places[p].result << (isDefault ? " default " : " - ")
                  << shownText(button) << '\n';
    }
    const int icons[] = {kPopupIconStop, kPopupIconQuestion, kPopupIconExclamation, kPopupIconInformation};
    int shown = 0;
    for (int icon : icons)
        if (IsWindowVisible(GetDlgItem(window, icon)))
            shown = icon;
    std::cout << "icon " << (shown ? std::to_string(shown) : "none") << '\n';
    unsigned int beep = 0;
    for (const SoundRecord& sound : recordedSounds())
        if (sound.beep)
            beep = sound.flags;
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", beep);
    std::cout << "beep " << text << '\n';
}

// Presses what the request asks for, once the pop-up is shown.
void script(HWND window, const Request& r)
{
    if (r.action == Action::Press)
        ClickButton(GetDlgItem(window, kPopupFirstPlace + r.place));
    else if (r.action == Action::Key)
        PostKeyEvent(r.key, false);
}

// Runs the pop-up; prints it (and its result when the request runs it) and draws it. The
// exit status.
int show(const Request& r, CWindowRenderer& renderer)
{
    bool drawn = true;
    SetWindowMadeHook([&](HWND window) {
        SetWindowMadeHook(nullptr);   // only the pop-up; with nothing scripted it then ends unanswered
        auto* popup = dynamic_cast<CMessagePopupDlg*>(CDialog::FromHandle(window));
        if (!popup)
            return;
        printPopup(window, *popup);
        if (!r.output.empty()) {
            CDC dc;
            popup->Titlebar().Paint(&dc, true);
            drawn = uicli::writePicture(kCommand, renderer, window, dc.operations(), r.output);
        }
        if (drawn)
            script(window, r);
    });
    const bool timed = r.action == Action::Timeout;
    if (timed)
        CreateTicTimerThread(100);
    const int result = MessagePopup(nullptr, r.text.c_str(), r.caption.c_str(), r.type,
                                    timed ? r.timeoutMs : 0, r.yesToAll, r.noToAll);
    if (timed)
        DestroyTicTimerThread();
    SetWindowMadeHook(nullptr);
    if (!drawn)
        return cli::EXIT_BAD_INPUT;
    if (r.action != Action::None)
        std::cout << "result " << result << '\n';
    return cli::EXIT_OK;
}

} // namespace

namespace uicli {

int runPopup(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help") || args.flag("-h")) {
        std::cout << kHelp;
        return cli::EXIT_OK;
    }
    Request request;
    std::string problem;
    if (!readRequest(args, request, problem))
        return cli::usageError(kCommand, problem);
    if (!pressable(request))
        return cli::usageError(kCommand, "--press " + std::to_string(request.place) + ": that place is hidden on this type");
    if (!useScreen(kCommand, request.screen))
        return cli::EXIT_BAD_INPUT;
    if (!request.dictionary.empty()) {
        const std::string why = cli::whyUnreadable(request.dictionary);
        if (!why.empty() || request.dictionary == "-") {
            cli::error(kCommand, why.empty() ? "give the dictionary as a file, not stdin" : cli::cannotRead(request.dictionary, why));
            return cli::EXIT_BAD_INPUT;
        }
        InitializeTranslateFile(nullptr, cli::hostFileAsDevicePath(request.dictionary), nullptr);
    }
    if (request.hasCountry)
        SetCountry(request.country);
    // The renderer measures before anything is laid out, so that the layout is what is drawn.
    CWindowRenderer renderer;
    if (!startRenderer(kCommand, renderer))
        return cli::EXIT_BAD_INPUT;
    const int status = show(request, renderer);
    FinalizeTranslateFile();
    return status;
}

} // namespace uicli
