// fieldcore ui popup: the library's message pop-up (dialogs/messagePopup.h) for a type code:
// its places, icon and beep printed, its picture drawn, and optionally run with a press, a key
// or a time-out.
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

namespace {

const char* const kCommand = "ui popup";

const char* const kHelp =
    "usage: fieldcore ui popup --type CODE --text TEXT [--caption TEXT] [--yes-to-all] [--no-to-all]\n"
    "                          [--screen WxH] [--country N] [--dict FILE] [-o FILE.png | --output FILE.png]\n"
    "                          [--press PLACE | --key NAME | --timeout MS]\n"
    "\n"
    "Shows the library's message pop-up for a message-box type code and prints, one line each,\n"
    "its five button places, its icon and its beep:\n"
    "  place N hidden\n"
    "  place N shown RESULT default|- TEXT\n"
    "  icon 1031|1032|1033|1034|none\n"
    "  beep 0xBITS\n"
    "CODE: the low four bits choose the buttons (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore,\n"
    "3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel), 0x10 to 0x40 the icon (stop, question,\n"
    "exclamation, information), 0x100 and 0x200 the default button; in hexadecimal (0x24) or\n"
    "decimal. Places 0 to 2 are the upper row, 3 and 4 the pair below. Results: 1 OK, 2 Cancel,\n"
    "3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No, 24 Yes to All, 25 No to All.\n"
    "\n"
    "With --press, --key or --timeout the pop-up runs as the application runs it and the\n"
    "result is printed last ('result N'). Enter presses the default button, or gives 1 when\n"
    "there is none; Escape gives 2 where a button gives 2, the only button's result on type 0,\n"
    "and is ignored otherwise; a pop-up that nobody answers any more gives 2.\n"
    "\n"
    "Options:\n"
    "  --type CODE         the type code (required)\n"
    "  --text TEXT         the message (required)\n"
    "  --caption TEXT      the caption (default: none)\n"
    "  --yes-to-all        the extra button \"Yes to &All\" (types 3 and 4)\n"
    "  --no-to-all         the extra button \"N&o to All\" (type 3)\n"
    "  --screen WxH        the screen in pixels (default: $FIELDCORE_SCREEN, else 240x320); 240x320\n"
    "                      uses the portrait template, every other size the other one\n"
    "  --country N         the country setting\n"
    "  --dict FILE         translate the pop-up's texts with this dictionary (UTF-16, as\n"
    "                      'fieldcore xlate' reads it)\n"
    "  -o, --output FILE.png  draw the screen: the pop-up\n"
    "  --press PLACE       press the button of place 0 to 4\n"
    "  --key NAME          press a key: Enter, Escape, F1 to F9, F24, Up, Down, Left, Right\n"
    "  --timeout MS        close by itself after MS milliseconds (the tic timer at base 100 ms)\n"
    "\n"
    "Examples:\n"
    "  fieldcore ui popup --type 0x24 --text \"Overwrite point 1001?\"\n"
    "      place 0 hidden\n"
    "      place 1 hidden\n"
    "      place 2 hidden\n"
    "      place 3 shown 6 default &Yes\n"
    "      place 4 shown 7 - &No\n"
    "      icon 1034\n"
    "      beep 0x20\n"
    "  fieldcore ui popup --type 0x24 --text \"Overwrite point 1001?\" -o popup.png\n"
    "  fieldcore ui popup --type 3 --yes-to-all --no-to-all --text \"Replace?\" --press 4\n"
    "  fieldcore ui popup --type 4 --text \"Store?\" --timeout 2000\n"
    "\n"
    "Errors: a missing or bad --type, a missing --text, a PLACE outside 0 to 4 or without a\n"
    "button, an unknown key name, a bad --timeout, --country or --screen, more than one of\n"
    "--press, --key and --timeout, an unreadable dictionary, a missing font (Debian:\n"
    "fonts-liberation2) or a picture that cannot be written is reported on stderr as\n"
    "'fieldcore ui popup: ...'.\n"
    "\n"
    "Exit status: 0 done; 2 bad input, a missing font, or a picture that cannot be written.\n";

struct KeyName {
    const char* name;
    UINT key;
};
const KeyName kKeys[] = {
    {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Up", VK_UP}, {"Down", VK_DOWN},
    {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"F1", VK_F1}, {"F2", VK_F1 + 1}, {"F3", VK_F1 + 2},
    {"F4", VK_F1 + 3}, {"F5", VK_F1 + 4}, {"F6", VK_F1 + 5}, {"F7", VK_F1 + 6}, {"F8", VK_F1 + 7},
    {"F9", VK_F9}, {"F24", VK_F24},
};

bool parseTypeCode(const std::string& text, unsigned int& type)
{
    if (text.empty() || text.size() > 12)
        return false;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
        return false;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (value > 0xFFFFFFFFull)
        return false;
    type = static_cast<unsigned int>(value);
    return true;
}

bool findKey(const std::string& name, UINT& key)
{
    for (const KeyName& k : kKeys)
        if (name == k.name) {
            key = k.key;
            return true;
        }
    return false;
}

std::string windowText(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return WideToUtf8(text);
}

// The pop-up as it shows: its places, icon and beep.
void printPopup(const CMessagePopupDlg& popup)
{
    const TPopupButtons& buttons = popup.Buttons();
    for (int p = 0; p < kPopupPlaces; ++p) {
        const HWND button = popup.GetDlgItem(kPopupFirstPlace + p);
        std::cout << "place " << p;
        if (!IsWindowVisible(button)) {
            std::cout << " hidden\n";
            continue;
        }
        const bool isDefault = (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        std::cout << " shown " << buttons.places[p].result << (isDefault ? " default " : " - ")
                  << windowText(button) << '\n';
    }
    std::string icon = "none";
    for (int id : {kPopupIconStop, kPopupIconQuestion, kPopupIconExclamation, kPopupIconInformation})
        if (IsWindowVisible(popup.GetDlgItem(id)))
            icon = std::to_string(id);
    std::cout << "icon " << icon << '\n';
    UINT beep = 0;
    for (const SoundRecord& sound : recordedSounds())
        if (sound.beep)
            beep = sound.flags;
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", beep);
    std::cout << "beep " << text << '\n';
}

struct Run {
    unsigned int type = 0;
    std::wstring text, caption;
    bool yesToAll = false, noToAll = false;
    std::string output;
    int press = -1;
    UINT key = 0;
    int timeoutMs = 0;
    bool modal = false;
};

// Prints the pop-up, draws it and scripts the answer; false when the picture failed or the
// place to press shows no button.
bool showPopup(CMessagePopupDlg& popup, const Run& run, CWindowRenderer& renderer)
{
    printPopup(popup);
    std::cout.flush();
    if (!run.output.empty()) {
        CDC dc;
        popup.Titlebar().Paint(&dc, true);
        if (!uicli::writePicture(kCommand, renderer, popup.m_hWnd, dc.operations(), run.output))
            return false;
    }
    if (run.press >= 0) {
        if (!popup.Buttons().places[run.press].shown) {
            cli::error(kCommand, "place " + std::to_string(run.press) + " shows no button");
            return false;
        }
        ClickButton(popup.GetDlgItem(kPopupFirstPlace + run.press));
    } else if (run.key) {
        PostKeyEvent(run.key, false);
        PostKeyEvent(run.key, true);
    }
    return true;
}

int popupRun(const Run& run, CWindowRenderer& renderer)
{
    clearRecordedSounds();
    CMessagePopupDlg popup(nullptr, run.text.c_str(), run.caption.c_str(), run.type, run.timeoutMs,
                           run.yesToAll, run.noToAll);
    if (!run.modal) {
        if (!popup.CreateModeless()) {
            cli::error(kCommand, "the pop-up could not be made");
            return cli::EXIT_BAD_INPUT;
        }
        return showPopup(popup, run, renderer) ? cli::EXIT_OK : cli::EXIT_BAD_INPUT;
    }
    if (run.timeoutMs > 0)
        CreateTicTimerThread(100);
    bool shown = true;
    SetWindowMadeHook([&](HWND window) {
        if (window == popup.m_hWnd && !showPopup(popup, run, renderer)) {
            shown = false;
            popup.EndDialog(-1);
        }
    });
    const INT_PTR result = popup.DoModal();
    SetWindowMadeHook(nullptr);
    if (run.timeoutMs > 0)
        DestroyTicTimerThread();
    if (!shown)
        return cli::EXIT_BAD_INPUT;
    std::cout << "result " << result << '\n';
    return cli::EXIT_OK;
}

// What the command line asks for beyond the run.
struct PopupOptions {
    std::string screen, dict;
    bool countryGiven = false;
    int country = 0;
};

// The answer options: at most one of --press, --key and --timeout; EXIT_OK or a usage error.
int readAnswer(cli::Args& args, Run& run)
{
    std::string press, key, timeout;
    const bool pressGiven = args.option("--press", press);
    const bool keyGiven = args.option("--key", key);
    const bool timeoutGiven = args.option("--timeout", timeout);
    if (int(pressGiven) + int(keyGiven) + int(timeoutGiven) > 1)
        return cli::usageError(kCommand, "give one of --press, --key and --timeout");
    if (pressGiven && (!cli::parseInt(press, run.press) || run.press < 0 || run.press >= kPopupPlaces))
        return cli::usageError(kCommand, "--press takes a place from 0 to 4, not '" + press + "'");
    if (keyGiven && !findKey(key, run.key))
        return cli::usageError(kCommand, "--key: no key named '" + key + "' (Enter, Escape, F1 to F9, F24, Up, Down, Left, Right)");
    if (timeoutGiven && (!cli::parseInt(timeout, run.timeoutMs) || run.timeoutMs < 1))
        return cli::usageError(kCommand, "--timeout takes milliseconds from 1, not '" + timeout + "'");
    run.press = pressGiven ? run.press : -1;
    run.modal = pressGiven || keyGiven || timeoutGiven;
    return cli::EXIT_OK;
}

// Reads the words; EXIT_OK, or the status of a usage error (said on stderr), or -1 when the
// help was printed.
int readRequest(const std::vector<std::string>& words, Run& run, PopupOptions& o)
{
    cli::Args args(words);
    if (args.flag("--help") || args.flag("-h")) {
        std::cout << kHelp;
        return -1;
    }
    std::string type, text, caption, country, shortOutput, unknown;
    const bool typeGiven = args.option("--type", type);
    const bool textGiven = args.option("--text", text);
    args.option("--caption", caption);
    run.yesToAll = args.flag("--yes-to-all");
    run.noToAll = args.flag("--no-to-all");
    args.option("--screen", o.screen);
    o.countryGiven = args.option("--country", country);
    args.option("--dict", o.dict);
    const bool longGiven = args.option("--output", run.output);
    const bool shortGiven = args.option("-o", shortOutput);
    const int answer = readAnswer(args, run);
    if (!args.problem().empty())
        return cli::usageError(kCommand, args.problem());
    if (args.firstUnknownOption(unknown))
        return cli::usageError(kCommand, "unknown option '" + unknown + "'");
    if (!args.rest().empty())
        return cli::usageError(kCommand, "unexpected '" + args.rest()[0] + "'");
    if (!typeGiven || !parseTypeCode(type, run.type))
        return cli::usageError(kCommand, "--type takes a type code, 0x24 or 36, not '" + type + "'");
    if (!textGiven)
        return cli::usageError(kCommand, "give the message with --text TEXT");
    if (answer != cli::EXIT_OK)
        return answer;
    if (o.countryGiven && !cli::parseInt(country, o.country))
        return cli::usageError(kCommand, "--country takes a whole number, not '" + country + "'");
    if (longGiven && shortGiven)
        return cli::usageError(kCommand, "give -o or --output, not both");
    if (shortGiven)
        run.output = shortOutput;
    if ((longGiven || shortGiven) && run.output.empty())
        return cli::usageError(kCommand, "the output file name is empty");
    run.text = Utf8ToWide(text);
    run.caption = Utf8ToWide(caption);
    return cli::EXIT_OK;
}

} // namespace

namespace uicli {

int runPopup(const std::vector<std::string>& words)
{
    Run run;
    PopupOptions o;
    const int status = readRequest(words, run, o);
    if (status != cli::EXIT_OK)
        return status < 0 ? cli::EXIT_OK : status;
    if (!o.dict.empty()) {
        const std::string why = cli::whyUnreadable(o.dict);
        if (!why.empty()) {
            cli::error(kCommand, cli::cannotRead(o.dict, why));
            return cli::EXIT_BAD_INPUT;
        }
    }
    if (!useScreen(kCommand, o.screen))
        return cli::EXIT_BAD_INPUT;
    CWindowRenderer renderer;
    if (!startRenderer(kCommand, renderer))
        return cli::EXIT_BAD_INPUT;
    if (o.countryGiven)
        SetCountry(o.country);
    if (!o.dict.empty())
        InitializeTranslateFile(nullptr, cli::hostFileAsDevicePath(o.dict), nullptr);
    const int result = popupRun(run, renderer);
    if (!o.dict.empty())
        FinalizeTranslateFile();
    return result;
}

} // namespace uicli
