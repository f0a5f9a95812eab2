#include "numeric/stationText.h"

#include "numeric/intRange.h"

#include <cerrno>
#include <climits>
#include <cwchar>

CString StnToString(double station, double stnUnit)
{
    // Beyond the int range (or with a NaN) the hundreds print as the limit and the rest as
    // what remains, so the text stays a visibly wild value and never undefined.
    int n = truncToInt(station / stnUnit);
    double rest = station - n * stnUnit;
    CString text;
    text.Format(L"%d+%.2f", n, rest);
    return text;
}

int StnFromString(const CString& text, double& station, double stnUnit)
{
    const wchar_t* s = text;
    if (text.Find(L'+') >= 0) {
        // "%d+%lf", with the whole stations read by wcstol: %d's overflow is undefined (glibc
        // read 99999999999999+1 as 276447231 stations); stations beyond an int are refused.
        wchar_t* end = nullptr;
        errno = 0;
        const long n = std::wcstol(s, &end, 10);
        if (end == s || *end != L'+' || errno == ERANGE || n < INT_MIN || n > INT_MAX)
            return 0;
        double rest = 0;
        if (std::swscanf(end + 1, L"%lf", &rest) != 1)
            return 0;
        station = static_cast<double>(n) * stnUnit + rest;
        return 1;
    }
    double value = 0;
    if (std::swscanf(s, L"%lf", &value) != 1)
        return 0;
    station = value;
    return 1;
}
