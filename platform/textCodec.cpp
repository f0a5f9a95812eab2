#include "platform/textCodec.h"

#include <cstdint>

namespace {

const char32_t replacementChar = 0xFFFD;

// Bytes 0x80-0x9F of Windows-1252. The five bytes the code page leaves undefined keep their
// own value (C1 controls), as Windows converts them.
const char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

// The code point of a wide character, or a value above 0x10FFFF when it is none (negative).
char32_t codePoint(wchar_t ch) { return static_cast<char32_t>(static_cast<std::uint32_t>(ch)); }

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

void appendUtf16(std::u16string& out, char32_t c)
{
    if (c > 0x10FFFF)
        c = replacementChar;
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);  // unpaired surrogates pass as themselves
        return;
    }
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c > 0x10FFFF || isSurrogate(c))
        c = replacementChar;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence starting at s[i] (i < n): the code point, or U+FFFD for a
// maximal ill-formed subsequence; i advances past what was consumed (at least one byte).
char32_t decodeUtf8(const unsigned char* s, std::size_t n, std::size_t& i)
{
    const unsigned char lead = s[i++];
    if (lead < 0x80)
        return lead;
    int more = 0;
    char32_t c = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // admissible range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        c = lead & 0x0F;
        if (lead == 0xE0) lo = 0xA0;       // no overlong forms
        if (lead == 0xED) hi = 0x9F;       // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        c = lead & 0x07;
        if (lead == 0xF0) lo = 0x90;       // no overlong forms
        if (lead == 0xF4) hi = 0x8F;       // nothing above U+10FFFF
    } else {
        return replacementChar;
    }
    for (int k = 0; k < more; ++k) {
        if (i >= n || s[i] < lo || s[i] > hi)
            return replacementChar;  // the offending byte starts the next sequence
        c = (c << 6) | (s[i++] & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    return c;
}

} // namespace

// ---- 8-bit system code page ---------------------------------------------------------------

wchar_t AnsiCharToWide(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return static_cast<wchar_t>(cp1252High[byte - 0x80]);
    return static_cast<wchar_t>(byte);
}

bool WideCharToAnsi(wchar_t ch, unsigned char& byte)
{
    const char32_t c = codePoint(ch);
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        byte = static_cast<unsigned char>(c);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (cp1252High[i] == c) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

std::wstring AnsiToWide(const char* text, std::size_t length)
{
    std::wstring out;
    if (text == nullptr)
        return out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
        out += AnsiCharToWide(static_cast<unsigned char>(text[i]));
    return out;
}

std::wstring AnsiToWide(const std::string& text) { return AnsiToWide(text.data(), text.size()); }

std::string WideToAnsi(const wchar_t* text, std::size_t length, bool* lossy)
{
    std::string out;
    bool lost = false;
    if (text != nullptr) {
        out.reserve(length);
        for (std::size_t i = 0; i < length; ++i) {
            unsigned char byte = '?';
            if (!WideCharToAnsi(text[i], byte))
                lost = true;
            out += static_cast<char>(byte);
        }
    }
    if (lossy != nullptr)
        *lossy = lost;
    return out;
}

std::string WideToAnsi(const std::wstring& text, bool* lossy)
{
    return WideToAnsi(text.data(), text.size(), lossy);
}

// ---- UTF-16 -------------------------------------------------------------------------------

std::wstring Utf16ToWide(const char16_t* units, std::size_t count)
{
    std::wstring out;
    if (units == nullptr)
        return out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            out += static_cast<wchar_t>(u);  // a lone surrogate is kept as it is
        }
    }
    return out;
}

std::u16string WideToUtf16(const wchar_t* text, std::size_t length)
{
    std::u16string out;
    if (text == nullptr)
        return out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
        appendUtf16(out, codePoint(text[i]));
    return out;
}

std::wstring Utf16LeToWide(const void* bytes, std::size_t byteCount)
{
    if (bytes == nullptr)
        return std::wstring();
    const unsigned char* b = static_cast<const unsigned char*>(bytes);
    std::u16string units(byteCount / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8));
    std::wstring out = Utf16ToWide(units.data(), units.size());
    if (byteCount % 2 != 0)
        out += static_cast<wchar_t>(replacementChar);
    return out;
}

std::string WideToUtf16Le(const wchar_t* text, std::size_t length)
{
    const std::u16string units = WideToUtf16(text, length);
    std::string out(2 * units.size(), '\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        out[2 * i] = static_cast<char>(units[i] & 0xFF);
        out[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return out;
}

std::string WideToUtf16Le(const std::wstring& text) { return WideToUtf16Le(text.data(), text.size()); }

// ---- UTF-8 --------------------------------------------------------------------------------

std::wstring Utf8ToWide(const char* text, std::size_t length)
{
    std::wstring out;
    if (text == nullptr)
        return out;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    for (std::size_t i = 0; i < length;)
        out += static_cast<wchar_t>(decodeUtf8(s, length, i));
    return out;
}

std::wstring Utf8ToWide(const std::string& text) { return Utf8ToWide(text.data(), text.size()); }

std::string WideToUtf8(const wchar_t* text, std::size_t length)
{
    std::string out;
    if (text == nullptr)
        return out;
    for (std::size_t i = 0; i < length; ++i)
        appendUtf8(out, codePoint(text[i]));
    return out;
}

std::string WideToUtf8(const std::wstring& text) { return WideToUtf8(text.data(), text.size()); }
