#include "numeric/textFields.h"

#include <charconv>
#include <cmath>

namespace {

bool isAnySeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r' || c == '\n';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Skips digits from `i`; returns how many.
size_t digits(std::string_view t, size_t& i)
{
    const size_t from = i;
    while (i < t.size() && isDigit(t[i]))
        ++i;
    return i - from;
}

// Whether `t` is [sign] digits [. digits] [(e|E) [sign] digits] with a digit in the mantissa.
bool isDecimal(std::string_view t)
{
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    size_t mantissa = digits(t, i);
    if (i < t.size() && t[i] == '.') {
        ++i;
        mantissa += digits(t, i);
    }
    if (mantissa == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        if (digits(t, i) == 0)
            return false;
    }
    return i == t.size();
}

} // namespace

std::vector<std::string_view> SplitTextFields(std::string_view line)
{
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isAnySeparator(line[i]))
            ++i;
        const size_t start = i;
        while (i < line.size() && !isAnySeparator(line[i]))
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

std::vector<std::string_view> SplitTextFieldsAt(std::string_view line, char separator)
{
    std::vector<std::string_view> out;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    size_t i = 0;
    for (;;) {
        const size_t end = line.find(separator, i);
        std::string_view f = line.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
        while (!f.empty() && (f.front() == ' ' || f.front() == '\t'))
            f.remove_prefix(1);
        while (!f.empty() && (f.back() == ' ' || f.back() == '\t'))
            f.remove_suffix(1);
        if (f.size() >= 2 && f.front() == '"' && f.back() == '"')
            f = f.substr(1, f.size() - 2);
        out.push_back(f);
        if (end == std::string_view::npos)
            break;
        i = end + 1;
    }
    return out;
}

bool ParseDecimalText(std::string_view text, double& value)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (!isDecimal(text))
        return false;
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
