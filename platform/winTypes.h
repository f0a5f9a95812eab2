// The Windows scalar types that the ported code spells, with the sizes
// they have on Windows (DWORD and LONG are 32 bits there, also on this 64-bit host).
//
// Text is wide: TCHAR is wchar_t, which is 32 bits (UTF-32) here; see platform/textCodec.h
// for how 8-bit and UTF-16 text convert. Wide literals are written L"text": no text macro is
// defined, so that nothing but these types reaches a consumer's global namespace.
#pragma once

#include <cstdint>

typedef int BOOL;
#ifndef TRUE
constexpr BOOL TRUE = 1;
#endif
#ifndef FALSE
constexpr BOOL FALSE = 0;
#endif

typedef std::uint8_t BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef unsigned int UINT;
typedef std::int32_t LONG;
typedef std::uint32_t ULONG;   // 32 bits, as on the platform (unsigned long is 64 bits here)
typedef std::int64_t LONGLONG;
typedef std::uint64_t ULONGLONG;
typedef std::intptr_t INT_PTR;
typedef std::uintptr_t UINT_PTR;
typedef std::uintptr_t ULONG_PTR;

// Message parameters and results: pointer-sized, as on the platform.
typedef UINT_PTR WPARAM;
typedef INT_PTR LPARAM;
typedef INT_PTR LRESULT;

// A handle of a kernel object (event, thread; the file services' searches and volumes).
// INVALID_HANDLE_VALUE (-1) is the failure value of the calls that open files and devices;
// the calls that create events and threads fail with null, as on the platform.
typedef void* HANDLE;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

typedef wchar_t TCHAR;
typedef wchar_t WCHAR;
typedef const wchar_t* LPCTSTR;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* LPTSTR;
typedef wchar_t* LPWSTR;
typedef const char* LPCSTR;
typedef char* LPSTR;

// Reports a programming error of the platform classes (an index out of range and the
// like). The classes never crash on such an error: they carry on with the documented safe
// result. Builds without NDEBUG also print one line to stderr, so that the fault is seen.
void PlatformUsageError(const char* what, long long index, long long size);
