// Lines of input read in large blocks (files of millions of points), and the loop over the
// lines of a values file that the tool's line-by-line commands share.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace cli {

class LineReader {
public:
    explicit LineReader(std::FILE* in) : m_in(in) {}

    // Lines longer than this are not held: they come back empty, with tooLong() true.
    static constexpr size_t kMaxLineBytes = size_t(1) << 20;
    static constexpr const char* kTooLongMessage = "the line is longer than 1 MB";

    // The next line without its end (LF or CR LF); false at the end of the input.
    bool next(std::string& line);

    // True when the last line read was longer than kMaxLineBytes (it came back empty).
    bool tooLong() const { return m_tooLong; }

private:
    void keep(std::string& line, const char* begin, const char* end);

    bool m_tooLong = false;
    std::FILE* m_in;
    std::vector<char> m_buffer = std::vector<char>(1 << 20);
    size_t m_pos = 0, m_size = 0;
    bool m_eof = false;
};

// Answers one line of fields; returns EXIT_OK, or EXIT_NO_ANSWER or EXIT_BAD_INPUT with
// `message` (reported at the line when not empty).
using LineFn = std::function<int(long lineNo, const std::string& line, const std::vector<std::string>& fields,
                                 std::string& message)>;

// Runs `take` on each line of `in` that holds fields: blank lines, lines of separators only
// and lines starting with '#' are skipped; the line is passed trimmed with its fields
// (splitFields). Problems go to stderr as "fieldcore COMMAND: line N: PREFIXMESSAGE", lines
// over 1 MB among them. Returns the worst status of the lines (EXIT_BAD_INPUT over
// EXIT_NO_ANSWER over EXIT_OK).
int forEachLine(std::FILE* in, const std::string& command, const std::string& prefix, const LineFn& take);

} // namespace cli
