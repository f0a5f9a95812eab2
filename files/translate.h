// Translation of the text the user sees. Until a dictionary is loaded, every text comes back
// unchanged: this is the path with no translator.
#pragma once

#include "platform/CString.h"

// The translation of `text`: the text itself (a null text gives the empty text).
CString Xlate(const wchar_t* text);
