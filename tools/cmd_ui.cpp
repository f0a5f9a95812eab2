// fieldcore ui: the subcommand table and what the subcommands share.
#include "uiCommands.h"

#include "hostFiles.h"

#include "dialogs/titlebar.h"
#include "platform/screen.h"
#include "platform/textCodec.h"

#include <cstdlib>
#include <iostream>

namespace uicli {

bool takeRepeatedOption(std::vector<std::string>& words, const std::string& name,
                        std::vector<std::string>& values)
{
    const std::string prefix = name + "=";
    for (size_t i = 0; i < words.size();) {
        if (words[i].compare(0, prefix.size(), prefix) == 0) {
            values.push_back(words[i].substr(prefix.size()));
            words.erase(words.begin() + static_cast<long>(i));
        } else if (words[i] == name) {
            if (i + 1 >= words.size())
                return false;
            values.push_back(words[i + 1]);
            words.erase(words.begin() + static_cast<long>(i), words.begin() + static_cast<long>(i) + 2);
        } else {
            ++i;
        }
    }
    return true;
}

void readOutputOption(cli::Args& args, std::string& output, std::string& problem)
{
    std::string longOutput, shortOutput;
    const bool longGiven = args.option("--output", longOutput);
    const bool shortGiven = args.option("-o", shortOutput);
    const std::string& given = shortGiven ? shortOutput : longOutput;
    if (longGiven && shortGiven)
        problem = "give -o or --output, not both";
    else if (!longGiven && !shortGiven)
        return;
    else if (given.empty())
        problem = "the output file name is empty";
    // A folder named as the picture: refused before anything is drawn (the PNG writer's own
    // failure said only "error while writing to output stream", after the layout was printed).
    else if (cli::isHostFolder(given))
        problem = "cannot write '" + given + "': is a directory";
    else
        output = given;
}

bool useScreen(const std::string& command, const std::string& size)
{
    if (size.empty()) {
        int width, height;
        if (!getScreenSize(width, height)) {
            cli::error(command, "FIELDCORE_SCREEN is no screen size (WIDTHxHEIGHT)");
            return false;
        }
        ReloadScreenMeasures();
        return true;
    }
    int width, height;
    if (!parseScreenSize(size.c_str(), width, height)) {
        cli::usageError(command, "--screen takes WIDTHxHEIGHT, each 1 to " +
                                     std::to_string(kMaxScreenSide) + " (240x320), not '" + size + "'");
        return false;
    }
    ::setenv("FIELDCORE_SCREEN", size.c_str(), 1);
    ReloadScreenMeasures();
    return true;
}

bool startRenderer(const std::string& command, CWindowRenderer& renderer)
{
    std::string problem;
    if (renderer.Init(problem))
        return true;
    cli::error(command, problem);
    return false;
}

bool writePicture(const std::string& command, CWindowRenderer& renderer, HWND window,
                  const std::vector<TDrawOp>& painting, const std::string& path)
{
    TImage image;
    std::string problem;
    if (renderer.Render(window, painting, image, problem) &&
        CWindowRenderer::WritePng(image, path, problem))
        return true;
    cli::error(command, problem);
    return false;
}

void printBarObjects(const CTitlebar& bar, HWND window)
{
    static const char* const kinds[] = {"title", "text", "bitmap", "button"};
    for (int slot = 0; slot < CTitlebar::kSlots; ++slot) {
        const wchar_t* pos = CTitlebar::GetPosition(slot);
        const TTitlebarObject* object = bar.FindObject(pos);
        if (!object)
            continue;
        std::wstring text = static_cast<const wchar_t*>(object->text);
        if (object->kind == TTitlebarObjectKind::Title) {
            wchar_t caption[CTitlebar::kTitleLength + 1];
            GetWindowTextW(window, caption, CTitlebar::kTitleLength + 1);
            text = caption;
        } else if (object->bitmap) {
            text = bitmapResourceName(object->bitmap);
        }
        const CRect& r = object->rect;
        std::cout << WideToUtf8(std::wstring(pos)) << ' ' << kinds[static_cast<int>(object->kind)]
                  << ' ' << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << ' '
                  << WideToUtf8(text) << '\n';
    }
}

int showBar(const std::string& command, CWindowRenderer& renderer, CTitlebar& bar, HWND window,
            const std::string& output)
{
    printBarObjects(bar, window);
    if (output.empty())
        return cli::EXIT_OK;
    CDC dc;
    bar.Paint(&dc, true);
    return writePicture(command, renderer, window, dc.operations(), output) ? cli::EXIT_OK : cli::EXIT_BAD_INPUT;
}

} // namespace uicli

namespace {

const std::vector<cli::Subcommand> kSubcommands = {
    {"bar", "lay out a title bar, print its objects, draw it to a PNG", &uicli::runBar},
    {"dialog", "make an empty dialog frame, print its bar, draw it to a PNG", &uicli::runDialog},
    {"popup", "show the message pop-up for a type code, print and draw it, run it", &uicli::runPopup},
};

void printOverview()
{
    std::cout << "usage: fieldcore ui SUBCOMMAND [OPTIONS]\n"
                 "\n"
                 "The dialog frame of the controller's full-screen windows, laid out as the library\n"
                 "lays it out and drawn to a PNG picture of the screen (text in Liberation Sans,\n"
                 "measured as it is drawn).\n"
                 "\n"
                 "Subcommands (each has --help):\n";
    cli::printSubcommands(kSubcommands);
    std::cout << "\nExit status: 0 done; 2 bad input, or a picture that cannot be written.\n";
}

int runUi(const std::vector<std::string>& args)
{
    return cli::runSubcommand("ui", kSubcommands, &printOverview, args);
}

const bool registered = cli::registerCommand("ui", "lay out and draw the dialog frame (title bar)", &runUi);

} // namespace
