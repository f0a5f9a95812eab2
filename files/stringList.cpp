#include "files/stringList.h"

#include "files/logFile.h"
#include "platform/fileMapping.h"
#include "platform/fileSystem.h"
#include "platform/textCodec.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <string>

namespace {

const char* const kSource = "files/stringList";
const int kFirstCapacity = 1024;

std::size_t textLength(const char* text) { return std::strlen(text); }
std::size_t textLength(const wchar_t* text) { return std::wcslen(text); }

template <class Char>
const Char* emptyText()
{
    static const Char empty[1] = {0};
    return empty;
}

template <class Char>
Char* copyOf(const Char* text, std::size_t length)
{
    Char* copy = new (std::nothrow) Char[length + 1];
    if (!copy)
        return nullptr;
    if (length)
        std::memcpy(copy, text, length * sizeof(Char));
    copy[length] = 0;
    return copy;
}

// Maps the whole file read-only and hands its bytes to `use`; an empty file gives no bytes.
// False when the file cannot be opened or mapped.
template <class Use>
bool withFileBytes(const CString& path, Use use)
{
    const HANDLE file = CreateFileForMappingW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    if (low == 0 && high == 0) {  // an empty file cannot be mapped, and holds no entry
        CloseHandle(file);
        return true;
    }
    const HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (view)
        use(static_cast<const unsigned char*>(view), viewLength(view));
    closeMappedFile(view, mapping, file);
    return view != nullptr;
}

// Clears the read-only mark of an existing file, then makes the file anew; false when it
// cannot be made.
HANDLE createForSaving(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        const DWORD kept = attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_NORMAL);
        SetFileAttributesW(path, kept ? kept : FILE_ATTRIBUTE_NORMAL);
    }
    return CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
}

} // namespace

template <class Char>
bool TXenStringList<Char>::validIndex(int index) const
{
    if (index >= 0 && index < m_count)
        return true;
    ReportAssertion(kSource, __LINE__);
    return false;
}

template <class Char>
const Char* TXenStringList<Char>::operator[](int index) const
{
    return validIndex(index) ? m_items[index] : emptyText<Char>();
}

template <class Char>
bool TXenStringList<Char>::ReallocBufferIfNeeded()
{
    if (m_count < m_capacity)
        return true;
    const int capacity = m_capacity == 0 ? kFirstCapacity : m_capacity * 2;
    Char** items = new (std::nothrow) Char*[static_cast<std::size_t>(capacity)];
    if (!items)
        return false;
    for (int i = 0; i < m_count; ++i)
        items[i] = m_items[i];
    delete[] m_items;
    m_items = items;
    m_capacity = capacity;
    return true;
}

template <class Char>
void TXenStringList<Char>::AddInternal(const Char* text, int length)
{
    Char* copy = copyOf(text, static_cast<std::size_t>(length));
    if (!copy || !ReallocBufferIfNeeded()) {
        delete[] copy;
        return;
    }
    m_items[m_count++] = copy;
}

template <class Char>
void TXenStringList<Char>::SetAtInternal(int index, Char* text)
{
    if (!validIndex(index)) {
        delete[] text;
        return;
    }
    delete[] m_items[index];
    m_items[index] = text;
}

template <class Char>
void TXenStringList<Char>::CleanUp()
{
    for (int i = 0; i < m_count; ++i)
        delete[] m_items[i];
    delete[] m_items;
    m_items = nullptr;
    m_count = 0;
    m_capacity = 0;
}

template <class Char>
void TXenStringList<Char>::Add(const Char* text)
{
    const Char* t = text ? text : emptyText<Char>();
    AddInternal(t, static_cast<int>(textLength(t)));
}

template <class Char>
void TXenStringList<Char>::SetAt(int index, const Char* text)
{
    if (!validIndex(index))
        return;
    const Char* t = text ? text : emptyText<Char>();
    if (Char* copy = copyOf(t, textLength(t)))
        SetAtInternal(index, copy);
}

template <class Char>
void TXenStringList<Char>::InsertAt(int index, const Char* text)
{
    if (index == m_count) {
        Add(text);
        return;
    }
    if (!validIndex(index))
        return;
    const Char* t = text ? text : emptyText<Char>();
    Char* copy = copyOf(t, textLength(t));
    if (!copy || !ReallocBufferIfNeeded()) {
        delete[] copy;
        return;
    }
    for (int i = m_count; i > index; --i)
        m_items[i] = m_items[i - 1];
    m_items[index] = copy;
    ++m_count;
}

template <class Char>
void TXenStringList<Char>::Delete(int index)
{
    if (!validIndex(index))
        return;
    delete[] m_items[index];
    for (int i = index; i + 1 < m_count; ++i)
        m_items[i] = m_items[i + 1];
    --m_count;
}

template <class Char>
int TXenStringList<Char>::FindStringInRange(int first, int last, const Char* text) const
{
    if (!text || first > last)
        return -1;
    const std::size_t length = textLength(text);
    for (int i = first < 0 ? 0 : first; i <= last && i < m_count; ++i)
        if (textLength(m_items[i]) == length && std::memcmp(m_items[i], text, length * sizeof(Char)) == 0)
            return i;
    return -1;
}

template <class Char>
template <class Unit, class ToEntry>
void TXenStringList<Char>::addLines(const Unit* units, std::size_t count, ToEntry toEntry)
{
    const auto isLineEnd = [](Unit u) { return u == '\r' || u == '\n'; };
    std::size_t start = 0, i = 0;
    while (i < count && units[i] != 0) {
        if (!isLineEnd(units[i])) {
            ++i;
            continue;
        }
        toEntry(units + start, i - start);
        if (i + 1 < count && isLineEnd(units[i + 1]))
            ++i;
        start = ++i;
    }
    if (i > start)
        toEntry(units + start, i - start);
}

template class TXenStringList<char>;
template class TXenStringList<wchar_t>;

// ---- 8-bit ----

bool CXenStringList::LoadFromFile(const CString& path)
{
    CleanUp();
    return withFileBytes(path, [&](const unsigned char* bytes, std::size_t size) {
        addLines(reinterpret_cast<const char*>(bytes), size,
                 [&](const char* text, std::size_t length) { AddInternal(text, static_cast<int>(length)); });
    });
}

bool CXenStringList::SaveToFile(const CString& path) const
{
    const HANDLE file = createForSaving(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    for (int i = 0; i < m_count; ++i) {
        WriteFile(file, m_items[i], static_cast<DWORD>(std::strlen(m_items[i])), nullptr, nullptr);
        WriteFile(file, "\r\n", 2, nullptr, nullptr);
    }
    CloseHandle(file);
    return true;
}

bool CXenStringList::ConvertWtoA(const wchar_t* in, char* out, int outSize)
{
    if (!in || !out || outSize <= 0)
        return false;
    const std::string converted = WideToAnsi(in, std::wcslen(in));
    if (converted.size() + 1 > static_cast<std::size_t>(outSize))
        return false;
    std::memcpy(out, converted.c_str(), converted.size() + 1);
    return true;
}

// ---- Wide ----

bool CWXenStringList::LoadFromFile(const CString& path)
{
    CleanUp();
    return withFileBytes(path, [&](const unsigned char* bytes, std::size_t size) {
        // 16-bit little-endian units; an odd last byte is dropped before anything converts.
        std::u16string units(size / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
        addLines(units.data(), units.size(), [&](const char16_t* text, std::size_t length) {
            const std::wstring entry = Utf16LeToWide(bytes + (text - units.data()) * 2, length * 2);
            AddInternal(entry.c_str(), static_cast<int>(entry.size()));
        });
    });
}

bool CWXenStringList::SaveToFile(const CString& path) const
{
    const HANDLE file = createForSaving(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    for (int i = 0; i < m_count; ++i) {
        const std::string bytes = WideToUtf16Le(m_items[i], std::wcslen(m_items[i]));
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, nullptr);
        WriteFile(file, "\r\0\n\0", 4, nullptr, nullptr);
    }
    CloseHandle(file);
    return true;
}
