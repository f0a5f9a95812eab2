// The in-process registry: its export-file reader and the calls over it.
#include "deviceRootFixture.h"

#include "platform/lastError.h"
#include "platform/registry.h"
#include "platform/textCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class RegistryTest : public DeviceRootTest {
protected:
    void SetUp() override
    {
        DeviceRootTest::SetUp();
        registryReset();
    }
    void TearDown() override
    {
        registryReset();
        DeviceRootTest::TearDown();
    }
    void load(const std::string& text)
    {
        RegistryLoadError error;
        ASSERT_TRUE(registryLoadText(text, "test.reg", error)) << error.text();
    }
    // The text of a value of HKLM\path, or "<code N>".
    static std::wstring text(const wchar_t* path, const wchar_t* name)
    {
        HKEY key = nullptr;
        LONG rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key);
        if (rc != 0)
            return L"<open " + std::to_wstring(rc) + L">";
        wchar_t buffer[128];
        DWORD size = sizeof buffer, type = 0;
        rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        if (rc != 0)
            return L"<code " + std::to_wstring(rc) + L">";
        if (type == REG_DWORD)
        {
            DWORD number = 0;
            std::memcpy(&number, buffer, sizeof number);
            return L"dword " + std::to_wstring(number);
        }
        return buffer;
    }
};

const char kExport[] =
    "REGEDIT4\r\n"
    "\r\n"
    "; a comment\r\n"
    "[HKEY_LOCAL_MACHINE\\Drivers\\Active\\12]\r\n"
    "\"Key\"=\"Drivers\\\\BuiltIn\\\\Serial\"\r\n"
    "\"Name\"=\"COM1:\"\r\n"
    "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
    "@=\"default\"\r\n"
    "\"Count\"=dword:0000001a\r\n"
    "[HKEY_LOCAL_MACHINE\\Drivers\\Active\\03]\r\n"
    "[hkey_local_machine\\drivers\\ACTIVE\\40]\r\n"
    "  \"Spaced\" = \"yes\"  \r\n";

TEST_F(RegistryTest, ReadsValuesOfBothKindsIgnoringCase)
{
    load(kExport);
    EXPECT_EQ(text(L"Drivers\\Active\\12", L"key"), L"Drivers\\BuiltIn\\Serial");
    EXPECT_EQ(text(L"DRIVERS\\active\\12", L"NAME"), L"COM1:");
    EXPECT_EQ(text(L"Drivers\\Active\\12", L"Quote"), L"say \"hi\"");
    EXPECT_EQ(text(L"Drivers\\Active\\12", nullptr), L"default");
    EXPECT_EQ(text(L"Drivers\\Active\\12", L""), L"default");
    EXPECT_EQ(text(L"Drivers\\Active\\12", L"Count"), L"dword 26");
    EXPECT_EQ(text(L"Drivers\\Active\\40", L"Spaced"), L"yes");
    EXPECT_EQ(text(L"Drivers\\Active\\12", L"Missing"), L"<code 2>");
    EXPECT_EQ(text(L"Drivers\\Missing", L"x"), L"<open 2>");
}

TEST_F(RegistryTest, EnumeratesSubkeysInTheFileOrder)
{
    load(kExport);
    HKEY active = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\Active", 0, KEY_READ, &active), 0);
    std::wstring names;
    wchar_t name[16];
    DWORD index = 0;
    for (;; ++index) {
        DWORD length = 16;
        const LONG rc = RegEnumKeyExW(active, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc != 0) {
            EXPECT_EQ(rc, static_cast<LONG>(ERROR_NO_MORE_ITEMS));
            break;
        }
        EXPECT_EQ(length, 2u);
        names += name + std::wstring(L" ");
    }
    EXPECT_EQ(names, L"12 03 40 ");  // the spelling first given ("ACTIVE" later is the same key)
    DWORD length = 2;  // "12" and its zero need 3
    EXPECT_EQ(RegEnumKeyExW(active, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              static_cast<LONG>(ERROR_MORE_DATA));
    EXPECT_EQ(RegCloseKey(active), 0);
    EXPECT_EQ(RegCloseKey(active), static_cast<LONG>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(RegEnumKeyExW(active, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              static_cast<LONG>(ERROR_INVALID_HANDLE));
}

TEST_F(RegistryTest, QuerySizesAndShortBuffers)
{
    load(kExport);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\Active\\12", 0, KEY_READ, &key), 0);
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Name", nullptr, &type, nullptr, &size), 0);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 6 * sizeof(wchar_t));  // "COM1:" and its zero
    wchar_t small[3] = {L'x', L'y', L'z'};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key, L"Name", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
              static_cast<LONG>(ERROR_MORE_DATA));
    EXPECT_EQ(size, 6 * sizeof(wchar_t));
    EXPECT_EQ(small[0], L'x');  // left alone
    EXPECT_EQ(RegQueryValueExW(key, L"Name", nullptr, nullptr, reinterpret_cast<BYTE*>(small), nullptr),
              static_cast<LONG>(ERROR_INVALID_PARAMETER));
    // A handle opens further keys; an empty path opens the key again.
    HKEY same = nullptr;
    EXPECT_EQ(RegOpenKeyExW(key, L"", 0, KEY_READ, &same), 0);
    EXPECT_NE(same, key);
    EXPECT_EQ(RegCloseKey(same), 0);
    EXPECT_EQ(RegCloseKey(key), 0);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), 0);
    HKEY untouched = reinterpret_cast<HKEY>(0x1);
    EXPECT_EQ(RegOpenKeyExW(reinterpret_cast<HKEY>(0x12345), L"x", 0, 0, &untouched),
              static_cast<LONG>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Nothing", 0, 0, &untouched), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(untouched, reinterpret_cast<HKEY>(0x1));  // written only on success
}

TEST_F(RegistryTest, HandlesOutliveALoad)
{
    load(kExport);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\Active\\12", 0, KEY_READ, &key), 0);
    load("REGEDIT4\n[HKEY_CURRENT_USER\\Other]\n");
    wchar_t buffer[16];
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExW(key, L"Name", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size), 0);
    EXPECT_EQ(std::wstring(buffer), L"COM1:");
    EXPECT_EQ(RegCloseKey(key), 0);
    EXPECT_EQ(text(L"Drivers\\Active\\12", L"Name"), L"<open 2>");
}

TEST_F(RegistryTest, CountsOpensByPath)
{
    load(kExport);
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\Active", 0, KEY_READ, &key);
    RegCloseKey(key);
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"drivers\\active", 0, KEY_READ, &key);
    HKEY sub = nullptr;
    RegOpenKeyExW(key, L"12", 0, KEY_READ, &sub);
    RegCloseKey(sub);
    RegCloseKey(key);
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"No\\Such", 0, KEY_READ, &key);
    EXPECT_EQ(registryOpenCount(L"HKEY_LOCAL_MACHINE\\Drivers\\Active"), 2);
    EXPECT_EQ(registryOpenCount(L"hkey_local_machine\\DRIVERS\\ACTIVE\\12"), 1);
    EXPECT_EQ(registryOpenCount(L"HKEY_LOCAL_MACHINE\\No\\Such"), 1);  // asked for, not found
    EXPECT_EQ(registryOpenCount(L"HKEY_LOCAL_MACHINE\\Drivers"), 0);
    registryReset();
    EXPECT_EQ(registryOpenCount(L"HKEY_LOCAL_MACHINE\\Drivers\\Active"), 0);
}

TEST_F(RegistryTest, Version5InUtf16AndUtf8)
{
    const std::wstring body = L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Caf\u00e9]\r\n"
                              L"\"N\u00e4me\"=\"\u00fcber \u20ac\"\r\n";
    load("\xFF\xFE" + WideToUtf16Le(body));
    EXPECT_EQ(text(L"CAF\u00c9", L"n\u00e4me"), L"\u00fcber \u20ac");
    load("\xEF\xBB\xBF" + WideToUtf8(body));
    EXPECT_EQ(text(L"Caf\u00e9", L"N\u00e4me"), L"\u00fcber \u20ac");
    load(WideToUtf8(body));
    EXPECT_EQ(text(L"Caf\u00e9", L"N\u00e4me"), L"\u00fcber \u20ac");
    load("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"T\"=\"\xFC\"\n");  // 8-bit: the code page
    EXPECT_EQ(text(L"A", L"T"), L"\u00fc");
}

TEST_F(RegistryTest, RefusesAnythingElseWithTheLine)
{
    struct Case {
        const char* text;
        long line;
    } cases[] = {
        {"", 1},
        {"REGEDIT5\n", 1},
        {"\n REGEDIT4\n", 1},
        {"REGEDIT4\n\"a\"=\"b\"\n", 2},                                 // a value before any key
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex:01,02\n", 3},     // other kinds
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=dword:123456789\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=dword:\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=dword:12g4\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=-\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"b\" x\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"b\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"b\\n\"\n", 3},      // an unknown escape
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\" \"b\"\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\nplain\n", 3},
        {"REGEDIT4\n\n[HKEY_NOWHERE\\A]\n", 3},
        {"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\A]\n", 2},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", 2},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\\\A]\n", 2},
        {"REGEDIT4\n[\\A]\n", 2},
        {"REGEDIT4\n[]\n", 2},
        {"\xFF\xFE" "R\0E\0G\0E\0D\0I\0T\0" "4", 1},                     // odd UTF-16 length
    };
    for (const Case& c : cases) {
        load(kExport);
        RegistryLoadError error;
        const std::string bytes(c.text, c.text + std::char_traits<char>::length(c.text) +
                                            (c.text[0] == '\xFF' ? 14 : 0));  // 17 bytes
        EXPECT_FALSE(registryLoadText(bytes, "bad.reg", error)) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.file, "bad.reg");
        EXPECT_FALSE(error.message.empty());
        EXPECT_EQ(text(L"Drivers\\Active\\12", L"Name"), L"COM1:") << "the registry stays as it was";
    }
}

TEST_F(RegistryTest, ReadsTheDeviceRootFileAtFirstUseAndPerRoot)
{
    writeHost(".fieldcore-registry.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Here]\n\"v\"=\"root one\"\n");
    EXPECT_EQ(text(L"Here", L"v"), L"root one");
    RegistryLoadError error;
    EXPECT_TRUE(registryLoadDeviceFile(error));
    writeHost(".fieldcore-registry.reg", "REGEDIT4\nbad line\n");
    EXPECT_FALSE(registryLoadDeviceFile(error));
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(error.text(), host(".fieldcore-registry.reg") + ": line 2: " + error.message);
    EXPECT_EQ(text(L"Here", L"v"), L"<open 2>");  // refused: empty
    // A program's own load wins over the device root's file.
    load("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Own]\n");
    EXPECT_EQ(text(L"Own", L"x"), L"<code 2>");
    EXPECT_FALSE(registryLoadFile(host("missing.reg"), error));
    EXPECT_EQ(error.line, 0);
    // The file belongs to the layer: the device never reaches it.
    EXPECT_TRUE(isReservedHostName(registryDeviceFileName()));
    std::string hostPath;
    EXPECT_FALSE(deviceHostPath(L"\\.FIELDCORE-registry.reg", hostPath));
}

} // namespace
