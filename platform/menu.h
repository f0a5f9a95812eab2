// Menus of the platform, modelled in the process: a handle names a menu object that holds its
// items by position. An item is a string item (an identifier, a text and state flags), a
// separator, or a popup item that opens a submenu. Nothing is drawn and nothing is chosen: the
// model keeps what the ported code builds, reads and changes.
//
// Handles are never reused within a process, so a handle kept after its menu was destroyed
// never reaches a newer menu (IsMenu stays FALSE for it). Any thread may use any menu; every
// call is atomic on its own.
//
// Items are found by position (MF_BYPOSITION) or by identifier (MF_BYCOMMAND, the default):
// by identifier, the first string item with that identifier in the menu or, depth first, in
// its submenus.
#pragma once

#include "platform/CString.h"
#include "platform/windowStub.h"
#include "platform/winTypes.h"

// Item flags (kept with the item) and lookup flags (not kept).
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;

// Makes an empty menu (a menu bar or a popup menu: the model does not tell them apart).
HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and, recursively, the submenus of its popup items. FALSE for a handle
// that is no menu.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// Inserts an item before the item that `position` names (by position: position == count, or
// any position beyond, appends; by identifier: an identifier that no item has fails).
// `flags`: MF_STRING, MF_SEPARATOR or MF_POPUP (then `idNewItem` is the submenu's handle),
// with MF_CHECKED, MF_GRAYED, MF_DISABLED. A null text is the empty text. FALSE when the menu
// or the submenu is no menu, or the submenu is the menu itself or holds it.
BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR text);
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCWSTR text);
// Replaces the item that `position` names by the item the arguments describe (as InsertMenuW).
// A popup item's submenu is not destroyed when the new item no longer names it.
BOOL ModifyMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR text);
// Takes the item out; RemoveMenu leaves its submenu alone, DeleteMenu destroys it.
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);

// The number of items; -1 for a handle that is no menu.
int GetMenuItemCount(HMENU menu);
// The identifier of the item at `position`: 0xFFFFFFFF (-1) for a popup item, a position
// without an item or a handle that is no menu; a separator's identifier is 0.
UINT GetMenuItemID(HMENU menu, int position);
// The submenu of the popup item at `position`; null for any other item.
HMENU GetSubMenu(HMENU menu, int position);
// Copies at most maxCount - 1 characters of the item's text and a zero into `buffer`; the
// number copied (0 for a separator, no item, a null buffer or maxCount below 1). With a null
// buffer the text's length.
int GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int maxCount, UINT flags);
// The item's flags (MF_CHECKED, MF_GRAYED, MF_DISABLED, MF_SEPARATOR, MF_POPUP); for a popup
// item the submenu's item count in bits 8 to 15 as well. 0xFFFFFFFF when there is no such item.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// Sets or clears the check mark (`check`: MF_CHECKED or MF_UNCHECKED with the lookup flag);
// the previous state (MF_CHECKED or MF_UNCHECKED), or 0xFFFFFFFF when there is no such item.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
// Sets MF_ENABLED, MF_GRAYED or MF_DISABLED (`enable`, with the lookup flag); the previous
// of those bits, or 0xFFFFFFFF when there is no such item.
UINT EnableMenuItem(HMENU menu, UINT item, UINT enable);

// A window's menu: GetMenu and SetMenu (platform/windowStub.h).

// An object over a menu handle. The destructor destroys the menu it holds (Detach first to
// keep it).
class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // Make a menu; FALSE when the object already holds one.
    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL DestroyMenu();
    // Takes a handle over (FALSE when the object holds one or the handle is no menu); Detach
    // gives it back without destroying it.
    BOOL Attach(HMENU menu);
    HMENU Detach();
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, LPCWSTR text = nullptr);
    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, LPCWSTR text = nullptr);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, LPCWSTR text = nullptr);
    BOOL RemoveMenu(UINT position, UINT flags);
    BOOL DeleteMenu(UINT position, UINT flags);
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    UINT GetMenuState(UINT item, UINT flags) const;
    int GetMenuString(UINT item, LPWSTR buffer, int maxCount, UINT flags) const;
    int GetMenuString(UINT item, CString& text, UINT flags) const;
    // The submenu's handle (the model keeps no temporary CMenu objects).
    HMENU GetSubMenu(int position) const;
    UINT CheckMenuItem(UINT item, UINT check);
    UINT EnableMenuItem(UINT item, UINT enable);

    HMENU m_hMenu = nullptr;
};
