#include "numeric/textFields.h"

#include <charconv>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The separators of SplitTextFields, looked up by character.
struct SeparatorTable {
    bool any[256] = {};
    SeparatorTable()
    {
        for (unsigned char c : {' ', '\t', ',', ';', '\r', '\n'})
            any[c] = true;
    }
};
const SeparatorTable kSeparators;

bool isAnySeparator(char c)
{
    return kSeparators.any[static_cast<unsigned char>(c)];
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A decimal number's digits as they are scanned: as a whole number (exact for up to 19 of
// them, leading zeros included), how many there were, and how many followed the point.
struct DecimalDigits {
    std::uint64_t whole = 0;
    std::size_t count = 0;
    int afterPoint = 0;

    // Digits from `i` on; `fraction`: after the point. Past 19 digits `whole` wraps around
    // (unsigned: defined) and exact() is false.
    void scan(std::string_view t, std::size_t& i, bool fraction)
    {
        const std::size_t from = i;
        for (unsigned d; i < t.size() && (d = static_cast<unsigned char>(t[i]) - unsigned('0')) <= 9u; ++i)
            whole = whole * 10 + d;
        count += i - from;
        afterPoint += fraction ? static_cast<int>(std::min<std::size_t>(i - from, 19)) : 0;
    }
    // Whether `whole` is the mantissa exactly and a double holds it exactly.
    bool exact() const { return count <= 19 && whole <= (std::uint64_t(1) << 53); }
};

// A number read from the start of a text: [sign] digits [. digits] [(e|E) [sign] digits]
// with a digit in the mantissa. `end` is where it stops; the value is digits.whole times 10
// to the `power` when digits.exact().
struct DecimalScan {
    bool negative = false;
    DecimalDigits digits;
    int power = 0;
    std::size_t end = 0;
};

// False when `t` does not start with such a number (or its exponent has no digits).
bool scanDecimal(std::string_view t, DecimalScan& s)
{
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        s.negative = t[i++] == '-';
    s.digits.scan(t, i, false);
    if (i < t.size() && t[i] == '.')
        s.digits.scan(t, ++i, true);
    if (s.digits.count == 0)
        return false;
    int exponent = 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool minus = false;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            minus = t[i++] == '-';
        const std::size_t from = i;
        for (; i < t.size() && isDigit(t[i]); ++i)
            exponent = std::min(exponent * 10 + (t[i] - '0'), 100000);
        if (i == from)
            return false;
        exponent = minus ? -exponent : exponent;
    }
    s.power = exponent - s.digits.afterPoint;
    s.end = i;
    return true;
}

// The value of a scanned number `text` (exactly the scanned characters); false beyond the
// double range.
bool decimalValue(std::string_view text, const DecimalScan& s, double& value)
{
    // The common case exactly (a whole number up to 2^53 and a power of ten that is itself an
    // exact double: one multiplication or division, correctly rounded, as from_chars rounds).
    static const double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (s.digits.exact() && s.power >= -22 && s.power <= 22) {
        const double w = static_cast<double>(s.digits.whole);
        const double v = s.power < 0 ? w / kPow10[-s.power] : w * kPow10[s.power];
        value = s.negative ? -v : v;
        return true;
    }
    // from_chars reads no leading '+'.
    if (text.front() == '+')
        text.remove_prefix(1);
    double v;
    const std::from_chars_result r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

} // namespace

TextFieldCursor::TextFieldCursor(std::string_view line, char separator) : m_line(line), m_separator(separator)
{
    if (separator && !m_line.empty() && m_line.back() == '\r')
        m_line.remove_suffix(1);
}

bool TextFieldCursor::next(std::string_view& field)
{
    const std::string_view t = m_line;
    std::size_t i = m_pos;
    if (!m_separator) {
        while (i < t.size() && isAnySeparator(t[i]))
            ++i;
        const std::size_t start = i;
        while (i < t.size() && !isAnySeparator(t[i]))
            ++i;
        m_pos = i;
        field = t.substr(start, i - start);
        return i > start;
    }
    if (m_done)
        return false;
    const std::size_t end = t.find(m_separator, i);
    std::string_view f = t.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
    while (!f.empty() && (f.front() == ' ' || f.front() == '\t'))
        f.remove_prefix(1);
    while (!f.empty() && (f.back() == ' ' || f.back() == '\t'))
        f.remove_suffix(1);
    if (f.size() >= 2 && f.front() == '"' && f.back() == '"')
        f = f.substr(1, f.size() - 2);
    m_done = end == std::string_view::npos;
    m_pos = m_done ? t.size() : end + 1;
    field = f;
    return true;
}

bool TextFieldCursor::next(std::string_view& field, bool& isNumber, double& value)
{
    if (m_separator) {
        if (!next(field))
            return false;
        isNumber = ParseDecimalText(field, value);
        return true;
    }
    // At any separator a field holds no blanks: a number is read where the field starts, and
    // the field is that number when a separator or the line's end follows it.
    const std::string_view t = m_line;
    std::size_t i = m_pos;
    while (i < t.size() && isAnySeparator(t[i]))
        ++i;
    if (i == t.size())
        return m_pos = i, false;
    const std::string_view rest = t.substr(i);
    DecimalScan s;
    if (scanDecimal(rest, s) && (s.end == rest.size() || isAnySeparator(rest[s.end]))) {
        field = rest.substr(0, s.end);
        m_pos = i + s.end;
        isNumber = decimalValue(field, s, value);
        return true;
    }
    isNumber = false;
    return next(field);
}

namespace {

std::vector<std::string_view> allFields(std::string_view line, char separator)
{
    std::vector<std::string_view> out;
    TextFieldCursor c(line, separator);
    for (std::string_view f; c.next(f);)
        out.push_back(f);
    return out;
}

} // namespace

std::vector<std::string_view> SplitTextFields(std::string_view line)
{
    return allFields(line, 0);
}

std::vector<std::string_view> SplitTextFieldsAt(std::string_view line, char separator)
{
    return allFields(line, separator);
}

bool ParseDecimalText(std::string_view text, double& value)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    DecimalScan s;
    return scanDecimal(text, s) && s.end == text.size() && decimalValue(text, s, value);
}
