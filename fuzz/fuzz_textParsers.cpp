// The parsers of typed text: numbers, stations, DMS entries, value lists, tokens, point names
// and subscription stamps, on any text (the input's bytes in the system code page); what they
// read is shown again through the matching text forms where those take the value.
#include "numeric/correctionSubscriptions.h"
#include "numeric/pointNames.h"
#include "numeric/stationText.h"
#include "numeric/textLists.h"
#include "numeric/valueText.h"
#include "platform/textCodec.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CString text(AnsiToWide(reinterpret_cast<const char*>(data), size).c_str());
    double d = 0;
    float f = 0;
    int i = 0;
    long l = 0;
    unsigned u = 0;
    short sh = 0;
    StringToDouble(text, d);
    StringToFloat(text, f);
    StringToInt(text, i);
    StringToLong(text, l);
    StringToUint(text, u);
    StringToShort(text, sh);
    getTextValType(text);
    if (std::isfinite(d)) {
        DoubleToString(d, size % 14);
        if (std::fabs(d) < 2147483647.0) {  // the text forms count whole degrees in an int
            AngleToString(d);
            ShortAngleToString(d);
            AngleToStringDDDMMSS(d);
        }
    }
    for (double unit : {100.0, 1000.0}) {
        double station = 0;
        if (StnFromString(text, station, unit) && std::isfinite(station) &&
            std::fabs(station / unit) < 2147483647.0)
            StnToString(station, unit);
    }
    const int third = text.GetLength() / 3;
    AngleToRad(text.Left(third), text.Mid(third, third), text.Mid(2 * third));
    CheckValidDMSVal(text, L"360", size % 2 == 0);
    CheckValidDMSVal(text, L"90", true);

    CStringArray values;
    ParseValues(text, values, ',', L";");
    ParseDelimitersValues(text, values, L";, \t");
    StringArrayToString(values);
    CString copy = text;
    int start = 0;
    for (int guard = 0; start >= 0 && guard <= text.GetLength() + 1; ++guard)
        Tokenize(copy, L" ,;", start);
    CString replaced;
    replaceChars(text, L" \t", L"_", replaced);

    IsValidName(text);
    CString name = MakePointNameCorrect(text);
    IncPtno(name);
    OmniStarSatNameToEnum(text);
    CString date;
    OmniStarHPSubscriptionToString(text, date);
    if (StringToLong(text, l))
        MapRSubscriptionToString(l, date);
    return 0;
}
