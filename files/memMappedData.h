// Scratch buffers larger than the heap: a byte buffer backed by a temporary file, reached
// through a 2 MiB view whose 1 MiB window slides over the file, and written to or read from a
// byte stream (platform/stream.h) as a 32-bit little-endian count followed by the bytes.
//
// Files: the n-th buffer of the process lives in "FOLDER\_tmp_file_.tmp<n>.tmp" (n counted
// from 1, one counter for the process, meant for one thread); the file is deleted with its
// buffer.
//
// The window. Indices start..start+1 MiB-1 form the window; the view maps 2 MiB from its start
// (less at the end of the file: a view never reaches past the file), so a piece of up to
// 128 KiB that begins inside the window lies wholly in the view. An access outside the window
// moves it to the 1 MiB step that holds the index: one step for an access just outside (as the
// buffer's design intends, for callers that walk it in order), and straight there for a jump of
// several steps. Buffers smaller than 2 MiB simply have a shorter view.
//
// A `char&` from getat or operator[] is valid only until the next access that moves the
// window: `a[i] = a[j]` with i and j in different windows writes through an unmapped view. Copy
// the value first (`char c = a[j]; a[i] = c;`).
//
// Out-of-range indexes, and buffers whose file could not be made, give the assertion report
// (files/logFile.h) and a spare byte that belongs to no buffer, never memory outside.
#pragma once

#include "platform/CString.h"
#include "platform/stream.h"
#include "platform/winTypes.h"

class CXenMemMappedData {
public:
    CXenMemMappedData();
    // Unmaps, closes and deletes the temporary file.
    ~CXenMemMappedData();
    CXenMemMappedData(const CXenMemMappedData&) = delete;
    CXenMemMappedData& operator=(const CXenMemMappedData&) = delete;

    // Makes the buffer's file of `size` bytes in `folder` (a device path) and maps its first
    // view; true when every step succeeded. A size of 0 cannot be mapped: false.
    bool InitMemMappedFile(const wchar_t* folder, unsigned int size);
    // The byte at `index`, moving the window when needed.
    char& getat(int index);
    // The count, then `size` bytes from index 0 in pieces of at most 128 KiB (each logged at
    // level 2). 0 (S_OK) on success; the stream's failure code at once; E_INVALIDARG, with
    // nothing written, for a size beyond the buffer; a size below 1 writes the count alone.
    long WriteToStream(IStream* stream, int size);
    // Reads the count into `size` and that many bytes into the buffer from index 0, in pieces
    // of at most 64 KiB. 0 on success; the stream's failure code; E_FAIL when the stream ends
    // before the count or its bytes; E_INVALIDARG, with nothing written, for a count beyond the
    // buffer. A count below 1 sets `size` to 0 and returns 0.
    long ReadFromStream(IStream* stream, int& size);
    // When the file the next buffer would use exists and cannot be deleted, the counter skips
    // its number. True.
    static bool DeleteNextFile(const wchar_t* folder);

    // The size of the buffer in bytes (0 before InitMemMappedFile succeeds).
    unsigned int capacity() const { return m_size; }

private:
    void release();
    bool mapWindowAt(int start);

    int m_windowStart;
    int m_windowEnd;
    HANDLE m_file;
    HANDLE m_mapping;
    CString m_fileName;
    char* m_view;
    unsigned int m_size;
    char m_spare;
};

class CXenMemMappedArray {
public:
    // Makes the backing file of `capacity` bytes in `folder` (an assertion report when it
    // cannot be made: every access then reaches the spare byte).
    CXenMemMappedArray(const wchar_t* folder, int capacity);
    char& operator[](int index) { return m_data.getat(index); }
    // The bytes in use (set by the caller, 0 at first).
    int GetSize() const { return m_size; }
    // Sizes outside 0..capacity give the assertion report and are not taken.
    void SetSize(int size);
    // The bytes in use, as CXenMemMappedData::WriteToStream.
    long WriteToStream(IStream* stream);
    // Reads and sets the bytes in use (kept when the read is refused).
    long ReadFromStream(IStream* stream);

private:
    int m_size;
    CXenMemMappedData m_data;
};
