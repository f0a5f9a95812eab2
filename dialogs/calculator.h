// The calculator that a dialog's calculator key opens. The calculator itself (a standard and a
// scientific calculator that copies its result back into the calling field) is not part of
// this library's frame: what opens here is a placeholder, a window of its own class
// kCalculatorClass with the text "Calculator", owned by the dialog (its child window, so that it
// goes when the dialog goes), covering the screen. Tests find it with FindCalculator; the
// window-made hook (platform/dialog.h) is told when one is made.
#pragma once

#include "platform/windowStub.h"

extern const wchar_t* const kCalculatorClass;   // "FieldcoreCalculator"

// Opens the placeholder for the owner, or gives the one it already has; null when the owner
// is no window.
HWND OpenCalculator(HWND owner);
// The owner's placeholder; null when it has none.
HWND FindCalculator(HWND owner);
