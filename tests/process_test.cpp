// Libraries by name: where LoadLibraryW looks, and the calls over dlopen.
#include "deviceRootFixture.h"

#include "platform/lastError.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class LibraryTest : public DeviceRootTest {
protected:
    void install(const char* built, const std::string& relative)
    {
        std::filesystem::create_directories(std::filesystem::path(host(relative)).parent_path());
        std::filesystem::copy_file(built, host(relative));
    }
    static bool hasStandby(HMODULE module) { return GetProcAddress(module, "Mavik_SetSSStandby") != nullptr; }
};

TEST_F(LibraryTest, ExecutableFolderFirstThenWindows)
{
    install(TEST_RADIO_LIBRARY, "Program Files/fieldcore/MavikLib.dll");
    install(TEST_RADIO_NO_STANDBY_LIBRARY, "Windows/MavikLib.dll");
    HMODULE first = LoadLibraryW(L"MavikLib.dll");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(hasStandby(first));
    EXPECT_TRUE(FreeLibrary(first));
    std::filesystem::remove(host("Program Files/fieldcore/MavikLib.dll"));
    HMODULE second = LoadLibraryW(L"maviklib");  // any case; ".dll" added
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(hasStandby(second));
    EXPECT_NE(GetProcAddressW(second, L"Mavik_SetSSInit"), nullptr);
    SetLastError(0);
    EXPECT_EQ(GetProcAddressW(second, L"Mavik_Nothing"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_TRUE(FreeLibrary(second));
}

TEST_F(LibraryTest, AbsolutePathsAndFailures)
{
    install(TEST_RADIO_LIBRARY, "Drivers/radio.so");
    HMODULE module = LoadLibraryW(L"\\Drivers\\radio.so");
    ASSERT_NE(module, nullptr);
    HMODULE again = LoadLibraryW(L"/drivers/RADIO.so");
    EXPECT_EQ(again, module);  // one library, two references
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_NE(GetProcAddress(module, "Mavik_GetSSDsr"), nullptr);  // still loaded
    EXPECT_TRUE(FreeLibrary(module));

    struct Case {
        const wchar_t* name;
        DWORD error;
    } cases[] = {
        {L"radio.so", ERROR_MOD_NOT_FOUND},  // not in the executable's folder nor \Windows
        {L"\\Drivers\\missing.dll", ERROR_MOD_NOT_FOUND},
        {L"\\Drivers", ERROR_MOD_NOT_FOUND},  // a folder
        {L"\\Drivers\\text.dll", ERROR_BAD_EXE_FORMAT},
        {L"", ERROR_INVALID_NAME},
        {nullptr, ERROR_INVALID_NAME},
        {L"libc.so.6", ERROR_MOD_NOT_FOUND},  // never the host's library path
    };
    writeHost("Drivers/text.dll", "not a library");
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(LoadLibraryW(c.name), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(GetProcAddress(nullptr, "x"), nullptr);
}

} // namespace
