#include "files/translate.h"

CString Xlate(const wchar_t* text)
{
    return CString(text ? text : L"");
}
