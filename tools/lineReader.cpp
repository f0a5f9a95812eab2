#include "lineReader.h"

#include "cli.h"

#include <algorithm>
#include <cstring>

namespace cli {

namespace {

void trimCr(std::string& line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
}

} // namespace

bool LineReader::next(std::string& line)
{
    line.clear();
    m_tooLong = false;
    for (;;) {
        const char* begin = m_buffer.data() + m_pos;
        const char* end = m_buffer.data() + m_size;
        const char* nl = static_cast<const char*>(std::memchr(begin, '\n', static_cast<size_t>(end - begin)));
        if (nl) {
            keep(line, begin, nl);
            m_pos += static_cast<size_t>(nl - begin) + 1;
            break;
        }
        keep(line, begin, end);
        m_pos = m_size = 0;
        if (m_eof)
            return !line.empty() ? (trimCr(line), true) : false;
        m_size = std::fread(m_buffer.data(), 1, m_buffer.size(), m_in);
        if (m_size == 0) {
            m_eof = true;
            if (line.empty())
                return false;
            break;
        }
    }
    trimCr(line);
    return true;
}

// Appends [begin, end) unless the line would pass the limit: then the line is dropped.
void LineReader::keep(std::string& line, const char* begin, const char* end)
{
    if (m_tooLong)
        return;
    if (line.size() + static_cast<size_t>(end - begin) > kMaxLineBytes) {
        m_tooLong = true;
        line.clear();
        line.shrink_to_fit();
        return;
    }
    line.append(begin, end);
}

int forEachLine(std::FILE* in, const std::string& command, const std::string& prefix, const LineFn& take)
{
    LineReader reader(in);
    std::string line, message;
    long lineNo = 0;
    int status = EXIT_OK;
    while (reader.next(line)) {
        ++lineNo;
        if (reader.tooLong()) {
            errorAtLine(command, lineNo, prefix + LineReader::kTooLongMessage);
            status = EXIT_BAD_INPUT;
            continue;
        }
        const std::string t = trim(line);
        if (t.empty() || t[0] == '#')
            continue;
        const std::vector<std::string> fields = splitFields(t);
        if (fields.empty())   // separators only (",", ";;"): read as a blank line
            continue;
        message.clear();
        const int answered = take(lineNo, t, fields, message);
        if (answered != EXIT_OK && !message.empty())
            errorAtLine(command, lineNo, prefix + message);
        status = std::max(status, answered);
    }
    return status;
}

} // namespace cli
