// A device context that records what is drawn into it, in the order it is drawn: texts in
// rectangles with their font, format and colour, bitmaps and icons at points with their
// size, filled rectangles and frames. Nothing becomes pixels here: the code that paints (the
// title bar) draws into a CDC, tests read the record, and a renderer (tools/render/) replays
// it. Coordinates are those of the window painted (client coordinates, pixels).
//
// A memory context (CreateCompatibleDC) records nothing; it only holds the bitmap selected
// into it, which BitBlt from it records as a bitmap drawn.
#pragma once

#include "platform/CString.h"
#include "platform/gdi.h"
#include "platform/windowGeometry.h"
#include "platform/winTypes.h"

#include <string>
#include <vector>

// DrawText formats the model keeps (and the renderer follows).
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

// Background modes (kept; texts are drawn without a background whatever the mode).
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// BitBlt raster operation (only copying is modelled).
constexpr DWORD SRCCOPY = 0x00CC0020;

enum class TDrawKind {
    Text,     // `text` in `rect` with `font`, `format` (DT_*) and `color`
    Bitmap,   // the bitmap resource `image` at rect's top-left, rect's size (its part from `source`)
    Icon,     // the icon `image` at rect's top-left, rect's size
    Fill,     // `rect` filled with `color`
    Frame     // a one-pixel frame just inside `rect`: top and left `color`, bottom and right `color2`
};

struct TDrawOp {
    TDrawKind kind = TDrawKind::Fill;
    CRect rect;
    std::wstring text;
    LOGFONTW font;
    UINT format = 0;
    COLORREF color = 0;
    COLORREF color2 = 0;
    std::wstring image;
    CPoint source;
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Makes this context a memory context (`like` is ignored). FALSE when it has recorded
    // anything already.
    BOOL CreateCompatibleDC(CDC* like);

    // Selects a font (null: the stock font) or a bitmap; each gives back the one it replaces
    // (null for the stock font or no bitmap), so that it can be selected again.
    HFONT SelectObject(CFont* font);
    HFONT SelectObject(HFONT font);
    HBITMAP SelectObject(CBitmap* bitmap);
    HBITMAP SelectObject(HBITMAP bitmap);
    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_textColor; }
    int SetBkMode(int mode);
    COLORREF SetBkColor(COLORREF color);

    // Records the first `count` characters (count < 0: all) of `text` in the rectangle with
    // the format. With DT_CALCRECT nothing is recorded: the rectangle's right edge becomes
    // left + the text's width (mnemonics taken out unless DT_NOPREFIX) and its bottom top +
    // the line height. Returns the line height (0 for a null text).
    int DrawText(const wchar_t* text, int count, CRect* rect, UINT format);
    int DrawText(const CString& text, CRect* rect, UINT format);
    // Records the text with its top-left corner at (x, y), single line, no prefixes.
    BOOL TextOut(int x, int y, const wchar_t* text, int count);
    // The width (measurer, platform/gdi.h) and line height of the text in the selected font.
    CSize GetTextExtent(const wchar_t* text, int count) const;

    void FillSolidRect(const CRect& rect, COLORREF color);
    void Draw3dRect(const CRect& rect, COLORREF topLeft, COLORREF bottomRight);
    // Records the bitmap selected into `source` (a memory context), its part from (sx, sy),
    // at (x, y) with the size width x height. FALSE when `source` has no bitmap or the raster
    // operation is not SRCCOPY.
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop);
    // Records the icon at (x, y) with its own size; FALSE for a handle that is no icon.
    BOOL DrawIcon(int x, int y, HICON icon);

    // What was recorded, oldest first.
    const std::vector<TDrawOp>& operations() const { return m_operations; }
    void clearOperations() { m_operations.clear(); }

private:
    LOGFONTW selectedFont() const;
    // The line height of a font: its cell height (|lfHeight|, or the stock font's height).
    static int lineHeight(const LOGFONTW& font);

    bool m_memory = false;
    HFONT m_font = nullptr;
    HBITMAP m_bitmap = nullptr;
    COLORREF m_textColor = RGB(0, 0, 0);
    COLORREF m_bkColor = RGB(255, 255, 255);
    int m_bkMode = OPAQUE;
    std::vector<TDrawOp> m_operations;
};
