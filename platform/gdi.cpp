#include "platform/gdi.h"

#include "platform/CString.h"
#include "platform/lastError.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>

namespace {

enum class Kind { Font, Bitmap, Icon };

struct Object {
    Kind kind = Kind::Font;
    LOGFONTW font;          // a font's description
    std::wstring name;      // a bitmap's or icon's resource name
    int width = 0;
    int height = 0;
    bool stock = false;     // never deleted
};

struct BitmapSize {
    std::wstring name;      // as registered
    int width;
    int height;
};

// Every drawing object by handle (numbers counted up from 1, never reused), the bitmap
// table by upper-case name, the shared icons and the measurer. Never destroyed: the stock
// and shared objects live as long as the process.
struct Table {
    std::mutex mutex;
    std::map<std::uintptr_t, Object> objects;
    std::uintptr_t lastNumber = 0;
    std::map<std::wstring, BitmapSize> bitmaps;
    std::map<std::wstring, HICON> icons;
    HFONT stockFont = nullptr;
    TextMeasurer measurer;
};

std::wstring upper(const wchar_t* name)
{
    std::wstring key(name);
    for (wchar_t& c : key)
        c = CharToUpper(c);
    return key;
}

std::uintptr_t add(Table& t, Object object)
{
    t.objects.emplace(++t.lastNumber, std::move(object));
    return t.lastNumber;
}

Table& table()
{
    static Table* t = [] {
        Table* made = new Table;
        for (const BitmapSize& b : {BitmapSize{L"IDB_TITLEBAR2", 28, 23},
                                    BitmapSize{L"IDB_ALPHAKEY", 18, 23},
                                    BitmapSize{L"IDB_TITLEBAR_EMPTY", 18, 23}})
            made->bitmaps[b.name] = b;
        Object stock;
        stock.kind = Kind::Font;
        stock.font.lfHeight = 14;
        stock.font.lfWeight = FW_NORMAL;
        std::wcscpy(stock.font.lfFaceName, L"Arial");
        stock.stock = true;
        made->stockFont = reinterpret_cast<HFONT>(add(*made, stock));
        return made;
    }();
    return *t;
}

std::uintptr_t numberOf(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

// The object behind a handle when it is of the kind; the table's lock must be held.
Object* find(Table& t, const void* handle, Kind kind)
{
    auto it = t.objects.find(numberOf(handle));
    return it != t.objects.end() && it->second.kind == kind ? &it->second : nullptr;
}

// The icon names, by number and by name.
const wchar_t* iconName(LPCWSTR name)
{
    static const struct { WORD id; const wchar_t* name; } icons[] = {
        {32513, L"IDI_HAND"}, {32514, L"IDI_QUESTION"}, {32515, L"IDI_EXCLAMATION"},
        {32516, L"IDI_ASTERISK"}};
    if (!name)
        return nullptr;
    const bool byNumber = IS_INTRESOURCE(name);
    const std::wstring key = byNumber ? std::wstring() : upper(name);
    for (const auto& icon : icons)
        if (byNumber ? reinterpret_cast<UINT_PTR>(name) == icon.id : key == icon.name)
            return icon.name;
    return nullptr;
}

int defaultMeasure(const LOGFONTW&, const wchar_t*, int length)
{
    return length * kStubCharWidth;
}

} // namespace

HFONT CreateFontIndirectW(const LOGFONTW* font)
{
    if (!font)
        return nullptr;
    Object object;
    object.kind = Kind::Font;
    object.font = *font;
    object.font.lfFaceName[LF_FACESIZE - 1] = L'\0';
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    return reinterpret_cast<HFONT>(add(t, object));
}

HGDIOBJ GetStockObject(int which)
{
    if (which != SYSTEM_FONT && which != DEFAULT_GUI_FONT)
        return nullptr;
    return table().stockFont;
}

BOOL DeleteObject(HGDIOBJ object)
{
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.objects.find(numberOf(object));
    if (it == t.objects.end() || it->second.stock || it->second.kind == Kind::Icon)
        return FALSE;
    t.objects.erase(it);
    return TRUE;
}

int GetObjectW(HGDIOBJ object, int size, void* out)
{
    if (!out)
        return 0;
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (const Object* font = find(t, object, Kind::Font)) {
        if (size != static_cast<int>(sizeof(LOGFONTW)))
            return 0;
        *static_cast<LOGFONTW*>(out) = font->font;
        return size;
    }
    if (const Object* bitmap = find(t, object, Kind::Bitmap)) {
        if (size != static_cast<int>(sizeof(BITMAP)))
            return 0;
        BITMAP b;
        b.bmWidth = bitmap->width;
        b.bmHeight = bitmap->height;
        b.bmWidthBytes = bitmap->width * 2;
        *static_cast<BITMAP*>(out) = b;
        return size;
    }
    return 0;
}

bool getFontDescription(HFONT font, LOGFONTW& description)
{
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const Object* object = find(t, font ? font : t.stockFont, Kind::Font);
    if (!object)
        return false;
    description = object->font;
    return true;
}

void SetTextMeasurer(TextMeasurer measurer)
{
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.measurer = std::move(measurer);
}

int GetFontTextWidth(HFONT font, const wchar_t* text, int length)
{
    LOGFONTW description;
    if (!text || length <= 0 || !getFontDescription(font, description))
        return 0;
    return measureText(description, text, length);
}

int measureText(const LOGFONTW& description, const wchar_t* text, int length)
{
    if (!text || length <= 0)
        return 0;
    TextMeasurer measurer;
    {
        Table& t = table();
        std::lock_guard<std::mutex> lock(t.mutex);
        measurer = t.measurer;
    }
    return measurer ? measurer(description, text, length) : defaultMeasure(description, text, length);
}

std::wstring StripMnemonics(const wchar_t* text, int* mnemonic)
{
    std::wstring drawn;
    int underlined = -1;
    for (const wchar_t* p = text; p && *p; ++p) {
        if (*p == L'&') {
            ++p;
            if (!*p)
                break;
            if (*p != L'&' && underlined < 0)
                underlined = static_cast<int>(drawn.size());
        }
        drawn += *p;
    }
    if (mnemonic)
        *mnemonic = underlined;
    return drawn;
}

bool RegisterBitmapResource(LPCWSTR name, int width, int height)
{
    if (!name || IS_INTRESOURCE(name) || !*name || width < 1 || height < 1 || width > 4096 ||
        height > 4096)
        return false;
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.bitmaps[upper(name)] = BitmapSize{name, width, height};
    return true;
}

bool bitmapResourceSize(LPCWSTR name, int& width, int& height)
{
    if (!name || IS_INTRESOURCE(name))
        return false;
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.bitmaps.find(upper(name));
    if (it == t.bitmaps.end())
        return false;
    width = it->second.width;
    height = it->second.height;
    return true;
}

std::vector<std::wstring> bitmapResourceNames()
{
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    std::vector<std::wstring> names;
    for (const auto& entry : t.bitmaps)
        names.push_back(entry.second.name);
    std::sort(names.begin(), names.end());
    return names;
}

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR name)
{
    if (!name || IS_INTRESOURCE(name)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.bitmaps.find(upper(name));
    if (it == t.bitmaps.end()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    Object object;
    object.kind = Kind::Bitmap;
    object.name = it->second.name;
    object.width = it->second.width;
    object.height = it->second.height;
    return reinterpret_cast<HBITMAP>(add(t, object));
}

HICON LoadIconW(HINSTANCE, LPCWSTR name)
{
    const wchar_t* canonical = iconName(name);
    if (!canonical) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    HICON& icon = t.icons[canonical];
    if (!icon) {
        Object object;
        object.kind = Kind::Icon;
        object.name = canonical;
        object.width = object.height = 32;
        object.stock = true;
        icon = reinterpret_cast<HICON>(add(t, object));
    }
    return icon;
}

BOOL DestroyIcon(HICON icon)
{
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    return find(t, icon, Kind::Icon) ? TRUE : FALSE;
}

std::wstring bitmapResourceName(HBITMAP bitmap)
{
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const Object* object = find(t, bitmap, Kind::Bitmap);
    return object ? object->name : std::wstring();
}

std::wstring iconResourceName(HICON icon)
{
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const Object* object = find(t, icon, Kind::Icon);
    return object ? object->name : std::wstring();
}

bool iconSize(HICON icon, int& width, int& height)
{
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const Object* object = find(t, icon, Kind::Icon);
    if (!object)
        return false;
    width = object->width;
    height = object->height;
    return true;
}

// ---- CFont ----

CFont::~CFont()
{
    DeleteObject();
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* font)
{
    if (m_hObject || !font)
        return FALSE;
    m_hObject = CreateFontIndirectW(font);
    return m_hObject ? TRUE : FALSE;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight,
                       BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                       BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily,
                       LPCWSTR faceName)
{
    LOGFONTW font;
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = italic;
    font.lfUnderline = underline;
    font.lfStrikeOut = strikeOut;
    font.lfCharSet = charSet;
    font.lfOutPrecision = outPrecision;
    font.lfClipPrecision = clipPrecision;
    font.lfQuality = quality;
    font.lfPitchAndFamily = pitchAndFamily;
    if (faceName)
        std::wcsncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&font);
}

int CFont::GetLogFont(LOGFONTW* font) const
{
    return m_hObject ? GetObjectW(m_hObject, sizeof(LOGFONTW), font) : 0;
}

BOOL CFont::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    const BOOL deleted = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return deleted;
}

// ---- CBitmap ----

CBitmap::~CBitmap()
{
    DeleteObject();
}

BOOL CBitmap::LoadBitmap(LPCWSTR name)
{
    if (m_hObject)
        return FALSE;
    m_hObject = LoadBitmapW(nullptr, name);
    return m_hObject ? TRUE : FALSE;
}

int CBitmap::GetBitmap(BITMAP* bitmap) const
{
    return m_hObject ? GetObjectW(m_hObject, sizeof(BITMAP), bitmap) : 0;
}

BOOL CBitmap::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    const BOOL deleted = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return deleted;
}

HBITMAP CBitmap::Detach()
{
    HBITMAP bitmap = m_hObject;
    m_hObject = nullptr;
    return bitmap;
}
