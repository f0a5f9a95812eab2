#include "numeric/textLines.h"

#include "platform/textCodec.h"

#include <string>

namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

} // namespace

void ReadLine(CFile& file, CString& line)
{
    line.Empty();
    std::string bytes;
    bytes.reserve(128);
    char c = 0;
    bool more = file.Read(&c, 1) == 1;
    while (more && !isLineEnd(c)) {
        bytes += c;
        more = file.Read(&c, 1) == 1;
    }
    // Consume the line end with every CR and LF after it; give the next byte back.
    while (more) {
        more = file.Read(&c, 1) == 1;
        if (more && !isLineEnd(c)) {
            file.Seek(-1, CFile::current);
            break;
        }
    }
    // Bytes above 0x7F widen to their code-page characters (not sign-extended).
    const std::wstring wide = AnsiToWide(bytes);
    CString text(wide.c_str(), static_cast<int>(wide.size()));
    CString trimmed = text;
    trimmed.Trim();
    if (!trimmed.IsEmpty())
        line = text;
}

bool WriteString(FILE* stream, const CString& s)
{
    const std::string bytes = WideToAnsi(s.str());
    for (char b : bytes) {
        if (std::fputc(static_cast<unsigned char>(b), stream) == EOF)
            return false;
    }
    return true;
}

void ASCII2CString(const char* s, CString& out) { out = CString(s); }

void CString2ASCII(const CString& s, char* buf, int max)
{
    int n = s.GetLength() < max ? s.GetLength() : max;
    if (n < 0)
        n = 0;
    for (int i = 0; i < n; ++i)
        buf[i] = static_cast<char>(static_cast<unsigned>(s[i]) & 0xFFu);
    buf[n] = '\0';
}
