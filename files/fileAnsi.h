// CFileAnsi: a file of 8-bit text lines in the system code page (Windows-1252), read and
// written a line at a time, with the look-up of typed lines inside keyed records.
//
// Lines read end at a line feed, which is not kept; a carriage return before it stays in
// the text (callers trim). Lines written end with CR LF.
#pragma once

#include "platform/CFile.h"
#include "platform/CString.h"

class CFileAnsi : public CFile {
public:
    CFileAnsi() = default;
    // Takes over an open descriptor (see CFile).
    explicit CFileAnsi(int fd) : CFile(fd) {}
    // Opens the file (see CFile::Open); the object stays closed when that fails.
    CFileAnsi(LPCTSTR path, UINT flags) : CFile(path, flags) {}

    // Reads bytes one at a time up to a line feed (not stored) or until the buffer is full:
    // at most size - 1 bytes, then the terminating zero. Returns the number of bytes stored,
    // or -1 when the end of the file came before a line feed (the buffer then holds the bytes
    // that were read, terminated). A size below 1 reads nothing and returns 0.
    int ReadAnsiLine(char* buffer, int size);
    // Reads a line of at most 512 bytes (a longer line comes in pieces) and converts it from
    // the system code page; the result of ReadAnsiLine.
    int ReadNextWCLine(CString& line);
    // Reads lines until one is not blank after trimming and gives it untrimmed with its
    // length; -1 at the end of the file (line untouched). A last line without a line feed
    // counts when it is not blank.
    int ReadNextNonBlankWCLine(CString& line);

    void SetKeyString(const CString& key) { m_key = key; }
    void SetStartPosition(long position) { m_startPos = position; }

    // Looks for the line of a record that begins with `type` (case ignored) and gives the rest
    // of that line, trimmed, in `value`: 1 when found, 0 when not. First the next non-blank
    // line is tried; then the record is read again from the record start position (which
    // callers set to the line after the record's own key line) up to the end of the file or
    // the next line beginning with the record key (an empty key never matches).
    int GetLineOfType(const CString& type, CString& value);

    // Writes `text` as one line: converted to the code page (at most 512 bytes), cut at the
    // first CR or Ctrl-Z (0x1A), with `pad` filled with blanks so that the line with its
    // CR LF is `width` bytes long (a longer text is not cut; widths above 1023 count as
    // 1023), then CR LF.
    void WriteWCLine(const CString& text, bool pad, int width);
    // Fills the zero-terminated `line` with blanks up to width - 2 bytes (room for CR LF);
    // the buffer must hold width - 1 bytes.
    static void PaddLine(char* line, int width);
    // Cuts the zero-terminated `line` at its first CR or Ctrl-Z and appends CR LF; the buffer
    // must hold two more bytes.
    static void SetMBLine(char* line);

private:
    long m_startPos = 0;
    CString m_key;
};
