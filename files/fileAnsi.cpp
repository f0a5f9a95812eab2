#include "files/fileAnsi.h"

#include "platform/textCodec.h"

#include <cstring>

namespace {

const int kMaxLineBytes = 512;    // a line read or written, without its end
const int kWriteBuffer = 1024;    // the written line with its padding and CR LF

bool beginsWithNoCase(const CString& line, const CString& head)
{
    return line.Left(head.GetLength()).CompareNoCase(head) == 0;
}

bool isBlank(const CString& line)
{
    CString trimmed = line;
    return trimmed.Trim().IsEmpty();
}

void cutAtLineEnd(char* line)
{
    line[std::strcspn(line, "\r\x1A")] = '\0';
}

} // namespace

int CFileAnsi::ReadAnsiLine(char* buffer, int size)
{
    if (!buffer || size < 1)
        return 0;
    int count = 0;
    while (count < size - 1) {
        char byte;
        if (Read(&byte, 1) != 1) {
            buffer[count] = '\0';
            return -1;
        }
        if (byte == '\n')
            break;
        buffer[count++] = byte;
    }
    buffer[count] = '\0';
    return count;
}

int CFileAnsi::ReadNextWCLine(CString& line)
{
    char buffer[kMaxLineBytes + 1];
    const int result = ReadAnsiLine(buffer, sizeof buffer);
    line = CString(AnsiToWide(buffer, std::strlen(buffer)).c_str());
    return result;
}

int CFileAnsi::ReadNextNonBlankWCLine(CString& line)
{
    for (;;) {
        CString text;
        const int result = ReadNextWCLine(text);
        if (!isBlank(text)) {
            line = text;
            return result >= 0 ? result : text.GetLength();
        }
        if (result < 0)
            return -1;
    }
}

int CFileAnsi::GetLineOfType(const CString& type, CString& value)
{
    auto take = [&](const CString& line) {
        value = line.Mid(type.GetLength());
        value.Trim();
        return 1;
    };
    CString line;
    if (ReadNextNonBlankWCLine(line) >= 0 && beginsWithNoCase(line, type))
        return take(line);
    if (Seek(m_startPos, CFile::begin) < 0)
        return 0;
    for (;;) {
        const int result = ReadNextWCLine(line);
        if (beginsWithNoCase(line, type))
            return take(line);
        if (result < 0)
            return 0;
        if (!m_key.IsEmpty() && line.Left(m_key.GetLength()) == m_key)
            return 0;
    }
}

void CFileAnsi::PaddLine(char* line, int width)
{
    int length = static_cast<int>(std::strlen(line));
    while (length < width - 2)
        line[length++] = ' ';
    line[length] = '\0';
}

void CFileAnsi::SetMBLine(char* line)
{
    cutAtLineEnd(line);
    std::strcat(line, "\r\n");
}

void CFileAnsi::WriteWCLine(const CString& text, bool pad, int width)
{
    char buffer[kWriteBuffer + 1];
    std::string bytes = WideToAnsi(text.str());
    if (bytes.size() > static_cast<std::size_t>(kMaxLineBytes))
        bytes.resize(kMaxLineBytes);
    std::memcpy(buffer, bytes.data(), bytes.size());
    buffer[bytes.size()] = '\0';
    cutAtLineEnd(buffer);
    if (pad)
        PaddLine(buffer, width < kWriteBuffer ? width : kWriteBuffer - 1);
    SetMBLine(buffer);
    Write(buffer, static_cast<UINT>(std::strlen(buffer)));
}
