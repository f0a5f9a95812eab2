// The least of a window that the file utilities need (CompactPath): a handle that carries a
// client-area size, and a font in which every character is the same width.
//
// This is not a windowing system. There are no messages, no painting, no parents and no
// real fonts: a window here is a client rectangle of a given size, made and destroyed by the
// caller, and text is measured as kStubCharWidth pixels per character whatever the text.
// The window services of the dialog and timer parts build on their own model.
#pragma once

#include "platform/winTypes.h"
#include "platform/windowGeometry.h"

struct HWND__;
typedef HWND__* HWND;

// Width in pixels of every character in a stub window's font.
constexpr int kStubCharWidth = 8;

// A window whose client area is width x height pixels (negative sizes count as 0).
HWND createWindowStub(int clientWidth, int clientHeight);
// Forgets the window; its handle is no longer a window. Null or unknown handles are ignored.
void destroyWindowStub(HWND window);

// Whether the handle names a live stub window.
BOOL IsWindow(HWND window);
// The client rectangle (0, 0, width, height); FALSE for a handle that is no window.
BOOL GetClientRect(HWND window, CRect* rect);
// The width in pixels of the first `length` characters of `text` in the window's font;
// 0 for a handle that is no window.
int GetTextWidth(HWND window, const wchar_t* text, int length);
