// Text lines and narrow strings: one line of 8-bit text from a file, a wide string written as
// 8-bit text, and the copies between wide strings and 8-bit buffers.
//
// 8-bit text is in the system code page (Windows-1252, platform/textCodec.h).
#pragma once

#include "platform/CFile.h"
#include "platform/CString.h"

#include <cstdio>

// Reads one line of 8-bit text at the file's position, one byte at a time, up to a LF or CR or
// the end of the file; the line end and every CR and LF right after it are consumed (the first
// other byte is given back by seeking one byte back), so blank lines are skipped. The line end
// is not part of `line`; a line of only white space comes back empty, any other keeps its
// leading and trailing spaces. At the end of the file `line` is empty: callers detect the end
// by the file position. Bytes above 0x7F become their code-page characters.
void ReadLine(CFile& file, CString& line);

// Writes `s` to `stream` as 8-bit text, one byte per character through fputc (a character
// that the code page cannot hold is written as '?'). False as soon as one write fails; true
// when all were written.
bool WriteString(FILE* stream, const CString& s);

// out = s, 8-bit text in the code page, as wide text; a null s gives the empty string.
void ASCII2CString(const char* s, CString& out);

// Copies n = min(length of s, max) characters into buf, each cut to its low 8 bits, and writes
// a terminating zero at buf[n]. buf must hold max + 1 bytes; a negative max counts as 0.
void CString2ASCII(const CString& s, char* buf, int max);
