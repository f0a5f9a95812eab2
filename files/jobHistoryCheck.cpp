#include "files/jobHistoryCheck.h"

#include "files/xmlWriter.h"

#include <cstdio>
#include <vector>

namespace {

const std::u16string kDeclaration = u"<?xml version=\"1.0\"?>\r\n";
const std::u16string kCheckSumStart = u"<CheckSum>";
const std::u16string kCheckSumEnd = u"</CheckSum>\r\n";
const std::u16string kRootEnd = u"</OstrandJobHistory>\r\n";

struct SumState {
    unsigned int sum;
    int index;
};

bool hexDigit(char16_t c, unsigned int& v)
{
    if (c >= u'0' && c <= u'9') v = c - u'0';
    else if (c >= u'A' && c <= u'F') v = c - u'A' + 10;
    else if (c >= u'a' && c <= u'f') v = c - u'a' + 10;
    else return false;
    return true;
}

// The value of a checksum element starting at `at`; `end` is just past its CR LF.
bool readCheckSumElement(const std::u16string& text, size_t at, unsigned int& value, size_t& end)
{
    size_t i = at + kCheckSumStart.size();
    value = 0;
    size_t digits = 0;
    unsigned int v;
    while (i < text.size() && digits < 8 && hexDigit(text[i], v)) {
        value = (value << 4) | v;
        ++i;
        ++digits;
    }
    if (digits == 0 || text.compare(i, kCheckSumEnd.size(), kCheckSumEnd) != 0)
        return false;
    end = i + kCheckSumEnd.size();
    return true;
}

// The state after the writer reopens the file at unit `reopenAt`: RestoreCheckSum on the
// 31 units before it, with the byte index taken from the byte offset (BOM included).
bool restoredState(const std::u16string& text, size_t reopenAt, SumState& state)
{
    const size_t window = CXMLWriter::kCheckSumWindow;
    if (reopenAt < window)
        return false;
    std::u16string units = text.substr(reopenAt - window, window);
    size_t at = units.find(kCheckSumStart);
    if (at == std::u16string::npos)
        return false;
    unsigned int value = 0;
    unsigned int v;
    size_t i = at + kCheckSumStart.size();
    size_t digits = 0;
    for (; i < units.size() && digits < 8 && hexDigit(units[i], v); ++i, ++digits)
        value = (value << 4) | v;
    if (digits == 0)
        return false;
    const size_t byteOffset = 2 + 2 * (reopenAt - window);
    state.index = static_cast<int>(byteOffset % 4);
    state.sum = CXMLWriter::ContinueCheckSum(units, value, state.index);
    return true;
}

void advance(std::vector<SumState>& states, const std::u16string& text, size_t from, size_t to)
{
    std::u16string part = text.substr(from, to - from);
    for (SumState& s : states)
        s.sum = CXMLWriter::ContinueCheckSum(part, s.sum, s.index);
}

// Units after the byte-order mark (a last odd byte is left out).
std::u16string unitsAfterBom(const std::string& bytes)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return text;
}

bool hasBom(const std::string& bytes)
{
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

bool isHistoryText(const std::u16string& text)
{
    return text.compare(0, kDeclaration.size(), kDeclaration) == 0 &&
           text.find(u"<OstrandJobHistory>") != std::u16string::npos;
}

// What a walk over the checksum elements found: how many matched, where the last matching one
// ends (in units after the BOM), and why the walk stopped early ("" when every element found
// matched).
struct SumWalk {
    int elements = 0;
    size_t lastEnd = 0;
    std::string failure;
};

SumWalk walkCheckSums(const std::u16string& text)
{
    SumWalk walk;
    std::vector<SumState> states{SumState{0, 0}};
    size_t position = 0;
    for (size_t at = text.find(kCheckSumStart); at != std::u16string::npos;
         at = text.find(kCheckSumStart, at + 1)) {
        unsigned int stored = 0;
        size_t end = 0;
        if (!readCheckSumElement(text, at, stored, end)) {
            walk.failure = "checksum element " + std::to_string(walk.elements + 1) + " is malformed";
            return walk;
        }
        advance(states, text, position, at);
        std::vector<SumState> matching;
        for (const SumState& s : states)
            if (s.sum == stored)
                matching.push_back(s);
        if (matching.empty()) {
            char buf[96];
            std::snprintf(buf, sizeof buf, "checksum element %d holds %X, the content gives %X",
                          walk.elements + 1, stored, states.front().sum);
            walk.failure = buf;
            return walk;
        }
        ++walk.elements;
        // Either the period goes on past this element, or the file was reopened right after it.
        advance(matching, text, at, end);
        SumState restored;
        if (restoredState(text, end, restored))
            matching.push_back(restored);
        states.swap(matching);
        position = end;
        walk.lastEnd = end;
    }
    return walk;
}

} // namespace

TJobHistoryCheck CheckJobHistory(const std::string& bytes, std::string& detail)
{
    if (!hasBom(bytes)) {
        detail = "no UTF-16 byte-order mark: not a job history";
        return JOB_HISTORY_NOT_HISTORY;
    }
    if (bytes.size() % 2 != 0) {
        detail = "odd number of bytes: the file is cut inside a character";
        return JOB_HISTORY_BAD_CHECKSUM;
    }
    const std::u16string text = unitsAfterBom(bytes);
    if (!isHistoryText(text)) {
        detail = "no XML declaration or root element: not a job history";
        return JOB_HISTORY_NOT_HISTORY;
    }
    const SumWalk walk = walkCheckSums(text);
    if (!walk.failure.empty()) {
        detail = walk.failure;
        return JOB_HISTORY_BAD_CHECKSUM;
    }
    if (walk.elements == 0) {
        detail = "no checksum element";
        return JOB_HISTORY_BAD_CHECKSUM;
    }
    if (text.compare(walk.lastEnd, std::u16string::npos, kRootEnd) != 0) {
        detail = "the file does not end with the last checksum and the root's closing tag (cut short or changed)";
        return JOB_HISTORY_BAD_CHECKSUM;
    }
    detail = std::to_string(walk.elements) + (walk.elements == 1 ? " checksum matches" : " checksums match");
    return JOB_HISTORY_OK;
}

std::size_t JobHistoryIntactLength(const std::string& bytes)
{
    if (!hasBom(bytes))
        return 0;
    const std::u16string text = unitsAfterBom(bytes);
    if (!isHistoryText(text))
        return 0;
    const SumWalk walk = walkCheckSums(text);
    return walk.elements == 0 ? 0 : 2 + 2 * walk.lastEnd;
}
