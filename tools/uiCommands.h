// fieldcore ui: the dialog frame laid out on the platform layer's model windows and drawn to
// pictures by the window renderer (tools/render/). Each subcommand lives in tools/ui_<name>.cpp;
// the table in cmd_ui.cpp names them (add a row there for a new one). What they share is here.
#pragma once

#include "cli.h"

#include "dialogs/titlebar.h"
#include "platform/paintDC.h"
#include "platform/windowStub.h"
#include "tools/render/windowRenderer.h"

#include <string>
#include <vector>

namespace uicli {

// The subcommands.
int runBar(const std::vector<std::string>& args);
int runDialog(const std::vector<std::string>& args);
int runPopup(const std::vector<std::string>& args);

// Takes every "NAME VALUE" and "NAME=VALUE" out of `words` into `values`, in order; false
// when NAME is last without its value.
bool takeRepeatedOption(std::vector<std::string>& words, const std::string& name,
                        std::vector<std::string>& values);

// Reads "--output FILE" and "-o FILE" into `output`; `problem` names a usage problem (both
// given, or an empty name) and is left as it was otherwise.
void readOutputOption(cli::Args& args, std::string& output, std::string& problem);

// Makes --screen WxH the screen of this run (FIELDCORE_SCREEN, the title bar's measures
// re-read); an empty text keeps the environment's. False, with a usage error on stderr, for
// a text that is no size.
bool useScreen(const std::string& command, const std::string& size);

// Starts the renderer, which from then on measures every text the layouts measure; false,
// with the reason on stderr, when its font is missing.
bool startRenderer(const std::string& command, CWindowRenderer& renderer);

// Prints each object of the bar, slot A to Z, one line each: POSITION KIND LEFT TOP RIGHT
// BOTTOM TEXT (the title's caption, the text, the button's text, or the bitmap's name).
void printBarObjects(const CTitlebar& bar, HWND window);

// Draws the window with its painting into the PNG file; false, with the reason on stderr,
// when it cannot be drawn or written.
bool writePicture(const std::string& command, CWindowRenderer& renderer, HWND window,
                  const std::vector<TDrawOp>& painting, const std::string& path);

// Prints the bar's objects (printBarObjects) and, when `output` names a file, draws the window
// with the bar painted on it there (writePicture); the exit status.
int showBar(const std::string& command, CWindowRenderer& renderer, CTitlebar& bar, HWND window,
            const std::string& output);

} // namespace uicli
