// The title bar that the application's full-screen windows draw instead of the platform's
// caption: a strip along the top of the window with up to 18 objects (the window's title,
// texts, bitmaps and push buttons, a button optionally opening a pop-up menu) in named
// positions, laid out from both ends of the strip.
//
// Positions are named by their first character only: "A" to "I" are slots 0 to 8, the left
// group, laid out from the left end; "R" to "Z" are slots 9 to 17, the right group, laid out
// from the right end (slot 17, "Z", outermost). Any other first character, or a null name, is
// no position, and an operation given one does nothing (and answers false).
//
// Coordinates are pixels in the owning window's client area (platform/windowGeometry.h;
// rectangles half-open). Nothing is laid out, created or opened before InitDialog has run;
// what was added or changed before is laid out then.
#pragma once

#include "platform/CString.h"
#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/paintDC.h"
#include "platform/windowGeometry.h"
#include "platform/windowStub.h"

#include <memory>

// Fixed measures of the bar, in pixels.
constexpr int BUTTON_WIDTH = 50;
constexpr int BUTTON_HEIGHT = 23;
constexpr int MENU_HEIGHT = 25;
constexpr int SPACE_X = 2;
constexpr int SPACE_Y = 1;

// A measure of the screen (platform/screen.h), read at its first use and kept: it converts
// to int wherever an int is wanted (SCREEN_WIDTH - 5). ReloadScreenMeasures() makes the next
// use read the screen again (tests that change the screen, the tool's --screen).
class TScreenMeasure {
public:
    explicit constexpr TScreenMeasure(int index) : m_index(index) {}
    operator int() const;
private:
    int m_index;   // SM_CXSCREEN or SM_CYSCREEN
};
extern const TScreenMeasure SCREEN_WIDTH;
extern const TScreenMeasure SCREEN_HEIGHT;
extern const TScreenMeasure MENU_WIDTH;    // the screen's width
void ReloadScreenMeasures();

// The height of the bar: 25.
int GetTitlebarHeight();

// The kinds of window a bar is initialised for.
enum WndTypes {
    WT_DIALOG = 0,            // laid out at once
    WT_PROPERTY_PAGE = 1,     // attached only: the page's sheet has the bar
    WT_PROPERTY_SHEET = 2,    // the tab control is fitted below the bar, then laid out
    WT_DIALOG_BELOW_BAR = 3   // every child moved down below the bar, then laid out
};

// The device file whose presence marks the wide-bar controller.
extern const wchar_t* const kWideBarLibrary;   // "\Windows\TorlanLib.dll"
// The text that keeps a child window in place when a WT_DIALOG_BELOW_BAR window is initialised.
extern const wchar_t* const kSpecialWindowText;   // "SPECIAL_WINDOW"
// The window class of the tab control that a property sheet's bar fits below itself.
extern const wchar_t* const kTabControlClass;   // "SysTabControl32"

// One object of the bar, owned by it. Destroying it destroys its child window, its menu and
// its bitmap.
enum class TTitlebarObjectKind { Title, Text, Bitmap, Button };
struct TTitlebarObject {
    TTitlebarObjectKind kind = TTitlebarObjectKind::Text;
    bool visible = true;
    CRect rect;                  // set by the layout
    int width = BUTTON_WIDTH;    // the size the layout gives it
    int height = BUTTON_HEIGHT;
    CString text;                // a text's or button's text (a title paints the caption)
    HBITMAP bitmap = nullptr;    // a bitmap's, or a bitmap button's
    UINT commandId = 0;          // a button's
    HMENU menu = nullptr;        // a button's pop-up menu
    HWND window = nullptr;       // a button's child window, made by the layout

    TTitlebarObject() = default;
    ~TTitlebarObject();
    TTitlebarObject(const TTitlebarObject&) = delete;
    TTitlebarObject& operator=(const TTitlebarObject&) = delete;
    // Takes the bitmap (owned from now on; null: none) and its size; the old one is deleted.
    void setBitmap(HBITMAP newBitmap);
};

class CTitlebar {
public:
    static constexpr int kSlots = 18;
    static constexpr int kTitleLength = 100;   // the most characters of a caption painted

    CTitlebar();
    ~CTitlebar();
    CTitlebar(const CTitlebar&) = delete;
    CTitlebar& operator=(const CTitlebar&) = delete;

    // Chooses the bar rectangle, attaches the window, makes it full screen (SetFullScreen) and
    // keeps the font (not owned; null: the window's font), then by type: WT_DIALOG lays out;
    // WT_PROPERTY_SHEET fits the tab control (ResizeTabs) and lays out; WT_DIALOG_BELOW_BAR
    // moves every child window down by the bar's bottom + 1 (except the bar's own buttons and
    // windows whose text is kSpecialWindowText) and lays out; any other type stops after
    // attaching. False for a null window or one without a handle.
    //
    // The bar rectangle: (0, 0, MENU_WIDTH - 5, 25); with kWideBarLibrary under the device
    // root (0, 0, MENU_WIDTH, 27); for a property sheet on a 240 x 320 screen (0, 26,
    // MENU_WIDTH - 5, 51) with the window shifted 26 pixels up. When a property sheet meets
    // the wide-bar library, the property-sheet rectangle wins: the shift is what hides the
    // sheet's own caption on that screen, and a bar that kept the wide controller's top would
    // sit under it.
    bool InitDialog(CWnd* wnd, CFont* font, WndTypes type);
    // When on: popup style, and the window placed over the whole screen, (0, 0) with the
    // screen's size, or in the shifted property-sheet case 26 pixels higher and 26 taller,
    // so that its bottom stays the screen's bottom. Off does nothing. False without a window.
    bool SetFullScreen(CWnd* wnd, bool on);

    // Adding: each replaces (and destroys) what the slot held; false for no position (or, for
    // a null button position, no free slot) or a bitmap name the platform does not know.
    bool AddTitle(const wchar_t* pos);
    bool AddText(const wchar_t* pos, const wchar_t* text);
    bool AddBitmap(const wchar_t* pos, const wchar_t* bitmapName);
    // A null `pos` takes the first free slot from 17 down to 0. A null `bitmapName` makes a
    // text button. The second form gives the button a pop-up menu: `menu` (owned by the bar
    // from then on), or a new empty one when it is null.
    bool AddButton(const wchar_t* pos, const wchar_t* text, UINT commandId,
                   const wchar_t* bitmapName);
    bool AddButton(const wchar_t* pos, const wchar_t* text, UINT commandId,
                   const wchar_t* bitmapName, HMENU menu);

    // Changing one content part of the object at `pos` and repainting the bar; false when the
    // slot holds no object of that kind (or the bitmap name is unknown).
    bool ChangeTitle(const wchar_t* pos);
    bool ChangeText(const wchar_t* pos, const wchar_t* text);
    bool ChangeBitmap(const wchar_t* pos, const wchar_t* bitmapName);
    bool ChangeButtonText(const wchar_t* pos, const wchar_t* text);
    // A null name takes the bitmap away (the button shows its text again).
    bool ChangeButtonBitmap(const wchar_t* pos, const wchar_t* bitmapName);
    // The button's menu becomes `menu` (owned by the bar; null: none); the old one is destroyed.
    bool ChangeButtonMenu(const wchar_t* pos, HMENU menu);

    // The menu of the button at `pos` (false when the slot holds no button with a menu).
    // `index` is a position in the menu; -1 (or any position beyond the end) appends.
    bool AddMenuItem(const wchar_t* pos, const wchar_t* text, UINT commandId, int index);
    bool AddSeparator(const wchar_t* pos, int index);
    bool RemoveMenuItem(const wchar_t* pos, int index);
    bool RemoveAllMenuItems(const wchar_t* pos);
    // `flags`: MF_CHECKED or MF_UNCHECKED (MF_ENABLED, MF_GRAYED or MF_DISABLED), with
    // MF_BYCOMMAND or MF_BYPOSITION for how `commandId` names the item.
    bool CheckTbarMenuItem(const wchar_t* pos, UINT commandId, UINT flags);
    bool EnableTbarMenuItem(const wchar_t* pos, UINT commandId, UINT flags);
    // Opens the button's menu at the button's left and bottom edges (screen coordinates):
    // brings the window to the foreground, tracks the menu (the choice is posted to the window
    // as WM_COMMAND), then posts WM_NULL to the window. False before InitDialog or for a slot
    // without a button with a menu.
    bool DisplayMenu(const wchar_t* pos);

    // Objects. ShowObject sets the visible flag (a laid-out button's window follows at once).
    bool ShowObject(const wchar_t* pos, bool show);
    bool RemoveObject(const wchar_t* pos);
    // Moves the object at `from` to `to` (null: the first free slot from 17 down); what `to`
    // held is destroyed first. False when `from` is empty, or no slot is free.
    bool MoveObject(const wchar_t* from, const wchar_t* to);
    // The object's rectangle: for no position `rect` is emptied (false); for an empty slot it
    // is left as it was (false).
    bool GetItemRect(const wchar_t* pos, CRect& rect) const;

    // Lays out (after InitDialog, while a window is attached): see the source for the rules.
    void FinalizeChanges();
    // Draws the visible titles, texts and bitmaps into `dc` (bitmap buttons' bitmaps only
    // when `drawButtonBitmaps`); nothing without a window.
    void Paint(CDC* dc, bool drawButtonBitmaps);
    // Sets the active flag (only while a window is attached).
    void Activate(bool active);
    bool IsActive() const { return m_active; }
    // True when the point (client coordinates) lies above the bar's bottom and left of its
    // right edge.
    bool OnNcHitTest(CPoint point) const;
    // Fits the window's tab control (its first child of class kTabControlClass) from the
    // bar's bottom + 1 down to 27 pixels above the window's bottom, keeping its left and
    // width. False when there is no window or no tab control.
    bool ResizeTabs();

    // The slot of a position name (-1: no position); the name of a slot (null outside 0-17).
    static int GetPosition(const wchar_t* pos);
    static const wchar_t* GetPosition(int slot);
    // The first free slot from 0 up, or from 17 down; -1 when every slot is taken.
    int FindNewLeftPos() const;
    int FindNewRightPos() const;
    // The width of the text as drawn (mnemonics taken out) in the bar's font.
    int GetTextWidth(const wchar_t* text) const;
    // A copy of a text; null gives the empty text.
    static CString StringDup(const wchar_t* text);
    // The building blocks of the Add operations: a new object, not yet in a slot.
    static std::unique_ptr<TTitlebarObject> CreateText(const wchar_t* text);
    static std::unique_ptr<TTitlebarObject> CreateBitmap(const wchar_t* bitmapName);
    static HMENU CreateMenu();

    // State, for the dialog base and for tests.
    CWnd* GetWindow() const { return m_wnd; }
    const CRect& GetBarRect() const { return m_barRect; }
    bool IsInitialized() const { return m_initialized; }
    bool IsShifted() const { return m_shifted; }
    // The object at `pos` (null: no position, or an empty slot).
    const TTitlebarObject* FindObject(const wchar_t* pos) const { return objectAt(pos); }
    // The child window of the button at `pos` (null: none yet, or no button there).
    HWND GetButtonWindow(const wchar_t* pos) const;
    HMENU GetButtonMenu(const wchar_t* pos) const;

private:
    TTitlebarObject* objectAt(const wchar_t* pos) const;
    bool place(int slot, std::unique_ptr<TTitlebarObject> object);
    bool addButton(const wchar_t* pos, const wchar_t* text, UINT commandId,
                   const wchar_t* bitmapName, bool withMenu, HMENU menu);
    void destroyObject(int slot);
    void layoutGroup(int first, int last, int step, int& x, int& titleSlot);
    void updateButtonWindow(TTitlebarObject& button);
    void repaint();
    HFONT fontHandle() const;

    std::unique_ptr<TTitlebarObject> m_objects[kSlots];
    CWnd* m_wnd = nullptr;
    CFont* m_font = nullptr;
    bool m_initialized = false;
    bool m_shifted = false;
    bool m_active = false;
    CRect m_barRect;
};
