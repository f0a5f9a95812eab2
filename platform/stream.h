// The platform's byte stream interface (COM IStream, the part the library uses) with its
// status codes, over memory and over a file.
//
// HRESULT is 32 bits and signed: failures are negative (E_FAIL is 0x80004005 read as a signed
// 32-bit value; convert through int32_t, never through a 64-bit long). Read gives S_FALSE
// (1, a success) with fewer bytes than asked at the end of the stream: every read loop stops
// on a short read. Objects count their references: a stream starts with one, AddRef adds one,
// Release drops one and deletes the stream at zero.
#pragma once

#include "platform/fileSystem.h"
#include "platform/winTypes.h"

#include <cstdint>

typedef std::int32_t HRESULT;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001u);
constexpr HRESULT STG_E_READFAULT = static_cast<HRESULT>(0x8003001Eu);
constexpr HRESULT STG_E_WRITEFAULT = static_cast<HRESULT>(0x8003001Du);
constexpr HRESULT STG_E_MEDIUMFULL = static_cast<HRESULT>(0x80030070u);

inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

// Seek origins.
constexpr DWORD STREAM_SEEK_SET = 0;
constexpr DWORD STREAM_SEEK_CUR = 1;
constexpr DWORD STREAM_SEEK_END = 2;

struct LARGE_INTEGER {
    LONGLONG QuadPart;
};

class IStream {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // Reads up to `count` bytes; *read (when given) receives how many. S_FALSE when fewer
    // were available.
    virtual HRESULT Read(void* buffer, ULONG count, ULONG* read) = 0;
    // Writes `count` bytes at the position; *written (when given) receives how many.
    virtual HRESULT Write(const void* buffer, ULONG count, ULONG* written) = 0;
    // Moves the position (a position before the start fails); *position receives the new one.
    virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) = 0;

protected:
    virtual ~IStream() = default;
};

// A new, empty stream in memory (the platform's CreateStreamOnHGlobal); null when memory
// runs out.
IStream* createMemoryStream();
// A stream over a file of device path `path`: read from an existing file, or written to (and
// read back from) a file made anew (the platform's SHCreateStreamOnFile). Null (last error set) when the file
// cannot be opened or made.
IStream* createFileStream(LPCWSTR path, bool write);
