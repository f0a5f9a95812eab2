// The fields of a text line and the decimal numbers in them: the one splitter and the one number
// grammar of the text files and command lines the library and its tool read (point files,
// offset tables, option values).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// The fields of a line one at a time, without storing them: at any separator (separator 0:
// SplitTextFields) or at one separator (SplitTextFieldsAt), the same fields in the same order.
class TextFieldCursor {
public:
    explicit TextFieldCursor(std::string_view line, char separator = 0);
    // The next field; false after the last.
    bool next(std::string_view& field);
    // The next field and whether it is a number by ParseDecimalText, with its value (a field
    // read once: at any separator its characters are scanned a single time).
    bool next(std::string_view& field, bool& isNumber, double& value);

private:
    std::string_view m_line;
    std::size_t m_pos = 0;
    char m_separator;
    bool m_done = false;
};

// The fields of `line` at blanks, tabs, commas, semicolons, CR and LF; empty fields are
// dropped ("1, 2;;3" gives 1, 2, 3).
std::vector<std::string_view> SplitTextFields(std::string_view line);

// The fields of `line` at every `separator` (a CSV row): empty fields kept, blanks and tabs
// around each field trimmed, one pair of enclosing double quotes removed; a CR at the end of the
// line is not part of its last field. A line without the separator is one field.
std::vector<std::string_view> SplitTextFieldsAt(std::string_view line, char separator);

// A finite decimal number, the whole text (blanks, tabs, CR and LF around it allowed): an
// optional sign, digits with at most one point (at least one digit), an optional exponent
// (e or E, an optional sign, digits). No hexadecimal, "inf", "nan", "+-5" or "1e". Independent
// of the C locale. False (value unchanged) otherwise, and for values beyond the double range.
bool ParseDecimalText(std::string_view text, double& value);
