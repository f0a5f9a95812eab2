#include "dialogs/titlebar.h"

#include "platform/controls.h"
#include "platform/fileSystem.h"
#include "platform/messages.h"
#include "platform/popupMenu.h"
#include "platform/screen.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

const wchar_t* const kWideBarLibrary = L"\\Windows\\TorlanLib.dll";
const wchar_t* const kSpecialWindowText = L"SPECIAL_WINDOW";
const wchar_t* const kTabControlClass = L"SysTabControl32";

namespace {

// The screen measures as read at their first use; 0: not read yet.
std::atomic<int> screenWidth{0};
std::atomic<int> screenHeight{0};

// The bar's own height; the shift of a property sheet's window; the tab control's margin.
constexpr int kBarHeight = 25;
constexpr int kSheetShift = 26;
constexpr int kTabBottomMargin = 27;
// The screen on which a property sheet's window is shifted.
constexpr int kShiftedScreenWidth = 240;
constexpr int kShiftedScreenHeight = 320;

const wchar_t* const kPositionNames[CTitlebar::kSlots] = {
    L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H", L"I",
    L"R", L"S", L"T", L"U", L"V", L"W", L"X", L"Y", L"Z"};

constexpr int kLeftFirst = 0;
constexpr int kLeftLast = 8;
constexpr int kRightFirst = 17;
constexpr int kRightLast = 9;

bool wideBarController()
{
    return GetFileAttributesW(kWideBarLibrary) != INVALID_FILE_ATTRIBUTES;
}

std::wstring windowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], length + 1)));
    return text;
}

// The position of a child window in its parent's client coordinates.
CRect placeInParent(HWND child)
{
    CRect rect;
    GetWindowRect(child, &rect);
    CPoint topLeft = rect.TopLeft();
    ScreenToClient(GetParent(child), &topLeft);
    return CRect(topLeft.x, topLeft.y, topLeft.x + rect.Width(), topLeft.y + rect.Height());
}

} // namespace

TScreenMeasure::operator int() const
{
    std::atomic<int>& kept = m_index == SM_CXSCREEN ? screenWidth : screenHeight;
    int value = kept.load();
    if (value == 0) {
        value = GetSystemMetrics(m_index);
        kept.store(value);
    }
    return value;
}

const TScreenMeasure SCREEN_WIDTH(SM_CXSCREEN);
const TScreenMeasure SCREEN_HEIGHT(SM_CYSCREEN);
const TScreenMeasure MENU_WIDTH(SM_CXSCREEN);

void ReloadScreenMeasures()
{
    screenWidth.store(0);
    screenHeight.store(0);
}

int GetTitlebarHeight()
{
    return kBarHeight;
}

// ---- TTitlebarObject ----

TTitlebarObject::~TTitlebarObject()
{
    if (window && IsWindow(window))
        DestroyWindow(window);
    if (menu && IsMenu(menu))
        DestroyMenu(menu);
    if (bitmap)
        DeleteObject(bitmap);
}

void TTitlebarObject::setBitmap(HBITMAP newBitmap)
{
    if (bitmap && bitmap != newBitmap)
        DeleteObject(bitmap);
    bitmap = newBitmap;
    BITMAP size;
    if (bitmap && GetObjectW(bitmap, sizeof(BITMAP), &size)) {
        width = size.bmWidth;
        height = size.bmHeight;
    } else {
        width = BUTTON_WIDTH;
        height = BUTTON_HEIGHT;
    }
}

// ---- CTitlebar: positions and building blocks ----

CTitlebar::CTitlebar() = default;

CTitlebar::~CTitlebar()
{
    for (int slot = 0; slot < kSlots; ++slot)
        destroyObject(slot);
}

int CTitlebar::GetPosition(const wchar_t* pos)
{
    if (!pos)
        return -1;
    if (*pos >= L'A' && *pos <= L'I')
        return *pos - L'A';
    if (*pos >= L'R' && *pos <= L'Z')
        return *pos - L'R' + kRightLast;
    return -1;
}

const wchar_t* CTitlebar::GetPosition(int slot)
{
    return slot >= 0 && slot < kSlots ? kPositionNames[slot] : nullptr;
}

int CTitlebar::FindNewLeftPos() const
{
    for (int slot = 0; slot < kSlots; ++slot)
        if (!m_objects[slot])
            return slot;
    return -1;
}

int CTitlebar::FindNewRightPos() const
{
    for (int slot = kSlots - 1; slot >= 0; --slot)
        if (!m_objects[slot])
            return slot;
    return -1;
}

HFONT CTitlebar::fontHandle() const
{
    if (m_font)
        return m_font->GetSafeHandle();
    return m_wnd ? GetWindowFont(m_wnd->GetSafeHwnd()) : nullptr;
}

int CTitlebar::GetTextWidth(const wchar_t* text) const
{
    // In the bar's own font when it has one (it may differ from its window's), else in the
    // window's, through the platform's ::GetTextWidth.
    const std::wstring drawn = StripMnemonics(text);
    const int length = static_cast<int>(drawn.size());
    if (m_font || !m_wnd)
        return ::GetFontTextWidth(fontHandle(), drawn.c_str(), length);
    return ::GetTextWidth(m_wnd->GetSafeHwnd(), drawn.c_str(), length);
}

CString CTitlebar::StringDup(const wchar_t* text)
{
    return CString(text ? text : L"");
}

std::unique_ptr<TTitlebarObject> CTitlebar::CreateText(const wchar_t* text)
{
    auto object = std::make_unique<TTitlebarObject>();
    object->kind = TTitlebarObjectKind::Text;
    object->text = StringDup(text);
    return object;
}

std::unique_ptr<TTitlebarObject> CTitlebar::CreateBitmap(const wchar_t* bitmapName)
{
    const HBITMAP bitmap = LoadBitmapW(nullptr, bitmapName);
    if (!bitmap)
        return nullptr;
    auto object = std::make_unique<TTitlebarObject>();
    object->kind = TTitlebarObjectKind::Bitmap;
    object->setBitmap(bitmap);
    return object;
}

HMENU CTitlebar::CreateMenu()
{
    return CreatePopupMenu();
}

TTitlebarObject* CTitlebar::objectAt(const wchar_t* pos) const
{
    const int slot = GetPosition(pos);
    return slot < 0 ? nullptr : m_objects[slot].get();
}

void CTitlebar::destroyObject(int slot)
{
    m_objects[slot].reset();
}

bool CTitlebar::place(int slot, std::unique_ptr<TTitlebarObject> object)
{
    if (slot < 0 || !object)
        return false;
    destroyObject(slot);
    m_objects[slot] = std::move(object);
    return true;
}

void CTitlebar::repaint()
{
    if (m_initialized && m_wnd && IsWindow(m_wnd->GetSafeHwnd()))
        InvalidateRect(m_wnd->GetSafeHwnd(), &m_barRect, TRUE);
}

HWND CTitlebar::GetButtonWindow(const wchar_t* pos) const
{
    const TTitlebarObject* object = objectAt(pos);
    return object && object->kind == TTitlebarObjectKind::Button ? object->window : nullptr;
}

HMENU CTitlebar::GetButtonMenu(const wchar_t* pos) const
{
    const TTitlebarObject* object = objectAt(pos);
    return object && object->kind == TTitlebarObjectKind::Button ? object->menu : nullptr;
}

// ---- Adding and changing ----

bool CTitlebar::AddTitle(const wchar_t* pos)
{
    auto object = std::make_unique<TTitlebarObject>();
    object->kind = TTitlebarObjectKind::Title;
    return place(GetPosition(pos), std::move(object));
}

bool CTitlebar::AddText(const wchar_t* pos, const wchar_t* text)
{
    return GetPosition(pos) >= 0 && place(GetPosition(pos), CreateText(text));
}

bool CTitlebar::AddBitmap(const wchar_t* pos, const wchar_t* bitmapName)
{
    return GetPosition(pos) >= 0 && place(GetPosition(pos), CreateBitmap(bitmapName));
}

bool CTitlebar::AddButton(const wchar_t* pos, const wchar_t* text, UINT commandId,
                          const wchar_t* bitmapName)
{
    return addButton(pos, text, commandId, bitmapName, false, nullptr);
}

bool CTitlebar::AddButton(const wchar_t* pos, const wchar_t* text, UINT commandId,
                          const wchar_t* bitmapName, HMENU menu)
{
    return addButton(pos, text, commandId, bitmapName, true, menu);
}

bool CTitlebar::addButton(const wchar_t* pos, const wchar_t* text, UINT commandId,
                          const wchar_t* bitmapName, bool withMenu, HMENU menu)
{
    const int slot = pos ? GetPosition(pos) : FindNewRightPos();
    if (slot < 0 || (withMenu && menu && !IsMenu(menu)))
        return false;
    HBITMAP bitmap = nullptr;
    if (bitmapName && !(bitmap = LoadBitmapW(nullptr, bitmapName)))
        return false;
    auto object = std::make_unique<TTitlebarObject>();
    object->kind = TTitlebarObjectKind::Button;
    object->text = StringDup(text);
    object->commandId = commandId;
    object->setBitmap(bitmap);
    if (withMenu)
        object->menu = menu ? menu : CreateMenu();
    return place(slot, std::move(object));
}

bool CTitlebar::ChangeTitle(const wchar_t* pos)
{
    const TTitlebarObject* object = objectAt(pos);
    if (!object || object->kind != TTitlebarObjectKind::Title)
        return false;
    repaint();
    return true;
}

bool CTitlebar::ChangeText(const wchar_t* pos, const wchar_t* text)
{
    TTitlebarObject* object = objectAt(pos);
    if (!object || object->kind != TTitlebarObjectKind::Text)
        return false;
    object->text = StringDup(text);
    repaint();
    return true;
}

bool CTitlebar::ChangeBitmap(const wchar_t* pos, const wchar_t* bitmapName)
{
    TTitlebarObject* object = objectAt(pos);
    if (!object || object->kind != TTitlebarObjectKind::Bitmap)
        return false;
    const HBITMAP bitmap = LoadBitmapW(nullptr, bitmapName);
    if (!bitmap)
        return false;
    object->setBitmap(bitmap);
    repaint();
    return true;
}

bool CTitlebar::ChangeButtonText(const wchar_t* pos, const wchar_t* text)
{
    TTitlebarObject* object = objectAt(pos);
    if (!object || object->kind != TTitlebarObjectKind::Button)
        return false;
    object->text = StringDup(text);
    if (object->window)
        SetWindowTextW(object->window, object->text);
    repaint();
    return true;
}

bool CTitlebar::ChangeButtonBitmap(const wchar_t* pos, const wchar_t* bitmapName)
{
    TTitlebarObject* object = objectAt(pos);
    if (!object || object->kind != TTitlebarObjectKind::Button)
        return false;
    HBITMAP bitmap = nullptr;
    if (bitmapName && !(bitmap = LoadBitmapW(nullptr, bitmapName)))
        return false;
    object->setBitmap(bitmap);
    if (object->window && IsWindow(object->window))
        updateButtonWindow(*object);
    repaint();
    return true;
}

bool CTitlebar::ChangeButtonMenu(const wchar_t* pos, HMENU menu)
{
    TTitlebarObject* object = objectAt(pos);
    if (!object || object->kind != TTitlebarObjectKind::Button || (menu && !IsMenu(menu)))
        return false;
    if (object->menu && object->menu != menu)
        DestroyMenu(object->menu);
    object->menu = menu;
    repaint();
    return true;
}

// ---- Menus ----

bool CTitlebar::AddMenuItem(const wchar_t* pos, const wchar_t* text, UINT commandId, int index)
{
    const HMENU menu = GetButtonMenu(pos);
    return menu && InsertMenuW(menu, static_cast<UINT>(index), MF_BYPOSITION | MF_STRING,
                               commandId, text);
}

bool CTitlebar::AddSeparator(const wchar_t* pos, int index)
{
    const HMENU menu = GetButtonMenu(pos);
    return menu &&
           InsertMenuW(menu, static_cast<UINT>(index), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

bool CTitlebar::RemoveMenuItem(const wchar_t* pos, int index)
{
    const HMENU menu = GetButtonMenu(pos);
    return menu && index >= 0 && DeleteMenu(menu, static_cast<UINT>(index), MF_BYPOSITION);
}

bool CTitlebar::RemoveAllMenuItems(const wchar_t* pos)
{
    const HMENU menu = GetButtonMenu(pos);
    if (!menu)
        return false;
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
    return true;
}

bool CTitlebar::CheckTbarMenuItem(const wchar_t* pos, UINT commandId, UINT flags)
{
    const HMENU menu = GetButtonMenu(pos);
    return menu && CheckMenuItem(menu, commandId, flags) != 0xFFFFFFFF;
}

bool CTitlebar::EnableTbarMenuItem(const wchar_t* pos, UINT commandId, UINT flags)
{
    const HMENU menu = GetButtonMenu(pos);
    return menu && EnableMenuItem(menu, commandId, flags) != 0xFFFFFFFF;
}

bool CTitlebar::DisplayMenu(const wchar_t* pos)
{
    const TTitlebarObject* object = objectAt(pos);
    if (!m_initialized || !m_wnd || !object || object->kind != TTitlebarObjectKind::Button ||
        !object->menu)
        return false;
    const HWND window = m_wnd->GetSafeHwnd();
    if (!IsWindow(window))
        return false;
    SetForegroundWindow(window);
    // Client coordinates to the screen's: a shifted sheet's window sits 26 pixels up, so its
    // menus open 26 pixels higher than the button's client bottom.
    CPoint at(object->rect.left, object->rect.bottom);
    ClientToScreen(window, &at);
    TrackPopupMenu(object->menu, TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, window, nullptr);
    PostMessage(window, WM_NULL, 0, 0);
    return true;
}

// ---- Objects ----

bool CTitlebar::ShowObject(const wchar_t* pos, bool show)
{
    TTitlebarObject* object = objectAt(pos);
    if (!object)
        return false;
    object->visible = show;
    if (object->window && IsWindow(object->window))
        ShowWindow(object->window, show ? SW_SHOW : SW_HIDE);
    repaint();
    return true;
}

bool CTitlebar::RemoveObject(const wchar_t* pos)
{
    const int slot = GetPosition(pos);
    if (slot < 0 || !m_objects[slot])
        return false;
    destroyObject(slot);
    repaint();
    return true;
}

bool CTitlebar::MoveObject(const wchar_t* from, const wchar_t* to)
{
    const int source = GetPosition(from);
    if (source < 0 || !m_objects[source])
        return false;
    const int target = to ? GetPosition(to) : FindNewRightPos();
    if (target < 0)
        return false;
    if (target != source) {
        destroyObject(target);
        m_objects[target] = std::move(m_objects[source]);
        repaint();
    }
    return true;
}

bool CTitlebar::GetItemRect(const wchar_t* pos, CRect& rect) const
{
    const int slot = GetPosition(pos);
    if (slot < 0) {
        rect.SetRectEmpty();
        return false;
    }
    if (!m_objects[slot])
        return false;
    rect = m_objects[slot]->rect;
    return true;
}

// ---- Window and layout ----

bool CTitlebar::InitDialog(CWnd* wnd, CFont* font, WndTypes type)
{
    if (!wnd || !IsWindow(wnd->GetSafeHwnd()))
        return false;
    m_shifted = type == WT_PROPERTY_SHEET && SCREEN_WIDTH == kShiftedScreenWidth &&
                SCREEN_HEIGHT == kShiftedScreenHeight;
    if (m_shifted)
        m_barRect.SetRect(0, kSheetShift, MENU_WIDTH - 5, kSheetShift + kBarHeight);
    else if (wideBarController())
        m_barRect.SetRect(0, 0, MENU_WIDTH, kBarHeight + 2);
    else
        m_barRect.SetRect(0, 0, MENU_WIDTH - 5, kBarHeight);
    m_wnd = wnd;
    SetFullScreen(wnd, true);
    m_font = font;
    m_initialized = true;
    if (type == WT_PROPERTY_SHEET) {
        ResizeTabs();
    } else if (type == WT_DIALOG_BELOW_BAR) {
        const int down = m_barRect.bottom + 1;
        for (HWND child : childWindows(wnd->GetSafeHwnd())) {
            const bool ours = std::any_of(std::begin(m_objects), std::end(m_objects),
                                          [&](const std::unique_ptr<TTitlebarObject>& object) {
                                              return object && object->window == child;
                                          });
            if (ours || windowText(child) == kSpecialWindowText)
                continue;
            const CRect place = placeInParent(child);
            MoveWindow(child, place.left, place.top + down, place.Width(), place.Height(), FALSE);
        }
    } else if (type != WT_DIALOG) {
        return true;
    }
    FinalizeChanges();
    return true;
}

bool CTitlebar::SetFullScreen(CWnd* wnd, bool on)
{
    if (!wnd || !IsWindow(wnd->GetSafeHwnd()))
        return false;
    if (!on)
        return true;
    wnd->ModifyStyle(WS_CAPTION, WS_POPUP);
    const int shift = m_shifted ? kSheetShift : 0;
    wnd->MoveWindow(0, -shift, SCREEN_WIDTH, SCREEN_HEIGHT + shift, TRUE);
    return true;
}

bool CTitlebar::ResizeTabs()
{
    if (!m_wnd || !IsWindow(m_wnd->GetSafeHwnd()))
        return false;
    const HWND window = m_wnd->GetSafeHwnd();
    HWND tabs = nullptr;
    wchar_t className[32];
    for (HWND child : childWindows(window))
        if (GetClassNameW(child, className, 32) && std::wstring(className) == kTabControlClass) {
            tabs = child;
            break;
        }
    if (!tabs)
        return false;
    CRect client;
    GetClientRect(window, &client);
    const CRect place = placeInParent(tabs);
    const int top = m_barRect.bottom + 1;
    MoveWindow(tabs, place.left, top, place.Width(), client.bottom - kTabBottomMargin - top, TRUE);
    return true;
}

// Lays out one group: slots `first` to `last` in steps of `step` (+1 from the left end, -1
// from the right end), each object `width` wide and placed SPACE_X after the one before, at
// the bar's top + SPACE_Y. A title ends the group: `titleSlot` gets its slot and `x` stays
// where the title begins. A text button first grows to its text's width (it never shrinks).
void CTitlebar::layoutGroup(int first, int last, int step, int& x, int& titleSlot)
{
    const int y = m_barRect.top + SPACE_Y;
    for (int slot = first; slot != last + step; slot += step) {
        TTitlebarObject* object = m_objects[slot].get();
        if (!object)
            continue;
        if (object->kind == TTitlebarObjectKind::Title) {
            titleSlot = slot;
            return;
        }
        if (object->kind == TTitlebarObjectKind::Button && !object->bitmap)
            object->width = std::max(object->width, GetTextWidth(object->text));
        if (step > 0) {
            object->rect.SetRect(x, y, x + object->width, y + object->height);
            x += object->width + SPACE_X;
        } else {
            object->rect.SetRect(x - object->width, y, x, y + object->height);
            x -= object->width + SPACE_X;
        }
    }
}

// The layout: the left group from the bar's left + SPACE_X, the right group from its right -
// SPACE_X; a title fills the space between where the left group stopped and where the right
// group ended (the left slots after a title are not laid out). A title in the right group
// likewise ends that group and fills the same space. Then every button's child window is
// made, or moved and shown as its flag says, and the bar is invalidated.
void CTitlebar::FinalizeChanges()
{
    if (!m_initialized || !m_wnd || !IsWindow(m_wnd->GetSafeHwnd()))
        return;
    int left = m_barRect.left + SPACE_X, leftTitle = -1;
    layoutGroup(kLeftFirst, kLeftLast, +1, left, leftTitle);
    int right = m_barRect.right - SPACE_X, rightTitle = -1;
    layoutGroup(kRightFirst, kRightLast, -1, right, rightTitle);
    for (int slot : {leftTitle, rightTitle})
        if (slot >= 0)
            m_objects[slot]->rect.SetRect(left, m_barRect.top + SPACE_Y, right,
                                          m_barRect.top + MENU_HEIGHT - 1);
    for (auto& object : m_objects)
        if (object && object->kind == TTitlebarObjectKind::Button)
            updateButtonWindow(*object);
    repaint();
}

// Makes the button's child window (a push button with the text, or a bitmap button with the
// bitmap), or brings the one it has up to date: place, visibility, text, kind and image.
void CTitlebar::updateButtonWindow(TTitlebarObject& button)
{
    const HWND parent = m_wnd->GetSafeHwnd();
    const DWORD kind = button.bitmap ? BS_BITMAP : BS_PUSHBUTTON;
    const CRect& r = button.rect;
    if (!button.window || !IsWindow(button.window)) {
        const DWORD style = WS_CHILD | (button.visible ? WS_VISIBLE : 0) | kind;
        button.window = CreateWindowW(
            L"button", button.text, style, r.left, r.top, r.Width(), r.Height(), parent,
            reinterpret_cast<void*>(static_cast<std::uintptr_t>(button.commandId)), nullptr,
            nullptr);
        if (!button.window)
            return;
    } else {
        MoveWindow(button.window, r.left, r.top, r.Width(), r.Height(), FALSE);
        ShowWindow(button.window, button.visible ? SW_SHOW : SW_HIDE);
        SetWindowTextW(button.window, button.text);
        const DWORD style = static_cast<DWORD>(GetWindowLongW(button.window, GWL_STYLE));
        SetWindowLongW(button.window, GWL_STYLE,
                       static_cast<LONG>((style & ~(BS_TYPEMASK | BS_BITMAP)) | kind));
    }
    SetWindowFont(button.window, fontHandle(), FALSE);
    SendMessage(button.window, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(button.bitmap));
}

// ---- Painting and state ----

void CTitlebar::Paint(CDC* dc, bool drawButtonBitmaps)
{
    if (!dc || !m_wnd || !IsWindow(m_wnd->GetSafeHwnd()))
        return;
    const HFONT previous = dc->SelectObject(fontHandle());
    for (const auto& object : m_objects) {
        if (!object || !object->visible)
            continue;
        CRect rect = object->rect;
        switch (object->kind) {
        case TTitlebarObjectKind::Title: {
            const std::wstring caption = windowText(m_wnd->GetSafeHwnd()).substr(0, kTitleLength);
            dc->DrawText(caption.c_str(), static_cast<int>(caption.size()), &rect,
                         DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            break;
        }
        case TTitlebarObjectKind::Text:
            dc->DrawText(object->text, &rect,
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            break;
        case TTitlebarObjectKind::Button:
            if (!drawButtonBitmaps || !object->bitmap)
                break;
            [[fallthrough]];   // the button's bitmap is drawn as a bitmap object's is
        case TTitlebarObjectKind::Bitmap: {
            CDC memory;
            memory.CreateCompatibleDC(dc);
            memory.SelectObject(object->bitmap);
            dc->BitBlt(rect.left, rect.top, object->width, object->height, &memory, 0, 0, SRCCOPY);
            break;
        }
        }
    }
    dc->SelectObject(previous);
}

void CTitlebar::Activate(bool active)
{
    if (m_wnd && IsWindow(m_wnd->GetSafeHwnd()))
        m_active = active;
}

bool CTitlebar::OnNcHitTest(CPoint point) const
{
    return point.y < m_barRect.bottom && point.x < m_barRect.right;
}
