// Drawing objects of the platform, modelled in the process: fonts (face, height, weight),
// bitmaps and icons by resource name (their size; their look belongs to whoever draws them,
// see tools/render/), colours, and the one function that measures text.
//
// Handles name objects in one table; like window handles they are never reused. Any thread
// may use any object; every call is atomic on its own.
//
// Text measuring. Every width of text in the library comes from the installed measurer, given
// the font and the characters. The default measurer counts kStubCharWidth (8) pixels per
// character in every font, which is what the file utilities' path shortening
// (FileFuncsEx::CompactPath) and their tests rely on. A renderer installs its own measurer
// before it lays anything out, so that what is laid out is what it draws.
//
// Mnemonics. In the texts of buttons and static texts '&' marks the next character as the
// mnemonic: it is drawn underlined and the '&' is not drawn ("&&" draws one '&').
// StripMnemonics gives the text as drawn; it is what callers measure when they size a
// control for its text. The measurer itself measures the characters it is given.
#pragma once

#include "platform/process.h"
#include "platform/windowGeometry.h"
#include "platform/windowStub.h"
#include "platform/winTypes.h"

#include <functional>
#include <string>
#include <vector>

struct HBITMAP__;
typedef HBITMAP__* HBITMAP;
struct HICON__;
typedef HICON__* HICON;
typedef void* HGDIOBJ;   // any of HFONT, HBITMAP

// Colours: 0x00BBGGRR, as on the platform.
typedef DWORD COLORREF;
constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// ---- Fonts ----

constexpr int LF_FACESIZE = 32;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

// A font as asked for. lfHeight: a positive value is the character cell's height in pixels
// (ascent plus descent), a negative one the character height without the internal leading
// (the em size), 0 the default height. lfWeight: 0 (default) or 1 to 1000, 400 normal, 700
// bold. The fields the model does not use are kept as given.
struct LOGFONTW {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    wchar_t lfFaceName[LF_FACESIZE] = {};
};

// Makes a font object (the face name is cut to LF_FACESIZE - 1 characters); null for a null
// description.
HFONT CreateFontIndirectW(const LOGFONTW* font);
// The stock font the model gives windows and device contexts without a font of their own:
// "Arial", height 14, weight 400. Stock objects are never deleted (DeleteObject ignores them).
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;
HGDIOBJ GetStockObject(int which);
// Deletes a font or bitmap; FALSE for a handle that names neither, or a stock object.
BOOL DeleteObject(HGDIOBJ object);

// The description of a font, or the size of a bitmap. GetObjectW copies into `out` when
// `size` is sizeof(LOGFONTW) for a font or sizeof(BITMAP) for a bitmap and returns the bytes
// copied; 0 otherwise.
struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 16;
    void* bmBits = nullptr;
};
int GetObjectW(HGDIOBJ object, int size, void* out);
// The description of a font; the stock font's for a null handle. False (output untouched) for
// a handle that is no font.
bool getFontDescription(HFONT font, LOGFONTW& description);

// ---- Text measuring ----

// Measures `length` characters of `text` (length >= 1, text not null) in the described font;
// returns the width in pixels.
using TextMeasurer = std::function<int(const LOGFONTW& font, const wchar_t* text, int length)>;
// Installs the measurer used from now on; an empty function restores the default
// (kStubCharWidth per character). The renderer's measurer is installed by the renderer.
void SetTextMeasurer(TextMeasurer measurer);
// The width in pixels of the first `length` characters of `text` in the font (null: the stock
// font); 0 for a null text, a length below 1 or a handle that is no font.
int GetFontTextWidth(HFONT font, const wchar_t* text, int length);
// The same for a font description.
int measureText(const LOGFONTW& font, const wchar_t* text, int length);

// The text as drawn: each '&' taken out, "&&" as one '&'. `mnemonic`, when given, receives the
// index in the result of the character drawn underlined (-1: none).
std::wstring StripMnemonics(const wchar_t* text, int* mnemonic = nullptr);

// ---- Bitmaps and icons by resource name ----
// The names and sizes of the library's bitmaps, as the layouts need them. Names are compared
// without regard to case. The table holds the title bar's bitmaps:
//   "IDB_TITLEBAR2"       28 x 23  the menu button of a dialog's title bar
//   "IDB_ALPHAKEY"        18 x 23  the soft-keyboard indicator, keyboard on
//   "IDB_TITLEBAR_EMPTY"  18 x 23  the soft-keyboard indicator, keyboard off
// and the application may register more. Icons are 32 x 32: the four message icons IDI_HAND
// (stop), IDI_QUESTION, IDI_EXCLAMATION and IDI_ASTERISK (information), also by the names
// "IDI_HAND", "IDI_QUESTION", "IDI_EXCLAMATION", "IDI_ASTERISK".

// A resource named by number (MAKEINTRESOURCE): the number in the pointer's low 16 bits.
inline LPCWSTR MAKEINTRESOURCEW(WORD id)
{
    return reinterpret_cast<LPCWSTR>(static_cast<UINT_PTR>(id));
}
inline bool IS_INTRESOURCE(LPCWSTR name)
{
    return (reinterpret_cast<UINT_PTR>(name) >> 16) == 0;
}
inline LPCWSTR const IDI_HAND = MAKEINTRESOURCEW(32513);
inline LPCWSTR const IDI_QUESTION = MAKEINTRESOURCEW(32514);
inline LPCWSTR const IDI_EXCLAMATION = MAKEINTRESOURCEW(32515);
inline LPCWSTR const IDI_ASTERISK = MAKEINTRESOURCEW(32516);

// Adds a bitmap name with its size, or changes the size of one (sides 1 to 4096); false for
// a null or empty name or a bad size.
bool RegisterBitmapResource(LPCWSTR name, int width, int height);
// The size of a named bitmap; false (outputs untouched) for a name the table does not hold.
bool bitmapResourceSize(LPCWSTR name, int& width, int& height);
// Every bitmap name of the table, as registered, sorted.
std::vector<std::wstring> bitmapResourceNames();

// Makes a bitmap object of the named resource (each call a new object; DeleteObject frees
// it); null (ERROR_RESOURCE_NAME_NOT_FOUND, platform/lastError.h) for a name the table does not hold or a null
// name. `instance` is ignored.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
// The shared icon of the name (always the same handle; DestroyIcon leaves it); null for a
// name that is no icon.
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
BOOL DestroyIcon(HICON icon);
// The resource name of a bitmap or icon object ("" for a handle that is none) and its size.
std::wstring bitmapResourceName(HBITMAP bitmap);
std::wstring iconResourceName(HICON icon);
bool iconSize(HICON icon, int& width, int& height);

// ---- Objects ----

// A font object over a font handle; the destructor deletes the font it holds.
class CFont {
public:
    CFont() = default;
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // FALSE when the object already holds a font.
    BOOL CreateFontIndirect(const LOGFONTW* font);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight,
                    BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                    BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily,
                    LPCWSTR faceName);
    int GetLogFont(LOGFONTW* font) const;
    BOOL DeleteObject();
    HFONT GetSafeHandle() const { return m_hObject; }
    operator HFONT() const { return m_hObject; }

    HFONT m_hObject = nullptr;
};

// A bitmap object over a bitmap handle; the destructor deletes the bitmap it holds.
class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // Loads the named bitmap; FALSE when the object holds one or the name is unknown.
    BOOL LoadBitmap(LPCWSTR name);
    int GetBitmap(BITMAP* bitmap) const;
    BOOL DeleteObject();
    HBITMAP Detach();
    HBITMAP GetSafeHandle() const { return m_hObject; }
    operator HBITMAP() const { return m_hObject; }

    HBITMAP m_hObject = nullptr;
};
