#include "platform/CString.h"

#include "platform/textCodec.h"

#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <vector>

namespace {

// Longest result of Format; beyond it formatting counts as failed (see the header).
const std::size_t maxFormatLength = std::size_t(1) << 24;
const std::size_t firstFormatBuffer = 256;
// Put in the next-to-last slot of the format buffer: when vswprintf fails and the slot still
// holds it, the output stopped before filling the buffer, so the failure is not its size.
const wchar_t formatMarker = static_cast<wchar_t>(0x7FFFFFFF);

bool isWhiteSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

bool inSet(wchar_t c, const wchar_t* set) { return c != L'\0' && std::wcschr(set, c) != nullptr; }
bool isWhiteSpaceIgnoringSet(wchar_t c, const wchar_t*) { return isWhiteSpace(c); }
bool isSetChar(wchar_t c, const wchar_t* set) { return inSet(c, set); }

int clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

size_t length(const wchar_t* text) { return text == nullptr ? 0 : std::wcslen(text); }

// Pairs of Latin Extended-A letters, upper case first, from `first` to `last`.
struct CasePairRun {
    wchar_t first;
    wchar_t last;
};
const CasePairRun latinExtendedA[] = {
    {0x0100, 0x012F}, {0x0132, 0x0137}, {0x0139, 0x0148}, {0x014A, 0x0177}, {0x0179, 0x017E},
};

// The other letter of c's case pair in Latin Extended-A, with whether c is the upper one;
// false when c is not in such a pair.
bool latinExtendedAPair(wchar_t c, wchar_t& other, bool& isUpper)
{
    for (const CasePairRun& run : latinExtendedA) {
        if (c >= run.first && c <= run.last) {
            isUpper = (c - run.first) % 2 == 0;
            other = isUpper ? c + 1 : c - 1;
            return true;
        }
    }
    return false;
}

} // namespace

// ---- Case mapping ---------------------------------------------------------------------------

wchar_t CharToUpper(wchar_t c)
{
    if (c >= L'a' && c <= L'z')
        return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)  // Latin-1, not the division sign
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    wchar_t other;
    bool isUpper;
    if (latinExtendedAPair(c, other, isUpper))
        return isUpper ? c : other;
    if (c == 0x3C2)  // final sigma
        return 0x3A3;
    if (c >= 0x3B1 && c <= 0x3C9)
        return c - 0x20;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    return c;
}

wchar_t CharToLower(wchar_t c)
{
    if (c >= L'A' && c <= L'Z')
        return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)  // Latin-1, not the multiplication sign
        return c + 0x20;
    if (c == 0x178)
        return 0xFF;
    wchar_t other;
    bool isUpper;
    if (latinExtendedAPair(c, other, isUpper))
        return isUpper ? other : c;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
        return c + 0x20;
    if (c >= 0x410 && c <= 0x42F)
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    return c;
}

// ---- Construction ---------------------------------------------------------------------------

CString::CString(const wchar_t* text) : m_str(text == nullptr ? L"" : text) {}

CString::CString(const wchar_t* text, int length)
{
    if (text != nullptr && length > 0)
        m_str.assign(text, static_cast<size_t>(length));
}

CString::CString(const char* text)
{
    if (text != nullptr)
        m_str = AnsiToWide(text, std::char_traits<char>::length(text));
}

CString::CString(const char* text, int length)
{
    if (text != nullptr && length > 0)
        m_str = AnsiToWide(text, static_cast<size_t>(length));
}

CString::CString(wchar_t ch, int repeat) : m_str(static_cast<size_t>(std::max(repeat, 0)), ch) {}

CString::CString(char ch, int repeat)
    : m_str(static_cast<size_t>(std::max(repeat, 0)), AnsiCharToWide(static_cast<unsigned char>(ch)))
{
}

CString& CString::operator=(const wchar_t* text)
{
    m_str = text == nullptr ? L"" : text;  // assign copies before releasing, so text may alias
    return *this;
}

CString& CString::operator=(const char* text)
{
    return *this = CString(text);
}

CString& CString::operator=(wchar_t ch)
{
    m_str.assign(1, ch);
    return *this;
}

// ---- Characters -----------------------------------------------------------------------------

wchar_t CString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength()) {
        PlatformUsageError("CString::GetAt", index, GetLength());
        return L'\0';
    }
    return m_str[static_cast<size_t>(index)];
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index < 0 || index >= GetLength()) {
        PlatformUsageError("CString::SetAt", index, GetLength());
        return;
    }
    m_str[static_cast<size_t>(index)] = ch;
}

// ---- Extraction -----------------------------------------------------------------------------

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    first = clamp(first, 0, GetLength());
    count = clamp(count, 0, GetLength() - first);
    return CString(m_str.data() + first, count);
}

CString CString::Right(int count) const
{
    count = clamp(count, 0, GetLength());
    return Mid(GetLength() - count, count);
}

// ---- Searching ------------------------------------------------------------------------------

int CString::Find(wchar_t ch, int start) const
{
    start = std::max(start, 0);
    if (start >= GetLength())
        return -1;
    const size_t at = m_str.find(ch, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const wchar_t* sub, int start) const
{
    start = std::max(start, 0);
    if (sub == nullptr || start > GetLength())
        return -1;
    const size_t at = m_str.find(sub, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const
{
    const size_t at = m_str.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const wchar_t* charSet) const
{
    if (charSet == nullptr || *charSet == L'\0')
        return -1;
    const size_t at = m_str.find_first_of(charSet);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

CString CString::Tokenize(const wchar_t* tokens, int& start) const
{
    if (start < 0)
        return CString();
    const int n = GetLength();
    if (tokens == nullptr || *tokens == L'\0') {
        if (start < n)
            return Mid(start);
        start = -1;
        return CString();
    }
    int first = start;
    while (first < n && inSet(m_str[first], tokens))
        ++first;
    if (first >= n) {
        start = -1;
        return CString();
    }
    int end = first;
    while (end < n && !inSet(m_str[end], tokens))
        ++end;
    start = end + 1;
    return Mid(first, end - first);
}

// ---- Trimming -------------------------------------------------------------------------------

void CString::trimLeftWhile(bool (*test)(wchar_t, const wchar_t*), const wchar_t* set)
{
    size_t i = 0;
    while (i < m_str.size() && test(m_str[i], set))
        ++i;
    m_str.erase(0, i);
}

void CString::trimRightWhile(bool (*test)(wchar_t, const wchar_t*), const wchar_t* set)
{
    size_t n = m_str.size();
    while (n > 0 && test(m_str[n - 1], set))
        --n;
    m_str.resize(n);
}

CString& CString::TrimLeft()
{
    trimLeftWhile(isWhiteSpaceIgnoringSet, nullptr);
    return *this;
}

CString& CString::TrimLeft(wchar_t ch)
{
    const wchar_t set[2] = {ch, L'\0'};
    return TrimLeft(set);
}

CString& CString::TrimLeft(const wchar_t* charSet)
{
    if (charSet != nullptr)
        trimLeftWhile(isSetChar, charSet);
    return *this;
}

CString& CString::TrimRight()
{
    trimRightWhile(isWhiteSpaceIgnoringSet, nullptr);
    return *this;
}

CString& CString::TrimRight(wchar_t ch)
{
    const wchar_t set[2] = {ch, L'\0'};
    return TrimRight(set);
}

CString& CString::TrimRight(const wchar_t* charSet)
{
    if (charSet != nullptr)
        trimRightWhile(isSetChar, charSet);
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(wchar_t ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const wchar_t* charSet) { return TrimRight(charSet).TrimLeft(charSet); }

// ---- Editing --------------------------------------------------------------------------------

int CString::Replace(wchar_t oldCh, wchar_t newCh)
{
    int count = 0;
    for (wchar_t& c : m_str) {
        if (c == oldCh) {
            c = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    const size_t oldLength = length(oldText);
    if (oldLength == 0)
        return 0;
    const std::wstring from(oldText, oldLength);  // copies: the arguments may point into this string
    const std::wstring to(newText == nullptr ? L"" : newText);
    std::wstring result;
    int count = 0;
    size_t pos = 0;
    for (size_t at; (at = m_str.find(from, pos)) != std::wstring::npos; pos = at + oldLength) {
        result.append(m_str, pos, at - pos).append(to);
        ++count;
    }
    if (count > 0) {
        result.append(m_str, pos, std::wstring::npos);
        m_str.swap(result);
    }
    return count;
}

int CString::Remove(wchar_t ch)
{
    const size_t before = m_str.size();
    m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
    return static_cast<int>(before - m_str.size());
}

int CString::Insert(int index, wchar_t ch)
{
    const wchar_t text[2] = {ch, L'\0'};
    m_str.insert(static_cast<size_t>(clamp(index, 0, GetLength())), text, 1);
    return GetLength();
}

int CString::Insert(int index, const wchar_t* text)
{
    const std::wstring copy(text == nullptr ? L"" : text);  // text may point into this string
    m_str.insert(static_cast<size_t>(clamp(index, 0, GetLength())), copy);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    index = clamp(index, 0, GetLength());
    count = clamp(count, 0, GetLength() - index);
    m_str.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

CString& CString::MakeUpper()
{
    for (wchar_t& c : m_str)
        c = CharToUpper(c);
    return *this;
}

CString& CString::MakeLower()
{
    for (wchar_t& c : m_str)
        c = CharToLower(c);
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_str.begin(), m_str.end());
    return *this;
}

// ---- Comparison -----------------------------------------------------------------------------

int CString::Compare(const wchar_t* other) const
{
    const int r = m_str.compare(other == nullptr ? L"" : other);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(const wchar_t* other) const
{
    if (other == nullptr)
        other = L"";
    for (size_t i = 0;; ++i) {
        const wchar_t a = i < m_str.size() ? CharToLower(m_str[i]) : L'\0';
        const wchar_t b = CharToLower(other[i]);
        if (a != b)
            return a < b ? -1 : 1;
        if (b == L'\0')
            return i < m_str.size() ? 1 : 0;  // this string goes on after an embedded zero
    }
}

// ---- Formatting -----------------------------------------------------------------------------

void CString::FormatV(const wchar_t* format, va_list args)
{
    CString result;
    result.appendFormatV(format, args);
    m_str.swap(result.m_str);
}

void CString::appendFormatted(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    appendFormatV(format, args);
    va_end(args);
}

// glibc's vswprintf returns -1 both when the buffer is too small and when a conversion
// fails; only the first is worth a larger buffer. A conversion failure either sets errno to
// EILSEQ (%s) or stops the output short of the buffer's end (%c), so the buffer grows only
// while the output ran up to its end, and never beyond maxFormatLength.
void CString::appendFormatV(const wchar_t* format, va_list args)
{
    if (format == nullptr)
        return;
    wchar_t local[firstFormatBuffer];  // most results fit: no allocation for them
    std::vector<wchar_t> grown;
    wchar_t* buffer = local;
    size_t size = firstFormatBuffer;
    for (;;) {
        buffer[size - 2] = formatMarker;
        va_list attempt;
        va_copy(attempt, args);
        errno = 0;
        const int n = std::vswprintf(buffer, size, format, attempt);
        const int error = errno;
        va_end(attempt);
        if (n >= 0) {
            m_str.append(buffer, static_cast<size_t>(n));
            return;
        }
        const bool ranToEnd = buffer[size - 2] != formatMarker;
        if (error == EILSEQ || !ranToEnd || size >= maxFormatLength)
            return;
        grown.resize(size * 2);
        buffer = grown.data();
        size = grown.size();
    }
}

// ---- Buffer access --------------------------------------------------------------------------

wchar_t* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_str.resize(static_cast<size_t>(minLength));
    return &m_str[0];
}

wchar_t* CString::GetBufferSetLength(int length)
{
    m_str.resize(static_cast<size_t>(std::max(length, 0)));
    return &m_str[0];
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        newLength = static_cast<int>(std::wcslen(m_str.c_str()));  // the first zero
    m_str.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}

// ---- Concatenation --------------------------------------------------------------------------

CString& CString::operator+=(const CString& text)
{
    m_str += text.m_str;
    return *this;
}

CString& CString::operator+=(const wchar_t* text)
{
    if (text != nullptr)
        m_str += text;
    return *this;
}

CString& CString::operator+=(wchar_t ch)
{
    m_str += ch;
    return *this;
}

namespace {
template <typename A, typename B>
CString concatenate(const A& a, const B& b)
{
    CString result(a);
    result += b;
    return result;
}
} // namespace

CString operator+(const CString& a, const CString& b) { return concatenate(a, b); }
CString operator+(const CString& a, const wchar_t* b) { return concatenate(a, b); }
CString operator+(const wchar_t* a, const CString& b) { return concatenate(a, b); }
CString operator+(const CString& a, wchar_t b) { return concatenate(a, b); }
CString operator+(wchar_t a, const CString& b) { return concatenate(a, b); }

// ---- Export ---------------------------------------------------------------------------------

std::string ToUtf8(const CString& text) { return WideToUtf8(text.str()); }

CString FromUtf8(const char* text)
{
    if (text == nullptr)
        return CString();
    const std::wstring wide = Utf8ToWide(text, std::char_traits<char>::length(text));
    return CString(wide.data(), static_cast<int>(wide.size()));
}
