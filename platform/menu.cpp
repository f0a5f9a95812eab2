#include "platform/menu.h"

#include "platform/lastError.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Item {
    UINT flags = 0;   // kept flags only (no lookup flags)
    UINT id = 0;      // string items
    HMENU submenu = nullptr;
    std::wstring text;
};

struct Menu {
    std::vector<Item> items;
};

// Every menu by handle; the handle is the menu's number, counted up from 1, never reused.
struct Model {
    std::mutex mutex;
    std::map<std::uintptr_t, Menu> menus;
    std::uintptr_t lastNumber = 0;
};

Model& model()
{
    static Model* m = new Model;
    return *m;
}

constexpr UINT kNone = 0xFFFFFFFF;
constexpr UINT kKeptFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR;

std::uintptr_t numberOf(HMENU menu) { return reinterpret_cast<std::uintptr_t>(menu); }

Menu* find(Model& m, HMENU menu)
{
    auto it = m.menus.find(numberOf(menu));
    return it == m.menus.end() ? nullptr : &it->second;
}

// Where an item lives: its menu and index.
struct Place {
    Menu* menu = nullptr;
    size_t index = 0;
    HMENU handle = nullptr;
};

// The first string item with identifier `id`, depth first.
Place findCommand(Model& m, Menu& menu, UINT id, int depth)
{
    if (depth > 64)   // submenus cannot hold their parents; this only bounds the walk
        return Place();
    for (size_t i = 0; i < menu.items.size(); ++i) {
        Item& item = menu.items[i];
        if (item.flags & MF_POPUP) {
            if (Menu* sub = find(m, item.submenu)) {
                Place p = findCommand(m, *sub, id, depth + 1);
                if (p.menu && !p.handle)
                    p.handle = item.submenu;
                if (p.menu)
                    return p;
            }
        } else if (!(item.flags & MF_SEPARATOR) && item.id == id) {
            return Place{&menu, i};
        }
    }
    return Place();
}

// The item that `position` names with `flags` (MF_BYPOSITION or by identifier).
Place findItem(Model& m, HMENU handle, UINT position, UINT flags)
{
    Menu* menu = find(m, handle);
    if (!menu)
        return Place();
    if (!(flags & MF_BYPOSITION)) {
        Place p = findCommand(m, *menu, position, 0);
        if (p.menu && !p.handle)
            p.handle = handle;
        return p;
    }
    if (position >= menu->items.size())
        return Place();
    return Place{menu, position, handle};
}

// Whether `inner` is `outer` or holds it in its submenus.
bool holds(Model& m, HMENU inner, HMENU outer, int depth)
{
    if (inner == outer)
        return true;
    const Menu* menu = find(m, inner);
    if (!menu || depth > 64)
        return false;
    for (const Item& item : menu->items)
        if ((item.flags & MF_POPUP) && holds(m, item.submenu, outer, depth + 1))
            return true;
    return false;
}

// The item the arguments describe; false when a popup's submenu cannot be used in `menu`.
bool makeItem(Model& m, HMENU menu, UINT flags, UINT_PTR idNewItem, LPCWSTR text, Item& item)
{
    item.flags = flags & kKeptFlags;
    if (item.flags & MF_SEPARATOR) {
        item.flags &= ~MF_POPUP;
        return true;
    }
    item.text = text ? text : L"";
    if (!(item.flags & MF_POPUP)) {
        item.id = static_cast<UINT>(idNewItem);
        return true;
    }
    item.submenu = reinterpret_cast<HMENU>(idNewItem);
    return find(m, item.submenu) && !holds(m, item.submenu, menu, 0);
}

void destroy(Model& m, HMENU handle)
{
    auto it = m.menus.find(numberOf(handle));
    if (it == m.menus.end())
        return;
    const std::vector<Item> items = std::move(it->second.items);
    m.menus.erase(it);
    for (const Item& item : items)
        if (item.flags & MF_POPUP)
            destroy(m, item.submenu);
}

BOOL invalid()
{
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

// What `use` gives for the item that `position` names with `flags`, run under the model's
// lock; `none` when there is no such item.
template <typename T, typename Use>
T withItem(HMENU menu, UINT position, UINT flags, T none, Use use)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    const Place place = findItem(m, menu, position, flags);
    return place.menu ? static_cast<T>(use(m, place)) : none;
}

// Takes the item out of its menu; a popup's submenu goes with it when `destroySubmenu`, and
// stays, for its owner to use or destroy, otherwise.
BOOL takeOut(HMENU menu, UINT position, UINT flags, bool destroySubmenu)
{
    const bool done = withItem(menu, position, flags, false, [&](Model& m, const Place& place) {
        const Item item = place.menu->items[place.index];
        place.menu->items.erase(place.menu->items.begin() + static_cast<std::ptrdiff_t>(place.index));
        if (destroySubmenu && (item.flags & MF_POPUP))
            destroy(m, item.submenu);
        return true;
    });
    return done ? TRUE : invalid();
}

// Sets the item's flags of `mask` to those of `flags` (which also name the item: by position
// or by identifier); the flags of `mask` it had before, kNone when there is no such item.
UINT replaceFlags(HMENU menu, UINT position, UINT flags, UINT mask)
{
    return withItem(menu, position, flags, kNone, [&](Model&, const Place& place) {
        UINT& kept = place.menu->items[place.index].flags;
        const UINT previous = kept & mask;
        kept = (kept & ~mask) | (flags & mask);
        return previous;
    });
}

} // namespace

HMENU CreateMenu()
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.menus.emplace(++m.lastNumber, Menu());
    return reinterpret_cast<HMENU>(m.lastNumber);
}

HMENU CreatePopupMenu()
{
    return CreateMenu();
}

BOOL DestroyMenu(HMENU menu)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (!find(m, menu))
        return invalid();
    destroy(m, menu);
    return TRUE;
}

BOOL IsMenu(HMENU menu)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    return find(m, menu) ? TRUE : FALSE;
}

BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR text)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    Place place;
    if (flags & MF_BYPOSITION) {
        if (Menu* target = find(m, menu))
            place = Place{target, std::min<size_t>(position, target->items.size()), menu};
    } else {
        place = findItem(m, menu, position, flags);
    }
    Item item;
    if (!place.menu || !makeItem(m, place.handle, flags, idNewItem, text, item))
        return invalid();
    place.menu->items.insert(place.menu->items.begin() + static_cast<std::ptrdiff_t>(place.index),
                             std::move(item));
    return TRUE;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCWSTR text)
{
    return InsertMenuW(menu, kNone, flags | MF_BYPOSITION, idNewItem, text);
}

BOOL ModifyMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR text)
{
    const bool done = withItem(menu, position, flags, false, [&](Model& m, const Place& place) {
        Item item;
        if (!makeItem(m, place.handle, flags, idNewItem, text, item))
            return false;
        place.menu->items[place.index] = std::move(item);
        return true;
    });
    return done ? TRUE : invalid();
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags)
{
    return takeOut(menu, position, flags, false);
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags)
{
    return takeOut(menu, position, flags, true);
}

int GetMenuItemCount(HMENU menu)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    const Menu* found = find(m, menu);
    return found ? static_cast<int>(found->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position)
{
    if (position < 0)
        return kNone;
    return withItem(menu, static_cast<UINT>(position), MF_BYPOSITION, kNone, [](Model&, const Place& place) {
        const Item& item = place.menu->items[place.index];
        if (item.flags & MF_POPUP)
            return kNone;
        return item.flags & MF_SEPARATOR ? 0 : item.id;
    });
}

HMENU GetSubMenu(HMENU menu, int position)
{
    if (position < 0)
        return nullptr;
    return withItem(menu, static_cast<UINT>(position), MF_BYPOSITION, HMENU(nullptr), [](Model&, const Place& place) {
        const Item& item = place.menu->items[place.index];
        return item.flags & MF_POPUP ? item.submenu : nullptr;
    });
}

int GetMenuStringW(HMENU menu, UINT position, LPWSTR buffer, int maxCount, UINT flags)
{
    return withItem(menu, position, flags, 0, [&](Model&, const Place& place) {
        const std::wstring& text = place.menu->items[place.index].text;
        if (!buffer)
            return static_cast<int>(text.size());
        if (maxCount < 1)
            return 0;
        const int n = std::min(static_cast<int>(text.size()), maxCount - 1);
        std::copy(text.begin(), text.begin() + n, buffer);
        buffer[n] = L'\0';
        return n;
    });
}

UINT GetMenuState(HMENU menu, UINT position, UINT flags)
{
    return withItem(menu, position, flags, kNone, [](Model& m, const Place& place) {
        const Item& item = place.menu->items[place.index];
        UINT state = item.flags;
        if (item.flags & MF_POPUP) {
            const Menu* sub = find(m, item.submenu);
            const size_t count = sub ? std::min<size_t>(sub->items.size(), 0xFF) : 0;
            state |= static_cast<UINT>(count) << 8;
        }
        return state;
    });
}

DWORD CheckMenuItem(HMENU menu, UINT position, UINT check)
{
    return replaceFlags(menu, position, check, MF_CHECKED);
}

UINT EnableMenuItem(HMENU menu, UINT position, UINT enable)
{
    return replaceFlags(menu, position, enable, MF_GRAYED | MF_DISABLED);
}

// ---- CMenu ----

CMenu::~CMenu()
{
    if (m_hMenu)
        ::DestroyMenu(m_hMenu);
}

BOOL CMenu::CreateMenu()
{
    if (m_hMenu)
        return FALSE;
    m_hMenu = ::CreateMenu();
    return TRUE;
}

BOOL CMenu::CreatePopupMenu()
{
    if (m_hMenu)
        return FALSE;
    m_hMenu = ::CreatePopupMenu();
    return TRUE;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    const BOOL done = ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    return done;
}

BOOL CMenu::Attach(HMENU menu)
{
    if (m_hMenu || !IsMenu(menu))
        return FALSE;
    m_hMenu = menu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    const HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR text)
{
    return ::InsertMenuW(m_hMenu, position, flags, idNewItem, text);
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idNewItem, LPCWSTR text)
{
    return ::AppendMenuW(m_hMenu, flags, idNewItem, text);
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR text)
{
    return ::ModifyMenuW(m_hMenu, position, flags, idNewItem, text);
}

BOOL CMenu::RemoveMenu(UINT position, UINT flags)
{
    return ::RemoveMenu(m_hMenu, position, flags);
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags)
{
    return ::DeleteMenu(m_hMenu, position, flags);
}

UINT CMenu::GetMenuItemCount() const
{
    return static_cast<UINT>(::GetMenuItemCount(m_hMenu));
}

UINT CMenu::GetMenuItemID(int position) const
{
    return ::GetMenuItemID(m_hMenu, position);
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const
{
    return ::GetMenuState(m_hMenu, item, flags);
}

int CMenu::GetMenuString(UINT item, LPWSTR buffer, int maxCount, UINT flags) const
{
    return ::GetMenuStringW(m_hMenu, item, buffer, maxCount, flags);
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const
{
    const int length = ::GetMenuStringW(m_hMenu, item, nullptr, 0, flags);
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int n = ::GetMenuStringW(m_hMenu, item, &buffer[0], length + 1, flags);
    text = CString(buffer.c_str());
    return n;
}

HMENU CMenu::GetSubMenu(int position) const
{
    return ::GetSubMenu(m_hMenu, position);
}

UINT CMenu::CheckMenuItem(UINT item, UINT check)
{
    return ::CheckMenuItem(m_hMenu, item, check);
}

UINT CMenu::EnableMenuItem(UINT item, UINT enable)
{
    return ::EnableMenuItem(m_hMenu, item, enable);
}
