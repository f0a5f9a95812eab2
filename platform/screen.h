// The screen of the controller: its size in pixels, chosen by the environment variable
// FIELDCORE_SCREEN as "WIDTHxHEIGHT" (for example "240x320", the size of the common portrait
// controller and the default). Tests set the variable; the fieldcore tool's --screen sets it
// for its run. It is read at every call, so a change takes effect at once; what the library
// derives from the size and keeps (the title bar's measures) it re-reads as it documents.
#pragma once

#include "platform/winTypes.h"

// The default screen: 240 x 320 pixels.
constexpr int kDefaultScreenWidth = 240;
constexpr int kDefaultScreenHeight = 320;
// The largest width or height a screen may have.
constexpr int kMaxScreenSide = 8192;

// Reads "WIDTHxHEIGHT" (decimal digits only, 'x' or 'X', each side 1 to kMaxScreenSide, no
// blanks). False (outputs untouched) for anything else.
bool parseScreenSize(const char* text, int& width, int& height);

// The screen's size: FIELDCORE_SCREEN when it is set and readable, else the default. Returns
// false when the variable is set but unreadable (the default is then given, so that the
// caller can tell the size is not the one asked for).
bool getScreenSize(int& width, int& height);

// GetSystemMetrics indexes the model answers; every other index gives 0.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
int GetSystemMetrics(int index);
