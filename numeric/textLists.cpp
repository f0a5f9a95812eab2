#include "numeric/textLists.h"

#include "platform/textCodec.h"

#include <cwchar>

namespace {

// Trimmed of white space on both sides and stripped of every CR and LF.
CString cleanValue(const CString& raw)
{
    CString value = raw;
    value.Trim();
    value.Remove(L'\r');
    value.Remove(L'\n');
    return value;
}

bool isOneOf(wchar_t c, const wchar_t* set) { return c != L'\0' && std::wcschr(set, c) != nullptr; }

} // namespace

bool ParseValues(const CString& text, CStringArray& out, char delimiter, const CString& forbidden)
{
    const wchar_t wideDelimiter = AnsiCharToWide(static_cast<unsigned char>(delimiter));
    const int length = text.GetLength();
    int pos = 0;
    do {
        int next = text.Find(wideDelimiter, pos);
        CString raw;
        if (next >= 0) {
            raw = text.Mid(pos, next - pos);
            pos = next + 1;
        } else {
            raw = text.Mid(pos);
            pos = length;
        }
        CString value = cleanValue(raw);
        if (!forbidden.IsEmpty() && value.FindOneOf(forbidden) >= 0)
            return false;
        out.Add(value);
    } while (pos < length);
    return true;
}

bool ParseDelimitersValues(const CString& text, CStringArray& out, const CString& delimiters)
{
    // The loop body runs once before the test, so an empty text appends one empty value, as
    // ParseValues does.
    CString copy = text;
    do {
        int next = delimiters.IsEmpty() ? -1 : copy.FindOneOf(delimiters);
        CString raw;
        if (next >= 0) {
            raw = copy.Left(next);
            copy = copy.Mid(next + 1);
        } else {
            raw = copy;
            copy.Empty();
        }
        out.Add(cleanValue(raw));
    } while (!copy.IsEmpty());
    return true;
}

CString Tokenize(CString& text, const wchar_t* tokens, int& start)
{
    if (start < 0)
        return CString();
    const int length = text.GetLength();
    if (tokens == nullptr || *tokens == L'\0') {
        if (start < length)
            return text.Mid(start);
        start = -1;
        return CString();
    }
    int pos = start;
    while (pos < length && isOneOf(text[pos], tokens))
        ++pos;
    if (pos >= length) {
        start = -1;
        return CString();
    }
    int end = pos;
    while (end < length && !isOneOf(text[end], tokens))
        ++end;
    start = end + 1;
    return text.Mid(pos, end - pos);
}

CString StringArrayToString(const CStringArray& list)
{
    CString joined;
    for (int i = 0; i < list.GetSize(); ++i) {
        if (i > 0)
            joined += L',';
        joined += list[i];
    }
    return joined;
}

bool IsStringInStringArray(const CStringArray& list, const CString& s)
{
    for (int i = 0; i < list.GetSize(); ++i) {
        if (list[i] == s)
            return true;
    }
    return false;
}

bool IsUIntInUIntArray(const CUIntArray& list, int value)
{
    for (int i = 0; i < list.GetSize(); ++i) {
        if (list[i] == static_cast<unsigned>(value))
            return true;
    }
    return false;
}

int replaceChars(const wchar_t* source, const wchar_t* chars, const wchar_t* replacement, CString& out)
{
    out.Empty();
    if (chars == nullptr || *chars == L'\0' || source == nullptr)
        return 0;
    int runs = 0;
    for (const wchar_t* p = source; *p != L'\0';) {
        if (!isOneOf(*p, chars)) {
            out += *p++;
            continue;
        }
        while (isOneOf(*p, chars))
            ++p;
        if (replacement != nullptr)
            out += replacement;
        ++runs;
    }
    return runs;
}
