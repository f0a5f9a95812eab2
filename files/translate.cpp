#include "files/translate.h"

#include "files/andMapping.h"
#include "files/logFile.h"
#include "platform/commandBar.h"
#include "platform/safeFile.h"
#include "platform/textCodec.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <unordered_set>

// ---- The dictionary ----

namespace {

// The dictionary's order on two unit ranges.
template <class UnitA, class UnitB>
int compareUnits(std::size_t lengthA, UnitA a, std::size_t lengthB, UnitB b)
{
    const std::size_t common = std::min(lengthA, lengthB);
    for (std::size_t i = 0; i < common; ++i) {
        const char16_t x = a(i), y = b(i);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (lengthA == lengthB)
        return 0;
    return lengthA > lengthB ? -1 : 1;   // the longer key sorts first
}

// The next unit equal to `wanted` from `from` on; `end` when there is none.
template <class Unit>
std::size_t findUnit(Unit unit, std::size_t from, std::size_t end, char16_t wanted)
{
    while (from < end && unit(from) != wanted)
        ++from;
    return from;
}

} // namespace

int CompareXlateKeys(const std::u16string& a, const std::u16string& b)
{
    return compareUnits(a.size(), [&](std::size_t i) { return a[i]; }, b.size(),
                        [&](std::size_t i) { return b[i]; });
}

char16_t CXlateDictionary::unit(std::size_t at) const
{
    return static_cast<char16_t>(m_bytes[2 * at] | (m_bytes[2 * at + 1] << 8));
}

std::u16string CXlateDictionary::units(std::size_t start, std::size_t length) const
{
    std::u16string text(length, u'\0');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = unit(start + i);
    return text;
}

int CXlateDictionary::compareKey(const TXlateEntry& entry, const std::u16string& key) const
{
    return compareUnits(entry.keyLength, [&](std::size_t i) { return unit(entry.keyStart + i); },
                        key.size(), [&](std::size_t i) { return key[i]; });
}

void CXlateDictionary::Parse(const void* bytes, std::size_t byteCount)
{
    m_bytes = static_cast<const unsigned char*>(bytes);
    m_units = m_bytes ? byteCount / 2 : 0;   // an odd last byte is no unit
    m_entries.clear();
    const auto at = [this](std::size_t i) { return unit(i); };
    std::size_t pos = 0;
    for (;;) {
        TXlateEntry e;
        const std::size_t keyOpen = findUnit(at, pos, m_units, u'[');
        const std::size_t keyClose = findUnit(at, keyOpen + (keyOpen < m_units), m_units, u']');
        const std::size_t valueOpen = findUnit(at, keyClose + (keyClose < m_units), m_units, u'[');
        const std::size_t valueClose = findUnit(at, valueOpen + (valueOpen < m_units), m_units, u']');
        if (valueClose >= m_units)
            break;   // an incomplete pair ends the file
        e.keyStart = keyOpen + 1;
        e.keyLength = keyClose - e.keyStart;
        e.valueStart = valueOpen + 1;
        e.valueLength = valueClose - e.valueStart;
        m_entries.push_back(e);
        pos = valueClose + 1;
    }
    // Stable: of several entries with the same key the first in the file is found.
    std::stable_sort(m_entries.begin(), m_entries.end(), [this](const TXlateEntry& a, const TXlateEntry& b) {
        return compareUnits(a.keyLength, [&](std::size_t i) { return unit(a.keyStart + i); }, b.keyLength,
                            [&](std::size_t i) { return unit(b.keyStart + i); }) < 0;
    });
}

int CXlateDictionary::Find(const std::u16string& key) const
{
    // The first entry whose key does not sort before `key`, by repeated halving.
    std::size_t low = 0, high = m_entries.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (compareKey(m_entries[middle], key) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    if (low < m_entries.size() && compareKey(m_entries[low], key) == 0)
        return static_cast<int>(low);
    return -1;
}

std::u16string CXlateDictionary::KeyUnits(int index) const
{
    if (index < 0 || index >= Count())
        return std::u16string();
    const TXlateEntry& e = m_entries[static_cast<std::size_t>(index)];
    return units(e.keyStart, e.keyLength);
}

CString CXlateDictionary::Key(int index) const
{
    const std::u16string text = KeyUnits(index);
    const std::wstring wide = Utf16ToWide(text.data(), text.size());
    return CString(wide.data(), static_cast<int>(wide.size()));   // zeros included
}

CString CXlateDictionary::Value(int index) const
{
    if (index < 0 || index >= Count())
        return CString();
    const TXlateEntry& e = m_entries[static_cast<std::size_t>(index)];
    const std::u16string text = units(e.valueStart, e.valueLength);
    const std::wstring wide = Utf16ToWide(text.data(), text.size());
    return CString(wide.data(), static_cast<int>(wide.size()));   // zeros included
}

std::size_t CXlateDictionary::Offset(int index) const
{
    return index < 0 || index >= Count() ? 0 : m_entries[static_cast<std::size_t>(index)].keyStart;
}

int CXlateDictionary::Line(int index) const
{
    if (index < 0 || index >= Count())
        return 0;
    const std::size_t end = Offset(index);
    int line = 1;
    for (std::size_t i = 0; i < end; ++i)
        line += unit(i) == u'\n';
    return line;
}

bool CXlateDictionary::IsDuplicate(int index) const
{
    if (index < 1 || index >= Count())
        return false;
    const TXlateEntry& a = m_entries[static_cast<std::size_t>(index) - 1];
    const TXlateEntry& b = m_entries[static_cast<std::size_t>(index)];
    return a.keyLength == b.keyLength && compareKey(a, units(b.keyStart, b.keyLength)) == 0;
}

std::string MissingTextsFileBytes(const std::vector<std::wstring>& texts, int* skipped)
{
    std::string bytes("\xFF\xFE", 2);
    int left = 0;
    for (const std::wstring& text : texts) {
        if (text.find(L']') != std::wstring::npos) {
            ++left;
            continue;
        }
        const std::string line = WideToUtf16Le(L"[" + text + L"]\r\n");
        bytes += line;
        bytes += line;
    }
    if (skipped)
        *skipped = left;
    return bytes;
}

// ---- The process-wide translator ----

namespace {

// The texts not found, in first-seen order (the file then diffs well from run to run).
class MissingTexts {
public:
    MissingTexts() : m_seen(361) {}
    void add(const std::wstring& text)
    {
        if (m_seen.insert(text).second)
            m_order.push_back(text);
    }
    const std::vector<std::wstring>& texts() const { return m_order; }

private:
    std::unordered_set<std::wstring> m_seen;
    std::vector<std::wstring> m_order;
};

struct Translator {
    CAndMapping file{1};   // quiet: a file that cannot be read shows nothing
    CXlateDictionary dictionary;
    bool loaded = false;
    CString missingPath;
    bool collecting = false;
    MissingTexts missing;
};

std::unique_ptr<Translator>& translator()
{
    static std::unique_ptr<Translator> t;
    return t;
}

CString joinPath(const wchar_t* folder, const wchar_t* name)
{
    if (!folder || !*folder)
        return CString(name);
    CString path(folder);
    path += L"\\";
    path += name;
    return path;
}

void loadDictionary(Translator& t, const CString& path)
{
    if (!t.file.Construct(path))
        return;
    t.dictionary.Parse(static_cast<char*>(t.file), static_cast<std::size_t>(t.file.GetFileLength()));
    t.loaded = t.dictionary.Count() > 0;
    if (!t.loaded)
        t.file.UnloadFile();
}

// The keys of the missing-texts file join the set; collection starts when it could be mapped.
void loadMissing(Translator& t, const CString& path)
{
    t.missingPath = path;
    CAndMapping file(1);
    if (!file.Construct(path))
        return;
    t.collecting = true;
    CXlateDictionary read;
    read.Parse(static_cast<char*>(file), static_cast<std::size_t>(file.GetFileLength()));
    // The set keeps the file's order: sort the entries back by their place in the file.
    std::vector<std::pair<std::size_t, std::wstring>> inFile;
    for (int i = 0; i < read.Count(); ++i) {
        const CString key = read.Key(i);
        inFile.emplace_back(read.Offset(i), std::wstring(key, static_cast<std::size_t>(key.GetLength())));
    }
    std::stable_sort(inFile.begin(), inFile.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& entry : inFile)
        t.missing.add(entry.second);
}

void writeMissing(const Translator& t)
{
    if (!t.collecting || t.missing.texts().empty())
        return;
    int skipped = 0;
    const std::string bytes = MissingTextsFileBytes(t.missing.texts(), &skipped);
    if (skipped > 0)
        LOGMESSAGE(2, "Xlate: %d missing text(s) holding ']' not written", skipped);
    if (!ReplaceFileBytes(t.missingPath, bytes))
        LOGMESSAGE(2, "Xlate: cannot write the missing-texts file");
}

// 0: no translator; -1: nothing active; 1: go on.
int activeState()
{
    const Translator* t = translator().get();
    if (!t)
        return 0;
    return t->loaded || t->collecting ? 1 : -1;
}

CString windowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &buffer[0], length + 1);
    return CString(buffer.c_str());
}

void translateText(HWND window)
{
    const CString text = windowText(window);
    const CString translated = Xlate(text);
    if (translated != text)
        SetWindowTextW(window, translated);
}

bool sameClass(const std::wstring& a, const wchar_t* b)
{
    return std::equal(a.begin(), a.end(), b, b + std::wcslen(b),
                      [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

bool translatesChild(HWND child)
{
    wchar_t name[256];
    const std::wstring className(name, static_cast<std::size_t>(GetClassNameW(child, name, 256)));
    const DWORD style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
    const auto all = [style](DWORD bits) { return (style & bits) == bits; };
    if (sameClass(className, L"edit") || sameClass(className, L"combobox") || sameClass(className, L"listbox"))
        return false;
    if (sameClass(className, L"button"))
        return !all(0x0B);                    // owner-drawn
    if (sameClass(className, L"static"))
        return !all(0x0E) && !all(0x03);      // bitmap, icon
    return true;
}

void translateMenu(HMENU menu)
{
    constexpr UINT kStates = MF_CHECKED | MF_GRAYED | MF_DISABLED;
    const int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        const UINT id = GetMenuItemID(menu, pos);
        const UINT state = GetMenuState(menu, static_cast<UINT>(pos), MF_BYPOSITION);
        if ((state & MF_SEPARATOR) || id == 0)
            continue;
        wchar_t text[257];   // at most 256 characters
        const int length = GetMenuStringW(menu, static_cast<UINT>(pos), text, 257, MF_BYPOSITION);
        const HMENU submenu = GetSubMenu(menu, pos);
        if (length <= 0) {
            // An untitled popup keeps its item; its submenu is translated all the same.
            if (submenu)
                translateMenu(submenu);
            continue;
        }
        const CString translated = Xlate(text);
        const UINT position = static_cast<UINT>(pos);
        if (submenu) {
            // The new popup goes before the old item, which moves on by one.
            InsertMenuW(menu, position, MF_BYPOSITION | MF_POPUP | (state & kStates),
                        reinterpret_cast<UINT_PTR>(submenu), translated);
            translateMenu(submenu);
            RemoveMenu(menu, position + 1, MF_BYPOSITION);
        } else {
            ModifyMenuW(menu, position, MF_BYPOSITION | MF_STRING | (state & kStates), id, translated);
        }
    }
}

} // namespace

void InitializeTranslateFile()
{
    InitializeTranslateFile(nullptr, nullptr, nullptr);
}

void InitializeTranslateFile(const wchar_t* folder, const wchar_t* dictionary, const wchar_t* missing)
{
    FinalizeTranslateFile();
    // Built whole before it is installed: the mapping's own messages pass through Xlate.
    auto t = std::make_unique<Translator>();
    if (dictionary && *dictionary)
        loadDictionary(*t, joinPath(folder, dictionary));
    if (missing && *missing)
        loadMissing(*t, joinPath(folder, missing));
    translator() = std::move(t);
}

void FinalizeTranslateFile()
{
    std::unique_ptr<Translator> t = std::move(translator());
    if (t)
        writeMissing(*t);
}

CString Xlate(const wchar_t* text)
{
    if (!text)
        return CString();
    Translator* t = translator().get();
    if (!t)
        return CString(text);
    if (t->loaded) {
        const std::size_t length = std::wcslen(text);
        const int found = t->dictionary.Find(WideToUtf16(text, length));
        if (found >= 0)
            return t->dictionary.Value(found);
    }
    if (t->collecting)
        t->missing.add(text);
    return CString(text);
}

CString Xlate(unsigned int id, HINSTANCE module)
{
    wchar_t text[512];   // at most 511 characters
    if (LoadStringW(module, id, text, 512) > 0)
        return Xlate(text);
    wchar_t name[1024];
    GetModuleFileNameW(module, name, 1024);
    CString message;
    message.Format(L"String %d not found in module %ls.", static_cast<int>(id), static_cast<const wchar_t*>(name));
    return Xlate(message);
}

int XlateWnd(CWnd& window)
{
    const int state = activeState();
    if (state <= 0)
        return state;
    translateText(window.m_hWnd);
    int visited = 0;
    for (HWND child : childWindows(window.m_hWnd)) {
        ++visited;
        if (translatesChild(child))
            translateText(child);
    }
    return visited;
}

int XlateWndTitle(CWnd& window)
{
    const int state = activeState();
    if (state <= 0)
        return state;
    translateText(window.m_hWnd);
    return 0;
}

int XlateWndMenu(CWnd& window)
{
    const int state = activeState();
    if (state <= 0)
        return state;
    const HMENU menu = GetMenu(window.m_hWnd);
    return menu ? XlateMenu(menu) : -1;
}

int XlateMenu(CMenu& menu)
{
    return XlateMenu(menu.m_hMenu);
}

int XlateMenu(HMENU menu)
{
    const int state = activeState();
    if (state <= 0)
        return state;
    if (!IsMenu(menu))
        return -1;
    translateMenu(menu);
    return 0;
}

int XlateMenu(HWND window)
{
    const int state = activeState();
    if (state <= 0)
        return state;
    const HWND bar = CommandBar_Find(window);
    if (!bar)
        return -1;
    int handled = 0;
    TCommandBarButton button;
    for (int index = 0; index < 15 && CommandBar_GetButton(bar, index, &button); ++index) {
        TCommandBarButton copy = button;
        copy.text = Xlate(button.text);
        CommandBar_InsertButton(bar, index, copy);
        CommandBar_DeleteButton(bar, index + 1);
        if (button.menu)
            translateMenu(button.menu);
        ++handled;
    }
    return handled;
}
