#include "numeric/pointNames.h"

namespace {

const int kMaxNameLength = 40;
const int kMaxCorrectedLength = 20;

// The characters that MakePointNameCorrect replaces ("%" stands twice in the set).
const wchar_t kPointNameCharacters[] = L"!,?%*@#$%^&'\"\\/|~;[]{}()<>`\t\r\n+=";

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The decimal text of the number in `digits` plus one, for a digit string of any length.
CString incrementDigits(const CString& digits)
{
    CString result = digits;
    int i = result.GetLength() - 1;
    for (; i >= 0 && result[i] == L'9'; --i)
        result.SetAt(i, L'0');
    if (i >= 0)
        result.SetAt(i, static_cast<wchar_t>(result[i] + 1));
    else
        result = L'1' + result;
    return result;
}

} // namespace

bool IsAdmisibleCharacter(wchar_t c)
{
    return c == L'_' || isDigit(c) || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsValidName(const CString& name)
{
    const int length = name.GetLength();
    if (length < 1 || length > kMaxNameLength)
        return false;
    for (int i = 0; i < length; ++i) {
        if (!IsAdmisibleCharacter(name[i]))
            return false;
    }
    return true;
}

bool IsValidFilename(CString& name) { return IsValidName(name); }

CString MakePointNameCorrect(const CString& name)
{
    CString corrected = name.GetLength() > kMaxCorrectedLength ? name.Left(kMaxCorrectedLength) : name;
    for (const wchar_t* c = kPointNameCharacters; *c != L'\0'; ++c)
        corrected.Replace(*c, L'_');
    return corrected;
}

void IncPtno(CString& name)
{
    const int length = name.GetLength();
    // Walk back over the trailing "9"s to the last digit that is not a "9" (or position 0).
    int i = length - 1;
    while (i > 0 && name[i] == L'9')
        --i;
    const int p = (i >= 0 && isDigit(name[i])) ? i : i + 1;
    if (p >= length) {
        name += L'1';
        return;
    }
    // The characters from p on are a digit followed by "9"s; incrementing them as text gives
    // the decimal text of their number plus one (a leading "0" there is the digit that grows).
    name = name.Left(p) + incrementDigits(name.Mid(p));
}
