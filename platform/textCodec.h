// The one place where text changes encoding.
//
// In memory all text is wide: wchar_t is 32 bits here and holds one Unicode code point
// (UTF-32). Three outside encodings meet it:
//
// 1. The 8-bit system code page ("ANSI" text: INI files, the log, 8-bit string lists, the
//    beacon list, 8-bit names passed by callers) is Windows-1252. Bytes 0x00-0x7F and
//    0xA0-0xFF are the code points of the same value (Latin-1); bytes 0x80-0x9F are the
//    Windows-1252 characters (0x80 is the euro sign U+20AC, 0x9F is U+0178, ...). The five
//    bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1
//    control code points of the same value, as Windows itself converts them, so that every
//    one of the 256 bytes converts to wide text and back unchanged.
//    Wide to 8-bit: a character that the code page cannot hold (anything else, including
//    U+0080-U+009F other than the five above) becomes '?', Windows' default character, and
//    the conversion reports the loss.
//
// 2. UTF-16 little-endian (the XML job history, wide string lists, translation files): a
//    character above U+FFFF is written as a surrogate pair and a valid pair is read back as
//    one character. An unpaired surrogate unit is carried as a character of its own value
//    (in both directions), so that any UTF-16 file converts to wide text and back byte for
//    byte, as it does where wchar_t is the UTF-16 unit. A wide value that is no code point
//    (negative or above U+10FFFF) is written as U+FFFD. An odd trailing byte reads as U+FFFD.
//    The functions never write or strip a byte-order mark: that is the caller's business.
//
// 3. UTF-8, for the command-line tools and for host file names: a malformed sequence (bad
//    lead or continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short) reads
//    as one U+FFFD per maximal ill-formed subsequence (the Unicode recommended practice); a
//    wide value that is no Unicode scalar value (a surrogate, negative, above U+10FFFF) is
//    written as U+FFFD.
//
// No function reads the C library's locale; results are the same in every process.
// Byte strings are returned as std::string holding the raw bytes.
#pragma once

#include <cstddef>
#include <string>

// ---- 8-bit system code page (Windows-1252) -------------------------------------------------

// The wide character of one code-page byte; every byte has one.
wchar_t AnsiCharToWide(unsigned char byte);

// The code-page byte of a wide character: true and `byte` when the code page holds it,
// false (byte untouched) when it does not.
bool WideCharToAnsi(wchar_t ch, unsigned char& byte);

// `length` bytes (embedded zero bytes included) as wide text.
std::wstring AnsiToWide(const char* text, std::size_t length);
std::wstring AnsiToWide(const std::string& text);

// `length` wide characters as code-page bytes, '?' for each character the code page cannot
// hold; `lossy`, when given, is set to whether that happened.
std::string WideToAnsi(const wchar_t* text, std::size_t length, bool* lossy = nullptr);
std::string WideToAnsi(const std::wstring& text, bool* lossy = nullptr);

// ---- UTF-16 -------------------------------------------------------------------------------

std::wstring Utf16ToWide(const char16_t* units, std::size_t count);
std::u16string WideToUtf16(const wchar_t* text, std::size_t length);

// `byteCount` bytes of UTF-16LE text (no byte-order mark handling) as wide text.
std::wstring Utf16LeToWide(const void* bytes, std::size_t byteCount);
// Wide text as UTF-16LE bytes, two or four per character, no byte-order mark.
std::string WideToUtf16Le(const wchar_t* text, std::size_t length);
std::string WideToUtf16Le(const std::wstring& text);

// ---- UTF-8 --------------------------------------------------------------------------------

std::wstring Utf8ToWide(const char* text, std::size_t length);
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const wchar_t* text, std::size_t length);
std::string WideToUtf8(const std::wstring& text);
