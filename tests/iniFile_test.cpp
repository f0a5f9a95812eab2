// The INI settings file: loading (bad input included), the typed accessors, enumeration,
// saving and round trips, each test in a device root of its own.
#include "deviceRootFixture.h"

#include "files/appFolders.h"
#include "files/iniFile.h"
#include "platform/fileSystem.h"
#include "platform/textCodec.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>
#include <map>
#include <random>
#include <string>
#include <vector>

void PrintTo(const CString& s, std::ostream* os) { *os << '"' << ToUtf8(s) << '"'; }

namespace {

using Keys = std::map<std::wstring, std::wstring>;
using Contents = std::map<std::wstring, Keys>;

// The whole object, read through the enumeration interface.
Contents dump(const CINIFile& ini)
{
    Contents out;
    POSITION file = nullptr;
    EXPECT_TRUE(ini.SetFilePosOnStart(file));
    while (file) {
        CString section;
        EXPECT_TRUE(ini.LookThroughFile(section, file));
        Keys& keys = out[section.str()];
        POSITION pos = nullptr;
        EXPECT_TRUE(ini.SetSectionPosOnStart(section, pos));
        while (pos) {
            CString key, value;
            EXPECT_TRUE(ini.LookThroughSection(section, key, value, pos));
            keys[key.str()] = value.str();
        }
        int size = -1;
        EXPECT_TRUE(ini.GetSectionSize(section, size));
        EXPECT_EQ(size, static_cast<int>(keys.size()));
    }
    int count = -1;
    EXPECT_TRUE(ini.GetNumberOfSections(count));
    EXPECT_EQ(count, static_cast<int>(out.size()));
    return out;
}

// The contents as text: "[section]{key=value}{key=value}[section]..." (UTF-8).
std::string describe(const Contents& c)
{
    std::string text;
    for (const auto& s : c) {
        text += "[" + WideToUtf8(s.first) + "]";
        for (const auto& k : s.second)
            text += "{" + WideToUtf8(k.first) + "=" + WideToUtf8(k.second) + "}";
    }
    return text;
}

class IniFile : public DeviceRootTest {
protected:
    Contents load(const std::string& bytes)
    {
        writeHost("test.ini", bytes);
        CINIFile ini;
        EXPECT_TRUE(ini.LoadIni(L"\\test.ini"));
        return dump(ini);
    }
};

// ---- Loading ----

TEST_F(IniFile, LoadKeepsWhatTheFormatSays)
{
    const std::string a1021(1021, 'a');
    struct Case { std::string file; std::string expected; const char* reason; };
    const std::vector<Case> cases = {
        {"k=v\n[S]\na=b=c\n", "[S]{a=b=c}", "a key before any header is dropped; the value keeps further '='"},
        {"[S]\n key = value \n", "[S]{ key = value }", "blanks stay in key and value"},
        {"[S]\nx\nno equals sign at all\n", "[S]", "a one-byte line and a line without '=' are ignored"},
        {"[S]\na=1\n[T]\n[S]\nb=2\n", "[S]{b=2}[T]", "a second header of the same name starts the section afresh"},
        {"[S]\r\na=1\r\n\r\nb=\r\n", "[S]{a=1}{b=}", "CR LF line ends"},
        {"[S]\na=1\n[T]", "[S]{a=1}[T]", "a last header without a line feed loses only its bracket"},
        {"[S]\na=1", "[S]{a=1}", "a last pair without a line feed"},
        {"[S]\n;a=1\n#b=2\n//c=3\n d=4\n", "[S]{ d=4}", "comment lines by their first byte only"},
        {"[]\n=v\n", "[]{=v}", "empty section name and key"},
        {"[S]\na=1\rb=2\n", "[S]{a=1\rb=2}", "a CR not before a line feed stays"},
        {"[Caf\xe9]\n\x80=\xff\n", "[Caf\xC3\xA9]{\xE2\x82\xAC=\xC3\xBF}", "bytes convert from the system code page"},
        {"[S\n", "[]", "a header without its closing bracket loses its last character"},
        {"[S]\nk=" + std::string(1100, 'v') + "\n", "[S]{k=" + std::string(1021, 'v') + "}",
         "a long line is read in pieces of 1023 bytes; the rest has no '=' and is ignored"},
        {"[S]\n" + a1021 + "xy=z\n", "[S]{=z}", "the second piece of a long line is a line of its own"},
        {"[" + std::string(1500, 'H') + "]\n", "[" + std::string(1021, 'H') + "]",
         "a long header: the first piece without its last byte"},
        {"[S]\n" + a1021 + "=\r\n", "[S]{" + a1021 + "=}", "a CR LF at the buffer's end still counts as one line end"},
        {std::string("[A]\na=1\n[S]\nk=v\0hidden\n", 23), "[A]{a=1}[S]{k=v}", "text ends at a zero byte"},
        {"", "", "an empty file"},
        {"\n\n\r\n", "", "only line ends"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(load(c.file)), c.expected) << c.reason;
}

TEST_F(IniFile, LoadMergesIntoWhatTheObjectHolds)
{
    CINIFile ini;
    ini.SetValue("S", "old", L"1");
    ini.SetValue("T", "kept", L"2");
    writeHost("m.ini", "[S]\nnew=3\n[U]\nu=4\n");
    ASSERT_TRUE(ini.LoadIni(L"\\m.ini"));
    const std::string expected = "[S]{new=3}[T]{kept=2}[U]{u=4}";
    EXPECT_EQ(describe(dump(ini)), expected) << "a header replaces the section held; other sections stay";

    EXPECT_FALSE(ini.LoadIni(L"\\missing.ini"));
    EXPECT_EQ(describe(dump(ini)), expected) << "a failed load leaves the object as it was";
    ASSERT_TRUE(CreateDirectoryW(L"\\folder.ini", nullptr));
    EXPECT_FALSE(ini.LoadIni(L"\\folder.ini")) << "a folder is no file";
}

TEST_F(IniFile, BinaryGarbageNeverBreaksLoading)
{
    std::mt19937 random(2024);
    for (int round = 0; round < 100; ++round) {
        std::uniform_int_distribution<int> size(0, 5000), byte(0, 255), pick(0, 9);
        std::string bytes;
        const int n = size(random);
        for (int i = 0; i < n; ++i) {
            // Mostly raw bytes, with enough structure to open sections and pairs.
            const int p = pick(random);
            bytes += p == 0 ? '\n' : p == 1 ? '[' : p == 2 ? '=' : p == 3 ? '\r' : static_cast<char>(byte(random));
        }
        const Contents once = load(bytes);
        EXPECT_EQ(load(bytes), once) << "loading is deterministic";
        for (const auto& s : once) {
            EXPECT_EQ(s.first.find_first_of(std::wstring(L"\n\0", 2)), std::wstring::npos);
            EXPECT_LE(s.first.size(), 1021u);
            for (const auto& k : s.second) {
                EXPECT_EQ(k.first.find(L'='), std::wstring::npos) << "keys end at the first '='";
                EXPECT_EQ(k.second.find_first_of(std::wstring(L"\n\0", 2)), std::wstring::npos);
                EXPECT_LE(k.first.size() + 1 + k.second.size(), 1023u);
            }
        }
    }
}

// ---- Accessors ----

TEST(IniValues, TypedSettersWriteTheirFormats)
{
    CINIFile ini;
    ini.SetRealValue("R", "narrow", 1.5);
    ini.SetRealValue(L"R", L"wide", 1.5);
    ini.SetIntValue("R", "i", -42);
    ini.SetIntValue(L"R", L"wi", 7);
    ini.SetUintValue(L"R", L"u", 4294967295u);
    ini.SetHexValue(L"R", L"h", 255);
    ini.SetCharValue(L"R", L"c", L'Q');
    ini.SetBoolValue(L"R", L"t", true);
    ini.SetBoolValue(L"R", L"f", false);
    EXPECT_EQ(describe(dump(ini)),
              "[R]{c=Q}{f=0}{h=0xFF}{i=-42}{narrow=1.500000000}{t=1}{u=4294967295}{wi=7}{wide=1.500000}")
        << "8-bit names write nine decimals, wide names six";
    EXPECT_EQ(ini.GetUintValue(L"R", L"u", 0), -1) << "the same bits as an int";
    EXPECT_EQ(ini.GetValue("R", "none", CString(L"def")), CString(L"def"));
}

// Every getter on the same texts. The integer getter of 8-bit names reads as _wtol does (0
// without digits, saturating); the wide one as "%d" (the default without a number, and for a
// number beyond the int range). Values beyond 32 bits are not read with "%X": overflow is
// undefined there, marked `skip`.
TEST(IniValues, GettersReadTheirFormatsOrFallBackToTheDefault)
{
    const int skip = 12345;
    const unsigned hskip = 0xDEADBEEF;
    struct Case {
        const wchar_t* text;
        int int8, intW;
        bool boolean;
        unsigned hex;
        double real8, realW;
        wchar_t ch;
        const char* reason;
    };
    const int idef = -99;
    const bool bdef = true;
    const unsigned hdef = 7;
    const double rdef = -1.25;
    const wchar_t cdef = L'#';
    const std::vector<Case> cases = {
        {L"12abc", 12, 12, bdef, 0x12ABC, 12.0, 12.0, L'1', "digits then letters"},
        {L"1abc", 1, 1, true, 0x1ABC, 1.0, 1.0, L'1', "begins with the digit 1"},
        {L"0", 0, 0, false, 0, 0.0, 0.0, L'0', "zero"},
        {L"abc", 0, idef, bdef, 0xABC, rdef, rdef, L'a', "letters only"},
        {L"", 0, idef, bdef, hdef, rdef, rdef, cdef, "empty"},
        {L"  -7", -7, -7, bdef, hskip, -7.0, -7.0, L' ', "blanks and a sign"},
        // 8-bit names saturate; wide names read no number (a stored 1e300 read as an int -1).
        {L"99999999999", INT_MAX, idef, bdef, hskip, 99999999999.0, 99999999999.0, L'9', "too large: saturates"},
        {L"-99999999999", INT_MIN, idef, bdef, hskip, -99999999999.0, -99999999999.0, L'-', "too small: saturates"},
        {L"2147483648", INT_MAX, idef, bdef, hskip, 2147483648.0, 2147483648.0, L'2', "INT_MAX + 1"},
        {L"-2147483648", INT_MIN, INT_MIN, bdef, hskip, -2147483648.0, -2147483648.0, L'-', "INT_MIN"},
        {L"ff", 0, idef, bdef, 255, rdef, rdef, L'f', "lower-case hexadecimal"},
        {L"0xFF", 0, 0, false, 255, 255.0, 255.0, L'0',
         "the form SetHexValue writes (the C library's \"%lf\" reads hexadecimal too)"},
        {L"2.5e3x", 2, 2, bdef, 0x2, 2500.0, 2500.0, L'2', "a number followed by text"},
        {L"zz", 0, idef, bdef, hdef, rdef, rdef, L'z', "no number at all"},
    };
    CINIFile ini;
    for (const Case& c : cases) {
        ini.SetStringValue(L"T", L"k", c.text);
        EXPECT_EQ(ini.GetIntValue("T", "k", idef), c.int8) << c.reason;
        EXPECT_EQ(c.intW == skip ? skip : ini.GetIntValue(L"T", L"k", idef), c.intW) << c.reason;
        EXPECT_EQ(c.hex == hskip ? hskip : ini.GetHexValue(L"T", L"k", hdef), c.hex) << c.reason;
        EXPECT_EQ(ini.GetBoolValue(L"T", L"k", bdef), c.boolean) << c.reason;
        EXPECT_EQ(ini.GetRealValue("T", "k", rdef), c.real8) << c.reason;
        EXPECT_EQ(ini.GetRealValue(L"T", L"k", rdef), c.realW) << c.reason;
        EXPECT_EQ(ini.GetCharValue(L"T", L"k", cdef), c.ch) << c.reason;
    }
    EXPECT_EQ(ini.GetIntValue("T", "missing", idef), idef) << "8-bit names: the default only when missing";
    EXPECT_EQ(ini.GetIntValue(L"Missing", L"k", idef), idef);
    // "%u": a sign is read and negated; beyond 32 bits is no number.
    const struct { const wchar_t* text; int expected; } uints[] = {
        {L"4294967295", -1}, {L"-1", -1}, {L"+7", 7}, {L"4294967296", idef}, {L"1000000000000000000000", idef}};
    for (const auto& u : uints) {
        ini.SetStringValue(L"T", L"k", u.text);
        EXPECT_EQ(ini.GetUintValue(L"T", L"k", static_cast<unsigned>(idef)), u.expected) << ToUtf8(CString(u.text));
    }
}

TEST(IniValues, NamesAreExactAndRemovalKeepsTheSection)
{
    CINIFile ini;
    ini.SetValue("Options", "Level", L"1");
    ini.SetValue("options", "Level", L"2");
    EXPECT_EQ(ini.GetValue("Options", "level", CString(L"none")), CString(L"none")) << "keys are case-sensitive";
    EXPECT_EQ(ini.GetValue("options", "Level", CString()), CString(L"2")) << "two sections";
    ini.SetValue("\xe9t\xe9", "k", L"v");
    EXPECT_EQ(ini.GetStringValue(L"\u00e9t\u00e9", L"k", L""), CString(L"v")) << "8-bit names convert";
    ini.RemoveValue("Options", "Level");
    ini.RemoveValue("Options", "Level");
    ini.RemoveValue(L"Nowhere", L"Level");
    EXPECT_EQ(dump(ini).at(L"Options"), Keys{}) << "the section stays after its last key went";
    POSITION pos = nullptr;
    EXPECT_TRUE(ini.SetSectionPosOnStart(L"Options", pos));
    EXPECT_EQ(pos, nullptr) << "an empty section starts at null";
}

// ---- Saving ----

TEST_F(IniFile, SaveWritesSectionsKeysAndEmptyLinesAndCutsLongLines)
{
    CINIFile empty;
    writeHost("out.ini", "old contents that are longer than the new ones");
    ASSERT_TRUE(empty.SaveIni(L"\\out.ini"));
    EXPECT_EQ(readHost("out.ini"), "") << "no sections: an empty file, replacing the old one";

    CINIFile ini;
    ini.SetValue("S", "b", L"2");
    ini.SetValue("S", "a", L"1=x");
    ini.SetValue("E", "gone", L"");
    ini.RemoveValue("E", "gone");
    ini.SetValue("Caf\xe9", "\x80", L"\u4e00");
    ASSERT_TRUE(ini.SaveIni(L"\\out.ini"));
    EXPECT_EQ(readHost("out.ini"), "[Caf\xe9]\n\x80=?\n\n[E]\n\n[S]\na=1=x\nb=2\n\n")
        << "sections and keys in name order; a character the code page lacks becomes '?'";
    EXPECT_FALSE(ini.SaveIni(L"\\no\\such\\folder\\x.ini"));

    CINIFile longLines;
    longLines.SetStringValue(std::wstring(1100, L'N').c_str(), L"key", CString(L'v', 1100));
    ASSERT_TRUE(longLines.SaveIni(L"\\cut.ini"));
    EXPECT_EQ(readHost("cut.ini"), "[" + std::string(1021, 'N') + "]\nkey=" + std::string(1018, 'v') + "\n\n");
    CINIFile back;
    ASSERT_TRUE(back.LoadIni(L"\\cut.ini"));
    EXPECT_EQ(back.GetStringValue(std::wstring(1021, L'N').c_str(), L"key", L""), CString(L'v', 1018))
        << "the cut lines read back";
}

TEST_F(IniFile, RandomContentsRoundTrip)
{
    std::mt19937 random(5);
    // Characters the format can carry: code-page characters other than the line end, the zero,
    // '=' in keys; no leading ';', '#', '/' or '[' in keys; no trailing CR.
    const std::wstring alphabet = L"abcXYZ019 _-.,;#/[]=!\t\u00e9\u00fc\u20ac\u00ff\r";
    std::uniform_int_distribution<std::size_t> pickChar(0, alphabet.size() - 1);
    auto text = [&](std::size_t maxLength, bool isKey) {
        std::uniform_int_distribution<std::size_t> length(isKey ? 1 : 0, maxLength);
        std::wstring s;
        const std::size_t n = length(random);
        while (s.size() < n) {
            const wchar_t c = alphabet[pickChar(random)];
            if (isKey && c == L'=')
                continue;
            if (isKey && s.empty() && (c == L';' || c == L'#' || c == L'/' || c == L'['))
                continue;
            s += c;
        }
        while (!s.empty() && s.back() == L'\r')
            s.pop_back();
        return s;
    };
    for (int round = 0; round < 50; ++round) {
        CINIFile ini;
        Contents expected;
        std::uniform_int_distribution<int> sections(0, 6), keys(0, 8);
        for (int s = sections(random); s > 0; --s) {
            const std::wstring name = text(30, false);
            Keys& section = expected[name];  // a repeated name adds to the same section
            ini.SetStringValue(name.c_str(), L"probe", L"");
            ini.RemoveValue(name.c_str(), L"probe");
            for (int k = keys(random); k > 0; --k) {
                std::wstring key = text(20, true);
                if (key.empty())
                    continue;
                const std::wstring value = text(round % 10 == 0 ? 1000 : 40, false);
                section[key] = value;
                ini.SetStringValue(name.c_str(), key.c_str(), CString(value.c_str()));
            }
        }
        ASSERT_EQ(dump(ini), expected);
        ASSERT_TRUE(ini.SaveIni(L"\\round.ini"));
        CINIFile back;
        ASSERT_TRUE(back.LoadIni(L"\\round.ini"));
        EXPECT_EQ(dump(back), expected) << "round " << round << ": " << describe(expected);
    }
}

// ---- Settings files ----

// ---- Saving safely ----

TEST_F(IniFile, SaveReplacesThroughALinkKeepsPermissionsAndRemovesStaleNewFiles)
{
    writeHost("real.ini", "[Old]\nk=v\n");
    ASSERT_EQ(::chmod(host("real.ini").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real.ini", host("link.ini").c_str()), 0);
    writeHost(".fieldcore-new-real.ini.abcd1234", "left by a killed writer");
    writeHost(".fieldcore-new-real.ini.keep", "not a name of ours");
    CINIFile ini;
    ini.SetValue("New", "k", L"w");
    ASSERT_TRUE(ini.SaveIni(L"\\link.ini"));
    struct stat st;
    ASSERT_EQ(::lstat(host("link.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    EXPECT_EQ(readHost("real.ini"), "[New]\nk=w\n\n") << "written through to the target";
    ASSERT_EQ(::stat(host("real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the old file's permissions";
    EXPECT_FALSE(hostExists(".fieldcore-new-real.ini.abcd1234"));
    EXPECT_TRUE(hostExists(".fieldcore-new-real.ini.keep"));
}

// ---- A file's text edited in place ----

TEST(IniText, SetAndRemoveChangeOnlyTheKeysBytes)
{
    const std::string pair1023 = "k=" + std::string(1021, 'x');  // read in pieces, kept whole
    struct Case {
        const char* name;
        std::string before, section, key, value, after;
    } cases[] = {
        {"replace keeps comments, order and CR LF", "; c\r\n[S]\r\nb=1\r\na=2\r\n", "S", "b", "9",
         "; c\r\n[S]\r\nb=9\r\na=2\r\n"},
        {"new key after the last key of the section", "[S]\na=1\n\n[T]\nz=0\n", "S", "n", "v",
         "[S]\na=1\nn=v\n\n[T]\nz=0\n"},
        {"new key of an empty section follows its header", "[S]\n[T]\n", "S", "n", "v", "[S]\nn=v\n[T]\n"},
        {"new section at the end, in the file's line ends", "[S]\r\na=1", "T", "k", "v",
         "[S]\r\na=1\r\n[T]\r\nk=v\r\n\r\n"},
        {"empty file", "", "S", "k", "v", "[S]\nk=v\n\n"},
        {"the last of two headers holds the key", "[S]\nk=1\n[S]\nk=2\n", "S", "k", "3", "[S]\nk=1\n[S]\nk=3\n"},
        {"the last of two key lines holds the value", "[S]\nk=1\nk=2\n", "S", "k", "3", "[S]\nk=1\nk=3\n"},
        {"a CR-ended value elsewhere is kept", "[S]\na=v\r\r\nb=1\n", "S", "b", "2", "[S]\na=v\r\r\nb=2\n"},
        {"a 1023-byte pair elsewhere is kept", "[S]\n" + pair1023 + "\nb=1\n", "S", "b", "2",
         "[S]\n" + pair1023 + "\nb=2\n"},
        {"a last line without a line end", "[S]\nk=1", "S", "k", "2", "[S]\nk=2"},
        {"a key before any header is no key", "k=1\n[S]\n", "S", "k", "2", "k=1\n[S]\nk=2\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IniTextWithValue(c.before, CString(Utf8ToWide(c.section).c_str()), CString(Utf8ToWide(c.key).c_str()),
                                   CString(Utf8ToWide(c.value).c_str())),
                  c.after)
            << c.name;
    }

    struct Removal {
        const char* name;
        std::string before, section, key;
        bool found;
        std::string after;
    } removals[] = {
        {"the key's lines go, nothing else", "; c\r\n[S]\r\nk=1\r\na=2\r\nk=3\r\n", "S", "k", true, "; c\r\n[S]\r\na=2\r\n"},
        {"only the last block of the section", "[S]\nk=1\n[S]\nk=2\n", "S", "k", true, "[S]\nk=1\n[S]\n"},
        {"a missing key", "[S]\na=1\n", "S", "k", false, "[S]\na=1\n"},
        {"a missing section", "[T]\nk=1\n", "S", "k", false, "[T]\nk=1\n"},
    };
    for (const Removal& r : removals) {
        std::string bytes = r.before;
        EXPECT_EQ(IniTextWithoutValue(bytes, CString(Utf8ToWide(r.section).c_str()), CString(Utf8ToWide(r.key).c_str())), r.found)
            << r.name;
        EXPECT_EQ(bytes, r.after) << r.name;
    }
}

TEST_F(IniFile, TextEditsAgreeWithLoadingOnRandomFiles)
{
    // Whatever the file holds, loading the edited text gives what loading the old text and
    // setting (or removing) the key in the object gives.
    std::mt19937 rng(28);
    const char* alphabet[] = {"[", "]", "S", "T", "k", "=", "v", "\n", "\r", "\r\n", ";", " ", "x", "[S]", "[T]\n", "kk=", "\n[S]\n"};
    for (int trial = 0; trial < 300; ++trial) {
        std::string bytes;
        const int parts = static_cast<int>(rng() % 40);
        for (int i = 0; i < parts; ++i)
            bytes += alphabet[rng() % (sizeof alphabet / sizeof *alphabet)];
        if (rng() % 8 == 0)
            bytes += "[S]\n" + std::string(1000 + rng() % 60, 'y') + "=k\n";
        const bool remove = rng() % 3 == 0;
        const CString section = rng() % 2 ? L"S" : L"T";
        const CString key = rng() % 2 ? L"k" : L"kk";

        CINIFile expected;
        writeHost("a.ini", bytes);
        ASSERT_TRUE(expected.LoadIni(L"\\a.ini"));
        std::string edited = bytes;
        if (remove) {
            const bool had = expected.GetStringValue(section, key, L"\x1") != CString(L"\x1");
            EXPECT_EQ(IniTextWithoutValue(edited, section, key), had) << "trial " << trial;
            expected.RemoveValue(section, key);
        } else {
            edited = IniTextWithValue(bytes, section, key, L"new value");
            expected.SetStringValue(section, key, L"new value");
        }
        writeHost("b.ini", edited);
        CINIFile got;
        ASSERT_TRUE(got.LoadIni(L"\\b.ini"));
        EXPECT_EQ(describe(dump(got)), describe(dump(expected))) << "trial " << trial << (remove ? " remove" : " set");
    }
}

TEST_F(IniFile, SettingsFilesLiveInTheSettingsFolder)
{
    CINIFile ini;
    ini.SetIntValue("Options", "Units", 2);
    ASSERT_TRUE(SaveSettingsFile(L"ostrand.ini", ini));
    EXPECT_EQ(readHost("Program Files/fieldcore/Settings/ostrand.ini"), "[Options]\nUnits=2\n\n");
    CINIFile back;
    ASSERT_TRUE(LoadSettingsFile(L"ostrand.ini", back));
    EXPECT_EQ(back.GetIntValue("Options", "Units", 0), 2);
    EXPECT_FALSE(LoadSettingsFile(L"missing.ini", back));

    // A file where the folder should be makes saving fail.
    std::filesystem::remove_all(host("Program Files/fieldcore/Settings"));
    writeHost("Program Files/fieldcore/Settings", "not a folder");
    EXPECT_FALSE(SaveSettingsFile(L"ostrand.ini", ini));
}

} // namespace
