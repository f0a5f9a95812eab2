// CFile: the MFC-style binary file of the ported code, over a POSIX file descriptor.
//
// Reads and writes go straight to the descriptor (no buffering, no text translation; the
// typeText and typeBinary flags are accepted and ignored). Nothing throws: Open returns
// FALSE, the other operations report failure through their results as stated below.
//
// Open flags, combined with |:
//   access: modeRead (the default), modeWrite, modeReadWrite;
//   modeCreate makes the file when missing and truncates an existing one, unless
//   modeNoTruncate is given too; without modeCreate the file must exist;
//   share flags (shareExclusive, shareDenyWrite, shareDenyRead, shareDenyNone, shareCompat)
//   are accepted and not enforced: POSIX files have no share modes;
//   modeNoInherit is always in effect (the descriptor is closed on exec).
// A directory cannot be opened. Paths are device paths ("\Settings\ostrand.ini"; '\' and
// '/' both separate folders) and map onto the host through platform/deviceRoot.h, which
// refuses names with control characters and links that lead out of the device root.
// Positions and lengths are in bytes.
#pragma once

#include "platform/CString.h"
#include "platform/winTypes.h"

#include <string>

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };
    static constexpr int hFileNull = -1;

    CFile() = default;
    // Takes over an open descriptor; the destructor leaves it open (Close closes it).
    explicit CFile(int fd);
    // Opens the file; when that fails the object stays closed (m_hFile == hFileNull).
    CFile(LPCTSTR path, UINT flags);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    // Closes the file when this object opened it.
    virtual ~CFile();

    // Closes a file this object has open, then opens `path`; FALSE when it cannot be opened.
    virtual BOOL Open(LPCTSTR path, UINT flags);
    virtual void Close();

    // Reads up to `count` bytes at the position; the number read, fewer only at the end of
    // the file or on a read error (0 when the file is not open).
    virtual UINT Read(void* buffer, UINT count);
    // Writes `count` bytes at the position; TRUE when all were written.
    virtual BOOL Write(const void* buffer, UINT count);
    // Moves the position by `offset` from begin, current or end; the new position, or -1
    // (position unchanged) when the file is not open, `from` is unknown or the position would
    // be negative. A position past the end is allowed; writing there fills the gap with zeros.
    virtual LONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd();
    // The position and the length; 0 when the file is not open.
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    // Cuts or extends (with zeros) the file; the position stays. FALSE on failure.
    virtual BOOL SetLength(ULONGLONG length);
    // Commits what was written to the storage device.
    virtual void Flush();
    // Takes the advisory lock of the whole file (flock), waiting while another open file
    // holds it; Close releases it. Only writers that lock see each other. FALSE when the
    // file is not open or cannot be locked.
    BOOL Lock();

    // The path given to Open, and its last component (after the last '\' or '/'); empty
    // when the file is not open.
    CString GetFilePath() const { return m_path; }
    CString GetFileName() const;

    // The descriptor, hFileNull when no file is open.
    int m_hFile = hFileNull;

private:
    // The host file-system path of a device path; the one place where CFile meets host paths.
    static std::string HostPath(LPCTSTR path);

    bool m_closeOnDelete = false;
    CString m_path;
};
