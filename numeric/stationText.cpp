#include "numeric/stationText.h"

#include "numeric/intRange.h"

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
        int n = 0;
        double rest = 0;
        if (std::swscanf(s, L"%d+%lf", &n, &rest) != 2)
            return 0;
        station = n * stnUnit + rest;
        return 1;
    }
    double value = 0;
    if (std::swscanf(s, L"%lf", &value) != 1)
        return 0;
    station = value;
    return 1;
}
