// Point names: admissible characters, validity, repair and the next point number.
#include "numeric/pointNames.h"

#include "testUtil.h"

#include <string>

namespace {

TEST(PointNames, AdmissibleCharactersAndValidity)
{
    const std::wstring admissible = L"_0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    for (wchar_t c = 0; c < 0x180; ++c)
        EXPECT_EQ(c != 0 && admissible.find(c) != std::wstring::npos, IsAdmisibleCharacter(c)) << "U+" << std::hex << int(c);
    struct Case { std::wstring name; bool valid; const char* reason; };
    const Case cases[] = {
        {L"P_1", true, "letters, underscore, digit"}, {L"P-1", false, "minus"}, {L"", false, "empty"},
        {std::wstring(40, L'x'), true, "40 characters"}, {std::wstring(41, L'x'), false, "41 characters"},
        {L"P 1", false, "blank"}, {L"P\u00E91", false, "accented letter"},
    };
    for (const Case& c : cases) {
        CString name(c.name.c_str());
        EXPECT_TRUE(IsValidName(name) == c.valid && IsValidFilename(name) == c.valid) << c.reason;
    }
}

TEST(PointNames, MakePointNameCorrect)
{
    struct Case { std::wstring name, expected; const char* reason; };
    const Case cases[] = {
        {L"AB CD/7", L"AB CD_7", "slash replaced, blank stays"}, {L"", L"", "empty"},
        {L"ABCDEFGHIJKLMNOPQRSTUVWXY", L"ABCDEFGHIJKLMNOPQRST", "25 characters cut to 20"},
        {L"!,?%*@#$^&'\"\\/|~;[]{}()<>`\t\r\n+=", std::wstring(20, L'_'), "every character of the set (cut to 20)"},
        {L"+=\t\r\n\"`<>", L"_________", "the last characters of the set"},
        {L"P-1.5:x", L"P-1.5:x", "minus, point and colon are not in the set"}, {L"A%%B", L"A__B", "each occurrence"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, MakePointNameCorrect(CString(c.name.c_str())).str()) << c.reason;
}

TEST(PointNames, IncPtno)
{
    struct Case { const wchar_t* name; const wchar_t* expected; const char* reason; };
    const Case cases[] = {
        {L"P009", L"P010", "leading zero survives"}, {L"P099", L"P100", "carry into the leading zero"},
        {L"PT12", L"PT13", "plain increment"}, {L"A9", L"A10", "carry lengthens the number"},
        {L"9", L"10", "single nine"}, {L"999", L"1000", "all nines"}, {L"ABC", L"ABC1", "no digit at the end"},
        {L"", L"1", "empty name"}, {L"9A", L"9A1", "digit not at the end"}, {L"A19", L"A20", "nine after a digit"},
        {L"P1234567890123456789", L"P1234567890123456790", "more digits than a 64-bit integer holds"},
        {L"X99999999999999999999", L"X100000000000000000000", "carry beyond 64 bits"},
    };
    for (const Case& c : cases) {
        CString name(c.name);
        IncPtno(name);
        EXPECT_EQ(std::wstring(c.expected), name.str()) << c.reason;
    }
    // Repeated increments count up by one and keep the name valid.
    const Case sequences[] = {{L"A9", L"A1009", ""}, {L"Z", L"Z1000", ""}, {L"PT099", L"PT1099", ""}};
    for (const Case& c : sequences) {
        CString name(c.name);
        for (int i = 0; i < 1000; ++i) {
            const CString before = name;
            IncPtno(name);
            ASSERT_TRUE(IsValidName(name) && before != name) << ToUtf8(before) << " -> " << ToUtf8(name);
        }
        EXPECT_EQ(std::wstring(c.expected), name.str());
    }
}

} // namespace
