// CString: the wide, MFC-style string of the ported code, a value type over std::wstring.
//
// Characters are wchar_t (32 bits here, one Unicode code point each). 8-bit text given to a
// constructor or assignment is in the system code page and converts through
// platform/textCodec.h (Windows-1252).
//
// Indices and counts are int, as in MFC. Out-of-range arguments never crash:
//   - Left, Mid, Right, Delete, Insert clamp their position and count into the string, as
//     MFC does (a negative count is 0, a position past the end is the end);
//   - Find with a negative start searches from 0; a start past the end finds nothing (-1);
//   - GetAt and operator[] outside [0, length) give L'\0'; SetAt outside it does nothing.
//     These three are programming errors and are also reported through PlatformUsageError
//     (platform/winTypes.h); the clamping of the others is ordinary MFC behaviour.
//
// White space (Trim without argument) is blank, tab, line feed, vertical tab, form feed and
// carriage return. Case mapping (MakeUpper, MakeLower, CompareNoCase) covers ASCII,
// Latin-1, Latin Extended-A (every letter of the 8-bit code page among them), basic Greek
// and Cyrillic; other characters keep their case. Neither depends on the C library's locale.
//
// Format and AppendFormat take a printf-style WIDE format and follow the C library's wide
// printf (vswprintf): %ls and %lc take wide arguments (const wchar_t*, wchar_t), %s and %c
// take NARROW ones (const char*, char) that the C library converts through its locale; in
// the default "C" locale only ASCII converts. Pass 8-bit text that may hold other bytes as
// CString(text) with %ls. A CString argument is passed as its const wchar_t* (use %ls);
// other class-type arguments do not compile. Results of any length are formatted (the buffer
// grows as needed, up to 16 million characters). When the C library reports a conversion
// error (a narrow argument it cannot convert), or the result would be longer than that,
// Format leaves the empty string and AppendFormat appends nothing.
#pragma once

#include "platform/winTypes.h"

#include <cstdarg>
#include <string>
#include <type_traits>

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;

    // Null pointers give the empty string. The counted forms take exactly `length`
    // characters (bytes for 8-bit text), zeros included; a negative length is 0.
    CString(const wchar_t* text);
    CString(const wchar_t* text, int length);
    CString(const char* text);  // 8-bit text in the system code page
    CString(const char* text, int length);
    explicit CString(wchar_t ch, int repeat = 1);
    explicit CString(char ch, int repeat = 1);  // a code-page byte

    CString& operator=(const wchar_t* text);
    CString& operator=(const char* text);
    CString& operator=(wchar_t ch);

    // ---- Length and characters ----
    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    wchar_t GetAt(int index) const;
    void SetAt(int index, wchar_t ch);
    wchar_t operator[](int index) const { return GetAt(index); }
    operator const wchar_t*() const { return m_str.c_str(); }

    // ---- Extraction (positions and counts clamped, see above) ----
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // ---- Searching: the index found, or -1 ----
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* sub, int start = 0) const;  // an empty sub is found at start
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(const wchar_t* charSet) const;

    // The next token (see MFC): from `start`, skips characters in `tokens`; the token runs to
    // the next character in `tokens` or the end, and `start` becomes the index after that
    // delimiter. When only delimiters are left, `start` becomes -1 and the empty string is
    // returned. With null or empty `tokens` the rest of the string from `start` is returned
    // (start unchanged) while start is inside it. A negative start gives the empty string.
    CString Tokenize(const wchar_t* tokens, int& start) const;

    // ---- Trimming (no argument: white space; a character; any of a set) ----
    CString& TrimLeft();
    CString& TrimLeft(wchar_t ch);
    CString& TrimLeft(const wchar_t* charSet);
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    CString& TrimRight(const wchar_t* charSet);
    CString& Trim();
    CString& Trim(wchar_t ch);
    CString& Trim(const wchar_t* charSet);

    // ---- Editing; each returns what MFC returns ----
    int Replace(wchar_t oldCh, wchar_t newCh);               // number replaced
    int Replace(const wchar_t* oldText, const wchar_t* newText);  // number replaced, left to right,
                                                             // not overlapping; null/empty old: 0
    int Remove(wchar_t ch);                                   // number removed
    int Insert(int index, wchar_t ch);                        // new length
    int Insert(int index, const wchar_t* text);               // new length
    int Delete(int index, int count = 1);                     // new length
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    // ---- Comparison: <0, 0 or >0 by character codes; a null pointer is the empty text ----
    int Compare(const wchar_t* other) const;
    int CompareNoCase(const wchar_t* other) const;

    // ---- Formatting (see the header comment for %s / %ls) ----
    template <typename... Args>
    void Format(const wchar_t* format, const Args&... args)
    {
        CString result;  // the format or an argument may point into this string
        result.appendFormatted(format, formatArg(args)...);
        m_str.swap(result.m_str);
    }
    template <typename... Args>
    void AppendFormat(const wchar_t* format, const Args&... args)
    {
        appendFormatted(format, formatArg(args)...);
    }
    void FormatV(const wchar_t* format, va_list args);

    // ---- Direct buffer access ----
    // GetBuffer returns the characters for writing, room for at least minLength characters
    // and a terminating zero; a longer string keeps its length. ReleaseBuffer sets the length
    // to newLength (cut to the buffer), or with -1 to the first zero of the buffer; call it
    // before any other member. GetBufferSetLength makes the length exactly `length` and returns the buffer.
    wchar_t* GetBuffer(int minLength = 0);
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    // ---- Concatenation ----
    CString& operator+=(const CString& text);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);

    // The characters as a standard string (for code outside the MFC-style world).
    const std::wstring& str() const { return m_str; }

private:
    template <typename T>
    static const T& formatArg(const T& value)
    {
        static_assert(std::is_trivially_copyable<typename std::decay<T>::type>::value,
                      "CString::Format: pass text as const wchar_t* (%ls) or const char* (%s)");
        return value;
    }
    static const wchar_t* formatArg(const CString& value) { return value.m_str.c_str(); }

    void appendFormatted(const wchar_t* format, ...);
    void appendFormatV(const wchar_t* format, va_list args);
    void trimLeftWhile(bool (*test)(wchar_t, const wchar_t*), const wchar_t* set);
    void trimRightWhile(bool (*test)(wchar_t, const wchar_t*), const wchar_t* set);

    std::wstring m_str;
};

// ---- Concatenation ----
CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const wchar_t* b);
CString operator+(const wchar_t* a, const CString& b);
CString operator+(const CString& a, wchar_t b);
CString operator+(wchar_t a, const CString& b);

// ---- Comparison by character codes (as Compare) ----
inline bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
inline bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
inline bool operator==(const wchar_t* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
inline bool operator!=(const wchar_t* a, const CString& b) { return !(a == b); }
inline bool operator<(const CString& a, const CString& b) { return a.str() < b.str(); }
inline bool operator<(const CString& a, const wchar_t* b) { return a.Compare(b) < 0; }
inline bool operator<(const wchar_t* a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const CString& a, const CString& b) { return b < a; }
inline bool operator>(const CString& a, const wchar_t* b) { return a.Compare(b) > 0; }
inline bool operator>(const wchar_t* a, const CString& b) { return b.Compare(a) < 0; }
inline bool operator<=(const CString& a, const CString& b) { return !(b < a); }
inline bool operator<=(const CString& a, const wchar_t* b) { return a.Compare(b) <= 0; }
inline bool operator<=(const wchar_t* a, const CString& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const CString& a, const CString& b) { return !(a < b); }
inline bool operator>=(const CString& a, const wchar_t* b) { return a.Compare(b) >= 0; }
inline bool operator>=(const wchar_t* a, const CString& b) { return b.Compare(a) <= 0; }

// ---- Case mapping of one character (the mapping CString uses, see above) ----
wchar_t CharToUpper(wchar_t ch);
wchar_t CharToLower(wchar_t ch);

// ---- Export for tools and host interfaces ----
std::string ToUtf8(const CString& text);   // UTF-8 bytes (platform/textCodec.h)
CString FromUtf8(const char* text);        // null gives the empty string
